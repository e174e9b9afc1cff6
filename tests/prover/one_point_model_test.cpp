// One-element models: found exactly when a formula holds with every term naming one thing; what
// has one is never refuted by self-resolution, and the shortcut that skips such attempts changes
// no answer.
#include "prover/one_point_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "prover/consequence.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

TEST(OnePointModel, FoundWhereThePredicateSymbolsAloneSatisfyTheFormula) {
  Fixture fx;
  struct Case {
    const char* X;
    bool Found;
  };
  const Case cases[] = {
      {"[p(a) ∨ q(a)] ∧ ¬p(b);", true},
      {"∀X p(X) ∧ ¬p(a);", false},
      // Over one element ∃X ∀Y and ∀Y ∃X say the same, so this non-consequence has no model to
      // show it; the self-refutation decides.
      {"∀Y ∃X r(X, Y) ∧ ¬∃X ∀Y r(X, Y);", false},
      {"∀G, Y ¬[parent(G, Y) ∧ parent(Y, carol)] ∧ parent(bob, carol);", false},
      // The same name with another arity is another predicate symbol.
      {"p(a) ∧ ¬p;", true},
      {"p(a) ∧ ¬p(a, a);", true},
      {"¬[[p → q] → [¬q → ¬p]];", false},
      {"p ∧ ¬p;", false},
      // The only model makes p7, p8 and p9 true: it lies in the last block of assignments.
      {"p1 ∧ p2 ∧ p3 ∧ p4 ∧ p5 ∧ p6 ∧ p7 ∧ p8 ∧ p9;", true},
      {"p1 ∧ p2 ∧ p3 ∧ p4 ∧ p5 ∧ p6 ∧ p7 ∧ p8 ∧ ¬[p9 ∨ ¬p9];", false},
      // Beyond the symbol bound the search is declined, model or not.
      {"p1 ∧ p2 ∧ p3 ∧ p4 ∧ p5 ∧ p6 ∧ p7 ∧ p8 ∧ p9 ∧ p10 ∧ p11 ∧ p12;", true},
      {"p1 ∧ p2 ∧ p3 ∧ p4 ∧ p5 ∧ p6 ∧ p7 ∧ p8 ∧ p9 ∧ p10 ∧ p11 ∧ p12 ∧ p13;", false},
  };
  for (const Case& c : cases) {
    auto x = fx.Axiom(c.X);
    EXPECT_EQ(HasOnePointModel(*x->Root), c.Found) << c.X;
  }
}

// A formula whose one-element model appears only after some splits: the attempt stops there,
// with or without the statistics, and reaches false in neither case when the model exists.
TEST(OnePointModel, SelfRefutationGivesTheSameAnswerWithTheShortcut) {
  const char* const texts[] = {
      "[p ∧ q] ∧ ¬[p ∧ q];",
      "[p(a) ∧ q(a)] ∧ ¬[p(a) ∧ q(b)];",
      "[p(a) ∨ p(b)] ∧ ¬p(a) ∧ ¬p(b);",
      "∀X [p(X) ∨ q(X)] ∧ ¬p(a) ∧ ¬q(a);",
  };
  for (const char* t : texts) {
    bool refuted[2];
    for (std::uint8_t statistics : {0, 1}) {
      Fixture fx;
      fx.Program->ShowStatistics = statistics;
      fx.Program->DcfLimit = 10;
      auto x = fx.Axiom(t);
      TFALFormula* y = SelfRefute(x.get(), SplitKind::Sound);
      refuted[statistics] = y != x.get() && y->Root && y->Root->Constant == -1;
      if (y != x.get()) delete y;
    }
    EXPECT_EQ(refuted[0], refuted[1]) << t;
  }
}

}  // namespace
}  // namespace velmoran::testing
