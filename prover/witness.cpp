#include "prover/witness.h"

#include <algorithm>
#include <string>

#include "logic/logic_state.h"
#include "prover/program.h"
#include "prover/unify.h"

namespace velmoran {

namespace {

// Follows the collected pairs, the values a step is about to copy in, and earlier bindings.
TId* CurrentValue(TId* t) {
  while (TVariable* v = AsVariable(t)) {
    TId* next = Prover.ActiveBindings ? LookupBinding(v) : v;
    if (next == v) next = v->PendingTerm ? v->PendingTerm : v->Binding;
    if (!next) break;
    t = next;
  }
  return t;
}

// Appends the text of a fixed value (constants, numbers, functions and witnesses, a witness by
// its serial number); false when the value holds anything else. `ground`: no witness in it.
bool AppendFixedValue(TId* t, std::string& out, bool& ground) {
  t = CurrentValue(t);
  switch (t->Class()) {
    case TermClass::Variable: {
      auto* v = static_cast<TVariable*>(t);
      if (!v->Witness) return false;
      ground = false;
      out += '#';
      out += std::to_string(v->Serial);
      return true;
    }
    case TermClass::Functor: {
      auto* f = static_cast<TFunctor*>(t);
      out += f->Name;
      out += '(';
      for (TId* a : f->Args)
        if (!a || !AppendFixedValue(a, out, ground))
          return false;
        else
          out += ',';
      out += ')';
      return true;
    }
    case TermClass::FunctorA:
    case TermClass::Integer:
    case TermClass::Real:
      t->Print(out);
      return true;
    default:
      return false;
  }
}

// The values of `args` as text; false unless every one is fixed.
bool KeyOfArguments(const std::vector<TVariable*>& args, std::string& key, bool& ground) {
  key.clear();
  ground = true;
  for (TVariable* w : args) {
    key += '|';
    if (!AppendFixedValue(w, key, ground)) return false;
  }
  return true;
}

// The values of the arguments of the dependent witness `v` as text: stored on the copy, or read
// from its counterparts now.
bool WitnessKeyOf(const TVariable* v, std::string& key) {
  if (!v->WitnessKey.empty()) {
    key = v->WitnessKey;
    return true;
  }
  std::vector<TVariable*> args;
  bool ground = true;
  return WitnessArguments(v, args) && KeyOfArguments(args, key, ground);
}

}  // namespace

bool ActsExistentially(const TVariable& v) {
  return ScopeHasPolarity(v) && !IsEffectivelyUniversal(v);
}

bool OuterCounterparts(const TVariable* v, std::vector<TVariable*>& args) {
  const auto& serials = v->SkolemSerials;
  args.assign(serials.size(), nullptr);
  bool twice = false;
  AnyOuterVariable(v, [&](TVariable* w) {
    for (std::size_t i = 0; i < serials.size(); ++i)
      if (w->Serial == serials[i]) {
        if (args[i]) twice = true;
        args[i] = w;
      }
    return twice;
  });
  return !twice && std::find(args.begin(), args.end(), nullptr) == args.end();
}

// The counterparts of the universals outside the declaration of the dependent witness `v`, in the
// order of `SkolemSerials`.
bool WitnessArguments(const TVariable* v, std::vector<TVariable*>& args) {
  if (!OuterCounterparts(v, args)) return false;
  for (TVariable* w : args)
    if (!ScopeHasPolarity(*w) || !IsEffectivelyUniversal(*w)) return false;
  return true;
}

bool SameWitness(const TVariable* a, const TVariable* b) {
  if (a == b) return true;
  if (a->Serial != b->Serial) return false;
  if (Prover.ActiveProgram && Prover.ActiveProgram->SerialIdentity) return true;
  if (a->SkolemSerials.empty() || b->SkolemSerials.empty()) return a->Witness && b->Witness;
  if (!ActsExistentially(*a) || !ActsExistentially(*b)) return false;
  std::string x, y;
  return WitnessKeyOf(a, x) && WitnessKeyOf(b, y) && x == y;
}

namespace {

// A copy of a fixed value, its variables replaced by their values and each witness by the
// placeholder constant "#SERIAL" (see `TVariable::WitnessValues`).
TId* CopyFixedValue(TId* t) {
  t = CurrentValue(t);
  if (const TVariable* w = AsVariable(t)) return new TFunctorA("#" + std::to_string(w->Serial));
  if (TFunctor* f = AsFunctor(t)) {
    auto* c = new TFunctor(f->Name);
    for (TId* a : f->Args)
      if (a) c->Args.push_back(CopyFixedValue(a));
    return c;
  }
  return CopyGroundTerm(t);
}

}  // namespace

void RecordWitnessKey(const TVariable& source, TVariable& copy) {
  if (source.SkolemSerials.empty() || !source.WitnessKey.empty()) return;
  std::string key;
  bool ground = true;
  std::vector<TVariable*> args;
  if (!WitnessArguments(&source, args) || !KeyOfArguments(args, key, ground)) return;
  copy.WitnessKey = std::move(key);
  for (TVariable* w : args) copy.WitnessValues.push_back(CopyFixedValue(w));
  copy.WitnessValuesGround = ground;
}

namespace {

// An existential with no universal outside it. A variable with both polarities (under an
// equivalence) acts both ways: it counts as universal. A universal that a step bound (a
// resolvent's prefixes still hold them) is an instance and quantifies nothing.
bool IsIndependentExistential(const TVariable& d) {
  if (d.Binding || !ScopeHasPolarity(d) || IsEffectivelyUniversal(d)) return false;
  return !AnyOuterVariable(&d, [](TVariable* w) {
    return !w->Binding && (IsEffectivelyUniversal(*w) || !ScopeHasPolarity(*w));
  });
}

// Calls `visit` on every declared variable of the tree below `n`.
template <class Visit>
void ForEachDeclaration(TSub* n, Visit visit) {
  if (!n) return;
  if (n->Prefix)
    for (TVariable* v : n->Prefix->Items)
      if (v) visit(*v);
  if (n->IsAtom()) return;
  ForEachDeclaration(n->Left, visit);
  ForEachDeclaration(n->Right, visit);
}

}  // namespace

void MarkWitnesses(TFALFormula& source) {
  ForEachDeclaration(source.Root, [](TVariable& v) {
    if (v.Witness || !v.SkolemSerials.empty()) return;
    if (IsIndependentExistential(v)) {
      v.Witness = 1;
    } else if (ActsExistentially(v) && !v.Binding) {
      // A variable of both polarities outside it (under an equivalence) is a choice the witness
      // may depend on too, and no value of it is ever at hand: such a witness is left out.
      std::vector<std::int32_t> serials;
      bool both = AnyOuterVariable(&v, [&serials](TVariable* w) {
        if (!ScopeHasPolarity(*w)) return true;
        if (IsEffectivelyUniversal(*w)) serials.push_back(w->Serial);
        return false;
      });
      if (!both) v.SkolemSerials = std::move(serials);
    }
  });
}

void DeclareResolventWitnesses(TFALFormula& r) {
  ForEachDeclaration(r.Root, [](TVariable& v) {
    if (v.Witness || !IsIndependentExistential(v)) return;
    // A copy of a dependent witness becomes a witness of its own: the steps that set it free
    // (a split inside an existential, a universal bound to a witness) need not leave its
    // arguments at hand.
    v.SkolemSerials.clear();
    v.WitnessKey.clear();
    for (TId* t : v.WitnessValues) FreeTermIfAny(t);
    v.WitnessValues.clear();
    v.Serial = Logic.NextSerial++;
    v.Witness = 1;
  });
}

}  // namespace velmoran
