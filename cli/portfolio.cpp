#include "cli/portfolio.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <sstream>
#include <utility>

#include "cli/lanes.h"
#include "cli/proof_output.h"
#include "logic/number_format.h"
#include "prover/options.h"
#include "report/measure.h"
#include "report/report.h"

namespace velmoran::cli {

void ApplySetting(const TAutoSetting& setting, const TSettings& user, TSettings& to) {
  std::vector<std::string> words{"velmoran"};
  std::istringstream in(setting.Options);
  for (std::string word; in >> word;) words.push_back(word);
  words.emplace_back("-");
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  Options parsed;
  ParseOptions(static_cast<int>(argv.size()), argv.data(), parsed);
  to = parsed.Settings;
  // Everything but the search options is the user's: the output switches, the numbers, the
  // switches of the command line alone (with those the setting turns on itself) and the
  // debugging switches.
  for (const TOptionRow& row : OptionTable())
    if (row.Flag && row.Menu == OptionMenu::Output) to.*row.Flag = user.*row.Flag;
  for (const TNumberRow& row : NumberRows()) to.*row.Field = user.*row.Field;
  for (const TSwitchRow& row : SwitchRows()) to.*row.Flag = to.*row.Flag | user.*row.Flag;
  for (const TDebugSwitch& row : DebugSwitches()) to.*row.Flag = user.*row.Flag;
  // The rule goes with the text the setting runs on (`TPortfolioTexts::Of`).
  to.EqualityRule = setting.Text == TAutoText::ForEqualityRule ? 1 : 0;
}

TRunLimits SliceLimits(const Options& options, double seconds) {
  TRunLimits limits = LimitsOf(options);
  limits.TimeoutSeconds = std::max(seconds, 0.0);
  return limits;
}

std::string SettingText(int index) {
  return "setting " + std::to_string(index + 1) + " of " + std::to_string(kSettings) + " (" +
         kSequence[index].Options + ")";
}

bool TChoice::Add(int index, TAttempt attempt, TLineList lines) {
  Failure.Note(attempt);
  Failure.Interrupted |= attempt.Outcome.Interrupted;
  const std::size_t refuted = static_cast<std::size_t>(
      std::count_if(attempt.Queries.begin(), attempt.Queries.end(),
                    [](const TQueryEnd& q) { return IsRefuted(q.Status); }));
  const bool ended = !attempt.Outcome.Stopped;
  const bool succeeded = ended && attempt.Outcome.ErrorCode == 0 && !attempt.Queries.empty() &&
                         refuted == attempt.Queries.size();
  const bool final = succeeded || attempt.Outcome.ErrorCode != 0 ||
                     (ended && attempt.Queries.empty()) || attempt.Outcome.Interrupted;
  // An attempt that ends the portfolio outranks the others; among those a refutation comes
  // first, then the earlier setting, the one the sequence reaches first. Among the rest: the most
  // queries refuted, then the later setting.
  bool take;
  if (Index < 0)
    take = true;
  else if (final != final_)
    take = final;
  else if (final)
    take = succeeded != Succeeded ? succeeded : index < Index;
  else
    take = refuted > refuted_ || (refuted == refuted_ && index > Index);
  if (take) {
    Index = index;
    Shown = std::move(attempt);
    Lines = std::move(lines);
    Succeeded = succeeded;
    final_ = final;
    refuted_ = refuted;
  }
  return final;
}

namespace {

// The sequence, one attempt after another in this process, each with its slice of what is left
// of the budget. Returns the outcome of an attempt that could not start, if one could not.
std::optional<TRunOutcome> RunInTurn(const TPortfolioTexts& texts, const Options& options,
                                     const std::function<bool()>& interrupted, double start,
                                     double budget, TChoice& choice) {
  int weightLeft = 0;
  for (int i = 0; i < kSettings; ++i)
    if (texts.Of(i)) weightLeft += kSequence[i].Weight;
  for (int i = 0; i < kSettings; ++i) {
    if (!texts.Of(i)) continue;
    const double left = budget - (Now() - start);
    if (left <= 0 && choice.Index >= 0) break;
    TRunLimits limits = SliceLimits(options, left * kSequence[i].Weight / weightLeft);
    weightLeft -= kSequence[i].Weight;
    TSettings settings;
    ApplySetting(kSequence[i], options.Settings, settings);
    TLineList lines;
    TAttempt attempt = RunAttempt(*texts.Of(i), settings, limits, lines, interrupted, {});
    if (!attempt.Outcome.Started) return attempt.Outcome;
    if (choice.Add(i, std::move(attempt), std::move(lines))) break;
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::string> PortfolioLabels() {
  std::vector<std::string> labels;
  for (const TAutoSetting& setting : kSequence) labels.emplace_back(setting.Options);
  return labels;
}

std::vector<std::vector<int>> PortfolioLanes() {
  std::vector<std::vector<int>> lanes;
  for (const auto& steps : kLaneSteps) {
    lanes.emplace_back();
    for (const TLaneStep& step : steps)
      if (step.Setting >= 0) lanes.back().push_back(step.Setting + 1);
  }
  return lanes;
}

TRunOutcome ProveWithPortfolio(const TPortfolioTexts& texts, const std::string& name,
                               const Options& options, TLineSink& output,
                               const std::function<bool()>& interrupted, SzsStatus refuted) {
  const double budget = options.TimeoutSeconds.value_or(kDefaultAutoSeconds);
  const double start = Now();
  Report.ProofWanted = options.Proof;  // the children inherit it
  TChoice choice;
  std::optional<TRunOutcome> notStarted;
  bool ran = false;
  if (LaneCount() > 1) ran = RunLanes(texts, options, start, budget, interrupted, choice);
  // Without child processes the sequence runs in this process, with what is left of the budget.
  if (!ran) {
    choice = TChoice{};
    notStarted = RunInTurn(texts, options, interrupted, start, budget, choice);
  }
  if (notStarted) return *notStarted;

  const TAttempt& shownAttempt = choice.Shown;
  TLineList& shown = choice.Lines;
  TRunOutcome out = shownAttempt.Outcome;
  const std::string szsName = SzsName(name);
  const TFailure& failure = choice.Failure;
  const SzsStatus failed = failure.Status();
  std::size_t next = 0;
  for (std::size_t line = 0; line <= shown.Lines.size(); ++line) {
    for (; next < shownAttempt.Queries.size() && shownAttempt.Queries[next].Line == line; ++next) {
      SzsStatus own = shownAttempt.Queries[next].Status;
      out.QueryStatuses.push_back(IsRefuted(own) ? AsRefuted(own, refuted) : failed);
      if (!options.Szs) continue;
      out.Verdicts.push_back(SzsLine(out.QueryStatuses.back(), szsName));
      output.Add(out.Verdicts.back());
    }
    if (line < shown.Lines.size()) output.Add(std::move(shown.Lines[line]));
  }
  if (options.Szs) AddClosingVerdicts(shownAttempt.Queries, failed, szsName, out);
  if (out.ErrorCode != 0) return out;

  const std::string seconds = FormatSolvingTime(Now() - start) + " s";
  const std::string after = " after " + seconds;
  if (choice.Succeeded)
    out.Closing.push_back("Auto: refuted by " + SettingText(choice.Index) + after);
  else if (failure.Interrupted)
    out.Closing.push_back("Auto: interrupted in " + SettingText(choice.Index) + after);
  else if (!shownAttempt.Outcome.Stopped && shownAttempt.Queries.empty())
    out.Closing.push_back("Auto: no query to refute");
  else
    out.Closing.push_back("Auto: no setting refuted it in " + seconds + "; the report is that of " +
                          SettingText(choice.Index));

  // The exit status and the note on standard error speak of the portfolio, not of one attempt: a
  // limit counts when no setting refuted the theory and the budget or a limit cut some short.
  const bool succeeded = choice.Succeeded;
  out.Interrupted = failure.Interrupted;
  out.Stopped = !succeeded && (failure.Interrupted || failure.Time || failure.Resources);
  out.OutOfMemory = out.Stopped && !failure.Time && failure.OutOfMemory;
  out.Reached = failure.Time ? "time limit" : failure.Reached;
  AddProof(options, szsName, out);
  return out;
}

}  // namespace velmoran::cli
