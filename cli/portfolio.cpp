#include "cli/portfolio.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>
#include <string_view>
#include <thread>
#include <utility>

#include "cli/proof_output.h"
#include "logic/number_format.h"
#include "prover/options.h"
#include "prover/search.h"
#include "report/measure.h"
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
TAttempt RunAttempt(const std::string& text, const TSettings& settings, TRunLimits& limits,
                    TLineSink& output, const std::function<bool()>& interrupted,
                    const std::function<void(SzsStatus)>& onQuery) {
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
                      TLineSink& output, const std::function<bool()>& interrupted,
                      SzsStatus refuted) {
  const std::string szsName = SzsName(name);
  std::vector<std::string> verdicts;
  TRunLimits limits = LimitsOf(options);
  Report.ProofWanted = options.Proof;
  TAttempt attempt =
      RunAttempt(text, options.Settings, limits, output, interrupted, [&](SzsStatus status) {
        if (!options.Szs) return;
        verdicts.push_back(SzsLine(AsRefuted(status, refuted), szsName));
        output.Add(verdicts.back());
      });
  TRunOutcome out = std::move(attempt.Outcome);
  out.Verdicts = std::move(verdicts);
  if (options.Szs && out.Started)
    AddClosingVerdicts(attempt.Queries, StatusOfStop(attempt.Cause), szsName, out);
  AddProof(options, szsName, out);
  return out;
}

namespace {

struct TAutoSetting {
  const char* Options;  // as given on the command line
  int Weight;           // its share of what is left of the budget, against the settings after it
};

// The order and the weights come from running every Pelletier problem with each candidate
// setting (bench/settings_matrix.sh; the table and the reasons are in bench/RESULTS.md): the
// first refutes all but one of the problems any setting refutes (P44), and its failures mostly
// end quickly, so it takes the largest slice; the linear search catches the one it misses. This is
// the order of a machine with one core; the numbers name the settings in every report.
constexpr TAutoSetting kSequence[] = {
    {"-s breadth --check=trivial --general-cut --one-refutation", 2},
    {"-s linear --one-refutation", 1},
    {"-s modified --restrict=support --one-refutation", 1},
    {"-s breadth --check=trivial --one-refutation", 1},
    {"-s smallest --check=trivial --one-refutation", 1},
    {"-s smallest --one-refutation", 1},
};
constexpr int kSettings = static_cast<int>(std::size(kSequence));

// One step of a lane: a setting (its index in `kSequence`) and its weight within the lane.
struct TLaneStep {
  int Setting;
  int Weight;
};

// With two cores the settings run in two lanes at once, each lane one child process at a time.
// Breadth-first with the general cut needs no partner to be fast where it refutes, but on P10,
// P28, P30, P32 and P46 it stores hundreds of resolvents where a linear kind of search refutes
// in a few milliseconds, and on P44 it runs into its limit; those are the other lane's
// work. The other lane starts with the modified search restricted to the support set, not with
// the linear one: it is as fast on those five, and it refutes P24 in 0.07 s where the first lane
// takes 0.18 s and the linear search runs into its limit. Breadth-first without the general cut
// follows in the first lane, the linear search (a plain run's own setting) in the second. Each
// lane shares the whole budget out as the sequence does; the first setting keeps the larger
// slice of its lane, since its failures mostly end on their own, while the modified search runs
// into the limit on what it misses (P21, P23, P25, P33, P36), so it leaves the linear search
// half of its lane. The price: where the cores share their speed (the 2-core machines measured in
// bench/RESULTS.md), a problem the first lane wins takes up to twice its one-core time while the
// second searches in vain beside it; where the second lane wins, it gains up to twentyfold.
constexpr int kLanes = 2;
// The smallest-first searches came last, from the TPTP library: a short resolvent used at once,
// however deep it lies, refutes set-theory exercises (SET027+3, SET590+3, SEU264+1) and
// contradictory axioms (KRS063+1, SWB007+2) within a second where every other setting runs into
// its limit. With the trivial check it also refutes 39 of the 40 Pelletier problems that any
// setting refutes, each within 0.05 s, and fails only on P46 and the open ones: so it opens the
// first lane with a small slice, ahead of the breadth-first search. With the consequent check
// (slower, but it alone refutes SET590+3) it takes the middle of the other lane.
constexpr TLaneStep kLaneSteps[kLanes][3] = {{{4, 1}, {0, 2}, {3, 1}}, {{2, 1}, {5, 1}, {1, 1}}};

// How long interrupted children may take to send their reports before they are killed.
constexpr double kStopGraceSeconds = 2;

// The settings of one attempt: the search options of its command line, and the user's output
// switches and consequent-test limit. Parsed by the command line's own parser, so the attempt is
// exactly the run that its options give.
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
  for (const TOptionRow& row : OptionTable())
    if (row.Flag && row.Menu == OptionMenu::Output) to.*row.Flag = user.*row.Flag;
  to.DcfLimit = user.DcfLimit;
}

