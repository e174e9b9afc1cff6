// One-element countermodels: found exactly when B → A fails with every term naming one thing, and
// never taken for a proof of consequence.
#include "prover/countermodel.h"

#include <gtest/gtest.h>

#include "support/theory.h"

namespace velmoran::testing {
namespace {

bool Countermodel(Fixture& fx, const char* b, const char* a) {
  auto fb = fx.Axiom(b);
  auto fa = fx.Axiom(a);
  return HasOnePointCountermodel(*fb->Root, *fa->Root);
}

TEST(OnePointCountermodel, FoundWhereThePredicateSymbolsAloneRefuteTheImplication) {
  Fixture fx;
  struct Case {
    const char* B;
    const char* A;
    bool Found;
  };
  const Case cases[] = {
      {"p(a) ∨ q(a);", "p(b);", true},
      {"∀X p(X);", "p(a);", false},
      // Over one element ∃X ∀Y and ∀Y ∃X say the same: no countermodel, although A does not
      // follow from B. The full test decides such pairs.
      {"∀Y ∃X r(X, Y);", "∃X ∀Y r(X, Y);", false},
      {"∀G, Y ¬[parent(G, Y) ∧ parent(Y, carol)];", "¬parent(bob, carol);", false},
      // The same name with another arity is another predicate symbol.
      {"p(a);", "p;", true},
      {"p(a);", "p(a, a);", true},
      {"p → q;", "¬q → ¬p;", false},
      {"¬[p → q];", "p ∧ ¬q;", false},
      {"p ∧ ¬p;", "q;", false},
      {"q;", "p ∨ ¬p;", false},
      // The only countermodel makes p7, p8 and p9 true: it lies in the last block of assignments.
      {"p1 ∧ p2 ∧ p3 ∧ p4 ∧ p5 ∧ p6 ∧ p7 ∧ p8 ∧ p9;", "¬p1 ∨ ¬p9;", true},
      {"p1 ∧ p2 ∧ p3 ∧ p4 ∧ p5 ∧ p6 ∧ p7 ∧ p8 ∧ p9;", "p9 ∨ ¬p9;", false},
      // Beyond the symbol bound the search is declined, countermodel or not.
      {"p1 ∧ p2 ∧ p3 ∧ p4 ∧ p5 ∧ p6 ∧ p7 ∧ p8 ∧ p9 ∧ p10 ∧ p11 ∧ p12;", "q;", false},
      {"p1 ∧ p2 ∧ p3 ∧ p4 ∧ p5 ∧ p6 ∧ p7 ∧ p8 ∧ p9 ∧ p10 ∧ p11;", "q;", true},
  };
  for (const Case& c : cases) EXPECT_EQ(Countermodel(fx, c.B, c.A), c.Found) << c.B << " → " << c.A;
}

}  // namespace
}  // namespace velmoran::testing
