// Copies of a source's independent witness count as one variable, and so do copies of a witness
// that depends on universals once those hold the same fixed values; copies of any other variable
// stay variables of their own. Whole runs show what the rule and the consequence test bring:
// theorems that the calculus proves with the defaults.
#include "prover/witness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "prover/resolution.h"
#include "prover/simplify.h"
#include "prover/unify.h"
#include "report/report.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

using Record = std::unique_ptr<TFALFormula>;

class WitnessTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetReportState(); }

  // Resolves f's atom i with g's atom j as the search does, simplified.
  Record Resolve(TFALFormula& f, int i, TFALFormula& g, int j) {
    Record r(ResolveAt(f, i, g, j));
    Simplify(*r);
    ComputePolarity(r->Root);
    return r;
  }

  // Whether atom i of x and atom j of y unify, and with how many new pairs.
  bool Unifies(TFALFormula& x, int i, TFALFormula& y, int j, std::size_t& pairs) {
    std::size_t before = fx.Program->Bindings.size();
    bool ok = UnifyAtoms(AtomAt(x, i), AtomAt(y, j));
    pairs = (fx.Program->Bindings.size() - before) / 2;  // a variable and its term each
    ClearBindings();
    return ok;
  }

  Fixture fx;
};

TEST_F(WitnessTest, CopiesOfAnIndependentWitnessUnifyWithoutABinding) {
  // The negated query of Pelletier 28 reduced to its core: one witness X.
  auto w = fx.Axiom("∃X [p(X) ∧ f(X) ∧ ¬g(X)];");
  // Resolved with itself on p(X): the copy with p(X) true keeps f(X#1) ∧ ¬g(X#1).
  Record r = Resolve(*w, 0, *w, 0);
  TAtom* f = nullptr;
  for (TAtom* a = r->FirstAtom; a; a = a->Next())
    if (AsFunctor(a->Term) && AsFunctor(a->Term)->Name == "f") f = a;
  ASSERT_TRUE(f) << Utf8(Fixture::Printed(*r));
  auto* x = AsVariable(AsFunctor(AtomAt(*w, 1)->Term)->Args[0]);
  auto* copy = AsVariable(AsFunctor(f->Term)->Args[0]);
  ASSERT_TRUE(x && copy);
  EXPECT_NE(x, copy) << "the resolvent has a variable of its own";
  EXPECT_TRUE(SameWitness(x, copy));
  // f(X) of the source and f(X#1) of the resolvent: the same witness, the same atom, no binding.
  std::size_t before = fx.Program->Bindings.size();
  EXPECT_TRUE(UnifyAtoms(AtomAt(*w, 1), f));
  EXPECT_EQ(fx.Program->Bindings.size(), before);
  ClearBindings();
  // The other atoms of the two records still differ: f(X) is not g(X#1).
  TAtom* g = f->Next();
  ASSERT_TRUE(g);
  EXPECT_FALSE(UnifyAtoms(AtomAt(*w, 1), g));
  ClearBindings();
}

