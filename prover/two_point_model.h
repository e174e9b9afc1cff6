// Two-element countermodels: a cheap proof that an implication B → A is not valid, which settles
// many consequent tests before their bounded refutation runs.
//
// A classical countermodel is a fuzzy one, so when some interpretation makes B true and A false
// no sound test can show that A follows from B. A fixed sample of 64 interpretations over the
// elements {0, 1} is tried at once (bit j of a mask belongs to interpretation j): random tables
// for the function and predicate symbols, every quantifier ranging over both elements. (More
// samples settled few more tests on the problems measured, at the same cost each.)
// A witness names one element wherever its copies stand, in B and in A alike, which is how the
// consequent test reads it (it never binds one). The search never claims a countermodel that is
// not one; it may miss one.
#pragma once

#include <cstddef>

#include "logic/formula.h"

namespace velmoran {

// True when one of the sampled interpretations makes `b` true and `a` false. A variable with a
// value stands for it. False, without a search, when evaluating the trees would take
// `kMaxTwoPointWork` term evaluations or more, a symbol has more than `kMaxTwoPointArity`
// arguments, a term holds a number or arithmetic (which the prover evaluates and no random table
// respects), or a variable occurs outside the prefixes above it (as a resolvent's copy may use the
// other's).
bool HasTwoPointCountermodel(const TSub& b, const TSub& a);

inline constexpr std::size_t kMaxTwoPointWork = 4096;
inline constexpr std::size_t kMaxTwoPointArity = 4;

}  // namespace velmoran
