// The proof report: the lines that frame a proof.
//
// Every operation appends to a string or adds whole lines to the active prover object's `Output`.
// Degrees print in the 15-significant-digit format, times with two decimals. The report state
// below belongs to the query being proved and is reset when its proof starts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "logic/formula.h"
#include "prover/program.h"

namespace velmoran {

struct ReportState {
  long double BestDegree = 0;
  std::string BestSubstitution;
  std::string SourceName;
  std::string PartnerName;
  bool SearchStopped = false;
  // Set by a front end that prints the best refutation's derivation (see report/tstp_proof.h);
  // the one field that outlives the reset of each query.
  bool ProofWanted = false;
  // With `ProofWanted`: the TSTP lines of the best refutation so far.
  std::vector<std::string> BestProof;
  // A refutation that self-resolution made from a resolvent deleted before the refutation is
  // reported, and its derivation, printed while that resolvent still lived.
  const TFALFormula* PendingRefutation = nullptr;
  std::vector<std::string> PendingProof;
};
extern ReportState Report;

// The counters of the query being proved, in one block: the numbering of its resolvents, the pair
// procedures entered (a test sees by it that a stop ends the loops at once) and what the
// statistics lines print.
struct StatisticsState {
  std::int32_t ResolventCount = 0;
  std::int64_t PairsTried = 0;
  std::int32_t RemovedTautologies = 0;
  std::int32_t DcfConsequents = 0;
  std::int32_t DcfKilled = 0;
  std::int32_t Unifications = 0;
  std::int32_t Simplifications = 0;
};
extern StatisticsState Statistics;

// Clears the per-query part of the report state (best degree, names, stop flag, best derivation)
// and the counters.
void ResetReportState();

// Adds a line to the active prover object's output.
void AddLine(TPLProgram& program, std::string line);

// The record's text (or its printed root when it has none), ":", degree, "; ".
void AppendFormulaText(const TFALFormula& record, std::string& out);
std::string FormulaText(const TFALFormula& record);

void WriteQueryHeader(TPLProgram& program);
void WriteResolventList(TPLProgram& program);
void WriteStatistics(TPLProgram& program);
// The refutation line, its substitution, and the best degree so far. Sets `SearchStopped` when
// only one refutation is wanted.
void ReportRefutation(TFALFormula& source, TFALFormula& refutation);
// "x = a, y = f(b);" from the answer variables of a refutation's root prefix; empty when none.
std::string SubstitutionText(const TFALFormula& record);
// The values the record's derivation gave the query's variables, whether or not the record is a
// refutation yet: what `SubstitutionText` will show for any refutation made from it by copying.
std::string AnswerText(const TFALFormula& record);
// The degree to which a refutation shows the query true under Łukasiewicz semantics: its degree
// divided by the uses of the negated query in its derivation (see `TFALFormula::QueryUses`).
long double QueryDegree(const TFALFormula& refutation);
void AppendBinding(const TVariable& variable, std::string& text);
void ReportSubstitution(TPLProgram& program, const TFALFormula& record);
// Best degree, solving time and memory, after the last formula of a run.
void WriteClosingLines(TPLProgram& program);

}  // namespace velmoran
