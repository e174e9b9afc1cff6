// Terms as the parser builds them: argument order, signs, operator association, number literals,
// anonymous variables and the independence of real literals from the process locale.
#include "logic/term.h"

#include <gtest/gtest.h>

#include <clocale>
#include <iostream>
#include <locale>
#include <string>

#include "logic/formula.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

// The predicate term of a record whose root is an atom.
const TId* TermOf(const TFALFormula& record) {
  const TAtom* atom = AsAtom(record.Root);
  return atom ? atom->Term : nullptr;
}

// Argument `i` of a function application; nullptr when the term is none or too short.
const TId* Arg(const TId* term, std::size_t i) {
  const TFunctor* f = AsFunctor(term);
  return f && i < f->Args.size() ? f->Args[i] : nullptr;
}

std::size_t ArgCount(const TId* term) {
  const TFunctor* f = AsFunctor(term);
  return f ? f->Args.size() : 0;
}

std::string NameOf(const TId* term) {
  if (!term) return "<none>";
  if (term->IsFunc()) return static_cast<const TFunc*>(term)->Name;
  if (const TVariable* v = AsVariable(term)) return v->Name;
  return "<not named>";
}

TEST(TermParser, ArgumentsKeepTheirOrderAndClasses) {
  Fixture fx;
  auto r = fx.Parse("p(f(a, g(X), 3));");
  ASSERT_TRUE(r);
  const TId* f = Arg(TermOf(*r), 0);
  ASSERT_EQ(NameOf(f), "f");
  ASSERT_EQ(ArgCount(f), 3u);
  EXPECT_EQ(Arg(f, 0)->Class(), TermClass::FunctorA);
  EXPECT_EQ(NameOf(Arg(f, 0)), "a");
  EXPECT_EQ(Arg(f, 1)->Class(), TermClass::Functor);
  EXPECT_EQ(NameOf(Arg(f, 1)), "g");
  EXPECT_EQ(NameOf(Arg(Arg(f, 1), 0)), "X");
  ASSERT_EQ(Arg(f, 2)->Class(), TermClass::Integer);
  EXPECT_EQ(static_cast<const TInteger*>(Arg(f, 2))->IntValue, 3);
  EXPECT_EQ(Fixture::Printed(*r), "∀X p(f(a, g(X), 3))");
}

TEST(TermParser, SignsOfNumbersFoldIntoTheLiteral) {
  Fixture fx;
  auto r = fx.Parse("p(-3, --3, +4, -2.5, -(a+b), +a);");
  ASSERT_TRUE(r);
  const TId* t = TermOf(*r);
  ASSERT_EQ(ArgCount(t), 6u);

  ASSERT_EQ(Arg(t, 0)->Class(), TermClass::Integer);
  EXPECT_EQ(static_cast<const TInteger*>(Arg(t, 0))->IntValue, -3);
  ASSERT_EQ(Arg(t, 1)->Class(), TermClass::Integer);
  EXPECT_EQ(static_cast<const TInteger*>(Arg(t, 1))->IntValue, 3);
  ASSERT_EQ(Arg(t, 2)->Class(), TermClass::Integer);
  EXPECT_EQ(static_cast<const TInteger*>(Arg(t, 2))->IntValue, 4);
  ASSERT_EQ(Arg(t, 3)->Class(), TermClass::Real);
  EXPECT_EQ(static_cast<const TReal*>(Arg(t, 3))->RealValue, -2.5L);

  // A sign before anything but a number is a one-argument operator application.
  const TId* minus = Arg(t, 4);
  EXPECT_EQ(NameOf(minus), "-");
  ASSERT_EQ(ArgCount(minus), 1u);
  const TId* sum = Arg(minus, 0);
  EXPECT_EQ(NameOf(sum), "+");
  ASSERT_EQ(ArgCount(sum), 2u);
  EXPECT_EQ(NameOf(Arg(sum, 0)), "a");
  EXPECT_EQ(NameOf(Arg(sum, 1)), "b");
  const TId* plus = Arg(t, 5);
  EXPECT_EQ(NameOf(plus), "+");
  EXPECT_EQ(ArgCount(plus), 1u);

  // A one-argument operator prints as its name followed by the argument, unbracketed.
  EXPECT_EQ(Fixture::Printed(*r), "p(-3, 3, 4, -2.5, -a+b, +a)");
}

