// Limits and stops end a proof at once: once `StopRequested` is set no further pair procedure is
// entered, whatever the strategy and however many resolvents wait; an exhausted heap cap stops
// the run like the stop command; a stored record frees whole, its bindings included.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "logic/logic_state.h"
#include "prover/consequence.h"
#include "prover/search.h"
#include "report/measure.h"
#include "report/report.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

// Two rules that feed each other without end: every level holds more resolvents to pair.
constexpr const char* kEndless =
    "∀X [p(X) → p(f(X))]; ∀X [p(X) → q(g(X))]; ∀X [q(X) → p(X)]; ?- p(a) → r;";

struct StopCount {
  std::int64_t AtStop = -1;
};

// Stops once `after` resolvents are stored and remembers how many pairs had been tried then.
StopCount StopAfter(Fixture& fx, SearchStrategy strategy, std::size_t after,
                    std::uint8_t TSettings::*extra = nullptr) {
  StopCount count;
  fx.Program->Strategy = strategy;
  fx.Program->TrivialCheckOnly = 1;  // the consequent tests would make the search slow to grow
  fx.Program->CheckDcfKill = 0;
  if (extra) {
    fx.Program->NoRestriction = 0;
    fx.Program.get()->*extra = 1;
  }
  fx.Program->OnYield = [&count, after](TPLProgram& p) {
    if (!p.StopRequested && p.Resolvents.size() >= after) {
      p.StopRequested = 1;
      count.AtStop = Statistics.PairsTried;
    }
  };
  fx.Program->OnPoll = fx.Program->OnYield;
  fx.Run(kEndless);
  return count;
}

TEST(StopLatency, NoPairIsTriedAfterTheStopInAnyStrategy) {
  for (auto strategy : {SearchStrategy::Linear, SearchStrategy::ModifiedLinear,
                        SearchStrategy::BreadthFirst, SearchStrategy::SmallestFirst}) {
    for (auto extra : {static_cast<std::uint8_t TSettings::*>(nullptr), &TPLProgram::Filtration,
                       &TPLProgram::SupportSet}) {
      Fixture fx;
      StopCount count = StopAfter(fx, strategy, 100, extra);
      SCOPED_TRACE(static_cast<int>(strategy));
      ASSERT_GE(count.AtStop, 100);  // the stop came, deep inside the search
      EXPECT_EQ(Statistics.PairsTried, count.AtStop);
      EXPECT_TRUE(fx.Program->StopRequested);
    }
  }
}

TEST(StopLatency, AStoppedReportStillListsItsResolventsAndNoClosingLines) {
  Fixture fx;
  fx.Program->ShowResolvents = 1;
  StopAfter(fx, SearchStrategy::BreadthFirst, 40);
  const auto& lines = fx.Lines.Lines;
  // The resolvent list names every stored resolvent, R0 to R39 at least.
  auto listed = [&lines](const std::string& name) {
    return std::any_of(lines.begin(), lines.end(),
                       [&name](const std::string& l) { return l.starts_with(name + " : "); });
  };
  EXPECT_TRUE(listed("R0"));
  EXPECT_TRUE(listed("R39"));
  EXPECT_FALSE(std::any_of(lines.begin(), lines.end(),
                           [](const std::string& l) { return l.starts_with("Total allocated"); }));
}

TEST(RunLimits, EachLimitStopsTheRunAndSaysWhich) {
  {
    Fixture fx;
    TRunLimits limits;
    limits.MaxResolvents = 25;
    limits.Start();
    fx.Program->OnYield = [&limits](TPLProgram& p) { limits.Check(p); };
    fx.Run(kEndless);
    EXPECT_STREQ(limits.Reached, "resolvent limit");
    EXPECT_TRUE(fx.Program->StopRequested);
  }
  // Runs the endless theory under `limits` and counts the checks made before the stop.
  auto checksUntilStop = [](TRunLimits& limits, Fixture& fx) {
    limits.Start();
    int checks = 0;
    fx.Program->OnYield = [&](TPLProgram& p) {
      if (!p.StopRequested) ++checks;
      limits.Check(p);
    };
    fx.Run(kEndless);
    return checks;
  };
  {
    // A cap below what the heap already holds is reached at the 64th check.
    Fixture fx;
    TRunLimits limits;
    limits.MaxHeapBytes = 1;
    EXPECT_EQ(checksUntilStop(limits, fx), 64);
    EXPECT_STREQ(limits.Reached, "memory limit");
    EXPECT_FALSE(fx.Program->OutOfMemory);
  }
  {
    // The clock is read at every check: a single step between two checks may run for seconds,
    // so the first check after the time is up must stop the run.
    Fixture fx;
    TRunLimits limits;
    limits.TimeoutSeconds = 0;
    EXPECT_EQ(checksUntilStop(limits, fx), 1);
    EXPECT_STREQ(limits.Reached, "time limit");
  }
  EXPECT_GT(DefaultHeapCap(), std::int64_t{1} << 20);
}

TEST(StopLatency, ASelfRefutationTakesNoStepAfterTheStop) {
  // Each step of a consequence test may double its formula, so the test asks for the stop before
  // every step: a stop that came before the first leaves the record as it was.
  Fixture fx;
  fx.Program->DcfLimit = 1000;
  fx.Program->ShowStatistics = 1;  // no shortcut through a one-element model: every step is taken
  auto record = fx.Axiom("[p ∨ q ∨ r ∨ s] ∧ [¬p ∨ ¬q] ∧ [¬r ∨ ¬s] ∧ [t ∨ u ∨ v];");
  ASSERT_TRUE(record);
  int polls = 0;
  fx.Program->OnPoll = [&polls](TPLProgram& p) {
    ++polls;
    p.StopRequested = 1;
  };
  TFALFormula* y = SelfRefute(record.get(), SplitKind::Sound);
  EXPECT_EQ(y, record.get());
  EXPECT_EQ(polls, 1);
  fx.Program->StopRequested = 0;
  fx.Program->OnPoll = nullptr;
  TFALFormula* stepped = SelfRefute(record.get(), SplitKind::Sound);
  EXPECT_NE(stepped, record.get());  // without the stop it does step
  if (stepped != record.get()) delete stepped;
}

// The heap figure behind the memory cap and the report's memory lines follows what the program
// holds, and a proof hands the memory of its terms and formulas back when it ends: a second proof
// in the same process (a desktop session, several files on one command line) starts from the
// heap the first one left, not from the largest heap it ever needed.
TEST(HeapFigure, FollowsAllocationsAndAProofLeavesNoRecycledMemoryBehind) {
  const std::int64_t before = HeapBytesInUse();
  auto block = std::make_unique<char[]>(std::size_t{1} << 20);
  block[0] = 1;
  EXPECT_GE(HeapBytesInUse() - before, std::int64_t{1} << 20);
  block.reset();
  EXPECT_LT(HeapBytesInUse() - before, std::int64_t{1} << 16);

  Fixture fx;
  StopAfter(fx, SearchStrategy::BreadthFirst, 400);
  EXPECT_EQ(Logic.Objects.EmptySlabs(), 0u);
  const std::int64_t afterFirst = HeapBytesInUse();
  Fixture again;
  StopAfter(again, SearchStrategy::BreadthFirst, 400);
  EXPECT_LT(HeapBytesInUse() - afterFirst, std::int64_t{1} << 20);
}

}  // namespace
}  // namespace velmoran::testing
