// Simplification: folding truth constants by the two-valued rules, the count of folded
// connectives, where the prefixes of freed nodes go, arithmetic through variable bindings, and the
// deletion of quantified variables that no longer occur.
#include "prover/simplify.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logic/alphabet.h"
#include "logic/formula.h"
#include "logic/walk.h"
#include "report/report.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

std::string TermText(const TId* t) {
  std::string s;
  t->Print(s);
  return Utf8(s);
}

// The atom whose predicate term prints as `text`.
TAtom* AtomOf(TFALFormula& record, const std::string& text) {
  for (TAtom* a = record.FirstAtom; a; a = a->Next())
    if (TermText(a->Term) == text) return a;
  ADD_FAILURE() << "no atom " << text;
  return nullptr;
}

// Simplifies and returns how many connectives were folded.
int SimplifyCounting(TFALFormula& record) {
  const auto before = Statistics.Simplifications;
  Simplify(record);
  return Statistics.Simplifications - before;
}

TEST(Simplify, TwoValuedRulesOfTheConnectives) {
  struct Case {
    const char* text;  // two atoms p and q
    int p, q;          // their constants
    const char* result;
  };
  const std::vector<Case> cases = {
      {"p ∧ q;", 1, 0, "q"},       {"p ∧ q;", 0, 1, "p"},      {"p ∧ q;", -1, 0, " ⊥"},
      {"p ∧ q;", 0, -1, " ⊥"},     {"p ∧ q;", 1, 1, " ⊤"},     {"p ∧ q;", 1, -1, " ⊥"},
      {"p ∨ q;", 1, 0, " ⊤"},      {"p ∨ q;", 0, 1, " ⊤"},     {"p ∨ q;", -1, 0, "q"},
      {"p ∨ q;", 0, -1, "p"},      {"p ∨ q;", -1, -1, " ⊥"},   {"p ∨ q;", -1, 1, " ⊤"},
      {"p → q;", -1, 0, " ⊤"},     {"p → q;", 1, 0, "q"},      {"p → q;", 0, 1, " ⊤"},
      {"p → q;", 0, -1, "¬p"},     {"p → q;", 1, -1, " ⊥"},    {"p → q;", -1, -1, " ⊤"},
      {"p → q;", 1, 1, " ⊤"},      {"¬[p ∧ q];", 0, -1, " ⊤"}, {"¬[p ∧ q];", 1, 0, "¬q"},
      {"¬[p ∨ q];", -1, -1, " ⊤"}, {"¬[p → q];", 0, -1, "p"},  {"¬[p → q];", 1, 0, "¬q"},
      {"¬p → q;", 0, -1, "p"},     {"p ∧ ¬q;", 1, 0, "¬q"},
  };
  for (const auto& c : cases) {
    Fixture fx;
    auto r = fx.Parse(c.text);
    ASSERT_TRUE(r) << c.text;
    AtomOf(*r, "p")->Constant = static_cast<std::int8_t>(c.p);
    AtomOf(*r, "q")->Constant = static_cast<std::int8_t>(c.q);
    const std::string label =
        std::string(c.text) + " with p=" + std::to_string(c.p) + ", q=" + std::to_string(c.q);
    EXPECT_EQ(SimplifyCounting(*r), 1) << label;
    EXPECT_EQ(Fixture::Printed(*r), c.result) << label;
    if (c.result[0] == ' ') {
      EXPECT_EQ(r->Root->Left, nullptr) << label;
      EXPECT_EQ(r->Root->Right, nullptr) << label;
      EXPECT_EQ(r->FirstAtom, nullptr) << label;
      EXPECT_EQ(r->LastAtom, nullptr) << label;
    } else {
      EXPECT_EQ(r->Root->ParentRecord, r.get()) << label;
      EXPECT_EQ(r->FirstAtom, r->Root) << label;
      EXPECT_EQ(r->LastAtom, r->Root) << label;
    }
  }
}

TEST(Simplify, ConstantsInOperandPositionsFoldBottomUp) {
  Fixture fx;
  auto r = fx.Parse("p(a) ∧ t ∨ f;");
  ASSERT_TRUE(r);
  TAtom* kept = AtomOf(*r, "p(a)");
  AtomOf(*r, "t")->Constant = 1;
  AtomOf(*r, "f")->Constant = -1;
  EXPECT_EQ(SimplifyCounting(*r), 2);
  EXPECT_EQ(r->Root, kept);
  EXPECT_EQ(kept->ParentRecord, r.get());
  EXPECT_EQ(r->FirstAtom, kept);
  EXPECT_EQ(r->LastAtom, kept);
  EXPECT_EQ(Fixture::Printed(*r), "p(a)");
}