TEST_F(WitnessTest, DependentWitnessesAndUniversalsStayApart) {
  // ∃X inside ∀Y: each copy names the witness for its own Y. Resolving on t copies it whole.
  auto dependent = fx.Axiom("[∀Y [∃X [r(Y, X) ∧ q(X)]]] ∨ t;");
  auto cut = fx.Axiom("¬t;");
  Record r = Resolve(*dependent, 2, *cut, 0);
  TAtom* copy = r->FirstAtom;
  ASSERT_TRUE(copy && AsFunctor(copy->Term)) << Utf8(Fixture::Printed(*r));
  ASSERT_EQ(AsFunctor(copy->Term)->Name, "r");
  auto* x0 = AsVariable(AsFunctor(dependent->FirstAtom->Term)->Args[1]);
  auto* x1 = AsVariable(AsFunctor(copy->Term)->Args[1]);
  ASSERT_TRUE(x0 && x1);
  EXPECT_EQ(x0->Serial, x1->Serial) << "a copy keeps its serial number";
  EXPECT_FALSE(SameWitness(x0, x1));
  EXPECT_FALSE(UnifyAtoms(dependent->FirstAtom->Next(), copy->Next())) << "q(X) and q(X#1)";
  ClearBindings();

  // A universal of a positive root is no witness, nor is an existential in an antecedent.
  auto universal = fx.Axiom("∀X p(X);");
  auto antecedent = fx.Axiom("[∃X p(X)] → s;");
  auto witness = fx.Axiom("∃X p(X) ∧ ∀Y q(Y);");
  for (TFALFormula* x : {universal.get(), antecedent.get(), witness.get()}) MarkWitnesses(*x);
  EXPECT_FALSE(AsVariable(AsFunctor(universal->FirstAtom->Term)->Args[0])->Witness);
  EXPECT_FALSE(AsVariable(AsFunctor(antecedent->FirstAtom->Term)->Args[0])->Witness);
  EXPECT_TRUE(AsVariable(AsFunctor(witness->FirstAtom->Term)->Args[0])->Witness);
  EXPECT_FALSE(AsVariable(AsFunctor(witness->LastAtom->Term)->Args[0])->Witness);
}

TEST_F(WitnessTest, SerialIdentityIsOffByDefaultAndOnlyItJoinsOtherCopies) {
  TPLProgram fresh;
  SetMenuDefaults(fresh);
  EXPECT_EQ(fresh.SerialIdentity, 0) << "no menu default sets it";
  EXPECT_EQ(fx.Program->SerialIdentity, 0);

  // A copy of a dependent witness and a copy of a universal keep their sources' serial numbers.
  auto source = fx.Axiom("[∀Y [∃X [r(Y, X) ∧ q(X)]]] ∨ t;");
  auto cut = fx.Axiom("¬t;");
  Record r = Resolve(*source, 2, *cut, 0);
  ASSERT_TRUE(r->FirstAtom && AsFunctor(r->FirstAtom->Term)) << Utf8(Fixture::Printed(*r));
  auto* y0 = AsVariable(AsFunctor(source->FirstAtom->Term)->Args[0]);
  auto* x0 = AsVariable(AsFunctor(source->FirstAtom->Term)->Args[1]);
  auto* y1 = AsVariable(AsFunctor(r->FirstAtom->Term)->Args[0]);
  auto* x1 = AsVariable(AsFunctor(r->FirstAtom->Term)->Args[1]);
  ASSERT_TRUE(y0 && x0 && y1 && x1);
  std::size_t pairs = 0;
  EXPECT_FALSE(SameWitness(x0, x1));
  EXPECT_FALSE(SameWitness(y0, y1));

  fx.Program->SerialIdentity = 1;
  EXPECT_TRUE(SameWitness(x0, x1));
  EXPECT_TRUE(SameWitness(y0, y1));
  EXPECT_FALSE(SameWitness(x0, y1)) << "different declarations stay apart";
  // q(X) and q(X#1) are now one atom: no binding needed.
  EXPECT_TRUE(Unifies(*source, 1, *r, 1, pairs));
  EXPECT_EQ(pairs, 0u);
  fx.Program->SerialIdentity = 0;
  // Off again, the existential copy cannot be bound: the two atoms differ.
  EXPECT_FALSE(Unifies(*source, 1, *r, 1, pairs));
}

