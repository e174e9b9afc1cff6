// Unification of atom terms under the quantifier rules.
//
// Predicate symbols must agree exactly; arguments unify recursively with an occurs check. With
// `QuantificationOn`, a variable may be bound only where it acts universally, and an effectively
// existential variable (anywhere in a value) may become a value only when no universal is
// quantified outside it that is unbound or bound to a value that still varies; between two atoms
// of one record the split that follows decides instead (`OneRecord`). Since admissibility can
// depend on bindings made later in the same pass, a failed pass that made new bindings is repeated
// under them.
//
// Bindings go to `ActiveBindings` as (variable, term) pairs; terms are never rewritten. A variable
// is its object: copies made for a resolvent are other variables, although they keep the serial
// number of their source, except the copies of an independent witness of a source or of a stored
// resolvent, which stay one variable (`SameWitness`, where the argument is written down).
#pragma once

#include <vector>

#include "logic/formula.h"
#include "logic/term.h"

namespace velmoran {

struct UnifierState {
  int State = 0;          // 0 the pass failed; +1/-1 it succeeds so far
  bool PassClean = true;  // no binding was refused in this pass
  const TVariable* OccursTarget = nullptr;
  bool OccursFlag = true;  // cleared when the target is met
  // Set while two atoms of one record are unified for a split of it with itself: any variable may
  // then be a value, and the split decides whether its instance can be taken
  // (`OuterClosure`).
  bool OneRecord = false;
  // Set while the arguments of two copies of a dependent witness are unified: witnesses met
  // inside them are not followed further (their arguments may lead back to these two).
  bool InWitnessArguments = false;
};
extern UnifierState Unifier;

// Unifies under the bindings already collected, appending new pairs; on failure the appended
// pairs stay for the caller to remove.
bool Unify(TId* t1, TId* t2);
// The pair walk: dereferences the pair, compares heads and descends into arguments.
void PairWalk(TId* t1, TId* t2);
void UnifyStep(TId* t1, TId* t2);
// True when the variable object `v` does not occur in `t`, looking through bindings.
bool OccursFree(TId* t, const TVariable* v);
void OccursWalk(TId* s);
// The term of the first pair whose variable is `v`, else `v` itself.
TId* LookupBinding(TVariable* v);
// Follows the binding list from `t` until an unbound variable or a non-variable term.
TId* LookupChain(TId* t);
// The value `t` stands for under the collected pairs and the variables' own bindings: a
// non-variable term or an unbound variable.
TId* ValueOf(TId* t);
bool MayBind(TVariable* v, TId* t);
// Whether every unbound variable of `t` (pairs followed) may be a value: free of outer universals.
bool MayStandAsValue(TId* t);
// The occurs check of the quantifiers: whether the value of `t` depends on `v`, either because
// `v` occurs in it or because an existential in it lies in the scope of a universal whose value
// depends on `v`. Binding `v` to such a term would make a value depend on itself: binding the
// universal X to the existential Y of ∀X ∃Y is refused, also through a chain of bindings.
bool DependsOn(TId* t, const TVariable* v);
bool IsFreeOfOuterUniversals(TVariable* q);
// An unbound universal, at a position of one polarity, with only universals quantified outside
// it: moving it to the record's root prefix keeps the record's meaning.
bool IsLiftableUniversal(const TVariable& v);
bool InPrefix(const TQuant* q, const TVariable* v);
// The unbound variables of `t` under the collected pairs and the variables' own bindings, each
// once, appended to `out` where not there already.
void CollectVariables(TId* t, std::vector<TVariable*>& out);
// The variables that must go to the root, in front of a record's inner prefixes, so that the
// unbound `vars` stand outside the rest of the record: each of them with every variable quantified
// outside it, outermost first. Variables of the root prefix and witnesses stay where they are. A
// variable that the collected pairs bind outside one of them is followed to its value, which must
// then lie over root variables and witnesses alone; one bound earlier is followed to its value as
// well. False when that fails or when one of them has no one polarity.
bool OuterClosure(const std::vector<TVariable*>& vars, const TQuant* root,
                  std::vector<TVariable*>& out);
// Whether two variables count as one: the same object, or copies of one marked witness (of any
// declaration under the debugging `TPLProgram::SerialIdentity`).
bool SameWitness(const TVariable* a, const TVariable* b);
// Called on each copy of a variable as it is made: where the source is a dependent witness whose
// arguments hold fixed values (under the collected pairs and the values being handed to the
// copies), the copy keeps them, since the counterparts may not outlive the step.
void RecordWitnessKey(const TVariable& source, TVariable& copy);
// Marks the declarations of a source formula (an axiom or the negated query) that act
// existentially with no universal outside them. Must run before the first copy of the source is
// made; marking again is harmless.
void MarkWitnesses(TFALFormula& source);
// Makes each existential of a stored resolvent with no universal outside it a declaration of its
// own (a fresh serial number) that names one witness, as `MarkWitnesses` does for a source.
void DeclareResolventWitnesses(TFALFormula& r);

}  // namespace velmoran