TRunLimits SliceLimits(const Options& options, double seconds) {
  TRunLimits limits = LimitsOf(options);
  limits.TimeoutSeconds = std::max(seconds, 0.0);
  return limits;
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

// The attempts that ended, and the one whose report is shown. Attempts may end in any order
// when lanes run; the choice depends only on the settings' numbers, so it is the one the
// sequence makes whenever the same attempts ended.
class TChoice {
 public:
  // Notes an ended attempt. True when it ends the portfolio: it refuted every query, its text
  // has a syntax error or no query (no other setting can do better), or it was interrupted.
  bool Add(int index, TAttempt attempt, TLineList lines);

  TFailure Failure;
  int Index = -1;  // the shown attempt's setting; -1 while none ended
  TAttempt Shown;
  TLineList Lines;
  bool Succeeded = false;

 private:
  bool final_ = false;
  std::size_t refuted_ = 0;
};

bool TChoice::Add(int index, TAttempt attempt, TLineList lines) {
  Failure.Note(attempt);
  Failure.Interrupted |= attempt.Outcome.Interrupted;
  const std::size_t refuted = static_cast<std::size_t>(
      std::count_if(attempt.Queries.begin(), attempt.Queries.end(),
                    [](const TQueryEnd& q) { return q.Status == SzsStatus::Theorem; }));
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

// The sequence, one attempt after another in this process, each with its slice of what is left
// of the budget. Returns the outcome of an attempt that could not start, if one could not.
std::optional<TRunOutcome> RunInTurn(const std::string& text, const Options& options,
                                     const std::function<bool()>& interrupted, double start,
                                     double budget, TChoice& choice) {
  int weightLeft = 0;
  for (const TAutoSetting& setting : kSequence) weightLeft += setting.Weight;
  for (int i = 0; i < kSettings; ++i) {
    const double left = budget - (Now() - start);
    if (left <= 0 && choice.Index >= 0) break;
    TRunLimits limits = SliceLimits(options, left * kSequence[i].Weight / weightLeft);
    weightLeft -= kSequence[i].Weight;
    TSettings settings;
    ApplySetting(kSequence[i], options.Settings, settings);
    TLineList lines;
    TAttempt attempt = RunAttempt(text, settings, limits, lines, interrupted, {});
    if (!attempt.Outcome.Started) return attempt.Outcome;
    if (choice.Add(i, std::move(attempt), std::move(lines))) break;
  }
  return std::nullopt;
}

// --- Lanes: attempts in child processes ---
//
// A child runs one attempt exactly as `RunInTurn` would, into a line list, and writes the
// attempt (outcome, query ends, lines) to its pipe in one message, then exits. The parent waits
// on the pipes with the stop signals blocked except inside ppoll, so an interrupt is never missed
// between a check and the wait. Only the parent hears the terminal's SIGINT; it stops a child's
// attempt with SIGTERM, which the child takes as an interrupt, so the report of an interrupted
// attempt ends as a plain run's does. A child dies with its parent (PR_SET_PDEATHSIG), so no
// attempt outlives the portfolio.

// Set by SIGTERM in a child: the portfolio asks it to stop its attempt. Read by the proof's
// thread, so an atomic rather than a plain flag.
std::atomic<int> childStopAsked{0};

extern "C" void OnChildStop(int) {
  childStopAsked.store(1, std::memory_order_relaxed);
}

// The names a child's `Reached` may carry; its pointer does not survive the trip.
constexpr const char* kLimitNames[] = {"time limit", "resolvent limit", "memory limit"};

// A message is a sequence of 64-bit numbers and length-prefixed byte strings.
class TWriter {
 public:
  void Number(std::int64_t value) {
    char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    Bytes.append(bytes, sizeof value);
  }
  void Text(std::string_view text) {
    Number(static_cast<std::int64_t>(text.size()));
    Bytes.append(text);
  }
  std::string Bytes;
};

class TReader {
 public:
  explicit TReader(std::string_view bytes) : rest_(bytes) {}
  std::int64_t Number() {
    std::int64_t value = 0;
    if (rest_.size() < sizeof value) return Fail();
    std::memcpy(&value, rest_.data(), sizeof value);
    rest_.remove_prefix(sizeof value);
    return value;
  }
  // A count of items, each at least `itemBytes` long: more than the message holds is a fault.
  std::size_t Count(std::size_t itemBytes) {
    std::int64_t n = Number();
    if (n < 0 || static_cast<std::uint64_t>(n) > rest_.size() / itemBytes) return Fail();
    return static_cast<std::size_t>(n);
  }
  std::string Text() {
    std::size_t n = Count(1);
    std::string text(rest_.substr(0, n));
    rest_.remove_prefix(n);
    return text;
  }
  bool Whole() const { return ok_ && rest_.empty(); }

 private:
  int Fail() {
    ok_ = false;
    rest_ = {};
    return 0;
  }
  std::string_view rest_;
  bool ok_ = true;
};

std::string Encode(const TAttempt& attempt, const TLineList& lines) {
  const TRunOutcome& out = attempt.Outcome;
  TWriter w;
  for (bool flag : {out.Started, out.Stopped, out.OutOfMemory, out.Interrupted}) w.Number(flag);
  w.Text(out.Reached ? out.Reached : "");
  w.Number(out.ErrorCode);
  w.Number(out.ErrorPosition);
  w.Number(static_cast<std::int64_t>(attempt.Cause));
  w.Number(static_cast<std::int64_t>(attempt.Queries.size()));
  for (const TQueryEnd& query : attempt.Queries) {
    w.Number(static_cast<std::int64_t>(query.Status));
    w.Number(static_cast<std::int64_t>(query.Line));
    w.Number(query.Stopped);
  }
  w.Number(static_cast<std::int64_t>(lines.Lines.size()));
  for (const std::string& line : lines.Lines) w.Text(line);
  w.Number(static_cast<std::int64_t>(out.Proof.size()));
  for (const std::string& line : out.Proof) w.Text(line);
  return std::move(w.Bytes);
}

bool Decode(std::string_view bytes, TAttempt& attempt, TLineList& lines) {
  TReader r(bytes);
  TRunOutcome& out = attempt.Outcome;
  out.Started = r.Number() != 0;
  out.Stopped = r.Number() != 0;
  out.OutOfMemory = r.Number() != 0;
  out.Interrupted = r.Number() != 0;
  const std::string reached = r.Text();
  for (const char* name : kLimitNames)
    if (reached == name) out.Reached = name;
  out.ErrorCode = static_cast<std::uint8_t>(r.Number());
  out.ErrorPosition = static_cast<std::int32_t>(r.Number());
  attempt.Cause = static_cast<StopCause>(r.Number());
  attempt.Queries.resize(r.Count(3 * sizeof(std::int64_t)));
  for (TQueryEnd& query : attempt.Queries) {
    query.Status = static_cast<SzsStatus>(r.Number());
    query.Line = static_cast<std::size_t>(r.Number());
    query.Stopped = r.Number() != 0;
  }
  lines.Lines.resize(r.Count(sizeof(std::int64_t)));
  for (std::string& line : lines.Lines) line = r.Text();
  out.Proof.resize(r.Count(sizeof(std::int64_t)));
  for (std::string& line : out.Proof) line = r.Text();
  return r.Whole();
}

// What stands for an attempt whose child ended without a whole message: the kernel's
// out-of-memory killer is the usual cause, or the portfolio itself after a stop went unheard.
TAttempt LostAttempt(bool interrupted) {
  TAttempt attempt;
  attempt.Outcome.Stopped = true;
  attempt.Outcome.Interrupted = interrupted;
  attempt.Outcome.OutOfMemory = !interrupted;
  attempt.Cause = interrupted ? StopCause::User : StopCause::Resources;
  return attempt;
}

sigset_t StopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void Reap(pid_t pid, int* status) {
  while (::waitpid(pid, status, 0) < 0 && errno == EINTR) {
  }
}

struct TChild {
  pid_t Pid = -1;  // -1 while the lane runs nothing
  int Pipe = -1;   // the read end
  int Index = -1;
  std::string Message;
};

struct TLane {
  int Next = 0;  // the next step of kLaneSteps to run
  int WeightLeft = 0;
  TChild Child;
};

class TLanes {
 public:
  TLanes(const std::string& text, const Options& options, double start, double budget)
      : text_(text), options_(options), start_(start), budget_(budget) {
    for (int lane = 0; lane < kLanes; ++lane)
      for (const TLaneStep& step : kLaneSteps[lane]) lanes_[lane].WeightLeft += step.Weight;
  }
  ~TLanes() { KillAll(); }

  // Runs both lanes until an attempt ends the portfolio or every lane has run out of settings or
  // budget. False when a child process, or a child's proof thread, could not be made (every
  // child is then gone).
  bool Run(const std::function<bool()>& interrupted, TChoice& choice);

 private:
  // Starts the lane's next setting with its slice of what is left of the budget; true when there
  // is none to start or it started.
  bool StartNext(TLane& lane);
  [[noreturn]] void RunChild(pid_t parent, int pipe, int index, double seconds);
  // Reads what the child sent; when it has closed its pipe, reaps it and returns its attempt.
  bool Receive(TLane& lane, TAttempt& attempt, TLineList& lines);
  void Kill(TChild& child);
  void KillAll() {
    for (TLane& lane : lanes_) Kill(lane.Child);
  }

  const std::string& text_;
  const Options& options_;
  double start_;
  double budget_;
  TLane lanes_[kLanes];
  bool stopping_ = false;  // no further attempt starts
  bool stopSent_ = false;  // the children were asked to stop, on an interrupt
};

bool TLanes::StartNext(TLane& lane) {
  const int laneIndex = static_cast<int>(&lane - lanes_);
  const double left = budget_ - (Now() - start_);
  if (stopping_ || lane.Next >= static_cast<int>(std::size(kLaneSteps[laneIndex])) || left <= 0)
    return true;
  const TLaneStep& step = kLaneSteps[laneIndex][lane.Next++];
  const double seconds = left * step.Weight / lane.WeightLeft;
  lane.WeightLeft -= step.Weight;
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return false;
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(ends[0]);
    RunChild(parent, ends[1], step.Setting, seconds);
  }
  ::close(ends[1]);
  if (pid < 0) {
    ::close(ends[0]);
    return false;
  }
  lane.Child = TChild{pid, ends[0], step.Setting, {}};
  return true;
}

void TLanes::RunChild(pid_t parent, int pipe, int index, double seconds) {
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) ::_exit(1);  // the parent died before the line above
  for (TLane& lane : lanes_)
    if (lane.Child.Pipe >= 0) ::close(lane.Child.Pipe);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGINT, &ignore, nullptr);
  struct sigaction stop {};
  stop.sa_handler = OnChildStop;
  sigemptyset(&stop.sa_mask);
  ::sigaction(SIGTERM, &stop, nullptr);
  const sigset_t stops = StopSignals();
  ::sigprocmask(SIG_UNBLOCK, &stops, nullptr);
  // Nothing here returns or unwinds into the parent's code: the child leaves through _exit, so
  // no destructor or buffered output of the parent's runs twice.
  try {
    TSettings settings;
    ApplySetting(kSequence[index], options_.Settings, settings);
    TRunLimits limits = SliceLimits(options_, seconds);
    TLineList lines;
    TAttempt attempt =
        RunAttempt(text_, settings, limits, lines,
                   [] { return childStopAsked.load(std::memory_order_relaxed) != 0; }, {});
    ::_exit(WriteAll(pipe, Encode(attempt, lines)) ? 0 : 1);
  } catch (...) {
    ::_exit(1);
  }
}