TEST_F(WitnessTest, AResolventsOwnWitnessIsOneAcrossItsCopies) {
  // The negated query of Pelletier 42 (no set holds exactly the X with no Z that holds X and is
  // held by it). Taken with X := Y and the first Z := Y, the first conjunct denies element(Y, Y),
  // so the second gives ∃Z [element(Y, Z) ∧ element(Z, Y)], a Z that no longer lies inside X.
  auto q = fx.Axiom(
      "∃Y ∀X [[element(X, Y) → ¬[∃Z [element(X, Z) ∧ element(Z, X)]]] ∧ "
      "[¬[∃Z [element(X, Z) ∧ element(Z, X)]] → element(X, Y)]];");
  Record pair = Resolve(*q, 0, *q, 2);
  ASSERT_EQ(Fixture::Printed(*pair), "∃Y, Z#1[element(Y, Z#1)∧element(Z#1, Y)]");
  auto* z = AsVariable(AsFunctor(pair->FirstAtom->Term)->Args[1]);
  ASSERT_TRUE(z);
  EXPECT_TRUE(pair->FreesWitnesses) << "the instance reached inside the existential Y";
  EXPECT_FALSE(z->Witness) << "copied from a Z inside X";
  const std::int32_t copied = z->Serial;
  DeclareResolventWitnesses(*pair);
  EXPECT_TRUE(z->Witness);
  EXPECT_NE(z->Serial, copied) << "a declaration of its own, apart from the other copies of Z";

  // Holding X := Z, the first conjunct says element(Z, Y) → ¬element(Y, Z) of that very Z.
  Record denial = Resolve(*q, 0, *pair, 1);
  ASSERT_TRUE(denial->FirstAtom && denial->FirstAtom == denial->LastAtom)
      << Utf8(Fixture::Printed(*denial));
  // The denial and the pair speak of one Z: element(Y, Z#1) closes the refutation.
  Record closed = Resolve(*denial, 0, *pair, 0);
  EXPECT_EQ(closed->Root->Constant, -1) << Utf8(Fixture::Printed(*closed));

  // Inside a universal, a resolvent's existential names no one element.
  auto inner = fx.Axiom("∀X ∃Z [p(X, Z) ∧ q];");
  Record split = Resolve(*inner, 1, *inner, 1);
  EXPECT_FALSE(split->FreesWitnesses) << "a split on q binds nothing";
  DeclareResolventWitnesses(*split);
  ASSERT_TRUE(split->FirstAtom && AsFunctor(split->FirstAtom->Term))
      << Utf8(Fixture::Printed(*split));
  auto* dependent = AsVariable(AsFunctor(split->FirstAtom->Term)->Args[1]);
  ASSERT_TRUE(dependent);
  EXPECT_FALSE(dependent->Witness) << Utf8(Fixture::Printed(*split));
}

TEST_F(WitnessTest, ADependentWitnessIsOneElementForEachValueOfItsUniversal) {
  // The W1 of ∀X1 ∃W1 taken at c by ∀W [¬r(c, W) ∨ ¬q(W)] leaves ∃W1 ¬q(W1); X1 no longer
  // occurs and leaves the record, and the copy of W1 keeps c.
  auto axiom = fx.Axiom("∀X1 [∃W1 [r(X1, W1) ∧ q(W1)]];");
  auto atC = fx.Axiom("∀W [¬r(c, W) ∨ ¬q(W)];");
  auto atD = fx.Axiom("∀W [¬r(d, W) ∨ ¬q(W)];");
  Record c1 = Resolve(*axiom, 0, *atC, 0);
  Record c2 = Resolve(*axiom, 0, *atC, 0);
  Record d1 = Resolve(*axiom, 0, *atD, 0);
  for (Record* r : {&c1, &c2, &d1})
    ASSERT_TRUE((*r)->FirstAtom && (*r)->FirstAtom == (*r)->LastAtom)
        << Utf8(Fixture::Printed(**r));
  // The atom holds the copy of the partner's W, bound to the copy of W1.
  auto w = [](Record& r) {
    TVariable* v = AsVariable(AsFunctor(r->FirstAtom->Term)->Args[0]);
    while (v && v->Binding) v = AsVariable(v->Binding);
    return v;
  };
  ASSERT_TRUE(w(c1) && w(c2) && w(d1));
  EXPECT_NE(w(c1), w(c2));
  EXPECT_TRUE(SameWitness(w(c1), w(c2))) << "both are the W1 of c";
  EXPECT_FALSE(SameWitness(w(c1), w(d1))) << "the W1 of d may be another element";
  std::size_t pairs = 0;
  EXPECT_FALSE(Unifies(*c1, 0, *d1, 0, pairs));
  // Against the axiom, whose W1 still lies inside X1, the copy asks for X1 := c; the axiom at c
  // says that very W1 is q, which closes the refutation (the axiom and ∀W [¬r(c, W) ∨ ¬q(W)]
  // contradict each other).
  ASSERT_TRUE(Unifies(*c1, 0, *axiom, 1, pairs));
  EXPECT_EQ(pairs, 1u);
  Record closed = Resolve(*c1, 0, *axiom, 1);
  EXPECT_EQ(closed->Root->Constant, -1) << Utf8(Fixture::Printed(*closed));
}