TEST(TermParser, ProductsBindTighterAndChainsAssociateLeft) {
  Fixture fx;
  auto r = fx.Parse("p(a*b+c*d, a-b-c, a-(b-c), (a+b)*c, a/(b-c), a*b*c);");
  ASSERT_TRUE(r);
  const TId* t = TermOf(*r);
  ASSERT_EQ(ArgCount(t), 6u);

  const TId* sum = Arg(t, 0);
  EXPECT_EQ(NameOf(sum), "+");
  EXPECT_EQ(NameOf(Arg(sum, 0)), "*");
  EXPECT_EQ(NameOf(Arg(Arg(sum, 0), 0)), "a");
  EXPECT_EQ(NameOf(Arg(Arg(sum, 0), 1)), "b");
  EXPECT_EQ(NameOf(Arg(sum, 1)), "*");
  EXPECT_EQ(NameOf(Arg(Arg(sum, 1), 0)), "c");
  EXPECT_EQ(NameOf(Arg(Arg(sum, 1), 1)), "d");

  const TId* leftChain = Arg(t, 1);  // (a-b)-c
  EXPECT_EQ(NameOf(leftChain), "-");
  EXPECT_EQ(NameOf(Arg(leftChain, 0)), "-");
  EXPECT_EQ(NameOf(Arg(leftChain, 1)), "c");

  const TId* rightNested = Arg(t, 2);  // a-(b-c)
  EXPECT_EQ(NameOf(Arg(rightNested, 0)), "a");
  EXPECT_EQ(NameOf(Arg(rightNested, 1)), "-");

  const TId* product = Arg(t, 5);  // (a*b)*c
  EXPECT_EQ(NameOf(Arg(product, 0)), "*");
  EXPECT_EQ(NameOf(Arg(product, 1)), "c");

  // Only additive operands of "*" and "/" are bracketed when printed, so the two differences
  // print alike although their trees differ.
  EXPECT_EQ(Fixture::Printed(*r), "p(a*b+c*d, a-b-c, a-b-c, (a+b)*c, a/(b-c), a*b*c)");
}

TEST(TermParser, NumberLiterals) {
  Fixture fx;
  auto r = fx.Parse("p(42, 2.5, 1e-3, 2E+10, 2147483647, 0.00001, 7 );");
  ASSERT_TRUE(r);
  const TId* t = TermOf(*r);
  ASSERT_EQ(ArgCount(t), 7u);
  ASSERT_EQ(Arg(t, 0)->Class(), TermClass::Integer);
  EXPECT_EQ(static_cast<const TInteger*>(Arg(t, 0))->IntValue, 42);
  ASSERT_EQ(Arg(t, 1)->Class(), TermClass::Real);
  EXPECT_EQ(static_cast<const TReal*>(Arg(t, 1))->RealValue, 2.5L);
  ASSERT_EQ(Arg(t, 2)->Class(), TermClass::Real);
  EXPECT_EQ(static_cast<const TReal*>(Arg(t, 2))->RealValue, 1e-3L);
  ASSERT_EQ(Arg(t, 3)->Class(), TermClass::Real);
  EXPECT_EQ(static_cast<const TReal*>(Arg(t, 3))->RealValue, 2e10L);
  ASSERT_EQ(Arg(t, 4)->Class(), TermClass::Integer);
  EXPECT_EQ(static_cast<const TInteger*>(Arg(t, 4))->IntValue, 2147483647);
  EXPECT_EQ(Fixture::Printed(*r), "p(42, 2.5, 0.001, 20000000000, 2147483647, 1E-5, 7)");
}

TEST(TermParser, MinusBetweenDigitsIsAnOperator) {
  Fixture fx;
  // ‘2-3’ is 2, the operator "-" and 3; evaluation after parsing turns it into the real -1.
  auto r = fx.Parse("p(2-3);");
  ASSERT_TRUE(r);
  const TId* arg = Arg(TermOf(*r), 0);
  ASSERT_TRUE(arg);
  ASSERT_EQ(arg->Class(), TermClass::Real);
  EXPECT_EQ(static_cast<const TReal*>(arg)->RealValue, -1.0L);
  EXPECT_EQ(Fixture::Printed(*r), "p(-1)");
}