bool TLanes::Receive(TLane& lane, TAttempt& attempt, TLineList& lines) {
  TChild& child = lane.Child;
  char buffer[1 << 16];
  const ssize_t n = ::read(child.Pipe, buffer, sizeof buffer);
  if (n < 0 && errno == EINTR) return false;
  if (n > 0) {
    child.Message.append(buffer, static_cast<std::size_t>(n));
    return false;
  }
  ::close(child.Pipe);
  int status = 0;
  Reap(child.Pid, &status);
  const bool whole =
      WIFEXITED(status) && WEXITSTATUS(status) == 0 && Decode(child.Message, attempt, lines);
  if (!whole) {
    std::cerr << "velmoran: " << SettingText(child.Index) << " ended without a report ("
              << (WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status))
                                      : "exit status " + std::to_string(WEXITSTATUS(status)))
              << ")\n";
    attempt = LostAttempt(stopSent_);
    lines = {};
  }
  child = TChild{};
  return true;
}

void TLanes::Kill(TChild& child) {
  if (child.Pid < 0) return;
  ::kill(child.Pid, SIGKILL);
  ::close(child.Pipe);
  Reap(child.Pid, nullptr);
  child = TChild{};
}

bool TLanes::Run(const std::function<bool()>& interrupted, TChoice& choice) {
  for (TLane& lane : lanes_)
    if (!StartNext(lane)) return false;
  double killAt = 0;
  int finalIndex = kSettings;  // the setting of an attempt that ends the portfolio
  for (;;) {
    if (!stopSent_ && interrupted()) {
      stopSent_ = stopping_ = true;
      killAt = Now() + kStopGraceSeconds;
      for (TLane& lane : lanes_)
        if (lane.Child.Pid > 0) ::kill(lane.Child.Pid, SIGTERM);
    }
    pollfd waits[kLanes];
    TLane* waiting[kLanes];
    nfds_t count = 0;
    for (TLane& lane : lanes_)
      if (lane.Child.Pid > 0) {
        waits[count] = {lane.Child.Pipe, POLLIN, 0};
        waiting[count++] = &lane;
      }
    if (count == 0) return true;
    timespec grace{};
    if (stopSent_) {
      const double left = std::max(killAt - Now(), 0.0);
      grace.tv_sec = static_cast<time_t>(left);
      grace.tv_nsec = static_cast<long>((left - static_cast<double>(grace.tv_sec)) * 1e9);
    }
    sigset_t open;  // the mask while waiting: the stop signals let through
    ::sigprocmask(SIG_SETMASK, nullptr, &open);
    sigdelset(&open, SIGINT);
    sigdelset(&open, SIGTERM);
    const int ready = ::ppoll(waits, count, stopSent_ ? &grace : nullptr, &open);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      // The grace period ran out (or the wait itself failed): what is still running is lost.
      for (nfds_t i = 0; i < count; ++i) {
        const int index = waiting[i]->Child.Index;
        Kill(waiting[i]->Child);
        choice.Add(index, LostAttempt(stopSent_), {});
      }
      return true;
    }
    for (nfds_t i = 0; i < count; ++i) {
      TLane& lane = *waiting[i];
      // A child killed by an attempt that ended before it in this round is gone.
      if (waits[i].revents == 0 || lane.Child.Pid < 0) continue;
      const int index = lane.Child.Index;
      TAttempt attempt;
      TLineList lines;
      if (!Receive(lane, attempt, lines)) continue;
      // A child without its proof thread is short of processes as a failed fork is: in turn,
      // with the children gone, the thread may be had.
      if (!attempt.Outcome.Started) {
        KillAll();
        return false;
      }
      if (choice.Add(index, std::move(attempt), std::move(lines))) {
        // A refutation is kept at once.
        if (choice.Succeeded) {
          KillAll();
          return true;
        }
        // A syntax error, no query or an interrupt: the attempts of earlier settings still
        // running are awaited, as the sequence would have shown theirs; later ones cannot
        // change the choice.
        stopping_ = true;
        finalIndex = std::min(finalIndex, index);
        for (TLane& other : lanes_)
          if (other.Child.Index > finalIndex) Kill(other.Child);
      }
      if (!StartNext(lane)) {
        KillAll();
        return false;
      }
    }
  }
}

