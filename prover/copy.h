// Copying a formula tree for a resolvent.
//
// Copying renames apart: every copied quantified variable gets a counterpart (`CopyOf`), pending
// terms of the unifier become the counterparts' bindings once the subtree is copied, and
// variables that a substituted term brings in from elsewhere are hoisted into
// `Walks.NewVariables`. It lives with the unifier rather than with the other walks in `logic/`
// because each copy of a witness keeps the values that the unifier's identity rule compares
// (`RecordWitnessKey`); the marks it leaves are removed by the logic layer's clean-up walk.
#pragma once

#include <cstddef>
#include <vector>

#include "logic/walk.h"

namespace velmoran {

// One term occurrence of one atom that a copy takes as another term: the argument indices from
// the atom's predicate term down to the occurrence, through the bindings of variables on the way.
// The replacing term is copied as any term is, so its variables must be copied already or be
// hoisted.
struct TTermReplacement {
  TAtom* Atom = nullptr;
  std::vector<std::size_t> Path;
  TId* By = nullptr;
};

// Copies a whole tree below `parent` (which becomes the copy's parent node); atoms join the chain
// under construction. With `replacement`, its atom's copy holds the replacing term at its place.
TSub* CopyTree(TSub* root, TSub* parent, const TTermReplacement* replacement = nullptr);

}  // namespace velmoran
