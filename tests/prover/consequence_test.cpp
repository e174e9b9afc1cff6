// Detection of consequent formulas: the bounded self-refutation, the identical-text check with its
// degree raise, the consequent check, and the disabling of weaker stored resolvents.
#include "prover/consequence.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "logic/number_format.h"
#include "report/report.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

class ConsequenceTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetReportState(); }

  // Stores a resolvent as the search would have: simplified, printed, owned by the prover.
  TFALFormula* Store(const std::string& text) {
    TFALFormula* r = fx.Axiom(text).release();
    fx.Program->Resolvents.push_back(r);
    return r;
  }

  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (const auto& l : fx.Lines.Lines) out.push_back(Utf8(l));
    return out;
  }

  Fixture fx;
};

// [p ∧ q] ∧ ¬[p ∧ q] needs two eliminations: p first, which leaves q ∧ ¬q, then q.
const char* const kTwoSteps = "[p ∧ q] ∧ ¬[p ∧ q] : 0.9;";

TEST_F(ConsequenceTest, SelfRefutationWithinTheLimitReplacesTheResolvent) {
  fx.Program->DcfLimit = 2;
  TFALFormula* y = CheckResolvent(fx.Axiom(kTwoSteps).release());
  ASSERT_TRUE(y);
  std::unique_ptr<TFALFormula> owned(y);
  EXPECT_EQ(y->Root->Constant, -1);
  EXPECT_EQ(FormatReal(y->Degree), "0.6") << "0.9, then 0.8, then 0.6";

  fx.Program->DcfLimit = 2;
  std::unique_ptr<TFALFormula> full(CheckResolvent(fx.Axiom("[p ∧ q] ∧ ¬[p ∧ q];").release()));
  ASSERT_TRUE(full);
  EXPECT_EQ(full->Root->Constant, -1);
  EXPECT_EQ(full->Degree, 1);
}

TEST_F(ConsequenceTest, SelfRefutationBeyondTheLimitLeavesTheResolventAsItWas) {
  fx.Program->DcfLimit = 1;
  TFALFormula* n = fx.Axiom(kTwoSteps).release();
  TFALFormula* y = CheckResolvent(n);
  ASSERT_EQ(y, n) << "stored, not reported";
  std::unique_ptr<TFALFormula> owned(y);
  EXPECT_EQ(y->Root->Constant, 0);
  EXPECT_EQ(FormatReal(y->Degree), "0.9");
  EXPECT_EQ(Fixture::Printed(*y), "p∧q∧¬[p∧q]");
}

TEST_F(ConsequenceTest, ConsequenceTestIsBoundedByTheLimitAndRestoresBothRecords) {
  // q ∨ p from p ∨ q: eliminating p leaves ¬[q → q], eliminating q then gives false.
  auto b = fx.Axiom("p ∨ q;");
  auto a = fx.Axiom("q ∨ p;");
  fx.Program->DcfLimit = 1;
  EXPECT_FALSE(IsConsequent(*b, *a));
  fx.Program->DcfLimit = 2;
  EXPECT_TRUE(IsConsequent(*b, *a));
  EXPECT_TRUE(IsConsequent(*a, *b));

  for (TFALFormula* r : {b.get(), a.get()}) {
    EXPECT_EQ(r->Root->ParentRecord, r);
    ASSERT_TRUE(r->FirstAtom && r->LastAtom);
    EXPECT_EQ(r->FirstAtom->Previous(), nullptr);
    EXPECT_EQ(r->LastAtom->Next(), nullptr);
    EXPECT_EQ(r->FirstAtom->Next(), r->LastAtom);
    EXPECT_EQ(r->FirstAtom->Constant, 0);
    EXPECT_EQ(r->Root->Polarity, 1);
  }
  EXPECT_EQ(Fixture::Printed(*b), "p∨q");
  EXPECT_EQ(Fixture::Printed(*a), "q∨p");

  auto other = fx.Axiom("p ∨ r;");
  EXPECT_FALSE(IsConsequent(*b, *other));
}