bool HasRefutation(const std::vector<std::string>& report) {
  return std::any_of(report.begin(), report.end(), [](const std::string& l) {
    return l.find("YES (refutation deg.)") != std::string::npos;
  });
}

TEST(WitnessRuns, Pelletier28IsTakenApartAndPutTogetherWithTheDefaults) {
  // The negated query ∃X ¬[[p(X) ∧ f(X)] → g(X)] names one witness: resolved with itself on
  // p(X) and then with itself again on f, its pieces speak of the same X, and the three axioms
  // close the refutation.
  Fixture fx;
  std::vector<std::string> report = fx.Run(
      "∀X [p(X) → [∀Z q(Z)]];\n"
      "[∀X [q(X) ∨ r(X)]] → [∃X1 [q(X1) ∧ s(X1)]];\n"
      "[∃X s(X)] → [∀X1 [f(X1) → g(X1)]];\n"
      "?- ∀X [[p(X) ∧ f(X)] → g(X)];\n");
  EXPECT_TRUE(HasRefutation(report));
}

TEST(WitnessRuns, AnExistentialSetFreeByABindingIsOneWitnessInLaterSteps) {
  // The witness X of the second axiom, bound in the first, leaves ∃Y1 [g(Y1) ∧ ¬h(X, Y1)] with Y1
  // inside no universal any more. The second axiom gives h(X, Y1) of that Y1 only if the stored
  // resolvent names it once; with a copy of its own each time, h(X, Y1) and ¬h(X, Y1) never meet.
  Fixture fx;
  fx.Program->OneRefutation = 1;
  int yields = 0;
  fx.Program->OnYield = [&yields](TPLProgram& p) {
    if (++yields > 20'000) p.StopRequested = 1;
  };
  std::vector<std::string> report = fx.Run(
      "∀X [f(X) → ∃Y1 [g(Y1) ∧ ¬h(X, Y1)]];\n"
      "∃X [j(X) ∧ ∀Y [g(Y) → h(X, Y)]];\n"
      "?- ∃X [j(X) ∧ ¬f(X)];\n");
  EXPECT_TRUE(HasRefutation(report));
}

TEST(WitnessRuns, ADependentWitnessIsOneElementForOneValueOfItsUniversals) {
  // The query is the axiom's instance at X1 := c. The first step takes r(c, W) apart and leaves
  // ∃W1 ∀Z ¬[p(Z) ∧ r(W1, Z)] for the W1 of c; the axiom gives r(W1, Z1) and p(Z1) for that very
  // W1 only when it is taken at c again, which its copy of W1 asks for. The second run starts
  // as after a search that ran out of memory while it unified such a pair: the unifier's flags
  // were left set, and a new query starts without them.
  for (bool leftover : {false, true}) {
    Fixture fx;
    int yields = 0;
    fx.Program->OnYield = [&yields](TPLProgram& p) {
      if (++yields > 20'000) p.StopRequested = 1;
    };
    Unifier.InWitnessArguments = leftover;
    std::vector<std::string> report = fx.Run(
        "∀X1 [∃Z1, W1 [p(Z1) ∧ r(X1, W1) ∧ r(W1, Z1)]];\n"
        "?- ∃Z, W [p(Z) ∧ r(c, W) ∧ r(W, Z)];\n");
    EXPECT_TRUE(HasRefutation(report)) << (leftover ? "after a stop" : "");
  }
  Unifier = UnifierState{};
}

TEST(WitnessRuns, AnExistentialInsideAnUnboundUniversalIsAValueInAnotherRecordOnRequest) {
  // No constant anywhere: the witness B of each A must be the Y of the rule, and the first step
  // (in whichever order the search pairs the two) reads ∀A ∃B with the rule's instance inside.
  // Without the switch the quantifier rules refuse that binding, and neither theory is refuted.
  // The second theory takes the witness of a witness: ∀A ∃B ∀C ¬less(B, C) is resolved with the
  // axiom at A := B.
  const char* texts[] = {"∀A ∃B less(A, B);\n∀X, Y [less(X, Y) → q(Y)];\n?- ∃X q(X);\n",
                         "∀A ∃B less(A, B);\n∀A, B, C [[less(A, B) ∧ less(B, C)] → far(A, C)];\n"
                         "?- ∃X, Y far(X, Y);\n"};
  for (const char* text : texts)
    for (SearchStrategy strategy : {SearchStrategy::Linear, SearchStrategy::ModifiedLinear,
                                    SearchStrategy::BreadthFirst, SearchStrategy::SmallestFirst}) {
      for (std::uint8_t across : {0, 1}) {
        Fixture fx;
        fx.Program->Strategy = strategy;
        fx.Program->WitnessesAcross = across;
        int yields = 0;
        fx.Program->OnYield = [&yields](TPLProgram& p) {
          if (++yields > 20'000) p.StopRequested = 1;
        };
        std::vector<std::string> report = fx.Run(text);
        EXPECT_EQ(
            std::find(report.begin(), report.end(), "Best refutation degree: 1") != report.end(),
            across == 1)
            << text << "strategy " << static_cast<int>(strategy);
      }
    }
}

TEST(WitnessRuns, FamilyIsRefutedWithTheDefaultsAtItsBestDegree) {
  // G = alice: 1 + 1 + 0.8 - 2 = 0.8; G = dora: 0.7 + 0.8 - 1 = 0.5. The consequence test must
  // not drop ¬parent(bob, carol), which ∀G, Y ¬[parent(G, Y) ∧ parent(Y, carol)] does not imply.
  Fixture fx;
  std::vector<std::string> report = fx.Run(
      "∀X, Y, Z [[parent(X, Y) ∧ parent(Y, Z)] → grandparent(X, Z)];\n"
      "parent(alice, bob);\nparent(bob, carol) : 0.8;\nparent(dora, bob) : 0.7;\n"
      "?- ∃G grandparent(G, carol);\n");
  EXPECT_NE(std::find(report.begin(), report.end(), "Best refutation degree: 0.8(G = alice;)"),
            report.end());
}

TEST(WitnessRuns, SerialIdentityRefutesTheSwappedQuantifiersThatTheSoundRuleKeeps) {
  // Domain {a, b}, r(a, a) and r(b, b) only: the axiom holds (X := Y) and the query fails. Taking
  // the witness X of a resolvent for the witness X of its source closes the refutation: the
  // switch reproduces the unsound rule, and only the switch does.
  const char* text = "∀Y [∃X [r(Y, Y) → r(Y, X)]];\n?- ∃X [∀Y [r(Y, Y) → r(Y, X)]];\n";
  for (std::uint8_t serial : {0, 1}) {
    Fixture fx;
    fx.Program->SerialIdentity = serial;
    int yields = 0;
    fx.Program->OnYield = [&yields](TPLProgram& p) {
      if (++yields > 20'000) p.StopRequested = 1;
    };
    EXPECT_EQ(HasRefutation(fx.Run(text)), serial == 1) << "serial identity " << int(serial);
  }
}

}  // namespace
}  // namespace velmoran::testing
