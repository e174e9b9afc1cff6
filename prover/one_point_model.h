// One-element models: a cheap proof that a formula has no refutation.
//
// Over one element every term names the same thing, quantifiers change nothing and an atom's
// truth is its predicate symbol's, so a formula reads as a propositional formula over its
// predicate symbols; every assignment is tried, 64 at a time (bit j of a mask belongs to
// assignment j). A classical model is a fuzzy one, and every step of a self-refutation keeps a
// one-element model (see `SelfRefute`), so a formula that has one is never refuted that way.
#pragma once

#include "logic/formula.h"

namespace velmoran {

// True when some one-element interpretation makes `x` true. False when there is none, and also,
// without a search, when the tree has more than `kMaxOnePointSymbols` predicate symbols (a
// predicate symbol is a name with an arity).
bool HasOnePointModel(const TSub& x);

inline constexpr int kMaxOnePointSymbols = 12;

}  // namespace velmoran