TEST_F(ConsequenceTest, OnlyRealConsequencesOfQuantifiedRecordsAreFound) {
  struct Case {
    const char* B;
    const char* A;
    bool Follows;
  };
  const Case cases[] = {
      // The family theory's resolvent: no parent of bob has carol as a grandchild says nothing
      // about bob and carol themselves.
      {"∀G, Y ¬[parent(G, Y) ∧ parent(Y, carol)];", "¬parent(bob, carol);", false},
      {"∀X p(X);", "p(a);", true},
      {"p(a);", "∀X p(X);", false},
      {"p(a);", "∃X p(X);", true},
      {"∃X p(X);", "p(a);", false},
      // X := Y is an instance of the root universal; Y is A's witness of ¬q(Y), free to take.
      {"∀X [p(X) ∨ q(X)];", "∀Y [q(Y) ∨ p(Y)];", true},
      {"∀X [p(X) ∨ q(X)];", "∀Y p(Y) ∨ ∀Z q(Z);", false},
      // p(X) and p(Y) must not be taken for one atom: the two differ.
      {"∀X, Y [p(X) ∨ ¬p(Y)];", "p(a) ∨ ¬p(b);", true},
      {"∃X, Y [p(X) ∧ ¬p(Y)];", "∃Z [p(Z) ∧ ¬p(Z)];", false},
      {"p(a) ∨ q(a);", "p(a);", false},
  };
  // Printing the statistics runs every test in full; the answers must not change with it.
  for (std::uint8_t statistics : {0, 1})
    for (const Case& c : cases) {
      fx.Program->ShowStatistics = statistics;
      auto b = fx.Axiom(c.B);
      auto a = fx.Axiom(c.A);
      const std::string bText = Fixture::Printed(*b), aText = Fixture::Printed(*a);
      EXPECT_EQ(IsConsequent(*b, *a), c.Follows) << c.B << " ⊢ " << c.A;
      // Both records are whole again, prefixes and quantifiers included.
      EXPECT_EQ(Fixture::Printed(*b), bText);
      EXPECT_EQ(Fixture::Printed(*a), aText);
      for (TFALFormula* r : {b.get(), a.get()})
        if (r->Root->Prefix)
          for (TVariable* v : r->Root->Prefix->Items) {
            EXPECT_EQ(v->Scope, r->Root);
            EXPECT_EQ(v->Binding, nullptr);
          }
    }
}

// A witness is one element, not a variable the test may choose: with f(c) in A for a witness c,
// A says more than p gives (f false at c, true elsewhere), and it must not be dropped as p's
// consequence. Read as an existential, the same A does follow from p.
TEST_F(ConsequenceTest, AWitnessInTheConsequentIsNotInstantiated) {
  auto b = fx.Axiom("p;");
  auto existential = fx.Axiom("∀X ∃Y [f(Y) ∨ ¬[[p → f(X)] ∧ p]];");
  EXPECT_TRUE(IsConsequent(*b, *existential));
  auto witness = fx.Axiom("∀X ∃Y [f(Y) ∨ ¬[[p → f(X)] ∧ p]];");
  TVariable* y = witness->Root->Prefix->Items[1];
  ASSERT_EQ(y->Name, "Y");
  y->Witness = 1;
  EXPECT_FALSE(IsConsequent(*b, *witness));
}

TEST_F(ConsequenceTest, IdenticalTextWithAHigherDegreeRaisesTheStoredOneEvenSilently) {
  Store("q : 0.5;");
  Store("r;");
  Store("s;");
  TFALFormula* r3 = Store("p(a) : 0.5;");
  EXPECT_EQ(CheckResolvent(fx.Axiom("p(a) : 0.9;").release()), nullptr);
  EXPECT_EQ(FormatReal(r3->Degree), "0.9");
  EXPECT_EQ(Statistics.DcfConsequents, 1);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"degree of R3 raised to: 0.9"}));
}

TEST_F(ConsequenceTest, IdenticalTextWithALowerDegreeIsDroppedQuietly) {
  Store("q : 0.5;");
  TFALFormula* r1 = Store("p(a) : 0.5;");
  EXPECT_EQ(CheckResolvent(fx.Axiom("p(a) : 0.3;").release()), nullptr);
  EXPECT_EQ(FormatReal(r1->Degree), "0.5");
  EXPECT_EQ(Statistics.DcfConsequents, 1);
  EXPECT_TRUE(Lines().empty());

  fx.Program->ShowDcf = 1;
  EXPECT_EQ(CheckResolvent(fx.Axiom("p(a) : 0.3;").release()), nullptr);
  EXPECT_EQ(CheckResolvent(fx.Axiom("p(a) : 0.7;").release()), nullptr);
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "DCF: p(a):0.3; //identical to R1;",
                         "DCF: p(a):0.7; //identical to R1;degree of R1 raised to: 0.7",
                     }));
  EXPECT_EQ(Statistics.DcfConsequents, 3);
}

