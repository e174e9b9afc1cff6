// The unit-conflict check of the smallest-first search: a new record of one atom meets every
// record of one atom at once. It may only find sooner what the search finds, never more.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "prover/search.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

std::vector<std::string> RunSmallest(const std::string& theory, bool unitConflicts) {
  Fixture fx;
  fx.Program->Strategy = SearchStrategy::SmallestFirst;
  fx.Program->OneRefutation = 1;
  fx.Program->UnitConflicts = unitConflicts;
  int yields = 0;
  fx.Program->OnYield = [&yields](TPLProgram& p) {
    if (++yields > 20000) p.StopRequested = 1;
  };
  auto lines = fx.Run(theory);
  if (fx.Program->RefutationFound) lines.push_back("refuted");
  return lines;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines)
    if (l == line) return true;
  return false;
}

TEST(UnitConflicts, AContradictionBetweenTwoShortRecordsEndsTheSearchAtOnce) {
  // F0 ∀X ¬q(X), F1 the rule, F2 p(a). The rule is taken after the three records of one atom,
  // and meets F0 first: R0 ∀X ¬p(X). That contradicts F2 at once; the search alone reaches the
  // pair only at R0's turn, after the rule has met F2 as well (R1, q(a)).
  const std::string theory = "∀X ¬q(X); ∀X [p(X) → q(X)]; p(a); ∀X [r(X) ∨ s(X) ∨ t(X)]; ?- u;";
  auto checked = RunSmallest(theory, true);
  ASSERT_GE(checked.size(), 3u);
  EXPECT_EQ(checked[1], "R0 [F1&F0] : ∀!X ¬p(X):1; ");
  EXPECT_EQ(checked[2], "[R0&F2] :  YES (refutation deg.):1;");
  EXPECT_FALSE(Has(checked, "R1 [F1&F2] :  q(a):1; "));
  auto plain = RunSmallest(theory, false);
  EXPECT_TRUE(Has(plain, "R1 [F1&F2] :  q(a):1; "));
  EXPECT_TRUE(Has(plain, "refuted"));
}

TEST(UnitConflicts, RecordsOfOneAtomThatCanHoldTogetherAreNotRefuted) {
  // Each text has a model: p(a) true and p(b) false; a witness for p and another against it;
  // r true of (a, b) alone; the same atom twice, once under a negation of a negation.
  for (const char* theory : {"p(a); ¬p(b); ?- u;", "∃X p(X); ∃X ¬p(X); ?- u;",
                             "∀X ∃Y r(X, Y); ∃Y ¬r(b, Y); r(a, b); ?- u;", "p(a); ¬¬p(a); ?- u;"})
    EXPECT_FALSE(Has(RunSmallest(theory, true), "refuted")) << theory;
}

}  // namespace
}  // namespace velmoran::testing
