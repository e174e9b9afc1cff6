#include "cli/conjecture_parts.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "cli/portfolio.h"
#include "logic/number_format.h"
#include "report/measure.h"

namespace velmoran::cli {

TAutoTexts AutoTexts(const TheoryText& text) {
  TAutoTexts texts{WithAxiomsInParts(text.Bytes, text), std::nullopt, std::nullopt};
  if (auto without = WithoutEqualityAxioms(text))
    texts.WithoutEquality = WithAxiomsInParts(*without, text);
  if (auto forRule = WithoutRuleAxioms(text))
    texts.ForEqualityRule = WithAxiomsInParts(*forRule, text, kRuleTextInDirections);
  return texts;
}

bool ProvesInParts(const TheoryText& text, const Options& options) {
  // A derivation printed with --proof (or as a graph) refutes one query: a part's would not prove
  // the conjecture.
  const auto& parts = text.Tptp.QueryParts;
  return options.Auto && !options.Proof && text.TptpSource &&
         (parts.size() > 1 || (parts.size() == 1 && text.Tptp.PartIsAxiom[0]));
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
  const TAutoTexts whole = AutoTexts(text);
  const std::string of = " of " + std::to_string(parts.size());

  TRunOutcome out;
  std::optional<SzsStatus> status;  // the conjecture's, once a part decides it
  bool contradictory = false;
  std::size_t part = 0;
  for (; part < parts.size() && !status; ++part) {
    const std::string& query = parts[part];
    const std::string named = "Auto: part " + std::to_string(part + 1) + of + " of the conjecture";
    if (part < text.Tptp.PartIsAxiom.size() && text.Tptp.PartIsAxiom[part]) {
      if (parts.size() > 1) output.Add(named);
      output.Add(parts.size() > 1 ? kPartIsAxiomLine : kConjectureIsAxiomLine);
      continue;
    }
    TAutoTexts texts{WithQuery(whole.Full, queryBytes, query), std::nullopt, std::nullopt};
    if (whole.WithoutEquality)
      texts.WithoutEquality = WithQuery(*whole.WithoutEquality, queryBytes, query);
    if (whole.ForEqualityRule)
      texts.ForEqualityRule = WithQuery(*whole.ForEqualityRule, queryBytes, query);
    Options partOptions = options;
    partOptions.Szs = false;  // one SZS line speaks for the whole problem
    partOptions.TimeoutSeconds = std::max(0.0, budget - (Now() - start));
    TLineList lines;
    lines.Add(named);
    TRunOutcome run = ProveWithPortfolio(texts.View(), text.Name, partOptions, lines, interrupted);
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
  if (!IsRefuted(*status))
    out.Closing.push_back("Auto: part " + std::to_string(part) + of +
                          " of the conjecture not refuted in " + seconds +
                          "; the conjecture is not proved");
  else if (parts.size() > 1)
    out.Closing.push_back("Auto: all " + std::to_string(parts.size()) +
                          " parts of the conjecture refuted after " + seconds);
  return out;
}

}  // namespace velmoran::cli