// With the order of operands ignored, a resolvent that only commutes or regroups a stored one's
// conjunctions and disjunctions is that resolvent again: dropped, its degree raising the stored
// one's. Without, it is a new resolvent, as its text differs.
TEST_F(ConsequenceTest, IdenticalUpToOrderDropsACommutedResolventAndRaisesTheDegree) {
  fx.Program->TrivialCheckOnly = 1;
  fx.Program->ShowDcf = 1;
  fx.Program->IdenticalUpToOrder = 1;
  Store("q;");
  TFALFormula* r1 = Store("∃Y [¬s(Y) ∨ [¬p(a) ∨ r(Y)]] : 0.5;");
  EnsureText(*r1);  // as the check did when it stored it
  EXPECT_EQ(CheckResolvent(fx.Axiom("∃Y [[r(Y) ∨ ¬s(Y)] ∨ ¬p(a)] : 0.8;").release()), nullptr);
  EXPECT_EQ(FormatReal(r1->Degree), "0.8");
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "DCF: ∃Y[r(Y)∨¬s(Y)∨¬p(a)]:0.8; //identical to R1;degree of R1 raised "
                         "to: 0.8",
                     }));
  // The arguments of an atom and the sides of an implication keep their order.
  for (const char* other : {"∃Y [¬s(Y) ∨ ¬p(a) ∨ r(a)];", "[¬p(a) ∨ ¬s(a)] → r(a);"}) {
    SCOPED_TRACE(other);
    TFALFormula* n = fx.Axiom(other).release();
    EXPECT_EQ(CheckResolvent(n), n);
    delete n;
  }

  fx.Program->IdenticalUpToOrder = 0;
  TFALFormula* n = fx.Axiom("∃Y [[r(Y) ∨ ¬s(Y)] ∨ ¬p(a)] : 0.8;").release();
  EXPECT_EQ(CheckResolvent(n), n);
  delete n;
}

TEST_F(ConsequenceTest, ADisabledResolventIsNotCompared) {
  fx.Program->TrivialCheckOnly = 1;
  Store("p(a);")->Disabled = 1;
  TFALFormula* n = fx.Axiom("p(a);").release();
  EXPECT_EQ(CheckResolvent(n), n);
  delete n;
  EXPECT_EQ(Statistics.DcfConsequents, 0);
}

// The identical-text check names the first enabled stored resolvent with the text, also after
// the list was changed behind its back: records disabled, replaced, removed, or given their text
// only after they were stored.
TEST_F(ConsequenceTest, IdenticalTextNamesTheLowestEnabledIndexWhateverHappenedToTheList) {
  fx.Program->TrivialCheckOnly = 1;
  fx.Program->ShowDcf = 1;
  auto check = [&](const char* text) {
    fx.Lines.Lines.clear();
    TFALFormula* n = fx.Axiom(text).release();
    TFALFormula* kept = CheckResolvent(n);
    if (kept) delete kept;
    return Lines();
  };
  auto stored = [&](const char* text) {
    TFALFormula* r = Store(text);
    EnsureText(*r);
    return r;
  };
  stored("q;");
  TFALFormula* r1 = stored("p(a);");
  stored("r;");
  TFALFormula* r3 = stored("p(a);");
  EXPECT_EQ(check("p(a);"), (std::vector<std::string>{"DCF: p(a):1; //identical to R1;"}));
  r1->Disabled = 1;
  EXPECT_EQ(check("p(a);"), (std::vector<std::string>{"DCF: p(a):1; //identical to R3;"}));

  // R0 replaced by a record with the text: it is now the first.
  auto& list = fx.Program->Resolvents;
  TFALFormula* r0 = fx.Axiom("p(a);").release();
  EnsureText(*r0);
  delete list[0];
  list[0] = r0;
  EXPECT_EQ(check("p(a);"), (std::vector<std::string>{"DCF: p(a):1; //identical to R0;"}));

  // The front records removed: the old R3 is R1 now.
  delete list[0];
  delete list[1];
  list.erase(list.begin(), list.begin() + 2);
  ASSERT_EQ(list[1], r3);
  EXPECT_EQ(check("p(a);"), (std::vector<std::string>{"DCF: p(a):1; //identical to R1;"}));

  // A record stored without text is not identical to anything until its text is set.
  TFALFormula* late = Store("s(b);");
  late->Text.clear();
  EXPECT_TRUE(check("s(b);").empty());
  EnsureText(*late);
  EXPECT_EQ(check("s(b);"), (std::vector<std::string>{"DCF: s(b):1; //identical to R2;"}));
  r3->Disabled = 1;
  EXPECT_TRUE(check("p(a);").empty());
}

