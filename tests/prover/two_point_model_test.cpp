// Two-element countermodels: found where two elements part B from A, never for a consequence, and
// with a witness read as one element in both formulas, as the consequent test reads it.
#include "prover/two_point_model.h"

#include <gtest/gtest.h>

#include <string>

#include "logic/term.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

bool Countermodel(Fixture& fx, const char* b, const char* a) {
  auto fb = fx.Axiom(b);
  auto fa = fx.Axiom(a);
  return HasTwoPointCountermodel(*fb->Root, *fa->Root);
}

TEST(TwoPointCountermodel, FoundWhereQuantifiersOrConstantsPartTheFormulas) {
  Fixture fx;
  // What one element cannot tell apart, two can.
  EXPECT_TRUE(Countermodel(fx, "∀Y ∃X r(X, Y);", "∃X ∀Y r(X, Y);"));
  EXPECT_TRUE(Countermodel(fx, "∃X p(X);", "p(a);"));
  EXPECT_TRUE(Countermodel(fx, "p(a);", "p(b);"));
  EXPECT_TRUE(Countermodel(fx, "∀X [p(X) ∨ q(X)];", "∀Y p(Y) ∨ ∀Z q(Z);"));
  EXPECT_TRUE(Countermodel(fx, "∀X p(X, f(X));", "∀X p(f(X), X);"));
  // Consequences have no countermodel to find.
  EXPECT_FALSE(Countermodel(fx, "∀X p(X);", "p(a);"));
  EXPECT_FALSE(Countermodel(fx, "∃X ∀Y r(X, Y);", "∀Y ∃X r(X, Y);"));
  EXPECT_FALSE(Countermodel(fx, "∀X [p(X) → q(f(X))];", "p(a) → ∃Y q(Y);"));
  EXPECT_FALSE(Countermodel(fx, "∀G, Y ¬[parent(G, Y) ∧ parent(Y, carol)];",
                            "¬[parent(alice, bob) ∧ parent(bob, carol)];"));
  // Numbers are declined: the prover evaluates arithmetic, which a random table does not follow.
  EXPECT_FALSE(Countermodel(fx, "p(1);", "p(2);"));
  EXPECT_FALSE(Countermodel(fx, "p(a + b);", "p(c);"));
  // Four arguments are read, five are not.
  EXPECT_TRUE(Countermodel(fx, "p(a, a, a, a);", "p(b, b, b, b);"));
  EXPECT_FALSE(Countermodel(fx, "p(a, a, a, a, a);", "p(b, b, b, b, b);"));
  // Eight quantified variables over eight atoms take 2,048 term evaluations; nine over nine,
  // 4,608, beyond the bound, are declined.
  EXPECT_TRUE(Countermodel(fx,
                           "∃X1, X2, X3, X4, X5, X6, X7, X8 [p(X1) ∨ p(X2) ∨ p(X3) ∨ p(X4) ∨ "
                           "p(X5) ∨ p(X6) ∨ p(X7) ∨ p(X8)];",
                           "p(a);"));
  EXPECT_FALSE(Countermodel(fx,
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

  // In A a witness is the same one element, not a variable its place under ¬ would make
  // universal: ∀X ∃Y [f(Y) ∨ ¬[[p → f(X)] ∧ p]] with Y a witness says f holds at that element
  // or nowhere, which p does not give (p true, f false at the witness and true elsewhere).
  auto p = fx.Axiom("p;");
  auto consequent = fx.Axiom("∀X ∃Y [f(Y) ∨ ¬[[p → f(X)] ∧ p]];");
  EXPECT_FALSE(HasTwoPointCountermodel(*p->Root, *consequent->Root));
  consequent->Root->Prefix->Items[1]->Witness = 1;
  EXPECT_TRUE(HasTwoPointCountermodel(*p->Root, *consequent->Root));
}

// Values are read at every use, so their size counts: a chain X1 := f(X2, X2), X2 := f(X3, X3), …
// doubles at each link, and beyond the bound the search is declined instead of run.
TEST(TwoPointCountermodel, ValuesCountAtEveryUse) {
  Fixture fx;
  auto a = fx.Axiom("∀Y p(Y);");
  for (int links : {2, 13}) {
    auto b = fx.Axiom(
        "∃X1, X2, X3, X4, X5, X6, X7, X8, X9, X10, X11, X12, X13, X14 [p(X1) ∨ q(X2) ∨ q(X3) ∨ "
        "q(X4) ∨ q(X5) ∨ q(X6) ∨ q(X7) ∨ q(X8) ∨ q(X9) ∨ q(X10) ∨ q(X11) ∨ q(X12) ∨ q(X13) ∨ "
        "q(X14)];");
    TVariable* x[15] = {};
    for (TVariable* v : b->Root->Prefix->Items) x[std::stoi(v->Name.substr(1))] = v;
    for (int i = 1; i <= 13; ++i) {
      if (i <= links) {
        auto* f = new TFunctor("f");
        f->Args.push_back(x[i + 1]);
        f->Args.push_back(x[i + 1]);
        x[i]->Binding = f;
      } else {
        x[i]->Binding = new TFunctorA("c");
      }
    }
    EXPECT_EQ(HasTwoPointCountermodel(*b->Root, *a->Root), links == 2) << links << " links";
  }
}

// A resolvent's copy may use the other copy's variable through a value, outside every prefix above
// the occurrence. Where it is quantified is no model's to guess: the search is declined.
TEST(TwoPointCountermodel, AVariableOutsideThePrefixesAboveItIsNotRead) {
  Fixture fx;
  auto a = fx.Axiom("q(a);");
  auto b = fx.Axiom("∃Z p(Z) ∨ q(a);");
  EXPECT_TRUE(HasTwoPointCountermodel(*b->Root, *a->Root));
  TVariable* z = b->Root->Left->Prefix->Items[0];
  auto* q = static_cast<TFunctor*>(static_cast<TAtom*>(b->Root->Right)->Term);
  q->Args[0]->FreeTerm();
  q->Args[0] = z;
  EXPECT_FALSE(HasTwoPointCountermodel(*b->Root, *a->Root));
}

}  // namespace
}  // namespace velmoran::testing