// One lane per core the process may run on, at most two: on one core the lanes would only
// share it, and the sequence in turn puts the fast settings first.
int LaneCount() {
  cpu_set_t cores;
  CPU_ZERO(&cores);
  if (::sched_getaffinity(0, sizeof cores, &cores) == 0) return std::min(CPU_COUNT(&cores), kLanes);
  return static_cast<int>(std::min<unsigned>(std::thread::hardware_concurrency(), kLanes));
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
    for (const TLaneStep& step : steps) lanes.back().push_back(step.Setting + 1);
  }
  return lanes;
}

TRunOutcome ProveWithPortfolio(const std::string& text, const std::string& name,
                               const Options& options, TLineSink& output,
                               const std::function<bool()>& interrupted, SzsStatus refuted) {
  const double budget = options.TimeoutSeconds.value_or(kDefaultAutoSeconds);
  const double start = Now();
  Report.ProofWanted = options.Proof;  // the children inherit it
  TChoice choice;
  std::optional<TRunOutcome> notStarted;
  bool ran = false;
  if (LaneCount() > 1) {
    const sigset_t stops = StopSignals();
    sigset_t before;
    ::sigprocmask(SIG_BLOCK, &stops, &before);
    ran = TLanes(text, options, start, budget).Run(interrupted, choice);
    ::sigprocmask(SIG_SETMASK, &before, nullptr);
  }
  // Without child processes the sequence runs in this process, with what is left of the budget.
  if (!ran) {
    choice = TChoice{};
    notStarted = RunInTurn(text, options, interrupted, start, budget, choice);
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
    for (; options.Szs && next < shownAttempt.Queries.size() &&
           shownAttempt.Queries[next].Line == line;
         ++next) {
      SzsStatus own = shownAttempt.Queries[next].Status;
      out.Verdicts.push_back(SzsLine(own == SzsStatus::Theorem ? refuted : failed, szsName));
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
