// Small countermodels: one element, searched exhaustively, and two elements, sampled. Both find
// only real countermodels; what they miss the full consequent test decides.
#include "prover/countermodel.h"

#include <gtest/gtest.h>

#include "logic/term.h"
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

bool TwoPoint(Fixture& fx, const char* b, const char* a) {
  auto fb = fx.Axiom(b);
  auto fa = fx.Axiom(a);
  return HasTwoPointCountermodel(*fb->Root, *fa->Root);
}

TEST(TwoPointCountermodel, FoundWhereQuantifiersOrConstantsPartTheFormulas) {
  Fixture fx;
  // What one element cannot tell apart, two can.
  EXPECT_TRUE(TwoPoint(fx, "∀Y ∃X r(X, Y);", "∃X ∀Y r(X, Y);"));
  EXPECT_TRUE(TwoPoint(fx, "∃X p(X);", "p(a);"));
  EXPECT_TRUE(TwoPoint(fx, "p(a);", "p(b);"));
  EXPECT_TRUE(TwoPoint(fx, "∀X [p(X) ∨ q(X)];", "∀Y p(Y) ∨ ∀Z q(Z);"));
  // Consequences have no countermodel to find.
  EXPECT_FALSE(TwoPoint(fx, "∀X p(X);", "p(a);"));
  EXPECT_FALSE(TwoPoint(fx, "∃X ∀Y r(X, Y);", "∀Y ∃X r(X, Y);"));
  EXPECT_FALSE(TwoPoint(fx, "∀X [p(X) → q(f(X))];", "p(a) → ∃Y q(Y);"));
  // Numbers are declined: the prover evaluates arithmetic, which a random table does not follow.
  EXPECT_FALSE(TwoPoint(fx, "p(1);", "p(2);"));
  // Eight quantified variables over eight atoms take 2,048 atom evaluations; nine over nine,
  // 4,608, beyond the bound, are declined.
  EXPECT_TRUE(TwoPoint(fx,
                       "∃X1, X2, X3, X4, X5, X6, X7, X8 [p(X1) ∨ p(X2) ∨ p(X3) ∨ p(X4) ∨ p(X5) ∨ "
                       "p(X6) ∨ p(X7) ∨ p(X8)];",
                       "p(a);"));
  EXPECT_FALSE(TwoPoint(fx,
                        "∃X1, X2, X3, X4, X5, X6, X7, X8, X9 [p(X1) ∨ p(X2) ∨ p(X3) ∨ p(X4) ∨ "
                        "p(X5) ∨ p(X6) ∨ p(X7) ∨ p(X8) ∨ p(X9)];",
                        "p(a);"));
}

TEST(TwoPointCountermodel, AValueAndAWitnessNameOneElement) {
  Fixture fx;
  auto a = fx.Axiom("p(a);");
  // ∃X p(X) does not give p(a); with X standing for a, it is p(a) itself.
  auto bound = fx.Axiom("∃X p(X);");
  EXPECT_TRUE(HasTwoPointCountermodel(*bound->Root, *a->Root));
  bound->Root->Prefix->Items[0]->Binding = new TFunctorA("a");
  EXPECT_FALSE(HasTwoPointCountermodel(*bound->Root, *a->Root));

  // Two copies of one witness are one element: p(c) ∧ ¬p(c) is false, and implies anything.
  auto q = fx.Axiom("q;");
  auto twice = fx.Axiom("∃W p(W) ∧ ∃V ¬p(V);");
  EXPECT_TRUE(HasTwoPointCountermodel(*twice->Root, *q->Root));
  TVariable* w = twice->Root->Left->Prefix->Items[0];
  TVariable* v = twice->Root->Right->Prefix->Items[0];
  v->Serial = w->Serial;
  w->Witness = v->Witness = 1;
  EXPECT_FALSE(HasTwoPointCountermodel(*twice->Root, *q->Root));
}

}  // namespace
}  // namespace velmoran::testing
