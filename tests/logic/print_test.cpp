// Printing formulas and terms in the logical alphabet.
#include "logic/print.h"

#include <gtest/gtest.h>

#include <string>

#include "logic/alphabet.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

struct PrintCase {
  const char* text;
  const char* printed;
};

std::string Printed(const TSub* n) {
  return Utf8(PrintedText(*n));
}

void ExpectPrinted(const PrintCase* begin, const PrintCase* end) {
  for (const PrintCase* c = begin; c != end; ++c) {
    SCOPED_TRACE(c->text);
    Fixture fx;
    auto r = fx.Parse(c->text);
    ASSERT_TRUE(r);
    EXPECT_EQ(Printed(r->Root), c->printed);
    EXPECT_EQ(Utf8(r->Text), c->printed);  // the cached text of an axiom is the same
  }
}

TEST(PrintFormula, BracketsFollowBindingStrengthAndLeftAssociation) {
  const PrintCase cases[] = {
      {"∀X [p(X) → q(X)];", "∀X[p(X)→q(X)]"},
      {"a → b;", "a→b"},
      {"[a ∨ b] ∧ c;", "[a∨b]∧c"},
      {"a ∧ b ∨ c;", "a∧b∨c"},
      {"a ∨ [b ∧ c];", "a∨b∧c"},
      {"[a → b] ∨ c;", "[a→b]∨c"},
      {"a → b → c;", "a→b→c"},
      {"a → [b → c];", "a→[b→c]"},
      // Equal strengths below a conjunction or disjunction need no brackets on either side.
      {"a ∨ [b ∨ c];", "a∨b∨c"},
      {"a ∧ [b ∧ c];", "a∧b∧c"},
      {"[a ∧ b] ∧ c;", "a∧b∧c"},
  };
  ExpectPrinted(std::begin(cases), std::end(cases));
}

TEST(PrintFormula, NegationAndPrefixBracketANode) {
  const PrintCase cases[] = {
      {"c ∨ ¬[a ∧ b];", "c∨¬[a∧b]"},
      {"¬[a ∨ b] ∨ c;", "¬[a∨b]∨c"},
      {"¬[a ∨ b];", "¬[a∨b]"},
      {"a ∧ ¬b;", "a∧¬b"},  // atoms are never bracketed
      {"a ∨ ∀X [p(X) ∧ q];", "a∨∀X[p(X)∧q]"},
      {"∃X [p(X) → q] ∨ r;", "∃X[p(X)→q]∨r"},
      {"∀X ¬[p(X) ∧ q];", "∀X¬[p(X)∧q]"},
      {"∀X ¬p(X);", "∀X ¬p(X)"},
      {"a ∧ ∀X p(X);", "a∧∀X p(X)"},
      {"∀X, Y ∃Z p(X, Y, Z);", "∀X, Y∃Z p(X, Y, Z)"},
      {"∀X ∃Y ∀Z p(X, Y, Z);", "∀X∃Y∀Z p(X, Y, Z)"},
  };
  ExpectPrinted(std::begin(cases), std::end(cases));
}

TEST(PrintFormula, ConstantStandsAloneWithALeadingBlank) {
  Fixture fx;
  auto r = fx.Parse("∀X ¬[p(X) ∧ q];");
  ASSERT_TRUE(r);
  r->Root->Constant = -1;
  EXPECT_EQ(Printed(r->Root), " ⊥");
  r->Root->Constant = 1;
  EXPECT_EQ(Printed(r->Root), " ⊤");

  auto atom = fx.Parse("∀X ¬p(X);");
  ASSERT_TRUE(atom);
  atom->Root->Constant = -1;
  EXPECT_EQ(Printed(atom->Root), " ⊥");

  auto inner = fx.Parse("a ∨ [b ∧ c] ∨ d;");
  ASSERT_TRUE(inner);
  inner->Root->Left->Right->Constant = 1;
  inner->Root->Right->Constant = -1;
  EXPECT_EQ(Printed(inner->Root), "a∨ ⊤∨ ⊥");
}

TEST(PrintFormula, QuantificationOffHidesPrefixesButNotTheirEffects) {
  Fixture fx;
  auto atom = fx.Parse("∀X ¬p(X);");
  auto imp = fx.Parse("∀X [p(X) → q(X)];");
  auto nested = fx.Parse("a ∧ ∀X p(X);");
  ASSERT_TRUE(atom && imp && nested);
  fx.Program->QuantificationOn = 0;
  EXPECT_EQ(Printed(atom->Root), " ¬p(X)");  // the blank after the prefix stays
  EXPECT_EQ(Printed(imp->Root), "[p(X)→q(X)]");
  EXPECT_EQ(Printed(nested->Root), "a∧ p(X)");
}

TEST(PrintPrefix, InvertedAndBoundVariables) {
  Fixture fx;
  auto r = fx.Parse("∀X, Y p(X, Y);");
  ASSERT_TRUE(r);
  auto& items = r->Root->Prefix->Items;
  items[1]->AsWritten = 0;
  EXPECT_EQ(Printed(r->Root), "∀X, !Y p(X, Y)");
  items[0]->AsWritten = 0;
  EXPECT_EQ(Printed(r->Root), "∀!X, !Y p(X, Y)");

  auto b = fx.Parse("∀X ∃Y ∀Z p(X, Y, Z);");
  ASSERT_TRUE(b);
  auto& bi = b->Root->Prefix->Items;
  bi[1]->Binding = new TFunctorA("b");
  // The bound Y is skipped; Z has the quantifier of the variable printed before it.
  EXPECT_EQ(Printed(b->Root), "∀X, Z p(X, b, Z)");
  bi[0]->Binding = new TFunctorA("a");
  EXPECT_EQ(Printed(b->Root), "∀Z p(a, b, Z)");
  bi[2]->Binding = new TFunctorA("c");
  EXPECT_EQ(Printed(b->Root), " p(a, b, c)");

  auto mixed = fx.Parse("∀X ∃Y p(X, Y);");
  ASSERT_TRUE(mixed);
  mixed->Root->Prefix->Items[0]->Binding = new TFunctorA("a");
  EXPECT_EQ(Printed(mixed->Root), "∃Y p(a, Y)");
}

