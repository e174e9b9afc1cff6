// Refutation lines, substitutions of answer variables and the best degree of a query.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logic/alphabet.h"
#include "logic/formula.h"
#include "report/report.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

using Lines = std::vector<std::string>;

TId* C(const char* name) {
  return new TFunctorA(name);
}
TId* F(const char* name, TId* arg) {
  auto* f = new TFunctor(name);
  f->Args.push_back(arg);
  return f;
}
TId* Read(const char* name) {
  return new TVar(name);
}

class Refutations : public ::testing::Test {
 protected:
  void SetUp() override { ResetReportState(); }

  TPLProgram& P() { return *fx.Program; }
  Lines Out() const {
    Lines out;
    for (const auto& l : fx.Lines.Lines) out.push_back(Utf8(l));
    return out;
  }

  // A refutation as the search leaves it: the root is the constant false and its prefix holds
  // the copies of the query's variables with their bindings.
  std::unique_ptr<TFALFormula> Refutation(long double degree = 1) {
    auto r = fx.Parse("p;");
    EXPECT_TRUE(r);
    r->Root->Constant = -1;
    r->Root->Prefix = new TQuant;
    r->Degree = degree;
    return r;
  }
  static TVariable* Add(TFALFormula& r, TVariable* v, TId* binding) {
    v->Quantifier = kForAll;
    v->AsWritten = 1;
    v->Scope = r.Root;
    v->Binding = binding;
    r.Root->Prefix->Items.push_back(v);
    return v;
  }
  // A query variable: its own origin.
  static TVariable* Answer(TFALFormula& r, const char* name, TId* binding) {
    auto* v = new TVariable(std::string(name));
    v->Origin = v;
    return Add(r, v, binding);
  }
  // Another copy of the query variable that `of` stems from.
  static TVariable* Copy(TFALFormula& r, TVariable* of, TId* binding) {
    return Add(r, new TVariable(*of), binding);
  }
  // A variable that stems from no query variable.
  static TVariable* Loose(TFALFormula& r, const char* name, TId* binding) {
    return Add(r, new TVariable(std::string(name)), binding);
  }

  Fixture fx;
};

TEST_F(Refutations, SubstitutionListsEachValueOfAQueryVariableOnce) {
  {
    auto r = Refutation();
    Answer(*r, "X", C("a"));
    Answer(*r, "Y", F("f", C("b")));
    EXPECT_EQ(SubstitutionText(*r), "X = a, Y = f(b);");
  }
  {
    auto r = Refutation();
    TVariable* x = Answer(*r, "X", C("a"));
    Copy(*r, x, C("a"));
    Copy(*r, x, nullptr);
    Copy(*r, x, C("a"));
    EXPECT_EQ(SubstitutionText(*r), "X = a;");
  }
  {
    auto r = Refutation();
    TVariable* x = Answer(*r, "X", C("a"));
    Copy(*r, x, C("b"));
    Copy(*r, x, C("b"));
    EXPECT_EQ(SubstitutionText(*r), "X = a, X = b;");
  }
  {
    // Equal as terms: 2 and 2.0 are one value.
    auto r = Refutation();
    TVariable* x = Answer(*r, "X", new TInteger(2));
    Copy(*r, x, new TReal(2.0));
    EXPECT_EQ(SubstitutionText(*r), "X = 2;");
  }
  {
    // Runs are consecutive: a value seen before another variable is listed again.
    auto r = Refutation();
    TVariable* x = Answer(*r, "X", C("a"));
    Answer(*r, "Y", C("b"));
    Copy(*r, x, C("a"));
    EXPECT_EQ(SubstitutionText(*r), "X = a, Y = b, X = a;");
  }
  {
    auto r = Refutation();
    Answer(*r, "X", C("a"));
    r->Root->Prefix->Items.push_back(nullptr);
    Answer(*r, "Y", C("b"));
    EXPECT_EQ(SubstitutionText(*r), "X = a, Y = b;");
  }
}

TEST_F(Refutations, SubstitutionSkipsVariableValuesAndStrays) {
  {
    auto r = Refutation();
    Answer(*r, "X", Read("Y"));
    Answer(*r, "U", Read("_#0"));
    EXPECT_EQ(SubstitutionText(*r), "");
  }
  {
    auto r = Refutation();
    Answer(*r, "X", Read("Y"));
    Answer(*r, "Z", C("c"));
    EXPECT_EQ(SubstitutionText(*r), "Z = c;");
  }
  {
    // A value that is not listed still opens its run.
    auto r = Refutation();
    TVariable* x = Answer(*r, "X", Read("Y"));
    Copy(*r, x, Read("Y"));
    Copy(*r, x, C("a"));
    EXPECT_EQ(SubstitutionText(*r), "X = a;");
  }
  {
    // A bound variable of no query variable neither shows nor ends the run.
    auto r = Refutation();
    TVariable* x = Answer(*r, "X", C("a"));
    Loose(*r, "L", C("c"));
    Copy(*r, x, C("a"));
    EXPECT_EQ(SubstitutionText(*r), "X = a;");
  }
}

