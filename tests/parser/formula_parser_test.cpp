// Formulas and theories as the parser reads them: the worked Socrates theory, binding strength and
// association of the connectives, scope of negations and prefixes, variable binding, degrees,
// queries, the end of a formula and the arithmetic evaluated while a formula is prepared.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logic/alphabet.h"
#include "logic/formula.h"
#include "prover/search.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

const TId* TermOf(const TSub* node) {
  const TAtom* atom = AsAtom(const_cast<TSub*>(node));
  return atom ? atom->Term : nullptr;
}

const TId* Arg(const TId* term, std::size_t i) {
  const TFunctor* f = AsFunctor(term);
  return f && i < f->Args.size() ? f->Args[i] : nullptr;
}

std::string FunctorName(const TSub* node) {
  const TId* t = TermOf(node);
  return t && t->IsFunc() ? static_cast<const TFunc*>(t)->Name : "<no atom>";
}

TEST(SocratesTheory, RuleIsAQuantifiedImplication) {
  Fixture fx;
  auto rule = fx.Parse("∀X [man(X) → mortal(X)];");
  ASSERT_TRUE(rule);
  EXPECT_FALSE(rule->IsQuery());
  EXPECT_EQ(rule->Degree, 1.0L);
  EXPECT_EQ(Utf8(rule->Text), "∀X[man(X)→mortal(X)]");

  TSub* root = rule->Root;
  ASSERT_TRUE(root->IsImplication());
  EXPECT_EQ(root->ParentRecord, rule.get());
  ASSERT_TRUE(root->Prefix);
  ASSERT_EQ(root->Prefix->Items.size(), 1u);
  TVariable* x = root->Prefix->Items[0];
  EXPECT_EQ(x->Name, "X");
  EXPECT_EQ(x->Quantifier, kForAll);
  EXPECT_EQ(x->AsWritten, 1);
  EXPECT_EQ(x->Scope, root);

  EXPECT_EQ(FunctorName(root->Left), "man");
  EXPECT_EQ(FunctorName(root->Right), "mortal");
  EXPECT_EQ(Arg(TermOf(root->Left), 0), x);
  EXPECT_EQ(Arg(TermOf(root->Right), 0), x);

  // The antecedent of an implication stands in a negative position.
  EXPECT_EQ(root->Polarity, 1);
  EXPECT_EQ(root->Left->Polarity, -1);
  EXPECT_EQ(root->Right->Polarity, 1);

  EXPECT_EQ(rule->FirstAtom, root->Left);
  EXPECT_EQ(rule->LastAtom, root->Right);
}

TEST(SocratesTheory, FactCarriesItsDegree) {
  Fixture fx;
  auto fact = fx.Parse("man(socrates) : 0.9;");
  ASSERT_TRUE(fact);
  EXPECT_FALSE(fact->IsQuery());
  ASSERT_TRUE(AsAtom(fact->Root));
  EXPECT_EQ(FunctorName(fact->Root), "man");
  EXPECT_EQ(fact->Degree, 0.9L);
  EXPECT_EQ(Utf8(fact->Text), "man(socrates)");
}

TEST(SocratesTheory, QueryGetsTheTextOfItsNegationWhenProved) {
  Fixture fx;
  auto query = fx.Parse("?- mortal(socrates);");
  ASSERT_TRUE(query);
  EXPECT_TRUE(query->IsQuery());
  EXPECT_EQ(query->Degree, 1.0L);
  EXPECT_TRUE(query->Text.empty());
  EXPECT_EQ(query->Root->Negated, 0);
  EXPECT_EQ(Fixture::Printed(*query), "mortal(socrates)");

  NegateQuery(*query);
  EXPECT_EQ(query->Root->Negated, 1);
  EXPECT_EQ(query->Root->Polarity, -1);
  EXPECT_EQ(Utf8(query->Text), "¬mortal(socrates)");
}

TEST(SocratesTheory, RunProvesTheQueryWithTheFactsDegree) {
  Fixture fx;
  auto lines = fx.Run("∀X [man(X) → mortal(X)];\nman(socrates) : 0.9;\n?- mortal(socrates);\n");
  EXPECT_EQ(fx.Program->ErrorCode, 0);
  EXPECT_EQ(fx.Program->ErrorPosition, 0);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "Solution to ¬mortal(socrates):1; ");
  bool refuted = false;
  for (const auto& l : lines) refuted |= l.ends_with(" YES (refutation deg.):0.9;");
  EXPECT_TRUE(refuted);
  EXPECT_EQ(lines.back(), "Best refutation degree: 0.9");
  // The axioms stay; the query is gone after its proof.
  ASSERT_EQ(fx.Program->Formulas.size(), 2u);
  EXPECT_EQ(Utf8(fx.Program->Formulas[0]->Text), "∀X[man(X)→mortal(X)]");
  EXPECT_EQ(fx.Program->Formulas[1]->Degree, 0.9L);
}

