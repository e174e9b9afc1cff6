// Syntax errors: every code with its message, and the caret position of a run that stops at the
// error. A caret position is an offset into the whole theory text: the caret stands after that
// many characters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parser/formula_parser.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

struct ErrorCase {
  const char* text;
  int code;
  int position;
  const char* why;
};

TEST(SyntaxErrors, MessagesOfTheCodes) {
  EXPECT_EQ(ErrorMessage(1), "Illegal character.");
  EXPECT_EQ(ErrorMessage(2), "Missing operator.");
  EXPECT_EQ(ErrorMessage(3), "Missing expression.");
  EXPECT_EQ(ErrorMessage(4), "Missing right bracket.");
  EXPECT_EQ(ErrorMessage(5), "Unexpected right bracket.");
  EXPECT_EQ(ErrorMessage(8), "Insuficient memory.");
  EXPECT_EQ(ErrorMessage(9), "Missing Delimiter.");
  EXPECT_EQ(ErrorMessage(10), "Wrong atom expression.");
  EXPECT_EQ(ErrorMessage(12), "Invalid real expression.");
  EXPECT_EQ(ErrorMessage(13), "Invalid integer expression.");
  EXPECT_EQ(ErrorMessage(14), "Invalid IDTerm.");
  EXPECT_EQ(ErrorMessage(15), "Invalid variable expression.");
  EXPECT_EQ(ErrorMessage(16), "Wrong evaluation degree expression.");
  for (int silent : {0, 6, 7, 11, 17}) EXPECT_EQ(ErrorMessage(silent), "") << silent;
}

TEST(SyntaxErrors, CodeAndCaretOfEachFailure) {
  const std::vector<ErrorCase> cases = {
      {"p(a)", 9, 4, "the text ends without \";\"; caret at the end"},
      {"p(a);q(b); ", 2, 4, "\";\" followed by a letter does not end the formula"},
      {"p(a) q(b);", 2, 4, "caret right after p(a), before the skipped blank"},
      {"p (a);", 2, 2, "a name takes arguments only directly before \"(\""},
      {"p;;", 2, 1, "the first \";\" is followed by \";\""},
      {"p(a) : 1.5;", 16, 9, "degree above 1, measured after the \";\""},
      {"p(a) : -0.5;", 16, 10, "degree below 0"},
      {"p(a) : x;", 16, 7, "degree that is no number"},
      {"p(a) : ;", 16, 6, "empty degree"},
      {"p(a) : 0.5", 16, 4, "no \";\" after the degree; the position stays at \":\""},
      {"p(a));", 5, 4, "a complete formula followed by \")\""},
      {"[p(a);", 4, 5, "\"[\" without \"]\""},
      {"p(a;", 4, 3, "argument list without \")\""},
      {"p((a);", 4, 5, "bracketed term without \")\""},
      {";", 3, 0, "nothing before the \";\""},
      {"? - p;", 3, 0, "\"?\" and \"-\" apart are no query mark"},
      {"p ∧ ;", 3, 3, "conjunction without its right operand"},
      {"p ∧ ⊤;", 3, 3, "a truth constant cannot be typed"},
      {"X;", 10, 1, "a variable alone is no atom"},
      {"3;", 10, 1, "a number alone is no atom"},
      {"∀1 p;", 15, 1, "a quantifier needs a variable"},
      {"∀∀X p(X);", 15, 1, "a quantifier directly after a quantifier"},
      {"∀X, 1 p;", 15, 3, "a variable must follow the comma of a prefix"},
      {"p(2147483648);", 13, 12, "integer beyond the signed 32-bit range"},
      {"p(-2147483648);", 13, 13, "the sign is applied after the literal is read"},
      {"p(2.-1);", 12, 6, "a sign after \".\" belongs to the literal"},
      {"p();", 14, 2, "empty argument list"},
      {"p(a, );", 14, 4, "missing argument after a comma"},
      {"p(#);", 14, 2, "a term cannot start with \"#\""},
  };
  for (const auto& c : cases) {
    Fixture fx;
    fx.Run(c.text);
    EXPECT_EQ(fx.Program->ErrorCode, c.code) << c.text << " (" << c.why << ")";
    EXPECT_EQ(fx.Program->ErrorPosition, c.position) << c.text << " (" << c.why << ")";
    EXPECT_TRUE(fx.Program->Formulas.empty()) << c.text;
  }
}

TEST(SyntaxErrors, FailedParseLeavesNoRecord) {
  Fixture fx;
  auto r = fx.Parse("∀X [p(X) ∧ q(X, f(Y)) → r(;");
  EXPECT_FALSE(r);
  EXPECT_EQ(fx.Program->ErrorCode, 14);
}

TEST(SyntaxErrors, ErrorInTheSecondFormulaIsPlacedInTheWholeText) {
  Fixture fx;
  fx.Run("p(a);\nq(b) r;");
  EXPECT_EQ(fx.Program->ErrorCode, 2);
  // Six characters of the first formula and its line end, then four of q(b).
  EXPECT_EQ(fx.Program->ErrorPosition, 10);
  EXPECT_TRUE(fx.Program->Formulas.empty());
}

TEST(SyntaxErrors, QueriesBeforeTheErrorAreProved) {
  Fixture fx;
  auto lines = fx.Run("p(a);\n?- p(a);\nq(b) r;");
  EXPECT_EQ(fx.Program->ErrorCode, 2);
  EXPECT_EQ(fx.Program->ErrorPosition, 19);
  EXPECT_TRUE(fx.Program->Formulas.empty());
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "Solution to ¬p(a):1; ");
  bool refuted = false;
  for (const auto& l : lines) refuted |= l.ends_with(" YES (refutation deg.):1;");
  EXPECT_TRUE(refuted);
}

TEST(SyntaxErrors, ARunAfterAFailedRunStartsAfresh) {
  Fixture fx;
  fx.Run("p;\nq r;");
  ASSERT_EQ(fx.Program->ErrorCode, 2);
  ASSERT_NE(fx.Program->ErrorPosition, 0);
  fx.Run("p;\nq;");
  EXPECT_EQ(fx.Program->ErrorCode, 0);
  EXPECT_EQ(fx.Program->ErrorPosition, 0);
  EXPECT_EQ(fx.Program->Formulas.size(), 2u);
}

}  // namespace
}  // namespace velmoran::testing
