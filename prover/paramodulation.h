// The equality rule: replacing equals inside whole formulas.
//
// With `TSettings::EqualityRule`, "=" is equality and the search replaces equals instead of
// resolving with the symmetry, transitivity and substitution axioms (reflexivity stays an axiom:
// s ≠ s is refuted by resolution with ∀X X = X). From F holding an equation s = t and G holding
// a term u that unifies with s, the step makes F[s = t := ⊥] ∨ G[u := t] (see
// `MakeParamodulant`): if the equation holds, G keeps its value; if not, F[⊥] is F.
//
// An ordering keeps it from looping: s is replaced by t only where t is not the greater, on the
// terms as written and again on the instance the unifier makes. Terms compare by their number of
// symbols, then (equal counts) symbol by symbol: a witness, which names one element as a constant
// does, is greater than any function term, function terms compare by arity and name; a side with
// a universal the other lacks is never the greater, so the order holds for every instance. A
// universal is never s (it would replace every term), an occurrence of one is never replaced (the
// unifier would only bind it), t is a bare universal only when s is the greater, and a universal
// of t that s lacks must belong to F's root prefix, so that it stands for one value on both sides
// of the new disjunction, as a binding across the two records does.
//
// Only a replacement into another record is made, every occurrence of every argument of every
// atom in turn; the rule leaves the bindings empty and the records as they were.
#pragma once

#include <functional>

#include "logic/formula.h"

namespace velmoran {

// Hands each paramodulant of an equation of `f` into `g` (distinct records) to `take`, which
// owns it from then on; stops early when `take` returns false.
void Paramodulate(TFALFormula& f, TFALFormula& g, const std::function<bool(TFALFormula*)>& take);

}  // namespace velmoran
