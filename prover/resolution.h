// The generalized resolution step.
//
// From records F and G and atom occurrences a in F and b in G whose terms unify, the resolvent is
// F[a := v] ∨ G[b := ¬v] for a truth constant v: both trees are copied whole, the chosen
// occurrences (and, under the growing unifier, further occurrences of the same atom: factoring)
// become constants, and a new disjunction joins the copies. The caller simplifies it. Its degree
// is the Łukasiewicz t-norm of the sources' degrees when the atom occurs once in each source, and
// lower by what further occurrences can move the sources' values (`ResolventDegree`). The same
// machinery on one record gives self-resolution X[A := v] ∨ X[A := ¬v].
//
// Every operation here that copies trees leaves `Bindings` empty, and leaves the sources with no
// constant, mark or copy state on their atoms and variables (except `SelfResolveInPlace`, which
// rebuilds its record).
#pragma once

#include "logic/formula.h"
#include "prover/copy.h"

namespace velmoran {

long double TNorm(long double x, long double y);
// The degree of a resolvent whose sources have degrees x and y and whose marked atoms weigh
// `weight` (1 when the resolved atom occurs once in each source): max(0, x + y - weight). Its new
// disjunction reads as the maximum or as the bounded sum; see `StepCost` in the implementation.
long double ResolventDegree(long double x, long double y, int weight);
// Counts one unification; on failure `Bindings` is as before the call.
bool UnifyAtoms(TAtom* a, TAtom* b);
void ClearBindings();
// The orientation rule: whether the occurrence in the first record becomes false.
bool FalseInFirst(const TAtom& a, const TAtom& b);
// A self-resolution step replaces an atom class by v in one copy of a record and by ¬v in the
// other. `Sound` splits on one atom only (the very same atom, over root variables shared by both
// copies), so X[A := v] ∨ X[A := ¬v] follows from X and a refutation reached by it is real.
// `ConsequenceTest` first takes an instance of the root prefix, X ⊢ X[x := t]: it also marks the
// atoms that unify with a marked one by binding root universals to terms over root variables (the
// unifier's quantifier rules decide which bindings are allowed), and both copies share those
// bindings. Sound as well; it lets the consequence test see that p(a) follows from ∀X p(X).
enum class SplitKind { Sound, ConsequenceTest };

// Whether a case split on the atom is sound: every variable it holds (bindings followed) is a
// variable of the record's root prefix, which both operands of the split then share.
bool IsSplitAtom(const TFALFormula& x, const TAtom& atom);
// Marks the class of `a` (see `SplitKind`); false, with nothing marked, when a split cannot take
// `a`. A `ConsequenceTest` marking leaves its bindings in `Bindings` for the copies.
bool MarkAtomClass(TFALFormula& x, TAtom* a, bool falseInFirst, SplitKind kind);
// Precondition: UnifyAtoms(a, b) has just succeeded. `f` and `g` may be the same record; then
// the result is none when `a` is no split atom. With `tautology` given, a step of two records
// whose resolvent the simplification would make true (a source true by its marked atoms alone,
// such as G[⊤] for an atom that only disjunctions hold) is not made: the result is none, the
// sources are as they were and `*tautology` is set.
TFALFormula* MakeResolvent(TFALFormula& f, TFALFormula& g, TAtom* a, bool falseInFirst, TAtom* b,
                           bool* tautology = nullptr);
// The equality step: from F holding the equation e, s = t, and G holding a term u at `at`, with
// s and u unified just before, F[e := ⊥] ∨ G[u := t] (only that occurrence replaced). If e holds,
// G keeps its value with t for u; if not, F[e := ⊥] is F. `at.By` is t, a term of F. `f` and `g`
// are distinct records.
TFALFormula* MakeParamodulant(TFALFormula& f, TAtom* e, TFALFormula& g, const TTermReplacement& at);
// None when a sound split cannot take `a`.
TFALFormula* SelfResolveCopy(TFALFormula& x, TAtom* a, bool falseInFirst, SplitKind kind);
// False (and `x` untouched) when a sound split cannot take `a`.
bool SelfResolveInPlace(TFALFormula& x, TAtom* a, bool falseInFirst, SplitKind kind);

}  // namespace velmoran
