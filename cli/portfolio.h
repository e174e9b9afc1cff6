// The portfolio of --auto.
//
// The portfolio tries a fixed sequence of settings, each attempt on a fresh prover object with its
// slice of the time budget, and keeps the report of the first attempt that refutes every query of
// the theory, unchanged, so it is the report a plain run with that setting prints. Where the
// process may use two cores, the settings run in two lanes at once, each attempt in a child process
// of its own (the engine's state is process-wide), and the first lane to refute ends the other at
// once; on one core, or when no child process can be made, the attempts run one after another in
// this process, in the sequence's order. The other attempts' reports are dropped. When none
// succeeds, the report shown is that of the attempt that refuted the most queries (the later
// setting among equals). After the report comes one line that names the setting that refuted it,
// or says that none did; with --szs, each query's SZS line is put where a plain run puts it. The
// limits of the command line hold for every attempt (the resolvent and memory limits as they are,
// in each child, the time limit as the whole budget); an interrupt ends the whole portfolio, and
// no child process outlives it.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "cli/attempt.h"
#include "cli/cli_options.h"
#include "cli/szs.h"
#include "prover/program.h"
#include "report/line_sink.h"

namespace velmoran::cli {

// The budget of --auto when --timeout is not given.
constexpr double kDefaultAutoSeconds = 60;

struct TAutoSetting {
  const char* Options;  // as given on the command line
  int Weight;           // its share of what is left of the budget, against the settings after it
};

// The order and the weights come from running every Pelletier problem with each candidate
// setting (bench/settings_matrix.sh; the table and the reasons are in bench/RESULTS.md): the
// first refutes all but one of the problems any setting refutes (P44), and its failures mostly
// end quickly, so it takes the largest slice; the linear search catches the one it misses. This is
// the order of a machine with one core; the numbers name the settings in every report.
inline constexpr TAutoSetting kSequence[] = {
    {"-s breadth --check=trivial --general-cut --one-refutation", 2},
    {"-s linear --one-refutation", 1},
    {"-s modified --restrict=support --one-refutation", 1},
    {"-s breadth --check=trivial --one-refutation", 1},
    {"-s smallest --check=trivial --one-refutation", 1},
    {"-s smallest --one-refutation", 1},
};
inline constexpr int kSettings = static_cast<int>(std::size(kSequence));

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
inline constexpr int kLanes = 2;
// The smallest-first searches came last, from the TPTP library: a short resolvent used at once,
// however deep it lies, refutes set-theory exercises (SET027+3, SET590+3, SEU264+1) and
// contradictory axioms (KRS063+1, SWB007+2) within a second where every other setting runs into
// its limit. With the trivial check it also refutes 39 of the 40 Pelletier problems that any
// setting refutes, each within 0.05 s, and fails only on P46 and the open ones: so it opens the
// first lane with a small slice, ahead of the breadth-first search. With the consequent check
// (slower, but it alone refutes SET590+3) it takes the middle of the other lane.
inline constexpr TLaneStep kLaneSteps[kLanes][3] = {{{4, 1}, {0, 2}, {3, 1}},
                                                    {{2, 1}, {5, 1}, {1, 1}}};

// The settings of one attempt: the search options of its command line, and the user's output
// switches and consequent-test limit. Parsed by the command line's own parser, so the attempt is
// exactly the run that its options give.
void ApplySetting(const TAutoSetting& setting, const TSettings& user, TSettings& to);

// The limits of the command line with a slice of the budget as the time limit.
TRunLimits SliceLimits(const Options& options, double seconds);

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

// "setting N of M (its options)", as the closing line and the notes on standard error name it.
std::string SettingText(int index);

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

// The portfolio: the report of the chosen attempt goes to `output` at the end, whole.
TRunOutcome ProveWithPortfolio(const std::string& text, const std::string& name,
                               const Options& options, TLineSink& output,
                               const std::function<bool()>& interrupted,
                               SzsStatus refuted = SzsStatus::Theorem);

// The settings the portfolio tries, in order, as the command-line options that give the same run.
std::vector<std::string> PortfolioLabels();
// The lanes: each the numbers (from 1, as in the labels) of the settings it runs, in its order.
std::vector<std::vector<int>> PortfolioLanes();

}  // namespace velmoran::cli
