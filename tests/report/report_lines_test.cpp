// The lines that frame a proof: formula texts, the query header, the resolvent list, the
// statistics block and the closing lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "logic/formula.h"
#include "report/line_sink.h"
#include "report/measure.h"
#include "report/report.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

using Lines = std::vector<std::string>;

const std::string kLongRule(30, '_');
const std::string kShortRule(21, '_');

// The text between `head` and `tail` when `line` is made of them, else nullopt.
std::optional<std::string> Between(const std::string& line, const std::string& head,
                                   const std::string& tail) {
  if (line.size() < head.size() + tail.size() || !line.starts_with(head) || !line.ends_with(tail))
    return std::nullopt;
  return line.substr(head.size(), line.size() - head.size() - tail.size());
}
bool IsCount(const std::string& s) {
  std::size_t i = !s.empty() && s[0] == '-' ? 1 : 0;
  if (i == s.size()) return false;
  for (; i < s.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
  return true;
}
class ReportLines : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetReportState();
    Measure = MeasureState{};
  }

  TPLProgram& P() { return *fx.Program; }
  Lines Out() const {
    Lines out;
    for (const auto& l : fx.Lines.Lines) out.push_back(Utf8(l));
    return out;
  }
  TFALFormula* Owned(std::unique_ptr<TFALFormula> r, std::vector<TFALFormula*>& list) {
    EXPECT_TRUE(r);
    list.push_back(r.get());
    return r.release();
  }
  // A query as its proof sees it: negated, its text not yet cached.
  TFALFormula* NegatedQuery(const std::string& text) {
    TFALFormula* q = Owned(fx.Parse(text), P().Formulas);
    if (q) Negate(q->Root);
    return q;
  }

  Fixture fx;
};

TEST_F(ReportLines, FormulaTextIsTextColonDegreeSemicolonBlank) {
  auto a = fx.Parse("p(a);");
  auto b = fx.Parse("p(a) : 0.80;");
  auto c = fx.Parse("∀X [q(X) → r] : 0.00005;");
  auto q = fx.Parse("?- ∀X p(X);");  // a query has no cached text until its proof starts
  ASSERT_TRUE(a && b && c && q);
  ASSERT_TRUE(q->Text.empty());
  EXPECT_EQ(Utf8(FormulaText(*a)), "p(a):1; ");
  EXPECT_EQ(Utf8(FormulaText(*b)), "p(a):0.8; ");
  EXPECT_EQ(Utf8(FormulaText(*c)), "∀X[q(X)→r]:5E-5; ");
  EXPECT_EQ(Utf8(FormulaText(*q)), "∀X p(X):1; ");

  a->Degree = 0.9L + 0.8L - 1.0L;
  EXPECT_EQ(Utf8(FormulaText(*a)), "p(a):0.7; ");
  a->Degree = 0;
  EXPECT_EQ(Utf8(FormulaText(*a)), "p(a):0; ");

  a->Text = Bytes("q(b)");  // the cached text wins over the tree
  std::string line = "F3 : ";
  AppendFormulaText(*a, line);
  EXPECT_EQ(Utf8(line), "F3 : q(b):0; ");
}

TEST_F(ReportLines, QueryHeaderWithAxiomsListsEveryFormula) {
  P().ShowAxioms = 1;
  Owned(fx.Parse("p(a);"), P().Formulas);
  Owned(fx.Parse("∀X [p(X) → q(X)] : 0.8;"), P().Formulas);
  NegatedQuery("?- q(b) : 0.5;");
  WriteQueryHeader(P());
  EXPECT_EQ(Out(), (Lines{kLongRule, "Source formulas (axioms) : ", "F0 : p(a):1; ",
                          "F1 : ∀X[p(X)→q(X)]:0.8; ", "F2 (¬query) : ¬q(b):0.5; ", kLongRule}));
}

TEST_F(ReportLines, QueryHeaderWithoutAxiomsNamesTheQueryOnly) {
  Owned(fx.Parse("p(a);"), P().Formulas);
  NegatedQuery("?- q(b) : 0.5;");
  WriteQueryHeader(P());
  EXPECT_EQ(Out(), (Lines{"Solution to ¬q(b):0.5; "}));
}

TEST_F(ReportLines, QueryHeaderListingEndsWhenTheSearchIsStopped) {
  P().ShowAxioms = 1;
  Owned(fx.Parse("p(a);"), P().Formulas);
  NegatedQuery("?- q(b);");
  Report.SearchStopped = true;
  WriteQueryHeader(P());
  EXPECT_EQ(Out(), (Lines{kLongRule, "Source formulas (axioms) : ", "F0 : p(a):1; ", kLongRule}));
}

TEST_F(ReportLines, ResolventListMarksDisabledRecordsAndIsAlwaysComplete) {
  P().ShowResolvents = 1;
  Owned(fx.Parse("p(a);"), P().Resolvents);
  TFALFormula* r1 = Owned(fx.Parse("q(b) ∨ r;"), P().Resolvents);
  Owned(fx.Parse("s;"), P().Resolvents);
  r1->Degree = 0.5;
  r1->Disabled = 1;
  // A search that one refutation ended still lists every resolvent.
  Report.SearchStopped = true;
  WriteResolventList(P());
  EXPECT_EQ(Out(), (Lines{kShortRule, "Produced resolvents : ", "R0 : p(a):1; ",
                          "R1 : q(b)∨r:0.5; (DISABLED BY DCF)", "R2 : s:1; ", kShortRule}));
}