TEST(TermParser, IdentifiersTakeDigitsAndUnderscores) {
  Fixture fx;
  auto r = fx.Parse("p_1(X_2, aB3, Y9) ;");
  ASSERT_TRUE(r);
  EXPECT_EQ(NameOf(TermOf(*r)), "p_1");
  EXPECT_EQ(Fixture::Printed(*r), "∀Y9, X_2 p_1(X_2, aB3, Y9)");
}

TEST(TermParser, AnonymousVariablesAreDistinctAndRenumberedPerFormula) {
  Fixture fx;
  fx.Run("p(_, _); q(_);");
  ASSERT_EQ(fx.Program->ErrorCode, 0);
  ASSERT_EQ(fx.Program->Formulas.size(), 2u);
  const TFALFormula& first = *fx.Program->Formulas[0];
  // Free variables go to the root, the one met last standing first.
  EXPECT_EQ(Utf8(first.Text), "∀_#1, _#0 p(_#0, _#1)");
  const TId* t = TermOf(first);
  EXPECT_NE(Arg(t, 0), Arg(t, 1));
  EXPECT_EQ(Utf8(fx.Program->Formulas[1]->Text), "∀_#0 q(_#0)");
}

TEST(TermParser, AnonymousVariableInAPrefixBindsNothing) {
  Fixture fx;
  // The "_" of the prefix and the one of the atom are two different variables.
  auto r = fx.Parse("∀_ p(_);");
  ASSERT_TRUE(r);
  ASSERT_TRUE(r->Root->Prefix);
  ASSERT_EQ(r->Root->Prefix->Items.size(), 2u);
  EXPECT_EQ(r->Root->Prefix->Items[0]->Name, "_#1");
  EXPECT_EQ(r->Root->Prefix->Items[1]->Name, "_#0");
  EXPECT_EQ(Arg(TermOf(*r), 0), r->Root->Prefix->Items[0]);
  EXPECT_EQ(Fixture::Printed(*r), "∀_#1, _#0 p(_#1)");
}

// Restores the process locale however the test leaves.
class LocaleGuard {
 public:
  LocaleGuard() : c_(std::setlocale(LC_ALL, nullptr)), cpp_(std::locale()) {}
  ~LocaleGuard() {
    std::setlocale(LC_ALL, c_.c_str());
    std::locale::global(cpp_);
  }

 private:
  std::string c_;
  std::locale cpp_;
};

struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
};

TEST(TermParser, RealLiteralsIgnoreACommaDecimalLocale) {
  LocaleGuard guard;
  // The C++ side can always be given a comma; the C side only when such a locale is installed.
  std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  bool cLocale = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8",
                           "ru_RU.UTF-8", "nl_NL.UTF-8", "it_IT.UTF-8", "es_ES.UTF-8"}) {
    if (std::setlocale(LC_ALL, name) && std::localeconv()->decimal_point[0] == ',') {
      cLocale = true;
      break;
    }
  }
  if (!cLocale) std::setlocale(LC_ALL, "C");

  Fixture fx;
  auto r = fx.Parse("p(3.14, 2.5E-1) : 0.75;");
  ASSERT_TRUE(r) << "error " << int(fx.Program->ErrorCode);
  const TId* t = TermOf(*r);
  ASSERT_EQ(Arg(t, 0)->Class(), TermClass::Real);
  EXPECT_EQ(static_cast<const TReal*>(Arg(t, 0))->RealValue, 3.14L);
  EXPECT_EQ(static_cast<const TReal*>(Arg(t, 1))->RealValue, 0.25L);
  EXPECT_EQ(r->Degree, 0.75L);
  EXPECT_EQ(Fixture::Printed(*r), "p(3.14, 0.25)");
  if (!cLocale) std::cout << "note: no C locale with a decimal comma is installed\n";
}

}  // namespace
}  // namespace velmoran::testing
