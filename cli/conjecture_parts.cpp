#include "cli/conjecture_parts.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "cli/portfolio.h"
#include "logic/number_format.h"
#include "report/measure.h"

namespace velmoran::cli {

bool ProvesInParts(const TheoryText& text, const Options& options) {
  // A derivation printed with --proof (or as a graph) refutes one query: a part's would not prove
  // the conjecture.
  return options.Auto && !options.Proof && text.TptpSource && text.Tptp.QueryParts.size() > 1;
}

namespace {

// `text` with its query line, the last `queryBytes` bytes, replaced by `query`.
std::string WithQuery(const std::string& text, std::size_t queryBytes, const std::string& query) {
  return text.substr(0, text.size() - queryBytes) + query;
}

}  // namespace

TRunOutcome ProveInParts(const TheoryText& text, const Options& options, TLineSink& output,
                         const std::function<bool()>& interrupted) {
  const double budget = options.TimeoutSeconds.value_or(kDefaultAutoSeconds);
  const double start = Now();
  const std::vector<std::string>& parts = text.Tptp.QueryParts;
  const std::size_t queryBytes = text.Bytes.size() - text.Tptp.QueryBegin;
  const std::string problem = WithAxiomsInParts(text.Bytes, text);
  std::optional<std::string> withoutEquality = WithoutEqualityAxioms(text);
  std::optional<std::string> forEqualityRule = WithoutRuleAxioms(text);
  if (withoutEquality) withoutEquality = WithAxiomsInParts(*withoutEquality, text);
  if (forEqualityRule)
    forEqualityRule = WithAxiomsInParts(*forEqualityRule, text, kRuleTextInDirections);
  const std::string of = " of " + std::to_string(parts.size());

  TRunOutcome out;
  std::optional<SzsStatus> status;  // the conjecture's, once a part decides it
  bool contradictory = false;
  std::size_t part = 0;
  for (; part < parts.size() && !status; ++part) {
    const std::string& query = parts[part];
    const std::string full = WithQuery(problem, queryBytes, query);
    const std::string without =
        withoutEquality ? WithQuery(*withoutEquality, queryBytes, query) : std::string();
    const std::string forRule =
        forEqualityRule ? WithQuery(*forEqualityRule, queryBytes, query) : std::string();
    Options partOptions = options;
    partOptions.Szs = false;  // one SZS line speaks for the whole problem
    partOptions.TimeoutSeconds = std::max(0.0, budget - (Now() - start));
    TLineList lines;
    lines.Add("Auto: part " + std::to_string(part + 1) + of + " of the conjecture");
    TRunOutcome run = ProveWithPortfolio(TPortfolioTexts{full, withoutEquality ? &without : nullptr,
                                                         forEqualityRule ? &forRule : nullptr},
                                         text.Name, partOptions, lines, interrupted);
    if (!run.Started || run.ErrorCode != 0) return run;
    for (std::string& line : run.Closing) lines.Add(std::move(line));
    for (std::string& line : lines.Lines) output.Add(std::move(line));
    const bool refuted = run.QueryStatuses.size() == 1 && IsRefuted(run.QueryStatuses[0]);
    contradictory |= refuted && run.QueryStatuses[0] == SzsStatus::ContradictoryAxioms;
    if (!refuted) status = run.QueryStatuses.empty() ? SzsStatus::GaveUp : run.QueryStatuses[0];
    out.Stopped = run.Stopped;
    out.OutOfMemory = run.OutOfMemory;
    out.Interrupted = run.Interrupted;
    out.Reached = run.Reached;
  }
  if (!status) status = contradictory ? SzsStatus::ContradictoryAxioms : SzsStatus::Theorem;

  if (options.Szs) {
    out.Verdicts.push_back(SzsLine(*status, SzsName(text.Name)));
    out.Closing.push_back(out.Verdicts.back());
  }
  const std::string seconds = FormatSolvingTime(Now() - start) + " s";
  if (IsRefuted(*status))
    out.Closing.push_back("Auto: all " + std::to_string(parts.size()) +
                          " parts of the conjecture refuted after " + seconds);
  else
    out.Closing.push_back("Auto: part " + std::to_string(part) + of +
                          " of the conjecture not refuted in " + seconds +
                          "; the conjecture is not proved");
  return out;
}

}  // namespace velmoran::cli