TEST_F(Refutations, SubstitutionOnlyForAConstantRootWithAPrefix) {
  auto r = Refutation();
  Answer(*r, "X", C("a"));
  r->Root->Constant = 0;
  EXPECT_EQ(SubstitutionText(*r), "");
  r->Root->Constant = 1;
  EXPECT_EQ(SubstitutionText(*r), "X = a;");

  auto bare = fx.Parse("p;");
  ASSERT_TRUE(bare);
  bare->Root->Constant = -1;
  EXPECT_EQ(SubstitutionText(*bare), "");
}

TEST_F(Refutations, AppendBindingSeparatesAndSkipsVariableLikeValues) {
  TVariable x(std::string("X"));
  auto bind = [&x](TId* t) {
    FreeTermIfAny(x.Binding);
    x.Binding = t;
  };
  std::string text;
  bind(C("a"));
  AppendBinding(x, text);
  EXPECT_EQ(text, "X = a");
  bind(F("f", Read("Y")));
  AppendBinding(x, text);
  EXPECT_EQ(text, "X = a, X = f(Y)");
  bind(new TInteger(-3));
  AppendBinding(x, text);
  EXPECT_EQ(text, "X = a, X = f(Y), X = -3");
  bind(Read("Abc"));
  AppendBinding(x, text);
  bind(Read("_#1"));
  AppendBinding(x, text);
  EXPECT_EQ(text, "X = a, X = f(Y), X = -3");
}

TEST_F(Refutations, LineWithSourcesHasTwoBlanksBeforeYes) {
  Report.SourceName = "F2";
  Report.PartnerName = "R5";
  auto r = Refutation(0.8L);
  Answer(*r, "X", C("a"));
  auto source = fx.Parse("q;");
  ASSERT_TRUE(source);
  ReportRefutation(*source, *r);
  EXPECT_EQ(Out(), (Lines{"[F2&R5] :  YES (refutation deg.):0.8;", "X = a;"}));
  EXPECT_EQ(P().RefutationFound, 1);
  EXPECT_EQ(Report.BestDegree, 0.8L);
  EXPECT_EQ(Report.BestSubstitution, "X = a;");
  EXPECT_FALSE(Report.SearchStopped);
}

TEST_F(Refutations, LineWithoutSourcesStartsWithTheBlank) {
  P().ShowSources = 0;
  Report.SourceName = "F2";
  Report.PartnerName = "R5";
  auto r = Refutation(0.9L + 0.8L - 1.0L);
  auto source = fx.Parse("q;");
  ASSERT_TRUE(source);
  ReportRefutation(*source, *r);
  EXPECT_EQ(Out(), (Lines{" YES (refutation deg.):0.7;"}));  // no substitution line
  EXPECT_EQ(Report.BestSubstitution, "");
  EXPECT_FALSE(Report.SearchStopped);

  P().OneRefutation = 1;
  ReportRefutation(*source, *r);
  EXPECT_TRUE(Report.SearchStopped);
}

TEST_F(Refutations, BestDegreeKeepsTheFirstOfTheHighest) {
  auto source = fx.Parse("q;");
  ASSERT_TRUE(source);
  const struct {
    long double degree;
    const char* value;
  } found[] = {{0.5L, "a"}, {0.8L, "b"}, {0.8L, "c"}, {0.6L, "d"}};
  for (const auto& f : found) {
    auto r = Refutation(f.degree);
    Answer(*r, "X", C(f.value));
    ReportRefutation(*source, *r);
  }
  EXPECT_EQ(Report.BestDegree, 0.8L);
  EXPECT_EQ(Report.BestSubstitution, "X = b;");
  fx.Lines.Lines.clear();
  WriteClosingLines(P());
  EXPECT_EQ(Out(), (Lines{"Best refutation degree: 0.8(X = b;)"}));
}

TEST_F(Refutations, VariableLikeBindingGivesNoSubstitutionAnywhere) {
  Report.SourceName = "F1";
  Report.PartnerName = "F0";
  auto source = fx.Parse("q;");
  auto r = Refutation(0.8L);
  ASSERT_TRUE(source);
  Answer(*r, "X", Read("Y"));
  ReportRefutation(*source, *r);
  WriteClosingLines(P());
  EXPECT_EQ(Out(), (Lines{"[F1&F0] :  YES (refutation deg.):0.8;", "Best refutation degree: 0.8"}));
}

}  // namespace
}  // namespace velmoran::testing
