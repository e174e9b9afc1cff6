#include "prover/paramodulation.h"

#include <algorithm>
#include <vector>

#include "logic/alphabet.h"
#include "logic/term.h"
#include "prover/resolution.h"
#include "prover/unify.h"
#include "prover/witness.h"
#include "report/report.h"

namespace velmoran {

namespace {

bool IsEquation(const TAtom& a) {
  const TFunctor* f = AsFunctor(a.Term);
  return f && f->Args.size() == 2 && f->Args[0] && f->Args[1] && f->Name.size() == 1 &&
         f->Name.front() == kEqual;
}

// Arithmetic operators and relations are evaluated, not symbols equals may stand in.
bool IsSymbol(const std::string& name) {
  return !name.empty() && IsLower(name.front());
}

// A term's value: bindings of earlier steps and the pairs collected for this one followed, so
// that the order can be checked on the instance a unifier makes.
TId* Value(TId* t) {
  return ValueOf(t);
}

// An unbound variable that does not name one element: a universal, or one of no one polarity.
bool IsOpen(const TId* t) {
  const TVariable* v = AsVariable(t);
  return v && !ActsExistentially(*v);
}

int Weight(TId* t) {
  t = Value(t);
  int w = 1;
  if (TFunctor* f = AsFunctor(t))
    for (TId* a : f->Args)
      if (a) w += Weight(a);
  return w;
}

// Counts each open variable's occurrences, `sign` added per occurrence.
void CountOpen(TId* t, int sign, std::vector<std::pair<const TVariable*, int>>& counts) {
  t = Value(t);
  if (IsOpen(t)) {
    const auto* v = static_cast<const TVariable*>(t);
    auto it =
        std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == v; });
    if (it == counts.end())
      counts.emplace_back(v, sign);
    else
      it->second += sign;
    return;
  }
  if (TFunctor* f = AsFunctor(t))
    for (TId* a : f->Args)
      if (a) CountOpen(a, sign, counts);
}

// Every open variable occurs in `s` at least as often as in `t`: then no instance makes `t`
// heavier than `s` once `s` is the heavier.
bool CoversOpenVariables(TId* s, TId* t) {
  std::vector<std::pair<const TVariable*, int>> counts;
  CountOpen(s, 1, counts);
  CountOpen(t, -1, counts);
  return std::all_of(counts.begin(), counts.end(), [](const auto& c) { return c.second >= 0; });
}

bool Greater(TId* s, TId* t);

bool Identical(TId* s, TId* t) {
  s = Value(s);
  t = Value(t);
  if (s == t) return true;
  const TVariable* vs = AsVariable(s);
  const TVariable* vt = AsVariable(t);
  if (vs || vt) return vs && vt && SameWitness(vs, vt);
  if (s->IsNumber() || t->IsNumber())
    return s->IsNumber() && t->IsNumber() && AsNumber(s)->Value() == AsNumber(t)->Value();
  if (s->Class() != t->Class() || static_cast<TFunc*>(s)->Name != static_cast<TFunc*>(t)->Name)
    return false;
  const TFunctor* f = AsFunctor(s);
  const TFunctor* g = AsFunctor(t);
  if (!f) return true;
  if (f->Args.size() != g->Args.size()) return false;
  for (std::size_t i = 0; i < f->Args.size(); ++i)
    if (!f->Args[i] || !g->Args[i] || !Identical(f->Args[i], g->Args[i])) return false;
  return true;
}

// The order of two terms of one weight: 1 when `s` is the greater, -1 when `t` is, 0 when
// neither (identical, or not comparable for every instance).
int CompareSameWeight(TId* s, TId* t) {
  s = Value(s);
  t = Value(t);
  const TVariable* vs = AsVariable(s);
  const TVariable* vt = AsVariable(t);
  if (vs || vt) {
    if (IsOpen(s) || IsOpen(t)) return 0;
    if (vs && vt) return vs->Serial > vt->Serial ? 1 : vs->Serial < vt->Serial ? -1 : 0;
    return vs ? 1 : -1;
  }
  if (s->IsNumber() || t->IsNumber()) {
    if (!s->IsNumber()) return 1;
    if (!t->IsNumber()) return -1;
    long double x = AsNumber(s)->Value(), y = AsNumber(t)->Value();
    return x > y ? 1 : x < y ? -1 : 0;
  }
  const TFunctor* f = AsFunctor(s);
  const TFunctor* g = AsFunctor(t);
  std::size_t fa = f ? f->Args.size() : 0, ga = g ? g->Args.size() : 0;
  if (fa != ga) return fa > ga ? 1 : -1;
  int names = static_cast<TFunc*>(s)->Name.compare(static_cast<TFunc*>(t)->Name);
  if (names != 0) return names > 0 ? 1 : -1;
  for (std::size_t i = 0; i < fa; ++i) {
    TId* x = f->Args[i];
    TId* y = g->Args[i];
    if (!x || !y || Identical(x, y)) continue;
    if (Greater(x, y)) return 1;
    if (Greater(y, x)) return -1;
    return 0;
  }
  return 0;
}

