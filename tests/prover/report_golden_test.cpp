// Whole proof reports compared line by line with golden files.
//
// Every golden file was worked out by hand from the search order (centres, partners from the
// newest down, formulas before resolvents), the orientation and folding of each resolvent, the
// redundancy checks and the report line formats. Theories are kept small so that such a trace
// stays feasible; the comments name what each report is meant to pin down.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/theory.h"

namespace velmoran::testing {
namespace {

const char* const kSocrates =
    "∀X [man(X) → mortal(X)];\n"
    "man(socrates) : 0.9;\n"
    "?- mortal(socrates);\n";

// p ∨ q and ¬p ∨ q together give q: the classic case split.
const char* const kCases = "p ∨ q; ¬p ∨ q; ?- q;";

// Three derivations of p, p ∨ q and p ∨ r with different degrees; the unprovable query only
// keeps the breadth-first search going through the axioms. p ∨ q (0.5) comes first, then p (0.8),
// which entails it, then p ∨ r (0.6), which p entails.
const char* const kEntailments = "u → p ∨ r : 0.6; u; t → p : 0.8; t; s → p ∨ q : 0.5; s; ?- z;";

void ExpectReport(const std::vector<std::string>& actual, const std::string& golden) {
  std::vector<std::string> expected = ReadGolden(golden);
  std::vector<std::string> got = WithoutMeasurements(actual);
  EXPECT_EQ(got, expected) << "report differs from " << golden;
  // Point at the first differing line: vectors of report lines are long.
  for (std::size_t i = 0; i < std::min(got.size(), expected.size()); ++i) {
    if (got[i] != expected[i]) {
      ADD_FAILURE() << golden << " line " << i + 1 << "\n  expected: [" << expected[i]
                    << "]\n  actual:   [" << got[i] << "]";
      break;
    }
  }
}

TEST(SocratesReport, LinearWithAxiomsResolventsStatisticsAndMeasurements) {
  Fixture fx;
  fx.Program->Strategy = SearchStrategy::Linear;
  fx.Program->ShowAxioms = fx.Program->ShowResolvents = fx.Program->ShowStatistics = 1;
  fx.Program->ShowTime = fx.Program->ShowMemory = 1;
  ExpectReport(fx.Run(kSocrates), "socrates_linear.txt");
}

TEST(SocratesReport, ModifiedLinearTakesAxiomsAsCentresNewestFirst) {
  Fixture fx;
  fx.Program->Strategy = SearchStrategy::ModifiedLinear;
  ExpectReport(fx.Run(kSocrates), "socrates_modified_linear.txt");
}

TEST(SocratesReport, BreadthFirstExpandsLevelByLevel) {
  Fixture fx;
  fx.Program->Strategy = SearchStrategy::BreadthFirst;
  ExpectReport(fx.Run(kSocrates), "socrates_breadth_first.txt");
}

TEST(SocratesReport, SmallestFirstTakesOneAtomFormulasFirstAndPairsBothWays) {
  // The query and the fact (one atom each) meet nothing; the rule, taken third, gives both unit
  // resolvents, each once: the other order is the same text. Each then closes both ways round.
  Fixture fx;
  fx.Program->Strategy = SearchStrategy::SmallestFirst;
  ExpectReport(fx.Run(kSocrates), "socrates_smallest_first.txt");
}

TEST(SocratesReport, SupportSetNeverResolvesTwoAxioms) {
  // Modified linear would otherwise derive mortal(socrates) from the two axioms first.
  Fixture fx;
  fx.Program->Strategy = SearchStrategy::ModifiedLinear;
  fx.Program->NoRestriction = 0;
  fx.Program->SupportSet = 1;
  fx.Program->ShowStatistics = 1;
  ExpectReport(fx.Run(kSocrates), "socrates_support_set.txt");
}

TEST(RestrictionReport, UnrestrictedLinearResolvesSiblingResolvents) {
  Fixture fx;
  ExpectReport(fx.Run(kCases), "cases_unrestricted.txt");
}

TEST(RestrictionReport, FiltrationSkipsResolventsOffEachOthersDerivation) {
  // p (from ¬q and p ∨ q) and ¬p (from ¬q and ¬p ∨ q) are siblings: no [R2&R0] refutation.
  Fixture fx;
  fx.Program->NoRestriction = 0;
  fx.Program->Filtration = 1;
  ExpectReport(fx.Run(kCases), "cases_filtration.txt");
}

TEST(SearchEndReport, OneRefutationStopsButListsEveryResolvent) {
  Fixture fx;
  fx.Program->OneRefutation = 1;
  fx.Program->ShowResolvents = 1;
  ExpectReport(fx.Run(kCases), "cases_one_refutation.txt");
}

TEST(SearchEndReport, StoppedRunKeepsListingButSkipsLaterQueriesAndClosingLines) {
  // Yields: three before parsing, then one per atom pair: (F2,F2), (F2,F1), two for (F2,F0), one
  // in the kill check of R0, one for (R0,F2); the tenth, before (R0,F1), stops the run.
  Fixture fx;
  fx.Program->ShowResolvents = fx.Program->ShowStatistics = 1;
  fx.Program->ShowTime = fx.Program->ShowMemory = 1;
  int calls = 0;
  fx.Program->OnYield = [&calls](TPLProgram& p) {
    if (++calls >= 10) p.StopRequested = 1;
  };
  std::string text = std::string(kSocrates) + "?- man(socrates);\n";
  ExpectReport(fx.Run(text), "socrates_stopped.txt");
}

TEST(CheckModeReport, DcfWithKillDisablesTheWeakerEntailedResolvent) {
  Fixture fx;
  fx.Program->Strategy = SearchStrategy::BreadthFirst;
  fx.Program->ShowDcf = fx.Program->ShowResolvents = 1;
  ExpectReport(fx.Run(kEntailments), "check_dcf_kill.txt");
}

TEST(CheckModeReport, DcfDropsEntailedResolventsButDisablesNothing) {
  Fixture fx;
  fx.Program->Strategy = SearchStrategy::BreadthFirst;
  fx.Program->CheckDcfKill = 0;
  fx.Program->CheckDcf = 1;
  fx.Program->ShowDcf = fx.Program->ShowResolvents = 1;
  ExpectReport(fx.Run(kEntailments), "check_dcf.txt");
}

TEST(CheckModeReport, TrivialCheckOnlyDropsOnlyIdenticalTexts) {
  Fixture fx;
  fx.Program->Strategy = SearchStrategy::BreadthFirst;
  fx.Program->CheckDcfKill = 0;
  fx.Program->TrivialCheckOnly = 1;
  fx.Program->ShowDcf = fx.Program->ShowResolvents = 1;
  ExpectReport(fx.Run(kEntailments), "check_trivial_only.txt");
}

TEST(DcfReport, IdenticalTextWithHigherDegreeRaisesTheStoredOne) {
  // p first arrives with 0.5 (from s), then with 0.9 (from t); the listing shows the raised degree.
  Fixture fx;
  fx.Program->Strategy = SearchStrategy::BreadthFirst;
  fx.Program->ShowDcf = fx.Program->ShowResolvents = fx.Program->ShowStatistics = 1;
  ExpectReport(fx.Run("t → p : 0.9; t; s → p : 0.5; s; ?- z;"), "dcf_identical_raise.txt");
}

TEST(AnswerReport, ExistentialQueryNamesTheVariableAndKeepsTheBestAnswer) {
  Fixture fx;
  ExpectReport(fx.Run("p(b) : 0.6; p(a) : 0.9; ?- ∃X p(X);"), "existential_answer.txt");
}

TEST(AnswerReport, AnswerThatIsAVariableIsNotListed) {
  // X := Z, an existential of the axiom: the binding prints as a variable, so no answer line and
  // no parentheses on the best-degree line.
  Fixture fx;
  EXPECT_EQ(fx.Run("∃Z p(Z); ?- ∃X p(X);"), (std::vector<std::string>{
                                                "Solution to ∀X ¬p(X):1; ",
                                                "[F1&F0] :  YES (refutation deg.):1;",
                                                "Best refutation degree: 1",
                                            }));
}

TEST(SourcesReport, WithoutSourcesLinesCarryNoNames) {
  Fixture fx;
  fx.Program->ShowSources = 0;
  EXPECT_EQ(fx.Run(kSocrates), (std::vector<std::string>{
                                   "Solution to ¬mortal(socrates):1; ",
                                   " ¬man(socrates):1; ",
                                   " YES (refutation deg.):0.9;",
                                   "Best refutation degree: 0.9",
                               }));
  fx.Program->ShowProgress = 0;
  EXPECT_EQ(fx.Run(kSocrates), (std::vector<std::string>{
                                   "Solution to ¬mortal(socrates):1; ",
                                   " YES (refutation deg.):0.9;",
                                   "Best refutation degree: 0.9",
                               }));
}

TEST(AnswerReport, EachQueryIsProvedFromTheAxiomsBeforeIt) {
  Fixture fx;
  fx.Program->ShowAxioms = 1;
  ExpectReport(fx.Run("man(socrates); ?- man(socrates); ∀X [man(X) → mortal(X)]; "
                      "?- mortal(socrates);"),
               "two_queries.txt");
}

}  // namespace
}  // namespace velmoran::testing
