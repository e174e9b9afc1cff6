// Small countermodels: cheap proofs that an implication B → A is not valid, which settle most
// consequent tests before the bounded refutation runs.
//
// A classical countermodel is a fuzzy one, so when some interpretation makes B true and A false
// no sound test can show that A follows from B. Two searches, both bit-parallel (bit j of a mask
// belongs to interpretation j):
// - one element: every term names the same thing, quantifiers change nothing and an atom's truth
//   is its predicate symbol's, so B → A reads as a propositional formula over the predicate
//   symbols; every assignment is tried, 64 at a time;
// - two elements: a fixed sample of interpretations of the function and predicate symbols, 64 at
//   a time, with every quantifier ranging over both elements.
// Neither ever claims a countermodel that is not one; both may miss one.
#pragma once

#include <cstddef>

#include "logic/formula.h"

namespace velmoran {

// True when some one-element interpretation makes `b` true and `a` false. False when there is
// none, and also, without a search, when the two trees have more than `kMaxCountermodelSymbols`
// predicate symbols between them (a predicate symbol is a name with an arity).
bool HasOnePointCountermodel(const TSub& b, const TSub& a);

inline constexpr int kMaxCountermodelSymbols = 12;

// True when one of some random but fixed two-element interpretations makes `b` true and `a`
// false. Every quantified variable ranges over both elements; a variable with a value stands for
// it, and a witness names one element wherever its copies stand. False, without a search, when
// evaluating the trees would take more than `kMaxTwoPointWork` atom evaluations, a symbol has
// more than `kMaxTwoPointArity` arguments, or a term holds a number or arithmetic (which the
// prover evaluates and no random table respects).
bool HasTwoPointCountermodel(const TSub& b, const TSub& a);

inline constexpr std::size_t kMaxTwoPointWork = 4096;
inline constexpr std::size_t kMaxTwoPointArity = 4;
inline constexpr int kTwoPointRounds = 2;

}  // namespace velmoran