TEST_F(ReportLines, ResolventListAndStatisticsNeedTheirSwitches) {
  Owned(fx.Parse("p(a);"), P().Resolvents);
  P().ShowResolvents = 0;
  P().ShowStatistics = 0;
  WriteResolventList(P());
  WriteStatistics(P());
  EXPECT_EQ(Out(), Lines{});
}

TEST_F(ReportLines, StatisticsBlock) {
  P().ShowStatistics = 1;
  Owned(fx.Parse("p(a);"), P().Resolvents);
  Owned(fx.Parse("q(a);"), P().Resolvents);
  Statistics.RemovedTautologies = 3;
  Statistics.DcfConsequents = 4;
  Statistics.DcfKilled = 5;
  Statistics.Unifications = 6;
  Statistics.Simplifications = 1234567;
  WriteStatistics(P());
  EXPECT_EQ(Out(), (Lines{"Inference statistics : ", "Resolvents : 2", "Removed tautologies : 3",
                          "DCF consequent resolvents : 4", "DCF killed resolvents : 5",
                          "Unification : 6", "Simplification : 1234567", kShortRule}));
}

TEST_F(ReportLines, ClosingBestDegreeWithAndWithoutSubstitution) {
  P().RefutationFound = 1;
  Report.BestDegree = 0.8L;
  Report.BestSubstitution = "X = a;";
  WriteClosingLines(P());
  Report.BestSubstitution.clear();
  Report.BestDegree = 0.9L + 0.8L - 1.0L;
  WriteClosingLines(P());
  P().RefutationFound = 0;
  WriteClosingLines(P());
  EXPECT_EQ(Out(), (Lines{"Best refutation degree: 0.8(X = a;)", "Best refutation degree: 0.7"}));
}

TEST_F(ReportLines, ClosingTimeOnly) {
  P().ShowTime = 1;
  Measure.ProofStartTime = 1000.0;
  Measure.ProofEndTime = 1012.4;
  WriteClosingLines(P());
  Lines out = Out();
  ASSERT_EQ(out.size(), 1u);
  // The span between the two stamps set above.
  EXPECT_EQ(Between(out[0], "Solving time : ", " s. "), "12.40");
  EXPECT_EQ(Measure.ProofEndTime, 1012.4);  // a taken end time is kept
}

TEST_F(ReportLines, ClosingMemoryOnly) {
  P().ShowMemory = 1;
  Measure.ProofStartTime = Now();
  Measure.StartMemory = 1000;
  Measure.PeakMemory = 11240;
  WriteClosingLines(P());
  Lines out = Out();
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(Between(out[0], "Used memory for proof: ", " B."), "10240");  // peak minus start
  auto total = Between(out[1], "Total allocated for Velmoran: ", " B.");
  ASSERT_TRUE(total) << out[1];
  EXPECT_TRUE(IsCount(*total)) << out[1];
  EXPECT_NE(Measure.ProofEndTime, 0);  // the end of the run is taken when nothing took it
}

TEST_F(ReportLines, ClosingTimeAndMemoryShareOneLine) {
  P().ShowTime = P().ShowMemory = 1;
  P().RefutationFound = 1;
  Report.BestDegree = 1;
  Measure.ProofStartTime = Now();
  Measure.StartMemory = Measure.PeakMemory = HeapBytesInUse();
  WriteClosingLines(P());
  EXPECT_EQ(
      WithoutMeasurements(Out()),
      (Lines{"Best refutation degree: 1", "Solving time : <T> s. Used memory for proof: <M> B.",
             "Total allocated for Velmoran: <M> B."}));
}

TEST_F(ReportLines, ClosingWithoutTimeAndMemoryAddsNothingElse) {
  Measure.ProofStartTime = Now();
  WriteClosingLines(P());
  EXPECT_EQ(Out(), Lines{});
}

TEST_F(ReportLines, WholeRunFramesTheQueryAndTheBestDegree) {
  Lines out = fx.Run("p(a) : 0.8; ?- p(a);");
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out.front(), "Solution to ¬p(a):1; ");
  EXPECT_NE(std::find(out.begin(), out.end(), "[F1&F0] :  YES (refutation deg.):0.8;"), out.end());
  EXPECT_EQ(out.back(), "Best refutation degree: 0.8");
}

// The screen limit counts every line with its CR LF, as the ".out" file holds it: 32768
// characters are too many, one fewer is shown.
TEST(ShownReport, LimitCountsLineEndsAndSparesAnUnwrittenFile) {
  TLineList one;
  one.Lines = {std::string(32765, 'a')};  // 32765 + 2 = 32767
  EXPECT_TRUE(ShowsWholeReport(one, false));
  one.Lines[0] += 'a';  // 32768
  EXPECT_FALSE(ShowsWholeReport(one, false));
  TLineList two;
  two.Lines = {std::string(16382, 'a'), std::string(16382, 'b')};  // 2 * (16382 + 2) = 32768
  EXPECT_FALSE(ShowsWholeReport(two, false));
  two.Lines[1].pop_back();  // 32767
  EXPECT_TRUE(ShowsWholeReport(two, false));
  // Without its file, the report on screen is the only copy.
  EXPECT_TRUE(ShowsWholeReport(one, true));
}

}  // namespace
}  // namespace velmoran::testing
