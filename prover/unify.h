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
// number of their source, except the copies of a witness, which stay one variable (`SameWitness`
// in `witness.h`, which opens with the argument).
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
  // Set while atoms of two records are unified for a resolution step: an existential whose outer
  // universals are unbound may then be a value, since the step moves it to the resolvent's root
  // with every variable outside it (`ValuesToLift`).
  bool AcrossRecords = false;
  // Set while the arguments of two copies of a dependent witness are unified: witnesses met
  // inside them are not followed further (their arguments may lead back to these two).
  bool InWitnessArguments = false;
};
extern UnifierState Unifier;

// Unifies under the bindings already collected, appending new pairs; on failure the appended
// pairs stay for the caller to remove.
bool Unify(TId* t1, TId* t2);
// The term of the first pair whose variable is `v`, else `v` itself.
TId* LookupBinding(TVariable* v);
// True when the variable object `v` does not occur in `t`, looking through bindings.
bool OccursFree(TId* t, const TVariable* v);
// The value `t` stands for under the collected pairs and the variables' own bindings: a
// non-variable term or an unbound variable.
TId* ValueOf(TId* t);
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
// For a resolution step of two records under the collected pairs: the variables to move to the
// resolvent's root, each after those it depends on, so that each existential value whose outer
// universals still vary stands outside the universal it replaces. Empty when no value needs it;
// false when no such order exists (a cycle through the pairs, or a variable with no one polarity),
// and the step must not be taken.
bool ValuesToLift(std::vector<TVariable*>& out);

}  // namespace velmoran
