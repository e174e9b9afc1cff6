// The generalized resolution step.
//
// From records F and G and atom occurrences a in F and b in G whose terms unify, the resolvent is
// F[a := v] ∨ G[b := ¬v] for a truth constant v: both trees are copied whole, the chosen
// occurrences (and, under the growing unifier, further occurrences of the same atom: factoring)
// become constants, and a new disjunction joins the copies. The caller simplifies it. Its degree
// is the Łukasiewicz t-norm of the sources' degrees. The same machinery on one record gives
// self-resolution X[A := v] ∨ X[A := ¬v].
//
// Every operation here that copies trees leaves `Bindings` empty, and leaves the sources with no
// constant, mark or copy state on their atoms and variables (except `SelfResolveInPlace`, which
// rebuilds its record).
#pragma once

#include "logic/formula.h"

namespace velmoran {

long double TNorm(long double x, long double y);
// Counts one unification; on failure `Bindings` is as before the call.
bool UnifyAtoms(TAtom* a, TAtom* b);
void ClearBindings();
// Hands every pair of `Bindings` to its variable as a pending term, then empties the list.
void ApplyBindings();
// The orientation rule: whether the occurrence in the first record becomes false.
bool FalseInFirst(const TAtom& a, const TAtom& b);
void MarkAtomClass(TFALFormula& x, TAtom* a, bool falseInFirst);
// Precondition: UnifyAtoms(a, b) has just succeeded. `f` and `g` may be the same record.
TFALFormula* MakeResolvent(TFALFormula& f, TFALFormula& g, TAtom* a, bool falseInFirst, TAtom* b);
TFALFormula* SelfResolveCopy(TFALFormula& x, TAtom* a, bool falseInFirst);
TFALFormula* SelfResolveInPlace(TFALFormula& x, TAtom* a, bool falseInFirst);

}  // namespace velmoran