// A Knuth–Bendix order with every symbol of weight 1; stable under instances.
bool Greater(TId* s, TId* t) {
  if (!CoversOpenVariables(s, t)) return false;
  int ws = Weight(s), wt = Weight(t);
  if (ws != wt) return ws > wt;
  return CompareSameWeight(s, t) > 0;
}

// The open variables of `t` that `s` lacks all belong to the root prefix of `f`: the step then
// speaks of one value of each on both sides of its disjunction, as a binding across records does.
bool ExtraVariablesAtRoot(TId* t, TId* s, const TFALFormula& f) {
  std::vector<std::pair<const TVariable*, int>> counts;
  CountOpen(t, 1, counts);
  std::vector<std::pair<const TVariable*, int>> inS;
  CountOpen(s, 1, inS);
  const TQuant* root = f.Root ? f.Root->Prefix : nullptr;
  for (const auto& entry : counts) {
    const TVariable* v = entry.first;
    if (std::any_of(inS.begin(), inS.end(), [v](const auto& c) { return c.first == v; })) continue;
    if (!root || std::find(root->Items.begin(), root->Items.end(), v) == root->Items.end())
      return false;
  }
  return true;
}

// Whether unifying the two can succeed at all: their head symbols agree (or one is a variable).
bool HeadsMayMeet(TId* s, TId* u) {
  s = Value(s);
  u = Value(u);
  if (!s->IsFunc() || !u->IsFunc()) return true;
  if (s->Class() != u->Class()) return false;
  if (static_cast<TFunc*>(s)->Name != static_cast<TFunc*>(u)->Name) return false;
  const TFunctor* f = AsFunctor(s);
  return !f || f->Args.size() == AsFunctor(u)->Args.size();
}

struct TStep {
  TFALFormula& F;
  TAtom* E;
  TId* S;
  TId* T;
  TFALFormula& G;
  TTermReplacement At;
  const std::function<bool(TFALFormula*)>& Take;
};

// Tries every argument occurrence below `term` (the path to it in `step.At.Path`); false once
// `Take` has asked to stop.
bool Into(TStep& step, TFunctor* term) {
  for (std::size_t i = 0; i < term->Args.size(); ++i) {
    TId* u = term->Args[i];
    if (!u) continue;
    TId* value = Value(u);
    if (IsOpen(value) || value->IsNumber()) continue;
    step.At.Path.push_back(i);
    bool go = true;
    if (HeadsMayMeet(step.S, value)) {
      ClearBindings();
      // The instance must not make the replacing term the greater: s = t with neither side
      // greater (f(X) = g(Y)) is used only where its instance is ordered.
      if (Unify(step.S, u) && !Greater(step.T, step.S) && !Identical(step.S, step.T))
        go = step.Take(MakeParamodulant(step.F, step.E, step.G, step.At));
      ClearBindings();
    }
    if (TFunctor* inner = AsFunctor(value); go && inner && IsSymbol(inner->Name))
      go = Into(step, inner);
    step.At.Path.pop_back();
    if (!go) return false;
  }
  return true;
}

}  // namespace

void Paramodulate(TFALFormula& f, TFALFormula& g, const std::function<bool(TFALFormula*)>& take) {
  bool marked = false;
  for (TAtom* e = f.FirstAtom; e; e = e->Next()) {
    if (e->Constant != 0 || !IsEquation(*e)) continue;
    // The ordering reads which variables name one element; sources are marked before any copy.
    if (!marked) {
      if (!f.Source1) MarkWitnesses(f);
      if (!g.Source1) MarkWitnesses(g);
      marked = true;
    }
    auto* equation = static_cast<TFunctor*>(e->Term);
    for (int side = 0; side < 2; ++side) {
      TId* s = equation->Args[side];
      TId* t = equation->Args[1 - side];
      // A universal for t that s lacks would let every occurrence of s become anything.
      if (IsOpen(Value(s)) || Greater(t, s) || Identical(s, t) || !ExtraVariablesAtRoot(t, s, f) ||
          (IsOpen(Value(t)) && !Greater(s, t)))
        continue;
      for (TAtom* b = g.FirstAtom; b; b = b->Next()) {
        TFunctor* p = AsFunctor(b->Term);
        if (b->Constant != 0 || !p || !(IsSymbol(p->Name) || IsEquation(*b))) continue;
        TStep step{f, e, s, t, g, TTermReplacement{b, {}, t}, take};
        if (!Into(step, p)) return;
      }
    }
  }
}

}  // namespace velmoran