TEST(PrintTerm, RelationsArithmeticAndFunctions) {
  const PrintCase cases[] = {
      {"a < b;", "a<b"},
      {"a = b;", "a=b"},
      {"a > b;", "a>b"},
      {"a ≠ b;", "a≠b"},
      {"a ≤ b;", "a≤b"},
      {"a ≥ b;", "a≥b"},
      {"f(a) + b < c;", "f(a)+b<c"},
      {"p((a + b) * c);", "p((a+b)*c)"},
      {"p(a / (b - c));", "p(a/(b-c))"},
      {"p((a - b) / c);", "p((a-b)/c)"},
      // Only additive operands of "*" and "/" are bracketed.
      {"p(a - (b - c));", "p(a-b-c)"},
      {"p(a - b - c);", "p(a-b-c)"},
      {"p(a * (b * c));", "p(a*b*c)"},
      {"p(a * b + c);", "p(a*b+c)"},
      {"p(-a);", "p(-a)"},
      {"p(-a * b);", "p((-a)*b)"},
      {"f(a, g(b, c), d);", "f(a, g(b, c), d)"},
      {"∀X, Y p(X * (Y + c));", "∀X, Y p(X*(Y+c))"},
  };
  ExpectPrinted(std::begin(cases), std::end(cases));
}

TEST(PrintTerm, Numbers) {
  const PrintCase cases[] = {
      {"p(-3);", "p(-3)"},        {"p(2.50);", "p(2.5)"},      {"p(2.0);", "p(2)"},
      {"p(0.00005);", "p(5E-5)"}, {"p(1.5E-7);", "p(1.5E-7)"}, {"p(1e15);", "p(1E15)"},
  };
  ExpectPrinted(std::begin(cases), std::end(cases));
}

TEST(PrintTerm, VariableShowsDuplicateIndexOrItsBinding) {
  TVariable x(std::string("X"));
  std::string s;
  x.Print(s);
  EXPECT_EQ(s, "X");
  x.DupIndex = 2;
  s.clear();
  x.Print(s);
  EXPECT_EQ(s, "X#2");
  x.Binding = new TFunctorA("a");
  s.clear();
  x.Print(s);
  EXPECT_EQ(s, "a");
  auto* f = new TFunctor("f");
  f->Args = {&x, new TInteger(2)};
  s.clear();
  f->Print(s);
  EXPECT_EQ(s, "f(a, 2)");
  f->FreeTerm();  // leaves the variable alone
  EXPECT_EQ(x.Name, "X");
}

// Two formulas share their order-free text exactly when they are the same up to the order and
// grouping of a run of conjunctions or of disjunctions; a negation, a prefix, an implication or
// another connective ends a run.
TEST(PrintFormula, OrderFreeTextIgnoresOnlyTheOrderOfARunsOperands) {
  struct Pair {
    const char* a;
    const char* b;
    bool same;
  };
  const Pair pairs[] = {
      {"a ∨ [b ∨ c];", "[c ∨ a] ∨ b;", true},
      {"a ∧ [b ∨ c];", "[c ∨ b] ∧ a;", true},
      {"a ∨ ¬[b ∨ c];", "¬[c ∨ b] ∨ a;", true},
      {"∀X [p(X) ∨ q] ∨ r;", "r ∨ ∀X [q ∨ p(X)];", true},
      {"a ∨ ¬[b ∨ c];", "¬[a ∨ c] ∨ b;", false},
      {"∀X [p(X) ∨ q] ∨ r;", "∀X [p(X) ∨ q ∨ r];", false},
      {"a → b;", "b → a;", false},
      {"a ∨ [b ∧ c];", "[a ∨ b] ∧ c;", false},
      {"a ∨ b;", "a ∧ b;", false},
      {"p(a, b) ∨ q;", "q ∨ p(b, a);", false},
  };
  for (const Pair& p : pairs) {
    SCOPED_TRACE(std::string(p.a) + " / " + p.b);
    Fixture fx;
    auto a = fx.Parse(p.a);
    auto b = fx.Parse(p.b);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(OrderFreeText(*a->Root) == OrderFreeText(*b->Root), p.same);
  }
}

// The switch is the active prover object's own flag: printing follows whichever object is active,
// and with none active prefixes print.
TEST(PrintFormula, PrefixesFollowTheActiveProverObject) {
  Fixture fx;
  auto atom = fx.Parse("∀X ¬p(X);");
  ASSERT_TRUE(atom);
  EXPECT_EQ(Printed(atom->Root), "∀X ¬p(X)");
  {
    TPLProgram other;  // no menu defaults: quantification off
    Activate(&other);
    EXPECT_EQ(Printed(atom->Root), " ¬p(X)");
    other.QuantificationOn = 1;
    EXPECT_EQ(Printed(atom->Root), "∀X ¬p(X)");
    other.QuantificationOn = 0;
  }  // destroying the active object leaves none active
  EXPECT_EQ(Printed(atom->Root), "∀X ¬p(X)");
  Activate(fx.Program.get());
}

}  // namespace
}  // namespace velmoran::testing
