// The degree a report gives a query is a promise: in every model where each axiom holds to at least
// its degree (Łukasiewicz: ¬x = 1 − x, ∧ = min, ∨ = max), the query holds to at least the printed
// degree, and the answer printed under a refutation has that degree. The true degrees below were
// worked by hand from a model that meets the axioms.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/theory.h"

namespace velmoran::testing {
namespace {

constexpr SearchStrategy kStrategies[] = {SearchStrategy::Linear, SearchStrategy::ModifiedLinear,
                                          SearchStrategy::BreadthFirst,
                                          SearchStrategy::SmallestFirst};

// The degrees of the refutation lines and the answer line after each ("" when there is none).
struct Refutation {
  double Degree;
  std::string Answer;
};

std::vector<Refutation> Refutations(const std::vector<std::string>& lines) {
  const std::string mark = " YES (refutation deg.):";
  std::vector<Refutation> found;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto at = lines[i].find(mark);
    if (at == std::string::npos) continue;
    Refutation r{std::strtod(lines[i].c_str() + at + mark.size(), nullptr), ""};
    if (i + 1 < lines.size() && lines[i + 1].find(" = ") != std::string::npos)
      r.Answer = lines[i + 1];
    found.push_back(r);
  }
  return found;
}

std::string BestLine(const std::vector<std::string>& lines) {
  for (const std::string& line : lines)
    if (line.rfind("Best refutation degree: ", 0) == 0) return line;
  return "";
}

struct Case {
  const char* Theory;
  double TrueDegree;  // the least value of the query over the models of the axioms
};

// ?- ¬q ∨ q: q = 0.5 gives 0.5. The negated query resolved with itself used it twice.
// r : 1; ?- ¬q ∨ (q ∧ r): r = 1, q = 0.5 gives 0.5.
// The third: p = 0.9, q = 0.6, r = 0.5 meets every axiom (¬(¬p ∧ (p ∨ q)) = 1 − min(0.1, 0.9)
// = 0.9 ≥ 0.5) and gives the query max(min(r, q), 1 − r) = 0.5.
// An atom met twice in one source: ¬q → q is min(1, 2q), so q = 0.5 meets it; with
// ¬q → (r ∧ q) and q → s, q = r = s = 0.5 meets both and leaves s at 0.5.
// c → a and a → b at 0.8 with c = 0.7, a = 0.5, b = 0.3 give ¬c ∨ b the value 0.3: the
// resolvent ¬c ∨ b holds to 0.6 only as the bounded sum 1 − c + b, not as the maximum.
const Case kCases[] = {
    {"?- [¬[q]] ∨ [q];", 0.5},
    {"r : 1; ?- [¬[q]] ∨ [[q] ∧ [r]];", 0.5},
    {"s : 1; ¬[[¬[p]] ∧ [[p] ∨ [q]]] : 0.5; q : 0.6; p : 0.9; ?- [[r] ∧ [q]] ∨ [¬[r]];", 0.5},
    {"[¬[q]] → [q] : 1; ?- q;", 0.5},
    {"[¬[q]] → [[r] ∧ [q]] : 1; [q] → [s] : 1; ?- s;", 0.5},
    {"[c] → [a] : 0.8; [a] → [b] : 0.8; ?- [¬[c]] ∨ [b];", 0.3},
};

TEST(GradedDegree, NoRefutationPromisesMoreThanTheAxiomsGiveTheQuery) {
  for (const Case& c : kCases) {
    for (SearchStrategy strategy : kStrategies) {
      Fixture fx;
      fx.Program->Strategy = strategy;
      std::vector<std::string> lines = fx.Run(c.Theory);
      std::vector<Refutation> found = Refutations(lines);
      ASSERT_FALSE(found.empty()) << c.Theory;
      for (const Refutation& r : found)
        EXPECT_LE(r.Degree, c.TrueDegree + 1e-12)
            << c.Theory << " strategy " << static_cast<int>(strategy);
    }
  }
}

TEST(GradedDegree, ASingleUseOfTheNegatedQueryKeepsTheTNormDegree) {
  // Both self-uses are paid for: ¬q ∨ q used twice reaches exactly its true degree.
  Fixture fx;
  EXPECT_EQ(BestLine(fx.Run(kCases[0].Theory)), "Best refutation degree: 0.5");
  Fixture chain;
  EXPECT_EQ(
      BestLine(chain.Run("∀X [man(X) → mortal(X)]; man(socrates) : 0.9; ?- mortal(socrates);")),
      "Best refutation degree: 0.9");
  // The bounded sum is what lets the search reach the true 0.3 of the chain c → a → b.
  Fixture breadth;
  breadth.Program->Strategy = SearchStrategy::BreadthFirst;
  EXPECT_EQ(BestLine(breadth.Run(kCases[5].Theory)), "Best refutation degree: 0.3");
}

TEST(GradedDegree, EveryAnswerHasTheDegreePrintedAboveIt) {
  // grandparent(alice, carol) holds to 1 + 1 + 0.8 − 2 = 0.8, grandparent(dora, carol) only to
  // 0.7 + 0.8 − 1 = 0.5: a 0.8 printed above "G = dora;" would promise too much.
  const char* family =
      "∀X, Y, Z [[parent(X, Y) ∧ parent(Y, Z)] → grandparent(X, Z)]; "
      "parent(alice, bob); parent(bob, carol) : 0.8; parent(dora, bob) : 0.7; "
      "?- ∃G grandparent(G, carol);";
  for (SearchStrategy strategy : kStrategies) {
    Fixture fx;
    fx.Program->Strategy = strategy;
    std::vector<std::string> lines = fx.Run(family);
    for (const Refutation& r : Refutations(lines)) {
      if (r.Answer == "G = dora;")
        EXPECT_LE(r.Degree, 0.5 + 1e-12) << static_cast<int>(strategy);
      else
        EXPECT_EQ(r.Answer, "G = alice;") << static_cast<int>(strategy);
    }
    EXPECT_EQ(BestLine(lines), "Best refutation degree: 0.8(G = alice;)")
        << static_cast<int>(strategy);
  }
}

}  // namespace
}  // namespace velmoran::testing