TEST(Simplify, KeptOperandTakesTheFoldedNodesPlaceInsideATree) {
  Fixture fx;
  auto r = fx.Parse("p ∧ q ∨ r ∧ s;");
  ASSERT_TRUE(r);
  AtomOf(*r, "p")->Constant = -1;
  EXPECT_EQ(SimplifyCounting(*r), 2);
  EXPECT_EQ(Fixture::Printed(*r), "r∧s");
  EXPECT_EQ(r->Root->Kind(), 4);
  EXPECT_EQ(r->Root->ParentRecord, r.get());
  ASSERT_TRUE(r->FirstAtom && r->LastAtom);
  EXPECT_EQ(TermText(r->FirstAtom->Term), "r");
  EXPECT_EQ(TermText(r->LastAtom->Term), "s");
  EXPECT_EQ(r->FirstAtom->Previous(), nullptr);
  EXPECT_EQ(r->FirstAtom->Next(), r->LastAtom);
  EXPECT_EQ(r->LastAtom->Next(), nullptr);

  auto inner = fx.Parse("x ∨ [p ∧ [q → s]];");
  ASSERT_TRUE(inner);
  AtomOf(*inner, "p")->Constant = 1;
  EXPECT_EQ(SimplifyCounting(*inner), 1);
  EXPECT_EQ(Fixture::Printed(*inner), "x∨[q→s]");
  EXPECT_EQ(inner->Root->Right->ParentNode, inner->Root);
}

TEST(Simplify, FormulaWithoutConstantsIsLeftAlone) {
  Fixture fx;
  auto r = fx.Parse("∀X [p(X) ∧ q ∨ ¬r(X) → s];");
  ASSERT_TRUE(r);
  TSub* root = r->Root;
  EXPECT_EQ(SimplifyCounting(*r), 0);
  EXPECT_EQ(r->Root, root);
  EXPECT_EQ(Fixture::Printed(*r), "∀X[p(X)∧q∨¬r(X)→s]");
}

TEST(Simplify, CachedTextAndDegreeAreNotTouched) {
  Fixture fx;
  auto r = fx.Axiom("∀X p(a) : 0.5;");
  ASSERT_TRUE(r);
  EXPECT_EQ(Fixture::Printed(*r), "p(a)");
  EXPECT_EQ(Utf8(r->Text), "∀X p(a)");
  EXPECT_EQ(r->Degree, 0.5L);

  auto folded = fx.Parse("p ∨ q : 0.25;");
  ASSERT_TRUE(folded);
  AtomOf(*folded, "p")->Constant = -1;
  AtomOf(*folded, "q")->Constant = -1;
  Simplify(*folded);
  EXPECT_EQ(folded->Degree, 0.25L);
}

// Gives a variable an origin and a binding, as the answer variables of a negated query have.
void MakeAnswerVariable(TVariable* v, const char* value) {
  v->Origin = v;
  v->Binding = new TFunctorA(value);
}

TEST(Simplify, AnswerVariableOutlivesARefutation) {
  Fixture fx;
  auto r = fx.Parse("∀X [p(X) ∨ q];");
  ASSERT_TRUE(r);
  TVariable* x = r->Root->Prefix->Items[0];
  MakeAnswerVariable(x, "a");
  AtomOf(*r, "p(a)")->Constant = -1;
  AtomOf(*r, "q")->Constant = -1;
  Simplify(*r);
  EXPECT_EQ(r->Root->Constant, -1);
  ASSERT_TRUE(r->Root->Prefix);
  EXPECT_EQ(r->Root->Prefix->Items, VariableList{x});
  EXPECT_EQ(TermText(x->Binding), "a");
  EXPECT_EQ(x->Occurs, 0);
}

TEST(Simplify, PrefixOfAFreedOperandFlipsWhenItCrossesOneNegation) {
  struct Case {
    const char* text;
    const char* constantAtom;
    int constant;
    char quantifier;
    int asWritten;
    const char* why;
  };
  const std::vector<Case> cases = {
      {"∀X p(X) → q;", "q", 1, kExists, 0, "out of an antecedent"},
      {"¬[∀X p(X) → q];", "q", 1, kForAll, 1, "out of the antecedent of a negated implication"},
      {"¬[∀X p(X) ∧ q];", "q", -1, kExists, 0, "out of a negated conjunction"},
      {"∀X p(X) ∧ q;", "q", -1, kForAll, 1, "out of a plain conjunction"},
  };
  for (const auto& c : cases) {
    Fixture fx;
    auto r = fx.Parse(c.text);
    ASSERT_TRUE(r) << c.text;
    TVariable* x = r->FirstAtom->Prefix->Items[0];
    MakeAnswerVariable(x, "a");
    AtomOf(*r, c.constantAtom)->Constant = static_cast<std::int8_t>(c.constant);
    EXPECT_EQ(SimplifyCounting(*r), 1) << c.text;
    ASSERT_TRUE(r->Root->Prefix) << c.text;
    ASSERT_EQ(r->Root->Prefix->Items, VariableList{x}) << c.text;
    EXPECT_EQ(x->Quantifier, c.quantifier) << c.text << " (" << c.why << ")";
    EXPECT_EQ(x->AsWritten, c.asWritten) << c.text << " (" << c.why << ")";
  }
}

