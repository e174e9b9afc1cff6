#include "cli/portfolio.h"

#include <algorithm>
#include <sstream>

#include "logic/number_format.h"
#include "prover/options.h"
#include "prover/search.h"
#include "report/measure.h"

namespace velmoran::cli {

namespace {

constexpr std::size_t kProofStackBytes = std::size_t{1} << 30;

// Counts the lines it passes on, so that a query's end can be placed in the report.
class CountingSink : public TLineSink {
 public:
  explicit CountingSink(TLineSink& to) : to_(to) {}
  void Add(std::string line) override {
    ++Count;
    to_.Add(std::move(line));
  }
  std::size_t Count = 0;

 private:
  TLineSink& to_;
};

struct TQueryEnd {
  SzsStatus Status;
  std::size_t Line;  // lines of the report written when the query ended
  bool Stopped;      // the run was already stopped then
};

struct TAttempt {
  TRunOutcome Outcome;
  StopCause Cause = StopCause::None;
  std::vector<TQueryEnd> Queries;
};

// Runs one proof. `onQuery` is called at each query's end with its status, and may add lines.
TAttempt RunAttempt(const std::string& text, const TPLProgram& settings, TRunLimits& limits,
                    TLineSink& output, const std::function<bool()>& interrupted,
                    const std::function<void(SzsStatus)>& onQuery) {
  TAttempt attempt;
  CountingSink counted(output);
  // An object whose run failed to allocate may hold what was left half built: it is never
  // destroyed (every attempt gets a fresh object).
  auto* program = new TPLProgram;
  CopySettings(settings, *program);
  program->Output = &counted;
  program->SourceText = text.c_str();
  program->StopRequested = 0;
  limits.Start();
  program->OnYield = [&limits, &interrupted](TPLProgram& p) {
    if (interrupted()) p.StopRequested = 1;
    limits.Check(p);
  };
  program->OnPoll = program->OnYield;
  program->OnQueryDone = [&](TPLProgram& p) {
    SzsStatus status = QueryStatus(
        p, CauseOfStop(p.StopRequested != 0, p.OutOfMemory != 0, interrupted(), limits));
    attempt.Queries.push_back({status, counted.Count, p.StopRequested != 0});
    if (onQuery) onQuery(status);
  };
  TRunOutcome& out = attempt.Outcome;
  if (!RunOnLargeStack(kProofStackBytes, [program] { RunProof(*program); })) {
    delete program;
    out.Started = false;
    return attempt;
  }
  out.Stopped = program->StopRequested != 0;
  out.OutOfMemory = program->OutOfMemory != 0;
  out.Interrupted = out.Stopped && interrupted();
  out.Reached = limits.Reached;
  out.ErrorCode = program->ErrorCode;
  out.ErrorPosition = program->ErrorPosition;
  attempt.Cause = CauseOfStop(out.Stopped, out.OutOfMemory, out.Interrupted, limits);
  if (out.OutOfMemory)
    program->OnYield = program->OnPoll = program->OnQueryDone = nullptr;  // left alone, see above
  else
    delete program;
  return attempt;
}

// The verdict lines that follow a run's report: a syntax error, or a stop that no query's line
// speaks of (it came while the text was being read).
void AddClosingVerdicts(const std::vector<TQueryEnd>& queries, SzsStatus stopStatus,
                        const std::string& name, TRunOutcome& out) {
  if (out.ErrorCode != 0)
    out.Closing.push_back(SzsLine(SzsStatus::SyntaxError, name));
  else if (out.Stopped && (queries.empty() || !queries.back().Stopped))
    out.Closing.push_back(SzsLine(stopStatus, name));
}

TRunLimits LimitsOf(const Options& options) {
  TRunLimits limits;
  limits.TimeoutSeconds = options.TimeoutSeconds;
  limits.MaxResolvents = options.MaxResolvents;
  if (options.MaxMemoryMegabytes) limits.MaxHeapBytes = *options.MaxMemoryMegabytes << 20;
  return limits;
}

}  // namespace

TRunOutcome ProveOnce(const std::string& text, const std::string& name, const Options& options,
                      TLineSink& output, const std::function<bool()>& interrupted) {
  const std::string szsName = SzsName(name);
  std::vector<std::string> verdicts;
  TRunLimits limits = LimitsOf(options);
  TAttempt attempt =
      RunAttempt(text, options.Settings, limits, output, interrupted, [&](SzsStatus status) {
        if (!options.Szs) return;
        verdicts.push_back(SzsLine(status, szsName));
        output.Add(verdicts.back());
      });
  TRunOutcome out = std::move(attempt.Outcome);
  out.Verdicts = std::move(verdicts);
  if (options.Szs && out.Started)
    AddClosingVerdicts(attempt.Queries, StatusOfStop(attempt.Cause), szsName, out);
  return out;
}

namespace {

struct TAutoSetting {
  const char* Options;  // as given on the command line
  int Weight;           // its share of what is left of the budget, against the settings after it
};

// The order and the weights come from running every Pelletier problem with each candidate
// setting (bench/settings_matrix.sh; the table and the reasons are in bench/RESULTS.md): the
// first refutes all but one of the problems any setting refutes, and its failures end quickly,
// so it takes the largest slice; the linear search catches the one it misses.
constexpr TAutoSetting kSequence[] = {
    {"-s breadth --check=trivial --general-cut --one-refutation", 2},
    {"-s linear --one-refutation", 1},
    {"-s modified --restrict=support --one-refutation", 1},
    {"-s breadth --check=trivial --one-refutation", 1},
};
constexpr int kSettings = static_cast<int>(std::size(kSequence));

// The settings of one attempt: the search options of its command line, and the user's output
// switches and consequent-test limit. Parsed by the command line's own parser, so the attempt is
// exactly the run that its options give.
void ApplySetting(const TAutoSetting& setting, const TPLProgram& user, TPLProgram& to) {
  std::vector<std::string> words{"velmoran"};
  std::istringstream in(setting.Options);
  for (std::string word; in >> word;) words.push_back(word);
  words.emplace_back("-");
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  Options parsed;
  ParseOptions(static_cast<int>(argv.size()), argv.data(), parsed);
  CopySettings(parsed.Settings, to);
  for (const TOptionRow& row : OptionTable())
    if (row.Flag && row.Menu == OptionMenu::Output) to.*row.Flag = user.*row.Flag;
  to.DcfLimit = user.DcfLimit;
}

// The status of a query that the shown attempt did not refute, for the portfolio as a whole.
struct TFailure {
  bool Interrupted = false;
  bool Time = false;
  bool Resources = false;
  bool OutOfMemory = false;
  const char* Reached = nullptr;

