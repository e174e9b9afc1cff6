// Countermodels over a one-element domain: a cheap proof that an implication is not valid.
//
// Over one element every term names the same thing, quantifiers change nothing and an atom's
// truth is its predicate symbol's. B → A then reads as a propositional formula over the predicate
// symbols, and a truth assignment that makes B true and A false is a classical, hence fuzzy,
// countermodel: no sound test can show that A follows from B. The assignments are tried 64 at a
// time, one per bit.
#pragma once

#include "logic/formula.h"

namespace velmoran {

// True when some one-element interpretation makes `b` true and `a` false. False when there is
// none, and also, without a search, when the two trees have more than `kMaxCountermodelSymbols`
// predicate symbols between them (a predicate symbol is a name with an arity).
bool HasOnePointCountermodel(const TSub& b, const TSub& a);

inline constexpr int kMaxCountermodelSymbols = 12;

}  // namespace velmoran