TEST(Connectives, BindingStrengthAndLeftAssociationAsPrinted) {
  struct Case {
    const char* text;
    const char* printed;
  };
  const std::vector<Case> cases = {
      {"a ∧ b ∨ c;", "a∧b∨c"},
      {"a ∨ b ∧ c;", "a∨b∧c"},
      {"[a ∨ b] ∧ c;", "[a∨b]∧c"},
      {"a ∧ [b ∨ c];", "a∧[b∨c]"},
      {"a ∨ b → c ∧ d;", "a∨b→c∧d"},
      {"a → b ∨ c;", "a→b∨c"},
      {"[a → b] ∧ c;", "[a→b]∧c"},
      {"a → b → c;", "a→b→c"},
      {"[a → b] → c;", "a→b→c"},
      {"a → [b → c];", "a→[b→c]"},
      {"¬a ∧ b;", "¬a∧b"},
      {"¬[a ∧ b] ∨ c;", "¬[a∧b]∨c"},
      {"¬[a ∨ b];", "¬[a∨b]"},
      {"a ∨ ¬[b → c];", "a∨¬[b→c]"},
      {"¬¬a;", "a"},
      {"[[a]];", "a"},
      {"a≠b ∧ 1≤2 ∨ c≥d;", "a≠b∧1≤2∨c≥d"},
      {"-p;", "-p"},
  };
  for (const auto& c : cases) {
    Fixture fx;
    auto r = fx.Parse(c.text);
    ASSERT_TRUE(r) << c.text << ": error " << int(fx.Program->ErrorCode);
    EXPECT_EQ(Utf8(r->Text), c.printed) << c.text;
  }
}

TEST(Connectives, TreesBehindThePrintedTexts) {
  Fixture fx;
  auto chain = fx.Parse("a → b → c;");
  ASSERT_TRUE(chain);
  EXPECT_TRUE(chain->Root->IsImplication());
  EXPECT_TRUE(chain->Root->Left->IsImplication());
  EXPECT_EQ(FunctorName(chain->Root->Right), "c");

  auto mixed = fx.Parse("a ∨ b ∧ c;");
  ASSERT_TRUE(mixed);
  EXPECT_EQ(mixed->Root->Kind(), 3);
  EXPECT_EQ(FunctorName(mixed->Root->Left), "a");
  EXPECT_EQ(mixed->Root->Right->Kind(), 4);

  // A bracketed right operand keeps its own tree although it prints without brackets.
  auto right = fx.Parse("a ∧ [b ∧ c];");
  ASSERT_TRUE(right);
  EXPECT_EQ(FunctorName(right->Root->Left), "a");
  EXPECT_EQ(right->Root->Right->Kind(), 4);
  EXPECT_EQ(Utf8(right->Text), "a∧b∧c");

  auto left = fx.Parse("a ∧ b ∧ c;");
  ASSERT_TRUE(left);
  EXPECT_EQ(left->Root->Left->Kind(), 4);
  EXPECT_EQ(FunctorName(left->Root->Right), "c");
}

TEST(Connectives, AtomChainFollowsTheText) {
  Fixture fx;
  auto r = fx.Parse("p ∧ [q ∨ r] → s;");
  ASSERT_TRUE(r);
  std::vector<std::string> names;
  for (TAtom* a = r->FirstAtom; a; a = a->Next()) names.push_back(FunctorName(a));
  EXPECT_EQ(names, (std::vector<std::string>{"p", "q", "r", "s"}));
  EXPECT_EQ(r->FirstAtom->Previous(), nullptr);
  EXPECT_EQ(FunctorName(r->LastAtom), "s");
}

TEST(Prefixes, NegationAndPrefixApplyToOneUnaryFormula) {
  Fixture fx;
  auto r = fx.Parse("∀X p(X) ∧ q(X);");
  ASSERT_TRUE(r);
  // The X of q(X) is free and gets its own universal quantifier at the root.
  EXPECT_EQ(Utf8(r->Text), "∀X[∀X p(X)∧q(X)]");
  ASSERT_TRUE(r->Root->Prefix && r->Root->Left->Prefix);
  TVariable* outer = r->Root->Prefix->Items[0];
  TVariable* inner = r->Root->Left->Prefix->Items[0];
  EXPECT_NE(outer, inner);
  EXPECT_EQ(Arg(TermOf(r->Root->Left), 0), inner);
  EXPECT_EQ(Arg(TermOf(r->Root->Right), 0), outer);
  EXPECT_EQ(inner->Scope, r->Root->Left);
  EXPECT_EQ(outer->Scope, r->Root);
  EXPECT_EQ(r->Root->Right->Prefix, nullptr);
}

