#include "prover/simplify.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "logic/alphabet.h"
#include "logic/logic_state.h"
#include "logic/walk.h"
#include "report/report.h"

namespace velmoran {

namespace {

TObject* SimplifyConstants(TObject* object, WalkMode& mode, TObject* argument);
// Marks every variable that an atom or an always-kept variable (one with an origin and a value)
// reaches through values.
TObject* MarkReached(TObject* object, WalkMode& mode, TObject* argument);

}  // namespace

namespace {

// Collects what the clean-up walk removes and deletes it when the walk is over, also when an
// allocation fails inside it (a slot already emptied is null in its prefix, which prefixes allow).
struct DeadVariables {
  std::vector<TVariable*> Items;
  DeadVariables() { Walks.Dead = &Items; }
  DeadVariables(const DeadVariables&) = delete;
  DeadVariables& operator=(const DeadVariables&) = delete;
  ~DeadVariables() {
    Walks.Dead = nullptr;
    for (TVariable* v : Items) {
      FreeTermIfAny(v->Binding);
      v->Binding = nullptr;
    }
    for (TVariable* v : Items) delete v;
  }
};

}  // namespace

void Simplify(TFALFormula& record) {
  if (Logic.ArithmeticTerms > 0) record.Walk(WalkMode::PostOrder, EvaluateArithmetic);
  Logic.ChainFirst = record.FirstAtom;
  Logic.ChainLast = record.LastAtom;
  record.Walk(WalkMode::SimplifyWalk, SimplifyConstants);
  record.FirstAtom = Logic.ChainFirst;
  record.LastAtom = Logic.ChainLast;
  Walks.VariableDeleted = false;
  record.Walk(WalkMode::PreOrder, MarkOccurrences);
  record.Walk(WalkMode::Cleanup, nullptr);
  if (!Walks.VariableDeleted) return;
  // The first pass also kept what a copy had just marked and every variable in a value; after a
  // deletion, the survivors are exactly what the atoms and the always-kept variables reach
  // through values (values have no cycles), and one more pass finds them. Variables found dead
  // may hold one another in their values, so all their values go before any of them.
  record.Walk(WalkMode::PreOrder, MarkReached);
  DeadVariables dead;
  record.Walk(WalkMode::Cleanup, nullptr);
}

TObject* EvaluateArithmetic(TObject* object, WalkMode&, TObject*) {
  TFunctor* f = AsFunctor(AsTerm(object));
  if (!f || f->Name.empty() || !IsArithmeticChar(f->Name.front()) || f->Args.size() < 2)
    return object;
  TId* a = f->Args[0];
  TId* b = f->Args[1];
  while (TVariable* v = AsVariable(a)) a = v->Binding;
  while (TVariable* v = AsVariable(b)) b = v->Binding;
  const TNumber* x = AsNumber(a);
  const TNumber* y = AsNumber(b);
  if (!x || !y) return object;
  long double r = 0;
  switch (f->Name.front()) {
    case kPlus:
      r = x->Value() + y->Value();
      break;
    case kMinus:
      r = x->Value() - y->Value();
      break;
    case kTimes:
      r = x->Value() * y->Value();
      break;
    default:
      r = x->Value() / y->Value();
      break;
  }
  // Operands are finite, so an infinite or undefined result is exactly a division by zero, an
  // invalid operation or an overflow; underflow rounds and counts as a result.
  if (!std::isfinite(r)) return object;
  f->FreeTerm();
  return new TReal(r);
}

namespace {

TObject* SimplifyConstants(TObject* object, WalkMode&, TObject*) {
  auto* n = static_cast<TSub*>(object);
  if (!n->Left || !n->Right || (n->Left->Constant == 0 && n->Right->Constant == 0)) return n;
  ++Statistics.Simplifications;
  int a = n->Left->Constant;
  int b = n->Right->Constant;
  int r;
  switch (n->Kind()) {
    case 4:
      r = std::min(a, b);
      break;
    case 3:
      r = std::max(a, b);
      break;
    default:
      r = std::max(-a, b);
      break;
  }
  TSub* result;
  if (r != 0) {
    // Below the root, a node that becomes a constant dies in its parent's step of this walk (a
    // constant operand is freed with it or with the parent), so its prefix is settled further up.
    bool dies = !n->IsRoot();
    n->Left->FreeTree(HeldSlot::AsLinked, dies);
    n->Left = nullptr;
    n->Right->FreeTree(HeldSlot::AsLinked, dies);
    n->Right = nullptr;
    n->Constant = static_cast<std::int8_t>(r);
    result = n;
  } else {
    TSub* kept = n->Left->Constant == 0 ? n->Left : n->Right;
    bool negateKept = n->IsImplication() && n->Right->Constant == -1;
    ReplaceByChild(kept);
    if (negateKept) Negate(kept);
    result = kept;
  }
  if (result->Negated) result->Constant = static_cast<std::int8_t>(-result->Constant);
  return result;
}

// Marks the variables met below `object`; a variable's value is walked where the variable occurs,
// and at its prefix when `everyValue` is set or the variable is kept without occurring.
TObject* Mark(TObject* object, WalkMode& mode, bool everyValue) {
  if (TSub* n = AsNode(object)) {
    if (n->Prefix)
      for (TVariable* v : n->Prefix->Items)
        if (v && v->Binding && (everyValue || v->Origin))
          TraverseTerm(v->Binding, WalkMode::PostOrder, MarkOccurrences, nullptr);
    if (n->IsAtom()) mode = WalkMode::PostOrder;
  } else if (TVariable* v = AsVariable(object)) {
    v->Occurs = 1;
  }
  return object;
}

}  // namespace

TObject* MarkOccurrences(TObject* object, WalkMode& mode, TObject*) {
  return Mark(object, mode, true);
}

namespace {

TObject* MarkReached(TObject* object, WalkMode& mode, TObject*) {
  return Mark(object, mode, false);
}

}  // namespace

}  // namespace velmoran
