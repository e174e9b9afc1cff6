#include "prover/unify.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "logic/formula.h"
#include "logic/logic_state.h"
#include "logic/walk.h"
#include "prover/program.h"
#include "prover/witness.h"

namespace velmoran {

namespace {

// The pair walk: dereferences the pair, compares heads and descends into arguments.
void PairWalk(TId* t1, TId* t2);
void UnifyStep(TId* t1, TId* t2);
void OccursWalk(TId* s);
// Follows the binding list from `t` until an unbound variable or a non-variable term.
TId* LookupChain(TId* t);
bool MayBind(TVariable* v, TId* t);
// Whether every unbound variable of `t` (pairs followed) may be a value: free of outer universals.
bool MayStandAsValue(TId* t);
// The occurs check of the quantifiers: whether the value of `t` depends on `v`, either because
// `v` occurs in it or because an existential in it lies in the scope of a universal whose value
// depends on `v`. Binding `v` to such a term would make a value depend on itself: binding the
// universal X to the existential Y of ∀X ∃Y is refused, also through a chain of bindings.
bool DependsOn(TId* t, const TVariable* v);
bool IsFreeOfOuterUniversals(TVariable* q);
bool MayMoveWithOuterVariables(TVariable* q);

}  // namespace

UnifierState Unifier;

namespace {

std::vector<TId*>& Bindings() {
  return *Prover.ActiveBindings;
}

bool QuantificationOn() {
  return Prover.ActiveProgram ? Prover.ActiveProgram->QuantificationOn != 0 : true;
}

// The debugging quantifier rules of `TPLProgram::LooseUnify`.
bool LooseUnify() {
  return Prover.ActiveProgram && Prover.ActiveProgram->LooseUnify != 0;
}

bool SameVariable(const TId* a, const TId* b) {
  return a->IsVariable() && b->IsVariable() &&
         SameWitness(static_cast<const TVariable*>(a), static_cast<const TVariable*>(b));
}

void Bind(TVariable* v, TId* t) {
  Bindings().push_back(v);
  Bindings().push_back(t);
}

}  // namespace

namespace {

// For two copies of one dependent witness, both acting existentially: unifies the values of their
// arguments, appending pairs, so that a later pass may find them one (`SameWitness`).
void UnifyWitnessArguments(TVariable* a, TVariable* b) {
  if (Unifier.InWitnessArguments || a->Serial != b->Serial || a->SkolemSerials.empty() ||
      b->SkolemSerials.empty() || !ActsExistentially(*a) || !ActsExistentially(*b))
    return;
  // Each side's arguments: its counterparts where it has them, else the values stored on it.
  auto sideOf = [](TVariable* v, std::vector<TId*>& terms) {
    std::vector<TVariable*> args;
    if (v->WitnessKey.empty() && WitnessArguments(v, args)) {
      terms.assign(args.begin(), args.end());
      return true;
    }
    // Values naming a witness hold only placeholders, which no term here unifies with as it should.
    terms = v->WitnessValues;
    return v->WitnessValuesGround && terms.size() == v->SkolemSerials.size();
  };
  std::vector<TId*> x, y;
  if (!sideOf(a, x) || !sideOf(b, y)) return;
  int state = Unifier.State;
  Unifier.InWitnessArguments = true;
  for (std::size_t i = 0; i < x.size(); ++i) {
    Unifier.State = 1;
    PairWalk(x[i], y[i]);
    if (Unifier.State == 0) break;
  }
  Unifier.InWitnessArguments = false;
  Unifier.State = state;
}

}  // namespace

TId* LookupBinding(TVariable* v) {
  const auto& b = Bindings();
  for (std::size_t k = 0; k + 1 < b.size(); k += 2)
    if (b[k] == v) return b[k + 1];
  return v;
}

namespace {

// Follows the pairs of the binding list to the end of the chain. A single lookup is not enough:
// with X := Y and Y := a collected, stopping at Y would bind Y a second time, and a pass that
// keeps re-adding that pair never ends. Chains cannot loop, since a bound variable is never bound
// again and every pair passes the occurs check.
TId* LookupChain(TId* t) {
  for (TVariable* v = AsVariable(t); v; v = AsVariable(t)) {
    TId* next = LookupBinding(v);
    if (next == t) break;
    t = next;
  }
  return t;
}

}  // namespace

bool Unify(TId* t1, TId* t2) {
  for (;;) {
    Unifier.PassClean = true;
    Unifier.State = 1;
    std::size_t n = Bindings().size();
    PairWalk(t1, t2);
    if (!Unifier.PassClean) Unifier.State = 0;
    if (Bindings().size() == n || Unifier.State != 0) break;
  }
  return Unifier.State != 0;
}

namespace {

void PairWalk(TId* t1, TId* t2) {
  TId* l = t1;
  if (t2 == t1) return;
  if (t2->IsVariable()) {
    t2 = LookupChain(t2);
    if (t2 == l) return;
  }
  if (t1->IsVariable()) {
    l = LookupChain(t1);
    if (t2 == l) return;
  }
  for (TVariable* v = AsVariable(t2); v && v->Binding; v = AsVariable(t2)) {
    t2 = LookupChain(v->Binding);
    if (t2 == l) return;
  }
  for (TVariable* v = AsVariable(l); v && v->Binding; v = AsVariable(l)) {
    l = v->Binding;
    if (t2 == l) return;
    t2 = LookupChain(t2);
  }
  if (TVariable* v = AsVariable(t2); v && v->PendingTerm) {
    t2 = v->PendingTerm;
    if (t2 == l) return;
  }
  if (TVariable* v = AsVariable(l); v && v->PendingTerm) {
    l = v->PendingTerm;
    if (t2 == l) return;
  }
  if (l != t1) {
    PairWalk(l, t2);
    return;
  }
  UnifyStep(t1, t2);
  TFunctor* f = AsFunctor(t1);
  if (!f || Unifier.State != 1) return;
  auto* g = static_cast<TFunctor*>(t2);  // the step matched a functor of equal arity
  for (std::size_t i = 0; i < f->Args.size() && Unifier.State != 0; ++i)
    if (f->Args[i] && g->Args[i]) PairWalk(f->Args[i], g->Args[i]);
}

bool QuantifiersAdmit(TVariable* v, TId* t) {
  return !QuantificationOn() || (MayBind(v, t) && (LooseUnify() || !DependsOn(t, v)));
}

void UnifyStep(TId* t1, TId* t2) {
  if (!t2 || Unifier.State == 0) return;
  if (TVariable* v2 = AsVariable(t2)) {
    if (SameVariable(t1, t2)) {
      Unifier.State = -1;
      return;
    }
    if (OccursFree(t1, v2) && QuantifiersAdmit(v2, t1)) {
      Bind(v2, t1);
      Unifier.State = -1;
      return;
    }
    if (!t1->IsVariable()) Unifier.PassClean = false;
  }
  switch (t1->Class()) {
    case TermClass::Functor: {
      Unifier.State = 1;
      const TFunctor* g = AsFunctor(t2);
      const auto* f = static_cast<TFunctor*>(t1);
      if (!(g && g->Name == f->Name && g->Args.size() == f->Args.size())) Unifier.State = 0;
      return;
    }
    case TermClass::FunctorA:
      if (!(t2->Class() == TermClass::FunctorA &&
            static_cast<TFunctorA*>(t2)->Name == static_cast<TFunctorA*>(t1)->Name))
        Unifier.State = 0;
      return;
    case TermClass::Integer:
    case TermClass::Real: {
      const TNumber* n = AsNumber(t2);
      if (!(n && n->Value() == static_cast<TNumber*>(t1)->Value())) Unifier.State = 0;
      return;
    }
    case TermClass::Variable: {
      auto* v1 = static_cast<TVariable*>(t1);
      if (SameVariable(t1, t2)) {
        Unifier.State = 1;
      } else if (OccursFree(t2, v1) && QuantifiersAdmit(v1, t2)) {
        Bind(v1, t2);
        Unifier.State = 1;
      } else {
        // Two copies of one dependent witness are one element once their arguments agree; the
        // next pass sees them so.
        if (TVariable* v2 = AsVariable(t2)) UnifyWitnessArguments(v1, v2);
        Unifier.PassClean = false;
      }
      return;
    }
    case TermClass::Var:
      // Variables as read never reach unification; a stray one matches nothing.
      Unifier.State = 0;
      return;
  }
}

}  // namespace

bool OccursFree(TId* t, const TVariable* v) {
  Unifier.OccursTarget = v;
  Unifier.OccursFlag = true;
  OccursWalk(t);
  return Unifier.OccursFlag;
}

namespace {

void OccursWalk(TId* s) {
  if (s == Unifier.OccursTarget) Unifier.OccursFlag = false;
  if (TFunctor* f = AsFunctor(s)) {
    for (TId* a : f->Args) {
      if (!Unifier.OccursFlag) break;
      if (a) OccursWalk(a);
    }
  } else if (TVariable* v = AsVariable(s)) {
    TId* b = LookupBinding(v);
    if (b != v)
      OccursWalk(b);
    else if (v->Binding)
      OccursWalk(v->Binding);
  }
}

}  // namespace

TId* ValueOf(TId* t) {
  for (;;) {
    t = LookupChain(t);
    TVariable* v = AsVariable(t);
    if (!v || !v->Binding) return t;
    t = v->Binding;
  }
}

namespace {

// Every variable is looked at once (stamped with the walk's number): the values of variables
// share terms, and a search that walked each path anew would take time exponential in the number
// of bindings. Whether `u` was met before in this walk; stamps it.
bool MetBefore(TVariable* u) {
  if (u->DependencyWalk == Logic.DependencyWalks) return true;
  u->DependencyWalk = Logic.DependencyWalks;
  return false;
}

bool DependsOnInWalk(TId* t, const TVariable* v) {
  t = ValueOf(t);
  if (TFunctor* f = AsFunctor(t)) {
    for (TId* a : f->Args)
      if (a && DependsOnInWalk(a, v)) return true;
    return false;
  }
  TVariable* u = AsVariable(t);
  if (!u) return false;
  if (u == v) return true;
  if (IsEffectivelyUniversal(*u) || MetBefore(u)) return false;
  // An existential stands for a value chosen after the universals outside it.
  return AnyOuterVariable(u, [&](TVariable* w) {
    if (!IsEffectivelyUniversal(*w)) return false;
    if (w == v) return true;
    if (MetBefore(w)) return false;
    TId* value = ValueOf(w);
    return value != w && DependsOnInWalk(value, v);
  });
}

bool DependsOn(TId* t, const TVariable* v) {
  ++Logic.DependencyWalks;
  return DependsOnInWalk(t, v);
}

// A witness names one element for the whole proof, as a constant does, so it is never bound. In
// its own records it is an existential; only the consequent test makes it universal, in the
// negated A, and binding it there takes what A says of that one element for a statement about
// some element: `p` seemed to give ∀X [f(c) ∨ ¬[[p → f(X)] ∧ p]] for a witness c, which only its
// weaker reading ∀X ∃Y [f(Y) ∨ ¬[[p → f(X)] ∧ p]] follows from.
//
// A value's variables are held to the rule wherever they stand in it: X := h(Y1), with Y1 of
// ∀X1 ∃Y1, hoisted Y1 out of its universal in the other record's copy, and ∀X ¬p(X) with
// ∀X1 ∃Y1 [p(h(Y1)) ∨ r(X1, Y1)] gave ∃Y1 ∀X1 r(X1, Y1).
bool MayBind(TVariable* v, TId* t) {
  if (!v || v->Witness || !IsEffectivelyUniversal(*v) || !ScopeHasPolarity(*v)) return false;
  return MayStandAsValue(t);
}

// The first quantifier rule: a variable value is free when no universal outside it is unbound,
// whatever the bound ones stand for; a universal the prover inverted does not count.
bool IsFreeOfUnboundOuterUniversals(const TVariable* q) {
  if (IsEffectivelyUniversal(*q)) return true;
  return !AnyOuterVariable(q, [](TVariable* w) {
    return w->AsWritten && IsEffectivelyUniversal(*w) && ScopeHasPolarity(*w) && !w->Binding &&
           LookupBinding(w) == w;
  });
}

bool MayStandAsValue(TId* t) {
  if (LooseUnify()) {
    TVariable* q = AsVariable(t);
    return !q || Unifier.OneRecord || IsFreeOfUnboundOuterUniversals(q);
  }
  if (TVariable* q = AsVariable(t))
    return Unifier.OneRecord || IsFreeOfOuterUniversals(q) ||
           (Unifier.AcrossRecords && MayMoveWithOuterVariables(q));
  if (TFunctor* f = AsFunctor(t))
    for (TId* arg : f->Args)
      if (arg && !MayStandAsValue(ValueOf(arg))) return false;
  return true;
}

// Answers found so far in this walk are kept on the variables (`TVariable::Free`, stamped with the
// walk's number); a variable met again while its own answer is being found counts as not free
// (the unifier's dependency check keeps such cycles out of the pairs in the first place).
bool IsFreeOfOuterUniversalsInWalk(TVariable* q);

// Whether the value `t` still varies: it holds a universal, or an existential that depends on one.
bool HoldsVaryingValue(TId* t) {
  t = ValueOf(t);
  if (TVariable* u = AsVariable(t))
    return IsEffectivelyUniversal(*u) || !IsFreeOfOuterUniversalsInWalk(u);
  if (TFunctor* f = AsFunctor(t))
    for (TId* arg : f->Args)
      if (arg && HoldsVaryingValue(arg)) return true;
  return false;
}

bool IsFreeOfOuterUniversalsInWalk(TVariable* q) {
  if (IsEffectivelyUniversal(*q)) return true;
  if (!q->Scope) return false;
  if (q->FreedomWalk == Logic.FreedomWalks) return q->Free != 0;
  q->FreedomWalk = Logic.FreedomWalks;
  q->Free = 0;
  // A universal the prover inverted counts as well: a universal that became the value of a
  // binding is a universal still, and what lies inside it depends on it. Leaving it out let
  // ∀!X ∃X1 [q(X1) → r(X, X1)] give X1 away as a value, and the copy that hoisted it read
  // ∃X1 ∀X r(X, X1).
  // A universal that the pairs bind sets the existentials inside it free only when its value is
  // fixed: bound to a universal Y of the other record, ∀Z ∃Z2 [r(Z2, Z)] still gives a Z2 for
  // each Y, and X := Z2 hoisted Z2 in front of Y (∀Y, X [… r(X, Y) …] and that record gave
  // ∃Z ∀Y ¬r(Y, Z)). A value bound in an earlier step lies in the record, outside q already.
  bool free = !AnyOuterVariable(q, [](TVariable* w) {
    if (!IsEffectivelyUniversal(*w) || !ScopeHasPolarity(*w) || w->Binding) return false;
    TId* value = LookupChain(w);
    return value == w || HoldsVaryingValue(value);
  });
  q->Free = free ? 1 : 0;
  return free;
}

bool IsFreeOfOuterUniversals(TVariable* q) {
  ++Logic.FreedomWalks;
  return IsFreeOfOuterUniversalsInWalk(q);
}

// Across two records, an existential inside universals that still vary may be a value: the
// step moves it to the resolvent's root together with every variable outside it, and with the
// variables of the values that the pairs give those, each after what it depends on
// (`ValuesToLift`). The universal it replaces, in the other record or elsewhere in its own, is
// then quantified inside it. That is a prenex order of F[⊥] ∨ G[⊤] (the two prefixes
// interleaved, each in its own order), and the instances are taken under it: ∀A ∃B less(A, B)
// with ∀X, Y [less(X, Y) → q(Y)] gives ∀A ∃B q(B). Where no such order exists (a value that
// depends on the universal it replaces, through the pairs), the step is refused: the binding
// here by the dependency check, the order on the final pairs by `ValuesToLift`.
bool MayMoveWithOuterVariables(TVariable* q) {
  return ScopeHasPolarity(*q) &&
         !AnyOuterVariable(q, [](TVariable* w) { return !ScopeHasPolarity(*w); });
}

}  // namespace

// A universal with only universals outside it may move to the root: the steps that take it
// there (through ∧ and ∨, through a negation or the left side of an implication as the dual
// quantifier, past other universals) are equivalences, and its name is its own object, so
// nothing else is captured. An existential outside would make it depend on that choice, and a
// node with both polarities (an equivalence) has no one quantifier to move.
bool IsLiftableUniversal(const TVariable& v) {
  if (v.Binding || !IsEffectivelyUniversal(v) || !ScopeHasPolarity(v)) return false;
  return !AnyOuterVariable(
      &v, [](TVariable* w) { return !IsEffectivelyUniversal(*w) || !ScopeHasPolarity(*w); });
}

bool InPrefix(const TQuant* q, const TVariable* v) {
  return q && std::find(q->Items.begin(), q->Items.end(), v) != q->Items.end();
}

void CollectVariables(TId* t, std::vector<TVariable*>& out) {
  t = ValueOf(t);
  if (TVariable* v = AsVariable(t)) {
    if (std::find(out.begin(), out.end(), v) == out.end()) out.push_back(v);
  } else if (TFunctor* f = AsFunctor(t)) {
    for (TId* arg : f->Args)
      if (arg) CollectVariables(arg, out);
  }
}

namespace {

// Depth of the variable's place: prefixes above its scope, then its position in its own.
std::pair<std::size_t, std::size_t> PlaceOf(const TVariable* v) {
  std::size_t depth = 0;
  for (const TSub* a = v->Scope; a; a = a->ParentNode) ++depth;
  std::size_t index = 0;
  if (v->Scope && v->Scope->Prefix) {
    const auto& items = v->Scope->Prefix->Items;
    index = static_cast<std::size_t>(std::find(items.begin(), items.end(), v) - items.begin());
  }
  return {depth, index};
}

}  // namespace

bool OuterClosure(const std::vector<TVariable*>& vars, const TQuant* root,
                  std::vector<TVariable*>& out) {
  std::unordered_set<const TVariable*> seen;
  bool ok = true;
  // `outer`: the variable stands outside one that moves. Bound by the pairs there, it is an
  // instance taken in place, so its value must be at hand wherever it stands.
  std::function<void(TVariable*, bool)> add = [&](TVariable* v, bool outer) {
    if (!ok || !seen.insert(v).second) return;
    TId* value = ValueOf(v);
    if (value != v) {
      std::vector<TVariable*> inValue;
      CollectVariables(value, inValue);
      bool byPairs = LookupChain(v) != v;
      for (TVariable* u : inValue) {
        if (byPairs && outer && !u->Witness && !InPrefix(root, u)) ok = false;
        add(u, outer);
      }
      return;
    }
    if (v->Witness || InPrefix(root, v)) return;
    if (!ScopeHasPolarity(*v)) {
      ok = false;
      return;
    }
    out.push_back(v);
    AnyOuterVariable(v, [&](TVariable* w) {
      add(w, true);
      return !ok;
    });
  };
  for (TVariable* v : vars) add(v, false);
  if (!ok) return false;
  // Outermost first: a variable's scope lies below every prefix outside it, so depth and then the
  // position in a prefix order each chain as the record does; apart chains may interleave.
  std::stable_sort(out.begin(), out.end(),
                   [](const TVariable* p, const TVariable* q) { return PlaceOf(p) < PlaceOf(q); });
  return true;
}

bool ValuesToLift(std::vector<TVariable*>& out) {
  out.clear();
  std::vector<TVariable*> values;
  const auto& b = Bindings();
  for (std::size_t k = 0; k + 1 < b.size(); k += 2) CollectVariables(b[k + 1], values);
  std::vector<TVariable*> moving;
  for (TVariable* q : values)
    if (!q->Witness && !IsEffectivelyUniversal(*q) && !IsFreeOfOuterUniversals(q))
      moving.push_back(q);
  if (moving.empty()) return true;
  // Depth first, each variable after everything it depends on: the variables outside it in its
  // record, and for one of those that is bound (by the pairs or an earlier step, an instance
  // that stays in place) the variables of its value. A variable met again on the way is a cycle.
  enum : std::uint8_t { kOnPath = 1, kPlaced = 2 };
  std::unordered_map<const TVariable*, std::uint8_t> state;
  std::function<bool(TVariable*)> place = [&](TVariable* v) -> bool {
    if (v->Witness) return true;
    std::uint8_t& s = state[v];
    if (s == kPlaced) return true;
    if (s == kOnPath || !ScopeHasPolarity(*v)) return false;
    s = kOnPath;
    bool ok = !AnyOuterVariable(v, [&](TVariable* w) {
      TId* value = ValueOf(w);
      if (value == w) return !place(w);
      std::vector<TVariable*> inValue;
      CollectVariables(value, inValue);
      return !std::all_of(inValue.begin(), inValue.end(), place);
    });
    if (!ok) return false;
    state[v] = kPlaced;
    out.push_back(v);
    return true;
  };
  return std::all_of(moving.begin(), moving.end(), place);
}

}  // namespace velmoran
