#include "cli/lanes.h"

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
#include <string_view>
#include <thread>
#include <utility>

#include "report/measure.h"

namespace velmoran::cli {

namespace {

// How long interrupted children may take to send their reports before they are killed.
constexpr double kStopGraceSeconds = 2;

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
  TLanes(const TPortfolioTexts& texts, const Options& options, double start, double budget)
      : texts_(texts), options_(options), start_(start), budget_(budget) {
    for (int lane = 0; lane < kLanes; ++lane)
      for (const TLaneStep& step : kLaneSteps[lane])
        if (texts_.Of(step.Setting)) lanes_[lane].WeightLeft += step.Weight;
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

  const TPortfolioTexts& texts_;
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
  const int steps = static_cast<int>(std::size(kLaneSteps[laneIndex]));
  while (lane.Next < steps && !texts_.Of(kLaneSteps[laneIndex][lane.Next].Setting)) ++lane.Next;
  if (stopping_ || lane.Next >= steps || left <= 0) return true;
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
    TAttempt attempt = RunAttempt(
        *texts_.Of(index), settings, limits, lines,
        [] { return childStopAsked.load(std::memory_order_relaxed) != 0; }, {}, true);
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

}  // namespace

int LaneCount() {
  cpu_set_t cores;
  CPU_ZERO(&cores);
  if (::sched_getaffinity(0, sizeof cores, &cores) == 0) return std::min(CPU_COUNT(&cores), kLanes);
  return static_cast<int>(std::min<unsigned>(std::thread::hardware_concurrency(), kLanes));
}

bool RunLanes(const TPortfolioTexts& texts, const Options& options, double start, double budget,
              const std::function<bool()>& interrupted, TChoice& choice) {
  const sigset_t stops = StopSignals();
  sigset_t before;
  ::sigprocmask(SIG_BLOCK, &stops, &before);
  const bool ran = TLanes(texts, options, start, budget).Run(interrupted, choice);
  ::sigprocmask(SIG_SETMASK, &before, nullptr);
  return ran;
}

}  // namespace velmoran::cli
