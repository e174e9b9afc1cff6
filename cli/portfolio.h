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
#include <cstdint>
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

// The text a setting runs on. The two without (some of) the equality axioms run only where the
// problem has them; their options say so too, for a plain run.
enum class TAutoText : std::uint8_t {
  Problem,
  // A weaker theory, so its refutations hold; the axioms' search space is what keeps the others
  // from proofs that need no equality.
  WithoutEqualityAxioms,
  // Without the axioms the equality rule stands for, run with the rule: its steps are guided by
  // the terms that occur, where the substitution axioms resolve with nearly every record.
  ForEqualityRule,
};

struct TAutoSetting {
  const char* Options;  // as given on the command line
  int Weight;           // its share of what is left of the budget, against the settings after it
  TAutoText Text = TAutoText::Problem;
};

// The order and the weights come from running every Pelletier problem with each candidate
// setting (bench/settings_matrix.sh); the figures behind them are in bench/RESULTS.md. This is the
// order of a machine with one core; the numbers name the settings in every report, so a new
// setting goes at the end.
inline constexpr TAutoSetting kSequence[] = {
    {"-s breadth --check=trivial --general-cut --one-refutation", 2},
    {"-s linear --one-refutation", 1},
    {"-s modified --restrict=support --one-refutation", 1},
    {"-s breadth --check=trivial --one-refutation", 1},
    {"-s smallest --check=trivial --unit-conflicts --one-refutation", 1},
    {"-s smallest --unit-conflicts --one-refutation", 1},
    {"-s smallest --check=trivial --no-equality-axioms --unit-conflicts --one-refutation", 2,
     TAutoText::WithoutEqualityAxioms},
    {"-s smallest --equality-rule --unit-conflicts --one-refutation", 1,
     TAutoText::ForEqualityRule},
    {"-s smallest --check=trivial --equality-rule --unit-conflicts --one-refutation", 1,
     TAutoText::ForEqualityRule},
    {"-s smallest --check=trivial --restrict=support --equality-rule --unit-conflicts "
     "--one-refutation",
     1, TAutoText::ForEqualityRule},
    {"-s smallest --check=trivial --restrict=support --unit-conflicts --one-refutation", 1},
};
inline constexpr int kSettings = static_cast<int>(std::size(kSequence));

// One step of a lane: a setting (its index in `kSequence`) and its weight within the lane.
struct TLaneStep {
  int Setting;
  int Weight;
};

// With two cores the settings run in two lanes at once, each lane one child process at a time.
// The lanes pair settings that fail where the other refutes fast: the smallest-first search with
// the trivial check opens the first lane with a small slice (where it refutes, it does so at once),
// breadth-first with the general cut follows with the largest (its failures mostly end on their
// own); the second lane starts with the modified search restricted to the support set, for the
// problems where breadth-first stores hundreds of resolvents, then the smallest-first search with
// the consequent check and the linear search. The price: where the cores share their speed, a
// problem the first lane wins takes up to twice its one-core time. The measurements that chose
// this are in bench/RESULTS.md ("The `--auto` portfolio", "The TPTP library against E"). A problem
// with equality runs the smallest-first search without the equality axioms third in the first
// lane, and the smallest-first searches with the equality rule second to fourth in the other; a
// setting that does not run gives its weight to the others. The smallest-first searches from the
// set of support (10, 11) each take a step of their own, early: on the library they refute
// parts of conjectures (KRS167+1, NUM535+2) that the searches among all the axioms bury under
// resolvents of definitions with each other. A step of setting -1 is none.
inline constexpr int kLanes = 2;
inline constexpr TLaneStep kLaneSteps[kLanes][6] = {
    {{4, 1}, {10, 1}, {6, 2}, {0, 2}, {3, 1}, {-1, 0}},
    {{2, 1}, {8, 1}, {9, 1}, {7, 1}, {5, 1}, {1, 1}}};
// The texts the settings run on: the problem, and where it has equality axioms the problem
// without them and the problem without those the equality rule stands for.
struct TPortfolioTexts {
  const std::string& Full;
  const std::string* WithoutEquality = nullptr;
  const std::string* ForEqualityRule = nullptr;
  // The text of setting `index`; none when it does not run on this problem.
  const std::string* Of(int index) const {
    if (index < 0) return nullptr;
    switch (kSequence[index].Text) {
      case TAutoText::WithoutEqualityAxioms:
        return WithoutEquality;
      case TAutoText::ForEqualityRule:
        return ForEqualityRule;
      default:
        return &Full;
    }
  }
};

// The settings of one attempt: the search options of its command line, and everything else the
// user gave (output switches, numbers, the command line's own and the debugging switches). Parsed
// by the command line's own parser, so the attempt is exactly the run that its options give.
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
TRunOutcome ProveWithPortfolio(const TPortfolioTexts& texts, const std::string& name,
                               const Options& options, TLineSink& output,
                               const std::function<bool()>& interrupted,
                               SzsStatus refuted = SzsStatus::Theorem);

// The settings the portfolio tries, in order, as the command-line options that give the same run.
std::vector<std::string> PortfolioLabels();
// The lanes: each the numbers (from 1, as in the labels) of the settings it runs, in its order.
std::vector<std::vector<int>> PortfolioLanes();

}  // namespace velmoran::cli