  void Note(const TAttempt& attempt) {
    Time |= attempt.Cause == StopCause::Time;
    if (attempt.Cause == StopCause::Resources) {
      Resources = true;
      OutOfMemory = attempt.Outcome.OutOfMemory;
      Reached = attempt.Outcome.Reached;
    }
  }
  SzsStatus Status() const {
    return Interrupted ? SzsStatus::User
           : Time      ? SzsStatus::Timeout
           : Resources ? SzsStatus::ResourceOut
                       : SzsStatus::GaveUp;
  }
};

std::string SettingText(int index) {
  return "setting " + std::to_string(index + 1) + " of " + std::to_string(kSettings) + " (" +
         kSequence[index].Options + ")";
}

}  // namespace

std::vector<std::string> PortfolioLabels() {
  std::vector<std::string> labels;
  for (const TAutoSetting& setting : kSequence) labels.emplace_back(setting.Options);
  return labels;
}

TRunOutcome ProveWithPortfolio(const std::string& text, const std::string& name,
                               const Options& options, TLineSink& output,
                               const std::function<bool()>& interrupted) {
  const double budget = options.TimeoutSeconds.value_or(kDefaultAutoSeconds);
  const double start = Now();
  int weightLeft = 0;
  for (const TAutoSetting& setting : kSequence) weightLeft += setting.Weight;

  TFailure failure;
  TLineList shown;
  TAttempt shownAttempt;
  int shownIndex = -1;
  std::size_t bestRefuted = 0;
  bool succeeded = false;
  for (int i = 0; i < kSettings; ++i) {
    const double left = budget - (Now() - start);
    if (left <= 0) break;
    TRunLimits limits;
    limits.TimeoutSeconds = left * kSequence[i].Weight / weightLeft;
    weightLeft -= kSequence[i].Weight;
    limits.MaxResolvents = options.MaxResolvents;
    if (options.MaxMemoryMegabytes) limits.MaxHeapBytes = *options.MaxMemoryMegabytes << 20;
    TPLProgram settings;
    ApplySetting(kSequence[i], options.Settings, settings);
    TLineList lines;
    TAttempt attempt = RunAttempt(text, settings, limits, lines, interrupted, {});
    if (!attempt.Outcome.Started) return attempt.Outcome;
    failure.Note(attempt);
    failure.Interrupted |= attempt.Outcome.Interrupted;
    const std::size_t refuted = static_cast<std::size_t>(
        std::count_if(attempt.Queries.begin(), attempt.Queries.end(),
                      [](const TQueryEnd& q) { return q.Status == SzsStatus::Theorem; }));
    const bool ended = !attempt.Outcome.Stopped;
    succeeded = ended && attempt.Outcome.ErrorCode == 0 && !attempt.Queries.empty() &&
                refuted == attempt.Queries.size();
    // Another setting cannot help a text with a syntax error or without a query, and an
    // interrupt ends the whole portfolio.
    const bool last = succeeded || attempt.Outcome.ErrorCode != 0 ||
                      (ended && attempt.Queries.empty()) || attempt.Outcome.Interrupted;
    if (last || shownIndex < 0 || refuted >= bestRefuted) {
      shown = std::move(lines);
      shownAttempt = std::move(attempt);
      shownIndex = i;
      bestRefuted = refuted;
    }
    if (last) break;
  }

  TRunOutcome out = shownAttempt.Outcome;
  const std::string szsName = SzsName(name);
  const SzsStatus failed = failure.Status();
  std::size_t next = 0;
  for (std::size_t line = 0; line <= shown.Lines.size(); ++line) {
    for (; options.Szs && next < shownAttempt.Queries.size() &&
           shownAttempt.Queries[next].Line == line;
         ++next) {
      SzsStatus own = shownAttempt.Queries[next].Status;
      out.Verdicts.push_back(SzsLine(own == SzsStatus::Theorem ? own : failed, szsName));
      output.Add(out.Verdicts.back());
    }
    if (line < shown.Lines.size()) output.Add(std::move(shown.Lines[line]));
  }
  if (options.Szs) AddClosingVerdicts(shownAttempt.Queries, failed, szsName, out);
  if (out.ErrorCode != 0) return out;

  const std::string seconds = FormatSolvingTime(Now() - start) + " s";
  const std::string after = " after " + seconds;
  if (succeeded)
    out.Closing.push_back("Auto: refuted by " + SettingText(shownIndex) + after);
  else if (failure.Interrupted)
    out.Closing.push_back("Auto: interrupted in " + SettingText(shownIndex) + after);
  else if (!shownAttempt.Outcome.Stopped && shownAttempt.Queries.empty())
    out.Closing.push_back("Auto: no query to refute");
  else
    out.Closing.push_back("Auto: no setting refuted it in " + seconds + "; the report is that of " +
                          SettingText(shownIndex));

  // The exit status and the note on standard error speak of the portfolio, not of one attempt: a
  // limit counts when no setting refuted the theory and the budget or a limit cut some short.
  out.Interrupted = failure.Interrupted;
  out.Stopped = !succeeded && (failure.Interrupted || failure.Time || failure.Resources);
  out.OutOfMemory = out.Stopped && !failure.Time && failure.OutOfMemory;
  out.Reached = failure.Time ? "time limit" : failure.Reached;
  return out;
}

}  // namespace velmoran::cli