TEST(Prefixes, FreeVariablesAreUniversalAtTheRootLastMetFirst) {
  Fixture fx;
  auto shared = fx.Parse("p(X) ∧ q(X);");
  ASSERT_TRUE(shared);
  EXPECT_EQ(Utf8(shared->Text), "∀X[p(X)∧q(X)]");
  ASSERT_TRUE(shared->Root->Prefix);
  ASSERT_EQ(shared->Root->Prefix->Items.size(), 1u);
  TVariable* x = shared->Root->Prefix->Items[0];
  EXPECT_EQ(x->Quantifier, kForAll);
  EXPECT_EQ(x->AsWritten, 1);
  EXPECT_EQ(x->Scope, shared->Root);
  EXPECT_EQ(Arg(TermOf(shared->Root->Left), 0), x);
  EXPECT_EQ(Arg(TermOf(shared->Root->Right), 0), x);

  auto two = fx.Parse("p(X, Y);");
  ASSERT_TRUE(two);
  EXPECT_EQ(Utf8(two->Text), "∀Y, X p(X, Y)");

  auto relation = fx.Parse("X = Y;");
  ASSERT_TRUE(relation);
  EXPECT_EQ(Utf8(relation->Text), "∀Y, X X=Y");
}

TEST(Prefixes, InnermostPrefixAndLastVariableOfAPrefixWin) {
  Fixture fx;
  auto inner = fx.Parse("∀X [p(X) ∧ ∃X q(X)];");
  ASSERT_TRUE(inner);
  EXPECT_EQ(Utf8(inner->Text), "∀X[p(X)∧∃X q(X)]");
  TVariable* rootX = inner->Root->Prefix->Items[0];
  TVariable* innerX = inner->Root->Right->Prefix->Items[0];
  EXPECT_EQ(innerX->Quantifier, kExists);
  EXPECT_EQ(Arg(TermOf(inner->Root->Left), 0), rootX);
  EXPECT_EQ(Arg(TermOf(inner->Root->Right), 0), innerX);

  // Within one prefix the last X declares the occurrence; the second X prints with its index.
  auto last = fx.Parse("∀X, X p(X);");
  ASSERT_TRUE(last);
  ASSERT_EQ(last->Root->Prefix->Items.size(), 2u);
  EXPECT_EQ(Arg(TermOf(last->Root), 0), last->Root->Prefix->Items[1]);
  EXPECT_EQ(Utf8(last->Text), "∀X, X#1 p(X#1)");

  auto mixed = fx.Parse("∀X ∃X p(X);");
  ASSERT_TRUE(mixed);
  EXPECT_EQ(Arg(TermOf(mixed->Root), 0), mixed->Root->Prefix->Items[1]);
  EXPECT_EQ(Utf8(mixed->Text), "∀X∃X#1 p(X#1)");
}

TEST(Prefixes, NegationSwapsTheQuantifiersOfThePrefixBelowIt) {
  struct Case {
    const char* text;
    const char* printed;
  };
  const std::vector<Case> cases = {
      {"¬∀X p(X);", "∃X ¬p(X)"},
      {"¬∃X [p(X) ∧ q];", "∀X¬[p(X)∧q]"},
      {"∀X ¬∀Y p(X, Y);", "∀X∃Y ¬p(X, Y)"},
      {"∀X [∃Y p(X, Y)];", "∀X∃Y p(X, Y)"},
      {"∀X, Y ∃Z p(X, Y, Z);", "∀X, Y∃Z p(X, Y, Z)"},
      {"∀X [p(X) → ∃Y q(X, Y)];", "∀X[p(X)→∃Y q(X, Y)]"},
  };
  for (const auto& c : cases) {
    Fixture fx;
    auto r = fx.Parse(c.text);
    ASSERT_TRUE(r) << c.text << ": error " << int(fx.Program->ErrorCode);
    EXPECT_EQ(Utf8(r->Text), c.printed) << c.text;
    // Swapped quantifiers are still as the user wrote them: no "!" anywhere.
    if (r->Root->Prefix) {
      for (TVariable* v : r->Root->Prefix->Items) EXPECT_EQ(v->AsWritten, 1) << c.text;
    }
  }
}

