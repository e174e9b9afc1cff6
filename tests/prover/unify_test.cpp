// Unification of atom terms: names, numbers, the occurs check, variable identity by serial number
// and the quantifier rules that admit or refuse a binding.
#include "prover/unify.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "prover/resolution.h"
#include "report/report.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

TVariable* RootVariable(TFALFormula& r, std::size_t index) {
  EXPECT_TRUE(r.Root->Prefix);
  return r.Root->Prefix->Items.at(index);
}

TId* Argument(TAtom* a, std::size_t index) {
  return AsFunctor(a->Term)->Args.at(index);
}

class UnifyTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetReportState(); }

  // Both orders are tried from a clean binding list; the list is left empty.
  bool Unifies(const std::string& first, const std::string& second) {
    auto f = fx.Axiom(first);
    auto g = fx.Axiom(second);
    EXPECT_TRUE(f && g) << first << " / " << second;
    if (!f || !g) return false;
    fx.Program->Bindings.clear();
    bool ok = UnifyAtoms(f->FirstAtom, g->FirstAtom);
    fx.Program->Bindings.clear();
    return ok;
  }

  std::vector<TId*>& Bindings() { return fx.Program->Bindings; }

  Fixture fx;
};

TEST_F(UnifyTest, PredicateAndFunctionNamesAndAritiesMustAgreeExactly) {
  EXPECT_TRUE(Unifies("p(a);", "p(a);"));
  EXPECT_TRUE(Unifies("p(f(a, b));", "p(f(a, b));"));
  EXPECT_FALSE(Unifies("p(a);", "q(a);"));
  EXPECT_FALSE(Unifies("p(a);", "p(a, b);"));
  EXPECT_FALSE(Unifies("pA(a);", "pa(a);"));
  EXPECT_FALSE(Unifies("p(f(a));", "p(g(a));"));
  EXPECT_FALSE(Unifies("p(f(a));", "p(f(a, b));"));
  EXPECT_FALSE(Unifies("p(a);", "p(a(b));"));
  EXPECT_FALSE(Unifies("p(a);", "p(b);"));
}

TEST_F(UnifyTest, NumbersUnifyByValueAcrossIntegersAndReals) {
  EXPECT_TRUE(Unifies("p(2);", "p(2.0);"));
  EXPECT_TRUE(Unifies("p(2.0);", "p(2);"));
  EXPECT_FALSE(Unifies("p(1);", "p(1.5);"));
  EXPECT_FALSE(Unifies("p(2);", "p(a);"));
}

TEST_F(UnifyTest, OccursCheckRefusesAVariableInsideItsOwnValue) {
  auto r = fx.Axiom("∀X [p(X) ∧ p(f(X))];");
  for (std::uint8_t on : {1, 0}) {
    fx.Program->QuantificationOn = on;
    EXPECT_FALSE(UnifyAtoms(AtomAt(*r, 0), AtomAt(*r, 1))) << "quantification " << int(on);
    EXPECT_TRUE(Bindings().empty());
    EXPECT_FALSE(UnifyAtoms(AtomAt(*r, 1), AtomAt(*r, 0))) << "quantification " << int(on);
    EXPECT_TRUE(Bindings().empty());
  }
}

TEST_F(UnifyTest, CopiesOfOneVariableAreOtherVariables) {
  // The resolvent of ∀X [r ∨ p(X)] and ¬r copies X; the copy is another object with X's serial.
  auto f = fx.Axiom("∀X [r ∨ p(X)];");
  auto g = fx.Axiom("¬r;");
  ASSERT_TRUE(UnifyAtoms(f->FirstAtom, g->FirstAtom));
  std::unique_ptr<TFALFormula> r(MakeResolvent(
      *f, *g, f->FirstAtom, FalseInFirst(*f->FirstAtom, *g->FirstAtom), g->FirstAtom));
  TAtom* original = AtomAt(*f, 1);
  TAtom* copy = AtomAt(*r, 1);
  auto* x = AsVariable(Argument(original, 0));
  auto* xCopy = AsVariable(Argument(copy, 0));
  ASSERT_TRUE(x && xCopy);
  ASSERT_NE(x, xCopy);
  EXPECT_EQ(x->Serial, xCopy->Serial);
  EXPECT_TRUE(Bindings().empty());

  // The copy is quantified apart from X: unifying them binds the partner to the walked one.
  EXPECT_TRUE(UnifyAtoms(original, copy));
  EXPECT_EQ(Bindings(), (std::vector<TId*>{xCopy, x}));
  Bindings().clear();
  EXPECT_TRUE(UnifyAtoms(copy, original));
  EXPECT_EQ(Bindings(), (std::vector<TId*>{x, xCopy}));
  Bindings().clear();

  // A variable of another formula is a different variable: it takes a binding.
  auto other = fx.Axiom("∀Y p(Y);");
  EXPECT_TRUE(UnifyAtoms(original, other->FirstAtom));
  EXPECT_EQ(Bindings().size(), 2u);
}

