// Searches that never end on their own. The linear strategies recurse once per stored resolvent;
// a chain that never ends must meet the depth limit, be reported once, and leave the search
// running at that depth. The smallest-first search must not let such a chain of short
// resolvents keep a longer formula from its turn.
#include <gtest/gtest.h>

#include <algorithm>

#include "prover/search.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

TEST(SearchDepth, AnEndlessChainStopsDeepeningAtTheLimitAndSaysSoOnce) {
  Fixture fx;
  const int saved = Search.MaxDepth;
  Search.MaxDepth = 3;
  int yields = 0;
  fx.Program->OnYield = [&yields](TPLProgram& p) {
    if (++yields > 20000) p.StopRequested = 1;
  };
  // p(a), p(f(a)), p(f(f(a))), ...: each resolvent feeds the rule again.
  auto lines = fx.Run("∀X [p(X) → p(f(X))]; ?- p(a) → q;");
  Search.MaxDepth = saved;

  auto isLimitLine = [](const std::string& l) {
    return l == "Search depth limit 3 reached: deeper resolvents are stored but not expanded.";
  };
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), isLimitLine), 1);
  // The query meets itself first (¬q, R0), then gives back p(a) (R1), which the rule carries on:
  // R0, R1 and R2 are each expanded one level deeper, and R3, stored at the limit, is not.
  EXPECT_NE(std::find(lines.begin(), lines.end(), "R3 [R2&F0] :  p(f(f(a))):1; "), lines.end());
  auto fromR3 = [](const std::string& l) { return l.find("[R3&") != std::string::npos; };
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), fromR3), 0);
}

TEST(SmallestFirst, AStreamOfShortResolventsStillLetsALongerFormulaItsTurn) {
  Fixture fx;
  fx.Program->Strategy = SearchStrategy::SmallestFirst;
  int yields = 0;
  fx.Program->OnYield = [&yields](TPLProgram& p) {
    if (++yields > 20000) p.StopRequested = 1;
  };
  // p(f(a)), p(f(f(a))), ... have one atom each; the rule for q has three, and q needs it.
  fx.Run("p(a); ∀X [p(X) → p(f(X))]; ∀X [[s(X) ∧ t(X)] → q]; s(b); t(b); ?- q;");
  EXPECT_TRUE(fx.Program->RefutationFound);
}

}  // namespace
}  // namespace velmoran::testing