TEST_F(ConsequenceTest, AConsequentIsDroppedUnlessItsDegreeIsHigher) {
  fx.Program->ShowDcf = 1;
  Store("p : 0.5;");
  TFALFormula* stronger = fx.Axiom("p ∨ q : 0.8;").release();
  EXPECT_EQ(CheckResolvent(stronger), stronger) << "new knowledge: a higher degree";
  delete stronger;
  EXPECT_TRUE(Lines().empty());

  EXPECT_EQ(CheckResolvent(fx.Axiom("p ∨ q : 0.5;").release()), nullptr);
  EXPECT_EQ(CheckResolvent(fx.Axiom("p ∨ q : 0.4;").release()), nullptr);
  EXPECT_EQ(Statistics.DcfConsequents, 2);
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "DCF: p∨q:0.5; //consequent to R0:p:0.5; ",
                         "DCF: p∨q:0.4; //consequent to R0:p:0.5; ",
                     }));
}

TEST_F(ConsequenceTest, TrivialCheckOnlyStoresEquivalentResolvents) {
  Store("q ∨ p;");
  fx.Program->TrivialCheckOnly = 1;
  TFALFormula* n = fx.Axiom("p ∨ q;").release();
  EXPECT_EQ(CheckResolvent(n), n);
  delete n;

  fx.Program->TrivialCheckOnly = 0;
  EXPECT_EQ(CheckResolvent(fx.Axiom("p ∨ q;").release()), nullptr);
  EXPECT_EQ(Statistics.DcfConsequents, 1);
}

TEST_F(ConsequenceTest, KillDisablesWhatTheNewResolventEntailsWithALowerDegree) {
  fx.Program->ShowDcf = 1;
  TFALFormula* weak = Store("p ∨ q : 0.5;");
  TFALFormula* unrelated = Store("r : 0.1;");
  TFALFormula* n = Store("p : 0.9;");
  KillConsequents(n);
  EXPECT_TRUE(weak->Disabled);
  EXPECT_FALSE(unrelated->Disabled);
  EXPECT_FALSE(n->Disabled);
  EXPECT_EQ(Statistics.DcfKilled, 1);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"DCF Kill: p:0.9; //consequent to R0(DISABLED);"}));
}

TEST_F(ConsequenceTest, KillDoesNothingWithoutTheKillOption) {
  fx.Program->CheckDcfKill = 0;
  fx.Program->CheckDcf = 1;
  TFALFormula* weak = Store("p ∨ q : 0.5;");
  KillConsequents(Store("p : 0.9;"));
  EXPECT_FALSE(weak->Disabled);
  EXPECT_EQ(Statistics.DcfKilled, 0);
}

TEST_F(ConsequenceTest, KillDisablesAnEquivalentOnlyWithAnEqualDegree) {
  fx.Program->ShowDcf = 1;
  TFALFormula* equal = Store("q ∨ p : 0.9;");
  TFALFormula* higher = Store("q ∨ p ∨ p : 0.95;");
  TFALFormula* sameAgain = Store("p ∨ q ∨ q : 0.9;");
  TFALFormula* entails = Store("p : 0.9;");
  TFALFormula* n = Store("p ∨ q : 0.9;");
  KillConsequents(n);
  EXPECT_TRUE(equal->Disabled);
  EXPECT_FALSE(higher->Disabled);
  EXPECT_TRUE(sameAgain->Disabled);
  EXPECT_FALSE(entails->Disabled) << "p follows from p ∨ q in no way";
  EXPECT_EQ(Statistics.DcfKilled, 2);
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "DCF Kill: p∨q:0.9; R0 is equivalent;(DISABLED)",
                         "DCF Kill: p∨q:0.9; R1 is equivalent;but degree of R1 > 0.9",
                         "DCF Kill: p∨q:0.9; R2 is equivalent;(DISABLED)",
                     }));
}

}  // namespace
}  // namespace velmoran::testing
