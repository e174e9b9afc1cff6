// Walks: every pass over a formula is one recursive traversal steered by a mode and a callback.
//
// Variable binding after parsing, arithmetic evaluation, simplification, copying with fresh
// variables and pending substitutions, clean-up of the copy marks, the reset of a query's answer
// variables and the unifier's pair and occurs walks are all modes of the one walk. In the
// rewriting modes the callback's result replaces what was visited; a callback may change the mode
// in which the rest of the current node is walked.
//
// Copying renames apart: every copied quantified variable gets a counterpart (`CopyOf`), pending
// terms of the unifier become the counterparts' bindings once the subtree is copied, and
// variables that a substituted term brings in from elsewhere are hoisted into `NewVariables`.
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
  Copy = 'r',
  CompleteCopy = 'q',
  CopyFresh = 'p',
  UnifyWalk = '5',
  OccursScan = '6',
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

// Copies a whole tree below `parent` (which becomes the copy's parent node); atoms join the chain
// under construction.
TSub* CopyTree(TSub* root, TSub* parent);

}  // namespace velmoran