TEST(Simplify, PrefixOfTheOldRootGoesToTheNewRootUnchanged) {
  Fixture fx;
  auto r = fx.Parse("∀X [p(X) ∧ q] ∧ s;");
  ASSERT_TRUE(r);
  // The inner conjunction holds X; once it folds away its prefix would cross no negation, and
  // the root's replacement by s must not flip it either.
  TVariable* x = r->Root->Left->Prefix->Items[0];
  MakeAnswerVariable(x, "a");
  AtomOf(*r, "p(a)")->Constant = 1;
  AtomOf(*r, "q")->Constant = 1;
  EXPECT_EQ(SimplifyCounting(*r), 2);
  TAtom* s = AtomOf(*r, "s");
  ASSERT_EQ(r->Root, s);
  ASSERT_TRUE(s->Prefix);
  EXPECT_EQ(s->Prefix->Items, VariableList{x});
  EXPECT_EQ(x->Quantifier, kForAll);
  EXPECT_EQ(x->AsWritten, 1);
  EXPECT_EQ(x->Scope, s);

  // Under a negated root the first move crosses the negation and flips; the move to the new root
  // does not flip again, while the kept operand takes over the negation itself.
  auto negated = fx.Parse("¬[∀X [p(X) ∧ q] ∧ s];");
  ASSERT_TRUE(negated);
  TVariable* y = negated->Root->Left->Prefix->Items[0];
  MakeAnswerVariable(y, "a");
  AtomOf(*negated, "p(a)")->Constant = 1;
  AtomOf(*negated, "q")->Constant = 1;
  EXPECT_EQ(SimplifyCounting(*negated), 2);
  TAtom* t = AtomOf(*negated, "s");
  ASSERT_EQ(negated->Root, t);
  EXPECT_EQ(t->Negated, 1);
  ASSERT_TRUE(t->Prefix);
  EXPECT_EQ(t->Prefix->Items, VariableList{y});
  EXPECT_EQ(y->Quantifier, kExists);
  EXPECT_EQ(y->AsWritten, 0);
}

TEST(Simplify, UnusedQuantifiedVariablesAreDeleted) {
  Fixture fx;
  auto unused = fx.Axiom("∀X p(a);");
  ASSERT_TRUE(unused);
  EXPECT_EQ(unused->Root->Prefix, nullptr);

  auto partly = fx.Axiom("∀X, Y ∃Z p(Y);");
  ASSERT_TRUE(partly);
  ASSERT_TRUE(partly->Root->Prefix);
  ASSERT_EQ(partly->Root->Prefix->Items.size(), 1u);
  EXPECT_EQ(partly->Root->Prefix->Items[0]->Name, "Y");
  EXPECT_EQ(Fixture::Printed(*partly), "∀Y p(Y)");

  // Only a variable with both an origin and a binding is kept without occurring.
  struct Case {
    bool origin, binding, kept;
  };
  for (const Case c :
       {Case{true, true, true}, Case{true, false, false}, Case{false, true, false}}) {
    auto r = fx.Parse("∀X p(a);");
    ASSERT_TRUE(r);
    TVariable* x = r->Root->Prefix->Items[0];
    if (c.origin) x->Origin = x;
    if (c.binding) x->Binding = new TFunctorA("b");
    Simplify(*r);
    EXPECT_EQ(r->Root->Prefix != nullptr, c.kept) << c.origin << c.binding;
  }
}

TEST(Simplify, VariableOnlyInTheBindingOfADeletedOneGoesOnePassLater) {
  Fixture fx;
  auto r = fx.Parse("∀X, Y p(a);");
  ASSERT_TRUE(r);
  TVariable* x = r->Root->Prefix->Items[0];
  TVariable* y = r->Root->Prefix->Items[1];
  x->Binding = y;

  Walks.VariableDeleted = false;
  r->Walk(WalkMode::PreOrder, MarkOccurrences);
  r->Walk(WalkMode::Cleanup, nullptr);
  EXPECT_TRUE(Walks.VariableDeleted);
  ASSERT_TRUE(r->Root->Prefix);
  EXPECT_EQ(r->Root->Prefix->Items, VariableList{y});
  EXPECT_EQ(y->Occurs, 0);

  Walks.VariableDeleted = false;
  r->Walk(WalkMode::PreOrder, MarkOccurrences);
  r->Walk(WalkMode::Cleanup, nullptr);
  EXPECT_TRUE(Walks.VariableDeleted);
  EXPECT_EQ(r->Root->Prefix, nullptr);

  auto whole = fx.Parse("∀X, Y p(a);");
  ASSERT_TRUE(whole);
  whole->Root->Prefix->Items[0]->Binding = whole->Root->Prefix->Items[1];
  Simplify(*whole);
  EXPECT_EQ(whole->Root->Prefix, nullptr);
}

