// Deep and large inputs: nesting beyond 1000 levels and trees deeper than 1000 are refused with
// code 8 instead of exhausting the stack, and a theory of ten megabytes is read in full.
#include <gtest/gtest.h>

#include <string>

#include "support/theory.h"

namespace velmoran::testing {
namespace {

std::string Repeat(const std::string& s, int n) {
  std::string out;
  out.reserve(s.size() * n);
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

std::string Brackets(int depth) {
  return Repeat("[", depth) + "p" + Repeat("]", depth) + ";";
}
std::string Negations(int depth) {
  return Repeat("¬", depth) + "p;";
}
std::string Conjunction(int atoms) {
  return "p" + Repeat(" ∧ p", atoms - 1) + ";";
}

int RunCode(const std::string& text) {
  Fixture fx;
  fx.Run(text);
  EXPECT_TRUE(fx.Program->ErrorCode != 0 || fx.Program->Formulas.size() == 1u);
  return fx.Program->ErrorCode;
}

TEST(DeepInput, NestingUpToTheLimitIsRead) {
  EXPECT_EQ(RunCode(Brackets(999)), 0);
  EXPECT_EQ(RunCode(Negations(999)), 0);
}

TEST(DeepInput, NestingBeyondTheLimitIsRefused) {
  EXPECT_EQ(RunCode(Brackets(1001)), 8);
  EXPECT_EQ(RunCode(Negations(1001)), 8);
}

TEST(DeepInput, TreeDepthIsBounded) {
  // A conjunction chain associates to the left, so n atoms make a tree n nodes deep.
  EXPECT_EQ(RunCode(Conjunction(999)), 0);
  EXPECT_EQ(RunCode(Conjunction(1001)), 8);
}

TEST(DeepInput, HundredThousandLevelsEndInAnError) {
  EXPECT_EQ(RunCode(Brackets(100000)), 8);
  EXPECT_EQ(RunCode(Negations(100000)), 8);
  EXPECT_EQ(RunCode("p(" + Repeat("(", 100000) + "a" + Repeat(")", 100000) + ");"), 8);
  EXPECT_EQ(RunCode("p(" + Repeat("f(", 100000) + "a" + Repeat(")", 100000) + ");"), 8);
  EXPECT_EQ(RunCode(Repeat("∀X ¬", 100000) + "p(X);"), 8);
  EXPECT_EQ(RunCode(Conjunction(100000)), 8);
  EXPECT_EQ(RunCode("p(" + Repeat("1+", 100000) + "1);"), 8);
}

TEST(LargeInput, TenMegabyteTheoryIsReadInFull) {
  const std::string line = "p(a, f(X)) ∨ ¬q(X, 3) : 0.5;\n";
  const std::string oneByteLine = Bytes(line);
  const int count = static_cast<int>(10'000'000 / oneByteLine.size()) + 1;
  Fixture fx;
  fx.Run(Repeat(line, count));
  EXPECT_EQ(fx.Program->ErrorCode, 0);
  ASSERT_EQ(fx.Program->Formulas.size(), static_cast<std::size_t>(count));
  EXPECT_EQ(Utf8(fx.Program->Formulas.back()->Text), "∀X[p(a, f(X))∨¬q(X, 3)]");
  EXPECT_EQ(fx.Program->Formulas.back()->Degree, 0.5L);
}

TEST(LargeInput, ErrorAtTheEndOfTenMegabytesDropsEverything) {
  const std::string line = "p(a) ∧ q(b);\n";
  const int count = static_cast<int>(10'000'000 / Bytes(line).size()) + 1;
  Fixture fx;
  fx.Run(Repeat(line, count) + "r(");
  EXPECT_EQ(fx.Program->ErrorCode, 14);
  EXPECT_EQ(fx.Program->ErrorPosition, static_cast<int>(Bytes(line).size()) * count + 2);
  EXPECT_TRUE(fx.Program->Formulas.empty());
}

}  // namespace
}  // namespace velmoran::testing
