// Proving a TPTP conjecture one part at a time, under --auto.
//
// (Every --auto run on a TPTP problem also stores each of its axioms that is a conjunction as its
// conjuncts: theory_file.h's `WithAxiomsInParts`; the parts below are proved on those texts.)
//
// Where the conjecture is a conjunction of parts (parser/tptp_reader.h says which), the portfolio
// proves the parts one after another, in the order the conjecture writes them, each on the problem
// with that part as its query. The conjecture is a theorem when every part is refuted: the parts'
// conjunction is the conjecture itself. The first part left unrefuted ends the run, since the
// conjecture is then unproved whatever the others do; so each part may use all that is left of
// the budget. A part's negation is one case of the conjecture's, so its search starts from less.
//
// What a user reads: for each part, a line naming it, then the portfolio's report of it and its
// closing line (or, for a part that repeats an axiom, one line saying so); after the last part
// tried, one line on the conjecture as a whole, and with --szs one SZS line for the problem.
// Without a split (one part, --proof, or not TPTP) the portfolio
// runs on the whole problem as before. A theory text is never taken apart: its report gives each
// query its degree, where the parts would give theirs, and a query can be written as several.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "cli/attempt.h"
#include "cli/cli_options.h"
#include "cli/portfolio.h"
#include "cli/theory_file.h"
#include "report/line_sink.h"

namespace velmoran::cli {

// The first line of an --auto report on a TPTP problem some of whose axioms are conjunctions:
// the portfolio stores each as its conjuncts (see `WithAxiomsInParts`), so the report numbers
// them so.
inline constexpr const char* kAxiomsInPartsLine =
    "Auto: each axiom that is a conjunction is stored as its conjuncts";

// Said of a part written exactly as one of the axioms (or as a part of one): the axiom proves it,
// so no search is run, however long a search would take to find the copy among the axioms.
inline constexpr const char* kPartIsAxiomLine =
    "Auto: the part is written as one of the axioms, which prove it as they stand";
// The same of a conjecture that is one part (once a double negation is dropped): that line alone
// stands for the portfolio's report.
inline constexpr const char* kConjectureIsAxiomLine =
    "Auto: the conjecture is written as one of the axioms, which prove it as they stand";

// The settings with the equality rule take the axioms apart in their directions too, the others
// only their conjunctions: measured on the library, the first refutes MGT021+1 (2 s, its
// definitions' conclusions apart) and the second RNG089+2 (5 s), and neither both.
inline constexpr bool kRuleTextInDirections = true;

// The texts --auto runs its settings on (portfolio.h's `TPortfolioTexts`), the axioms in parts:
// the problem, and where it has equality axioms the problem without them and without those the
// equality rule stands for.
struct TAutoTexts {
  std::string Full;
  std::optional<std::string> WithoutEquality, ForEqualityRule;
  TPortfolioTexts View() const {
    return {Full, WithoutEquality ? &*WithoutEquality : nullptr,
            ForEqualityRule ? &*ForEqualityRule : nullptr};
  }
};
TAutoTexts AutoTexts(const TheoryText& text);

// Whether --auto proves `text` in parts.
bool ProvesInParts(const TheoryText& text, const Options& options);

// The portfolio on each part in turn, as above; the report lines go to `output`.
TRunOutcome ProveInParts(const TheoryText& text, const Options& options, TLineSink& output,
                         const std::function<bool()>& interrupted);

}  // namespace velmoran::cli