// After a deletion, what only dead variables' values reach dies with them in the same
// simplification, while an occurring or kept variable keeps its value's variables alive.
TEST(Simplify, VariablesReachedOnlyThroughDeadValuesDieWithThem) {
  Fixture fx;
  auto chain = fx.Parse("∀W, X, Y, Z p(a);");
  ASSERT_TRUE(chain);
  auto& c = chain->Root->Prefix->Items;
  c[0]->Binding = c[1];
  c[1]->Binding = c[2];
  c[2]->Binding = c[3];
  Simplify(*chain);
  EXPECT_EQ(chain->Root->Prefix, nullptr);

  auto occurring = fx.Parse("∀X, Y, Z p(X);");
  ASSERT_TRUE(occurring);
  auto& o = occurring->Root->Prefix->Items;
  TVariable* x = o[0];
  TVariable* y = o[1];
  x->Binding = y;
  Simplify(*occurring);
  ASSERT_TRUE(occurring->Root->Prefix);
  EXPECT_EQ(occurring->Root->Prefix->Items, (VariableList{x, y}));

  auto kept = fx.Parse("∀V, X, Y, Z p(a);");
  ASSERT_TRUE(kept);
  auto& k = kept->Root->Prefix->Items;
  TVariable* kx = k[1];
  TVariable* ky = k[2];
  k[0]->Binding = k[3];
  kx->Origin = kx;
  auto* value = new TFunctor("f");
  value->Args.push_back(ky);
  kx->Binding = value;
  Simplify(*kept);
  ASSERT_TRUE(kept->Root->Prefix);
  EXPECT_EQ(kept->Root->Prefix->Items, (VariableList{kx, ky}));
}

// Arithmetic --------------------------------------------------------------------------------

TId* Sum(long a, long b) {
  auto* f = new TFunctor("+");
  f->Args.push_back(new TInteger(static_cast<std::int32_t>(a)));
  f->Args.push_back(new TInteger(static_cast<std::int32_t>(b)));
  return f;
}

TEST(Simplify, ArithmeticInABindingIsEvaluated) {
  Fixture fx;
  auto r = fx.Parse("∀X p(X);");
  ASSERT_TRUE(r);
  TVariable* x = r->Root->Prefix->Items[0];
  x->Binding = Sum(2, 3);
  Simplify(*r);
  ASSERT_TRUE(x->Binding);
  ASSERT_EQ(x->Binding->Class(), TermClass::Real);
  EXPECT_EQ(static_cast<TReal*>(x->Binding)->RealValue, 5.0L);
  EXPECT_EQ(TermText(AsAtom(r->Root)->Term), "p(5)");
}

TEST(Simplify, SubstitutionMakesArithmeticEvaluable) {
  Fixture fx;
  auto r = fx.Parse("∀X p(X + 1, -X, X / 0);");
  ASSERT_TRUE(r);
  TVariable* x = r->Root->Prefix->Items[0];
  x->Binding = new TInteger(2);
  Simplify(*r);
  const TFunctor* p = AsFunctor(AsAtom(r->Root)->Term);
  ASSERT_TRUE(p);
  ASSERT_EQ(p->Args.size(), 3u);
  ASSERT_EQ(p->Args[0]->Class(), TermClass::Real);
  EXPECT_EQ(static_cast<TReal*>(p->Args[0])->RealValue, 3.0L);
  // A one-argument sign is never evaluated, and a division by zero stays as written.
  ASSERT_TRUE(AsFunctor(p->Args[1]));
  EXPECT_EQ(AsFunctor(p->Args[1])->Name, "-");
  EXPECT_EQ(AsFunctor(p->Args[1])->Args.size(), 1u);
  ASSERT_TRUE(AsFunctor(p->Args[2]));
  EXPECT_EQ(AsFunctor(p->Args[2])->Name, "/");
  EXPECT_EQ(TermText(p), "p(3, -2, 2/0)");
  // X still occurs, so it stays with its binding.
  EXPECT_EQ(r->Root->Prefix->Items, VariableList{x});
}

}  // namespace
}  // namespace velmoran::testing
