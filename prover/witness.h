// Witnesses: when copies of a variable are one variable.
//
// A variable is its object: copies made for resolvents are quantified apart, although they keep
// the serial number of their source. The witness of ∃Y in a resolvent need not be the witness of
// ∃Y in its source when Y lies inside a universal: treating the two as one refuted
// ∀X ∃Y [r(Y, Y) ∧ ¬r(Y, X)] on its own.
//
// A declaration D of a source formula (an axiom or the negated query) that acts existentially and
// has no universal outside it in its formula names one witness, as a constant does. Take a model
// of the sources and a witness d for D in it, and read every copy of D, in every record derived
// during the proof, as a constant c naming d (its quantifier dropped). Each source, so read, holds
// in the model with c := d. Each step of the search stays sound under that reading: the renaming
// copies make is undone (every copy is c), a binding of a universal is an instance, and treating
// two copies of D as one variable is the identity c = c. A hoisted copy that the quantifier rules
// turned around is still c. So every derived record is true in the model under the reading, and a
// refutation found with the identity is a refutation of the sources.
//
// The mark has to start at the declaration itself and reach only its descendants: a copy marked
// on its own (say an existential that hoisting made of a universal, or a copy that came to lie
// inside a universal) may stand for a different value in each record, and two such copies taken
// as one would claim a common witness that nothing guarantees. Serial numbers are handed out once
// per declaration, so copies of the same declaration are exactly the variables with its serial.
//
// A step may set existentials free (a split on an instance inside an existential, a universal
// bound to a witness); when a resolvent is stored, each of its existentials with no universal
// outside it becomes a declaration of its own (`DeclareResolventWitnesses`), with a serial number
// nothing else has: the resolvent holds in the model under the reading of the witnesses declared
// before it, so its existential has a witness there, and reading every later copy of the new
// declaration as a constant naming it is the argument above once more. (∃Y ∀X [p(X, Y) ∧ …] split
// on p(Y, Y) leaves ∃Z [q(Y, Z) ∧ …] with Z no longer inside X; later steps must find that Z
// again.) The fresh number keeps it apart from the copies of its source declaration elsewhere,
// which may stand for other values.
//
// A dependent witness, an existential D of a source with universals U1 … Uk outside it, names one
// element for each choice of their values: read every copy of D, in every record, as f(U1', …,
// Uk'), where f picks a witness in the model for each such choice and Ui' is the copy of Ui that
// stands outside that copy of D in its record. Each source so read holds in the model, and the
// argument above goes through with f(…) for c: a binding of a universal is an instance (inside
// f's arguments too), and two copies of D whose counterparts of U1 … Uk hold the same values are
// f of the same values, one element. The prover never puts a copy of D outside the counterparts
// of the universals it depends on (that would be unsound for D as an existential as well), so
// those counterparts are the outer variables with the serials of U1 … Uk, nearest first. A bound
// universal that no longer occurs leaves the record, so a copy made while they hold fixed values
// keeps the values (`RecordWitnessKey`). Where the counterparts are not clear (one is missing, or
// two copies of one stand outside) the copy is a variable of its own. Only copies that act
// existentially are compared: the consequence test's negated record reads D as a universal. A
// copy that `DeclareResolventWitnesses` makes a witness of its own leaves f behind, which is the
// argument above for it. (∀X1 ∃W1 r(X1, W1) gives W1 for X1 := c in two steps; both must be the
// one element, or ∃Z, W [r(c, W) ∧ …] cannot be refuted from it.)
//
// `TPLProgram::SerialIdentity` drops the restriction to witnesses, for debugging only: any two
// copies with one serial number are then one variable, which is the unsound rule above.
#pragma once

#include <vector>

#include "logic/formula.h"
#include "logic/term.h"

namespace velmoran {

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

// Whether the variable acts existentially where it stands (a scope of one polarity).
bool ActsExistentially(const TVariable& v);
// The counterparts of the universals outside the declaration of the dependent witness `v`, in the
// order of `SkolemSerials`; false when they are not clear (one missing, one of them twice).
bool WitnessArguments(const TVariable* v, std::vector<TVariable*>& args);
// The variables outside `v` with the serial numbers its witness depends on, nearest first, as they
// stand, before polarities are computed; false where one is missing or two stand outside it.
bool OuterCounterparts(const TVariable* v, std::vector<TVariable*>& args);

}  // namespace velmoran
