#include "cli/attempt.h"

#include <utility>

#include "cli/proof_output.h"
#include "logic/sanitizers.h"
#include "prover/search.h"
#include "report/report.h"

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

}  // namespace

// Runs one proof. `onQuery` is called at each query's end with its status, and may add lines.
TAttempt RunAttempt(const std::string& text, const TSettings& settings, TRunLimits& limits,
                    TLineSink& output, const std::function<bool()>& interrupted,
                    const std::function<void(SzsStatus)>& onQuery, bool exitFollows) {
  TAttempt attempt;
  CountingSink counted(output);
  // An object whose run failed to allocate may hold what was left half built: it is never
  // destroyed (every attempt gets a fresh object).
  auto* program = new TPLProgram;
  program->Settings() = settings;
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
  out.Proof = std::exchange(Report.BestProof, {});
  attempt.Cause = CauseOfStop(out.Stopped, out.OutOfMemory, out.Interrupted, limits);
  if (out.OutOfMemory || (exitFollows && !kLeakSanitizer))
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

TRunOutcome ProveOnce(const std::string& text, const std::string& name, const Options& options,
                      TLineSink& output, const std::function<bool()>& interrupted,
                      SzsStatus refuted, bool exitFollows) {
  const std::string szsName = SzsName(name);
  std::vector<std::string> verdicts;
  TRunLimits limits = LimitsOf(options);
  Report.ProofWanted = options.Proof;
  TAttempt attempt = RunAttempt(
      text, options.Settings, limits, output, interrupted,
      [&](SzsStatus status) {
        if (!options.Szs) return;
        verdicts.push_back(SzsLine(AsRefuted(status, refuted), szsName));
        output.Add(verdicts.back());
      },
      exitFollows);
  TRunOutcome out = std::move(attempt.Outcome);
  out.Verdicts = std::move(verdicts);
  if (options.Szs && out.Started)
    AddClosingVerdicts(attempt.Queries, StatusOfStop(attempt.Cause), szsName, out);
  AddProof(options, szsName, out);
  return out;
}

}  // namespace velmoran::cli
