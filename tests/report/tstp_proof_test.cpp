// The derivation that --proof prints: captured only when asked for, the witnesses as Skolem
// constants, and a resolvent that only the consequent check's splits refuted kept as a step.
#include "report/tstp_proof.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "report/report.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

using Lines = std::vector<std::string>;

class TstpProof : public ::testing::Test {
 protected:
  void SetUp() override { ResetReportState(); }
  void TearDown() override {
    Report.ProofWanted = false;
    ResetReportState();
  }
  // The derivation lines without the explaining comments at their head.
  static Lines Steps() {
    Lines out;
    for (const std::string& line : Report.BestProof)
      if (IsStep(line)) out.push_back(line);
    return out;
  }
  // A formula, a "% NAME degree D" line, or the line on the negated query's uses.
  static bool IsStep(const std::string& line) {
    if (line.rfind("fof(", 0) == 0 || line.rfind("% The refutation used ", 0) == 0) return true;
    std::istringstream words(line);
    std::string mark, name, degree, value, more;
    return (words >> mark >> name >> degree >> value) && !(words >> more) && mark == "%" &&
           degree == "degree";
  }
  Fixture fx;
};

// clouds(today) 0.9, its rain rule 0.8: ¬rain(today) resolves to ¬clouds(today) at
// 1 + 0.8 - 1 = 0.8, and the refutation with clouds(today) at 0.8 + 0.9 - 1 = 0.7.
const char* kRain =
    "clouds(today) : 0.9;\n"
    "∀X [clouds(X) → rain(X)] : 0.8;\n"
    "?- rain(today);\n";

TEST_F(TstpProof, NothingIsCapturedUnlessAsked) {
  fx.Run(kRain);
  EXPECT_TRUE(Report.BestProof.empty());

  Report.ProofWanted = true;
  fx.Run(kRain);
  EXPECT_EQ(Steps(), (Lines{
                         "% f0 degree 0.9",
                         "fof(f0, axiom, clouds(today)).",
                         "% f1 degree 0.8",
                         "fof(f1, axiom, ! [X] : (clouds(X) => rain(X))).",
                         "fof(query, conjecture, rain(today)).",
                         "% f2 degree 1",
                         "fof(f2, negated_conjecture, ~ rain(today), inference(assume_negation, "
                         "[status(cth)], [query])).",
                         "% r0 degree 0.8",
                         "fof(r0, plain, ~ clouds(today), inference(resolution, [status(thm)], "
                         "[f2, f1])).",
                         "% refutation degree 0.7",
                         "fof(refutation, plain, $false, inference(resolution, [status(thm)], "
                         "[r0, f0])).",
                     }));
  // The flag outlives the reset of each query; the derivation does not.
  ResetReportState();
  EXPECT_TRUE(Report.ProofWanted);
  EXPECT_TRUE(Report.BestProof.empty());
}

TEST_F(TstpProof, AWitnessIsOneConstantFromTheStepThatIntroducesIt) {
  Report.ProofWanted = true;
  fx.Run("∃X p(X);\n∀Y [p(Y) → q(Y)];\n?- ∃Z q(Z);\n");
  Lines steps = Steps();
  ASSERT_EQ(steps.size(), 13u);
  EXPECT_EQ(steps[1], "fof(f0, axiom, ? [X] : p(X)).");
  // The constant's name carries the witness's serial number: only its shape is fixed.
  const std::string& skolemized = steps[3];
  ASSERT_TRUE(skolemized.starts_with("fof(f0_sk, plain, p(sk")) << skolemized;
  EXPECT_TRUE(skolemized.ends_with("), inference(skolemize, [status(esa)], [f0])).")) << skolemized;
  EXPECT_EQ(steps[2], "% f0_sk degree 1");
  EXPECT_EQ(steps.back(),
            "fof(refutation, plain, $false, inference(resolution, [status(thm)], [r0, f0_sk])).");
}

// ¬[[p → q] → [¬q → ¬p]] ∧ ...: the negated query split on p gives ¬[[q → q] ∧ [q → q]] (the
// case p false closes at once), which is not stored: one more split, on q, refutes it. Each split
// doubles the uses of the negated query, so the degree 1 shows the query true to 1 / 4.
TEST_F(TstpProof, AResolventRefutedBySplitsIsAStepOfItsOwn) {
  Report.ProofWanted = true;
  fx.Run("?- [[p → q] → [¬q → ¬p]] ∧ [[¬q → ¬p] → [p → q]];\n");
  Lines steps = Steps();
  ASSERT_GE(steps.size(), 5u);
  EXPECT_EQ(Lines(steps.end() - 5, steps.end()),
            (Lines{
                "% resolvent degree 1",
                "fof(resolvent, plain, ~ ((q => q) & (q => q)), inference(resolution, "
                "[status(thm)], [f0])).",
                "% refutation degree 1",
                "fof(refutation, plain, $false, inference(self_resolution, [status(thm), "
                "steps(1)], [resolvent])).",
                "% The refutation used the negated conjecture 4 times: the query holds to at "
                "least 0.25.",
            }));
}

}  // namespace
}  // namespace velmoran::testing