TEST(Degrees, WrittenAfterAColonUpToTheSemicolon) {
  struct Case {
    const char* text;
    long double degree;
  };
  const std::vector<Case> cases = {
      {"p(a);", 1.0L},          {"p(a) : 1;", 1.0L},     {"p(a) : 0;", 0.0L},
      {"p(a):0.5;", 0.5L},      {"p(a) : 5E-1 ;", 0.5L}, {"p(a) : +0.25;", 0.25L},
      {"?- p(a) : 0.5;", 0.5L},
  };
  for (const auto& c : cases) {
    Fixture fx;
    auto r = fx.Parse(c.text);
    ASSERT_TRUE(r) << c.text << ": error " << int(fx.Program->ErrorCode);
    EXPECT_EQ(r->Degree, c.degree) << c.text;
  }
}

TEST(Degrees, SemicolonAfterADegreeNeedsNoBlank) {
  Fixture fx;
  fx.Run("p(a):0.5;q(b); ");
  ASSERT_EQ(fx.Program->ErrorCode, 0);
  ASSERT_EQ(fx.Program->Formulas.size(), 2u);
  EXPECT_EQ(fx.Program->Formulas[0]->Degree, 0.5L);
  EXPECT_EQ(Utf8(fx.Program->Formulas[1]->Text), "q(b)");
  EXPECT_EQ(fx.Program->Formulas[1]->Degree, 1.0L);
}

TEST(Queries, MarkedByAQuestionMarkAndDashTogether) {
  Fixture fx;
  for (const char* text : {"?-p;", "  ?- p;", "?-\tp;"}) {
    auto r = fx.Parse(text);
    ASSERT_TRUE(r) << text;
    EXPECT_TRUE(r->IsQuery()) << text;
    EXPECT_EQ(Fixture::Printed(*r), "p") << text;
  }
}

TEST(FormulaEnd, CursorLandsOnTheNextFormula) {
  struct Case {
    const char* text;
    int parsed;
  };
  const std::vector<Case> cases = {
      {"p;", 2},
      {"p;\n", 3},
      {"p;  q;", 4},
      {"p:0.5;q;", 6},
      // A lone ";" after a formula is skipped with it.
      {"p; ; q;", 4},
  };
  for (const auto& c : cases) {
    Fixture fx;
    auto r = fx.Parse(c.text);
    ASSERT_TRUE(r) << c.text;
    EXPECT_EQ(fx.Program->ParsedLength, c.parsed) << c.text;
  }
}

TEST(FormulaEnd, LoneSemicolonsBetweenFormulasAreSkipped) {
  Fixture fx;
  fx.Run("p; ; q;\n;\nr;");
  EXPECT_EQ(fx.Program->ErrorCode, 0);
  ASSERT_EQ(fx.Program->Formulas.size(), 3u);
  EXPECT_EQ(Utf8(fx.Program->Formulas[1]->Text), "q");
  EXPECT_EQ(Utf8(fx.Program->Formulas[2]->Text), "r");
}

TEST(Preparation, ArithmeticOnNumbersIsEvaluated) {
  Fixture fx;
  auto r =
      fx.Parse("p((1+2)*4, 2+3, 1/0, -X, 2*3.5, 1E4000*1E4000, 1E-4000*1E-4000, 0/0, a+1, 7-2*3);");
  ASSERT_TRUE(r);
  // Division by zero, invalid operations and overflow stay; underflow rounds to 0; terms that are
  // not numbers stay.
  EXPECT_EQ(Fixture::Printed(*r), "∀X p(12, 5, 1/0, -X, 7, 1E4000*1E4000, 0, 0/0, a+1, 1)");
  const TId* five = Arg(TermOf(r->Root), 1);
  ASSERT_TRUE(five);
  ASSERT_EQ(five->Class(), TermClass::Real);  // a real even from two integers
  EXPECT_EQ(static_cast<const TReal*>(five)->RealValue, 5.0L);
}

TEST(Preparation, RelationsAreNotEvaluated) {
  Fixture fx;
  auto r = fx.Parse("1+1 < 3;");
  ASSERT_TRUE(r);
  EXPECT_EQ(Utf8(r->Text), "2<3");
  const TId* t = TermOf(r->Root);
  ASSERT_TRUE(AsFunctor(t));
  EXPECT_EQ(AsFunctor(t)->Name, "<");
}

}  // namespace
}  // namespace velmoran::testing
