// The equality rule replaces equals inside whole formulas. Each theory below states reflexivity
// itself (the front ends add it where "=" is equality); the rule stands for the other axioms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/theory.h"

namespace velmoran::testing {
namespace {

constexpr SearchStrategy kStrategies[] = {SearchStrategy::Linear, SearchStrategy::ModifiedLinear,
                                          SearchStrategy::BreadthFirst,
                                          SearchStrategy::SmallestFirst};

std::vector<std::string> RunWithRule(const std::string& theory, SearchStrategy strategy,
                                     bool trivialCheck = false) {
  Fixture fx;
  fx.Program->EqualityRule = 1;
  fx.Program->Strategy = strategy;
  if (trivialCheck) {
    fx.Program->CheckDcf = fx.Program->CheckDcfKill = 0;
    fx.Program->TrivialCheckOnly = 1;
  }
  // A search that does not end on its own is stopped after this much work: what matters is that
  // no refutation turns up within it.
  int yields = 0;
  fx.Program->OnYield = [&yields](TPLProgram& p) {
    if (++yields > 20'000) p.StopRequested = 1;
  };
  return fx.Run("∀X X = X; " + theory);
}

bool Refuted(const std::vector<std::string>& lines) {
  for (const std::string& line : lines)
    if (line.find(" YES (refutation deg.):") != std::string::npos) return true;
  return false;
}

// Whether a line that starts with `head` ends with " " + `text` (trailing blanks aside).
bool HasLine(const std::vector<std::string>& lines, const std::string& head,
             const std::string& text) {
  for (std::string line : lines) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (line.rfind(head, 0) == 0 && line.size() > text.size() &&
        line.compare(line.size() - text.size(), text.size(), text) == 0 &&
        line[line.size() - text.size() - 1] == ' ')
      return true;
  }
  return false;
}

// Whether a stored resolvent ("R<n> [..] : <formula>:<degree>;") prints as `text`.
bool HasResolvent(const std::vector<std::string>& lines, const std::string& text) {
  return HasLine(lines, "R", text);
}

TEST(EqualityRule, ReplacesTheGreaterSideByTheSmallerOnly) {
  // g(X) is the greater side (same weight, g after f), so g(a) in the negated query becomes f(a),
  // and p(f(a)) is never rewritten to p(g(a)).
  for (SearchStrategy strategy : kStrategies) {
    std::vector<std::string> lines =
        RunWithRule("∀X [f(X) = g(X)]; p(f(a)); ?- p(g(a));", strategy);
    EXPECT_TRUE(Refuted(lines)) << static_cast<int>(strategy);
    EXPECT_TRUE(HasResolvent(lines, "¬p(f(a)):1;")) << static_cast<int>(strategy);
    EXPECT_FALSE(HasResolvent(lines, "p(g(a)):1;")) << static_cast<int>(strategy);
  }
}

TEST(EqualityRule, ADegreeHoldsWhereTheEqualityAxiomsHoldToOne) {
  // With the substitution axioms at 1, p(g(a)) >= (f(a) = g(a)) ⊗ p(f(a)) = 0.9 + 0.8 - 1; the
  // model p(g(a)) = 0.7 meets them (0.6 <= p(f(a)) the other way), so 0.7 is the true degree.
  for (SearchStrategy strategy : kStrategies) {
    Fixture fx;
    fx.Program->EqualityRule = 1;
    fx.Program->Strategy = strategy;
    std::vector<std::string> lines =
        fx.Run("∀X X = X; ∀X [f(X) = g(X)] : 0.9; p(f(a)) : 0.8; ?- p(g(a));");
    EXPECT_TRUE(HasLine(lines, "Best refutation degree:", "0.7")) << static_cast<int>(strategy);
  }
}

TEST(EqualityRule, RefutesNoTheoryThatAModelWithEqualityMeets) {
  // Each with its countermodel.
  const char* kNonTheorems[] = {
      // a ≠ b, c = d, p only of a.
      "[a = b] ∨ [c = d]; p(a); ?- p(b);",
      // f = g = the identity, a ≠ b.
      "∀X [f(X) = g(X)]; ?- f(a) = b;",
      // {0, 1} with f swapping them: onto, and no fixed point.
      "∀X ∃Y [f(Y) = X]; ?- ∃Z [f(Z) = Z];",
      // f and g constantly 0, a = 1: neither side of f(X) = g(Y) is greater.
      "∀X, Y [f(X) = g(Y)]; ?- f(a) = a;",
      // The witness is a, p only of a.
      "∃X [[X = a] ∧ p(X)]; ?- p(b);",
      // Two elements, the witness of q is b, r only of a.
      "∃X [q(X) ∧ [[X = a] ∨ [X = b]]]; ∀X [q(X) → r(X)]; ?- r(a);",
  };
  for (const char* theory : kNonTheorems)
    for (SearchStrategy strategy : kStrategies)
      for (bool trivial : {false, true})
        EXPECT_FALSE(Refuted(RunWithRule(theory, strategy, trivial)))
            << theory << " strategy " << static_cast<int>(strategy) << " trivial " << trivial;
}

TEST(EqualityRule, UsesAWitnessThatAnEquationNames) {
  // Someone killed a, and the killer is b or c; b is ruled out, so c killed a. The witness of
  // the first axiom is replaced by the constants the second one gives it.
  const char* theory =
      "∃X killed(X, a); ∀X [killed(X, a) → [[X = b] ∨ [X = c]]]; ¬killed(b, a); "
      "?- killed(c, a);";
  for (SearchStrategy strategy : {SearchStrategy::ModifiedLinear, SearchStrategy::BreadthFirst,
                                  SearchStrategy::SmallestFirst})
    EXPECT_TRUE(Refuted(RunWithRule(theory, strategy))) << static_cast<int>(strategy);
}

}  // namespace
}  // namespace velmoran::testing
