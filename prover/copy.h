// Copying a formula tree for a resolvent.
//
// Copying renames apart: every copied quantified variable gets a counterpart (`CopyOf`), pending
// terms of the unifier become the counterparts' bindings once the subtree is copied, and
// variables that a substituted term brings in from elsewhere are hoisted into
// `Walks.NewVariables`. It lives with the unifier rather than with the other walks in `logic/`
// because each copy of a witness keeps the values that the unifier's identity rule compares
// (`RecordWitnessKey`); the marks it leaves are removed by the logic layer's clean-up walk.
#pragma once

#include "logic/walk.h"

namespace velmoran {

// Copies a whole tree below `parent` (which becomes the copy's parent node); atoms join the chain
// under construction.
TSub* CopyTree(TSub* root, TSub* parent);

}  // namespace velmoran