TEST_F(UnifyTest, BetweenTwoVariablesThePartnerIsBoundToTheWalkedOne) {
  auto f = fx.Axiom("∀X p(X);");
  auto g = fx.Axiom("∀Y p(Y);");
  for (std::uint8_t on : {1, 0}) {
    fx.Program->QuantificationOn = on;
    Bindings().clear();
    ASSERT_TRUE(UnifyAtoms(f->FirstAtom, g->FirstAtom));
    ASSERT_EQ(Bindings().size(), 2u);
    EXPECT_EQ(Bindings()[0], RootVariable(*g, 0));
    EXPECT_EQ(Bindings()[1], RootVariable(*f, 0));
  }
}

TEST_F(UnifyTest, ExistentialVariableTakesNoValueUnderQuantification) {
  auto e = fx.Axiom("∃X p(X);");
  auto c = fx.Axiom("p(a);");
  auto u = fx.Axiom("∀Y ¬p(Y);");
  TVariable* x = RootVariable(*e, 0);
  TVariable* y = RootVariable(*u, 0);

  EXPECT_FALSE(UnifyAtoms(e->FirstAtom, c->FirstAtom));
  EXPECT_FALSE(UnifyAtoms(c->FirstAtom, e->FirstAtom));
  EXPECT_TRUE(Bindings().empty());

  // ∀Y under the negation is universal where it stands: Y may become X, in either order.
  ASSERT_TRUE(UnifyAtoms(e->FirstAtom, u->FirstAtom));
  ASSERT_EQ(Bindings().size(), 2u);
  EXPECT_EQ(Bindings()[0], y);
  EXPECT_EQ(Bindings()[1], x);
  Bindings().clear();
  ASSERT_TRUE(UnifyAtoms(u->FirstAtom, e->FirstAtom));
  ASSERT_EQ(Bindings().size(), 2u);
  EXPECT_EQ(Bindings()[0], y);
  EXPECT_EQ(Bindings()[1], x);
  Bindings().clear();

  fx.Program->QuantificationOn = 0;
  ASSERT_TRUE(UnifyAtoms(e->FirstAtom, c->FirstAtom));
  ASSERT_EQ(Bindings().size(), 2u);
  EXPECT_EQ(Bindings()[0], x);
  EXPECT_EQ(Bindings()[1], Argument(c->FirstAtom, 0));
}

TEST_F(UnifyTest, EffectiveQuantifierCountsTheNegativePosition) {
  // In the antecedent of an implication ∃ acts universally and ∀ existentially.
  EXPECT_TRUE(Unifies("[∃X p(X)] → q;", "p(a);"));
  EXPECT_FALSE(Unifies("[∀X p(X)] → q;", "p(a);"));
  EXPECT_TRUE(Unifies("[∀X p(X)] ∨ q;", "p(a);"));
  EXPECT_FALSE(Unifies("[∃X p(X)] ∨ q;", "p(a);"));
}

