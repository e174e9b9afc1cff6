// Walks: every pass over a formula is one recursive traversal steered by a mode and a callback.
//
// Variable binding after parsing, arithmetic evaluation, simplification, the clean-up of copy
// marks and the reset of a query's answer variables are modes of this walk. In the rewriting modes
// the callback's result replaces what was visited; a callback may change the mode in which the
// rest of the current node is walked. Copying with fresh variables and the unifier's term walks
// need the unifier's witness rules and live with it (`prover/copy.h`, `prover/unify.h`); they
// share the state below, since a copy leaves the marks that the clean-up mode removes.
#pragma once

#include <vector>

#include "logic/formula.h"

namespace velmoran {

enum class WalkMode : char {
  PostOrder = '3',
  PreOrder = '4',
  SimplifyWalk = 's',
  Cleanup = 'd',
  ResetVariables = 'v',
};

// The copy and clean-up state; owned by the operation that starts the walk, never nested.
struct WalkState {
  TSub* CopyParent = nullptr;
  bool NegateConstantsOnCopy = false;
  TQuant* NewVariables = nullptr;
  bool VariableDeleted = false;
  // When set, the clean-up walk moves the variables it removes here instead of deleting them.
  std::vector<TVariable*>* Dead = nullptr;
};
extern WalkState Walks;

TQuant* TraversePrefix(TQuant* prefix, WalkMode mode, WalkCallback callback, TObject* argument);
TId* TraverseTerm(TId* term, WalkMode mode, WalkCallback callback, TObject* argument);

}  // namespace velmoran
