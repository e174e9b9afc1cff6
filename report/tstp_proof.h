// The best refutation of a query as a TSTP derivation, for a front end's --proof.
//
// A refutation record is deleted as soon as it is reported, and the resolvents it came from die
// with their query, so the derivation is printed as text whenever a refutation raises the query's
// best degree and kept in `ReportState::BestProof`. Nothing here runs unless
// `ReportState::ProofWanted` is set: the report itself never changes.
//
// The lines: the source formulas used, each "fof(fI, axiom, ...)" with I its F number; the query as
// "fof(query, conjecture, ...)" and the negated query the prover took as
// "fof(fI, negated_conjecture, ..., inference(assume_negation, ...))"; each resolvent as
// "fof(rJ, plain, ..., inference(resolution, [status(thm)], [PARENT, PARENT]))" with J its R number
// (one parent for a self-resolution), parents always before it; the refutation last, "$false".
// Every formula has a comment line "% NAME degree D" before it: a degree never exceeds the t-norm
// of its parents' degrees, max(0, a + b - 1), and is lower only where a parent's degree was raised
// after the step was taken.
//
// Witnesses, the existentials that the prover takes for one element wherever their copies go,
// become Skolem constants (or functions of the values of the universals they depend on) from the
// first record that declares them: that record is followed by its skolemized form,
// "fof(NAME_sk, plain, ..., inference(skolemize, [status(esa)], [NAME]))", which the steps after it
// use. Read record by record, each copy would otherwise name an element of its own.
//
// A resolvent that only the consequent check's self-resolution refuted was never stored: it
// appears as "resolvent", and the refutation follows it as one step
// "inference(self_resolution, [status(thm), steps(K)], [resolvent])" for K splits in a row, each of
// which takes a degree a to max(0, 2a - 1).
#pragma once

#include <string>
#include <vector>

#include "logic/formula.h"

namespace velmoran {

// The derivation of `refutation`, whose records are the active query's formulas and resolvents.
std::vector<std::string> TstpDerivation(const TFALFormula& refutation);

// Called when `refutation` is about to become the best one: takes its derivation into
// `ReportState::BestProof` (the one printed before its resolvent was deleted, if any).
void CaptureBestProof(const TFALFormula& refutation);

// Called with resolvent `n`, which the consequent check's self-resolution turned into the
// refutation `y`, before `n` is deleted: keeps `y`'s derivation for `CaptureBestProof` when `y`
// may become the best refutation.
void KeepSelfRefutedDerivation(const TFALFormula& n, const TFALFormula& y);

}  // namespace velmoran