TEST_F(UnifyTest, OuterUniversalMustBeBoundBeforeAnExistentialBecomesAValue) {
  auto f = fx.Axiom("∀W ∃Q p(Q, W);");
  auto g = fx.Axiom("∀V p(V, c);");
  TVariable* w = RootVariable(*f, 0);
  TVariable* q = RootVariable(*f, 1);
  TVariable* v = RootVariable(*g, 0);
  TId* c = Argument(g->FirstAtom, 1);
  ASSERT_EQ(w->Name, "W");
  ASSERT_EQ(q->Name, "Q");

  // First pass: V := Q refused (W still free), Q cannot be bound, W := c; the repeat admits V := Q.
  ASSERT_TRUE(UnifyAtoms(f->FirstAtom, g->FirstAtom));
  EXPECT_EQ(Bindings(), (std::vector<TId*>{w, c, v, q}));
  Bindings().clear();

  fx.Program->QuantificationOn = 0;
  ASSERT_TRUE(UnifyAtoms(f->FirstAtom, g->FirstAtom));
  EXPECT_EQ(Bindings(), (std::vector<TId*>{v, q, w, c}));
}

TEST_F(UnifyTest, AVariableBoundEarlierIsUnifiedThroughItsBinding) {
  auto f = fx.Axiom("∀X [p(X) ∨ q(X)];");
  auto g = fx.Axiom("p(a) ∧ q(b) ∧ q(a);");
  TAtom* pX = AtomAt(*f, 0);
  TAtom* qX = AtomAt(*f, 1);
  TAtom* qb = AtomAt(*g, 1);
  TAtom* qa = AtomAt(*g, 2);

  ASSERT_TRUE(UnifyAtoms(pX, AtomAt(*g, 0)));
  ASSERT_EQ(Bindings().size(), 2u);
  // As the walked term ...
  EXPECT_FALSE(UnifyAtoms(qX, qb));
  EXPECT_TRUE(UnifyAtoms(qX, qa));
  // ... and as the partner.
  EXPECT_FALSE(UnifyAtoms(qb, qX));
  EXPECT_TRUE(UnifyAtoms(qa, qX));
  EXPECT_EQ(Bindings().size(), 2u);
}

TEST_F(UnifyTest, AFailedAttemptTakesBackItsBindingsAndEveryAttemptCounts) {
  auto f = fx.Axiom("∀X p(X, b);");
  auto g = fx.Axiom("p(a, c);");
  auto h = fx.Axiom("p(a, b);");
  EXPECT_FALSE(UnifyAtoms(f->FirstAtom, g->FirstAtom));
  EXPECT_TRUE(Bindings().empty());
  EXPECT_TRUE(UnifyAtoms(f->FirstAtom, h->FirstAtom));
  EXPECT_EQ(Bindings().size(), 2u);
  EXPECT_FALSE(UnifyAtoms(f->FirstAtom, g->FirstAtom));
  EXPECT_EQ(Bindings().size(), 2u) << "only the failed attempt's own pairs go";
  EXPECT_EQ(Statistics.Unifications, 3);
}

// Variables outlive a query, and every query starts its unifier afresh: an answer the quantifier
// rules found for a variable in one query is never taken for an answer in the next. Y of
// ∀X ∃Y r(Y, X) is free while X holds a fixed value (bound in place, as an earlier step leaves an
// instance), so Z := Y is admitted; once X is unbound again, X := V makes Y depend on a universal
// and Z := Y is refused, whatever the earlier query found.
TEST_F(UnifyTest, AQueryNeverTakesTheQuantifierRulesAnswersOfAnEarlierOne) {
  auto p = fx.Axiom("∀X ∃Y r(Y, X);");
  auto q = fx.Axiom("∀Z, V ¬r(Z, V);");
  ASSERT_TRUE(p && q);
  TVariable* x = RootVariable(*p, 0);
  ASSERT_EQ(x->Name, "X");
  x->Binding = new TFunctorA("a");
  Unifier = UnifierState{};
  Bindings().clear();
  EXPECT_TRUE(UnifyAtoms(p->FirstAtom, q->FirstAtom));
  Bindings().clear();

  x->Binding->FreeTerm();
  x->Binding = nullptr;
  Unifier = UnifierState{};  // as the next query's search starts
  EXPECT_FALSE(UnifyAtoms(p->FirstAtom, q->FirstAtom));
  Bindings().clear();
}

}  // namespace
}  // namespace velmoran::testing
