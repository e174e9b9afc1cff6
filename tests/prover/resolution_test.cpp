// The generalized resolution step: degrees, orientation, the replacement of the resolved atoms
// (with factoring and the general cut), the counting of unification attempts, the state the
// sources are left in, and self-resolution.
#include "prover/resolution.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "logic/alphabet.h"
#include "logic/number_format.h"
#include "prover/simplify.h"
#include "prover/unify.h"
#include "report/report.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

using Record = std::unique_ptr<TFALFormula>;

std::vector<TAtom*> Atoms(const TFALFormula& r) {
  std::vector<TAtom*> atoms;
  for (TAtom* a = r.FirstAtom; a; a = a->Next()) atoms.push_back(a);
  return atoms;
}

std::vector<int> Constants(const TFALFormula& r) {
  std::vector<int> c;
  for (TAtom* a : Atoms(r)) c.push_back(a->Constant);
  return c;
}

class ResolutionTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetReportState(); }

  // Resolves f's atom i with g's atom j, oriented as the search orients it.
  Record Resolve(TFALFormula& f, int i, TFALFormula& g, int j) {
    return Record(ResolveAt(f, i, g, j));
  }

  static void Finish(TFALFormula& r) {
    Simplify(r);
    ComputePolarity(r.Root);
  }

  // Splits `x` on its atoms i and j as the search does with a record paired with itself, finished
  // as a stored resolvent is; none when the atoms do not unify or the split refuses the pair.
  static Record SplitOnPair(TFALFormula& x, int i, int j) {
    TAtom* a = AtomAt(x, i);
    TAtom* b = AtomAt(x, j);
    Unifier.OneRecord = true;
    bool unified = UnifyAtoms(a, b);
    Unifier.OneRecord = false;
    if (!unified) return nullptr;
    Record r(MakeResolvent(x, x, a, FalseInFirst(*a, *b), b));
    if (r) Finish(*r);
    return r;
  }

  Fixture fx;
};

TEST(TNorm, IsTheLukasiewiczConjunction) {
  EXPECT_EQ(TNorm(1, 1), 1);
  EXPECT_EQ(TNorm(1, 0.25L), 0.25L);
  EXPECT_NEAR(static_cast<double>(TNorm(0.9L, 0.8L)), 0.7, 1e-15);
  EXPECT_EQ(FormatReal(TNorm(0.9L, 0.8L)), "0.7");
  EXPECT_EQ(TNorm(0.5L, 0.5L), 0);
  EXPECT_EQ(TNorm(0.3L, 0.4L), 0) << "never negative";
  EXPECT_EQ(TNorm(0, 1), 0);
}

TEST_F(ResolutionTest, PositiveOccurrenceInFirstBecomesFalseAndDegreesCombine) {
  auto f = fx.Axiom("p(a) : 0.9;");
  auto g = fx.Axiom("¬p(a) : 0.8;");
  EXPECT_TRUE(FalseInFirst(*f->FirstAtom, *g->FirstAtom));
  g->SupportMark = 1;
  Record r = Resolve(*f, 0, *g, 0);

  EXPECT_EQ(FormatReal(r->Degree), "0.7");
  EXPECT_TRUE(r->SupportMark) << "a resolvent of the support set belongs to it";
  EXPECT_EQ(r->Source1, f.get());
  EXPECT_EQ(r->Source2, g.get());
  ASSERT_EQ(r->Root->Kind(), 3) << "a disjunction joins the copies";
  EXPECT_FALSE(r->Root->Negated);
  EXPECT_EQ(r->Root->ParentRecord, r.get());
  // p(a) := false on the left, p(a) := true under the negation on the right: both nodes false.
  TSub* left = r->Root->Left;
  TSub* right = r->Root->Right;
  EXPECT_EQ(left->Constant, -1);
  EXPECT_FALSE(left->Negated);
  EXPECT_EQ(right->Constant, -1);
  EXPECT_TRUE(right->Negated);
  EXPECT_EQ(Atoms(*r),
            (std::vector<TAtom*>{static_cast<TAtom*>(left), static_cast<TAtom*>(right)}));
  EXPECT_EQ(r->FirstAtom->Previous(), nullptr);
  EXPECT_EQ(r->LastAtom->Next(), nullptr);
  EXPECT_EQ(Fixture::Printed(*r), " ⊥∨ ⊥");

  Finish(*r);
  EXPECT_EQ(r->Root->Constant, -1) << "p(a) and ¬p(a) refute each other";
  EXPECT_EQ(r->FirstAtom, nullptr);
}

// When the copies die into the resolvent's root, their prefixes meet there. Whichever operand
// is settled first, the quantifiers keep the order that makes the resolvent follow from its
// sources: each B is chosen for its A, never one B for every A.
TEST_F(ResolutionTest, PrefixesMeetingInTheRootKeepWhatDependsOnWhat) {
  auto unit = fx.Axiom("∀A ¬t(A);");
  auto clause = fx.Axiom("∀A [∃B [t(A) ∨ q(A, B)]];");
  auto nested = fx.Axiom("∀A [t(A) ∨ ∃B [q(A, B) ∧ ¬s]];");
  auto fact = fx.Axiom("¬s;");
  Record r = Resolve(*unit, 0, *clause, 0);  // the clause's A is bound to the unit's A
  Finish(*r);
  EXPECT_EQ(Fixture::Printed(*r), "∀!A∃B q(A, B)");
  Record back = Resolve(*clause, 0, *unit, 0);  // the unit's A is bound to the clause's A
  Finish(*back);
  EXPECT_EQ(Fixture::Printed(*back), "∀!A∃B q(A, B)");
  Record inner = Resolve(*fact, 0, *nested, 2);
  Finish(*inner);
  EXPECT_EQ(Fixture::Printed(*inner), "∀A∃B[t(A)∨q(A, B)]");
}

TEST_F(ResolutionTest, NegativeOccurrenceInFirstBecomesTrue) {
  auto f = fx.Axiom("¬p(a);");
  auto g = fx.Axiom("p(a);");
  EXPECT_FALSE(FalseInFirst(*f->FirstAtom, *g->FirstAtom));
  Record r = Resolve(*f, 0, *g, 0);
  EXPECT_TRUE(r->Root->Left->Negated);
  EXPECT_EQ(r->Root->Left->Constant, -1) << "¬true";
  EXPECT_EQ(r->Root->Right->Constant, -1) << "false";
}

TEST_F(ResolutionTest, WithoutPolarityInFirstThePartnersPolarityDecides) {
  auto f = fx.Axiom("p(a);");
  auto pos = fx.Axiom("p(a);");
  auto neg = fx.Axiom("¬p(a);");
  f->FirstAtom->Polarity = 0;
  EXPECT_TRUE(FalseInFirst(*f->FirstAtom, *neg->FirstAtom));
  EXPECT_FALSE(FalseInFirst(*f->FirstAtom, *pos->FirstAtom));
}

TEST_F(ResolutionTest, UnitAgainstDisjunctionLeavesTheOtherDisjunct) {
  auto f = fx.Axiom("p(a);");
  auto g = fx.Axiom("¬p(a) ∨ q(a);");
  Record r = Resolve(*f, 0, *g, 0);
  EXPECT_EQ(Fixture::Printed(*r), " ⊥∨ ⊥∨q(a)");
  Finish(*r);
  EXPECT_EQ(Fixture::Printed(*r), "q(a)");
  EXPECT_EQ(r->Degree, 1);
  EXPECT_EQ(Statistics.Simplifications, 2);
  ASSERT_TRUE(r->FirstAtom);
  EXPECT_EQ(r->FirstAtom, r->LastAtom);
  EXPECT_EQ(r->FirstAtom, r->Root);
}

TEST_F(ResolutionTest, FactoringReplacesUnifiableOccurrencesOfTheFirstSourceOnly) {
  auto f = fx.Axiom("∀X [p(X) ∨ p(X)];");
  auto g = fx.Axiom("¬p(a) ∨ ¬p(a);");
  Record r = Resolve(*f, 0, *g, 0);
  // The chosen atom, its factor in f, and the one chosen partner in g.
  EXPECT_EQ(Constants(*r), (std::vector<int>{-1, -1, -1, 0}));
  // One attempt for the pair, then one per atom of f (the chosen one is refused: it is a constant).
  EXPECT_EQ(Statistics.Unifications, 3);
  EXPECT_TRUE(fx.Program->Bindings.empty());
  Finish(*r);
  EXPECT_EQ(Fixture::Printed(*r), "¬p(a)");
}

TEST_F(ResolutionTest, GeneralCutAlsoReplacesFactorsInTheSecondSource) {
  fx.Program->GeneralCut = 1;
  auto f = fx.Axiom("∀X [p(X) ∨ p(X)];");
  auto g = fx.Axiom("¬p(a) ∨ ¬p(a);");
  Record r = Resolve(*f, 0, *g, 0);
  EXPECT_EQ(Constants(*r), (std::vector<int>{-1, -1, -1, -1}));
  EXPECT_EQ(Statistics.Unifications, 5);
  Finish(*r);
  EXPECT_EQ(r->Root->Constant, -1);
}

TEST_F(ResolutionTest, FactorsMustUnifyUnderTheBindingsAlreadyMade) {
  auto f = fx.Axiom("∀X, Y [p(X, Y) ∨ p(Y, b) ∨ p(a, Y)];");
  auto g = fx.Axiom("¬p(a, b);");
  // The pair binds X := a and Y := b. Alone, p(X, Y) and p(Y, b) would unify; under those
  // bindings they do not, while p(a, Y) still does.
  Record r = Resolve(*f, 0, *g, 0);
  EXPECT_EQ(Constants(*r), (std::vector<int>{-1, 0, -1, -1}));
}

TEST_F(ResolutionTest, EveryAttemptCountsAlsoWhenThePartnerIsAlreadyAConstant) {
  auto f = fx.Axiom("p(a);");
  auto g = fx.Axiom("p(a);");
  g->FirstAtom->Constant = 1;
  EXPECT_FALSE(UnifyAtoms(f->FirstAtom, g->FirstAtom));
  EXPECT_EQ(Statistics.Unifications, 1);
  g->FirstAtom->Constant = 0;
  EXPECT_TRUE(UnifyAtoms(f->FirstAtom, g->FirstAtom));
  EXPECT_FALSE(UnifyAtoms(f->FirstAtom, fx.Axiom("q(a);")->FirstAtom));
  EXPECT_EQ(Statistics.Unifications, 3);
}

TEST_F(ResolutionTest, SourcesAreLeftCleanAndAnExistentialIsHoisted) {
  // X := Y carries the existential Y into the copy of the first source before Y's own prefix is
  // copied: Y gets one counterpart at the resolvent's root, marked as inverted.
  auto f = fx.Axiom("∀X [p(X) ∨ q(X)];");
  auto g = fx.Axiom("∃Y ¬q(Y);");
  const std::string fText = f->Text, gText = g->Text;
  Record r = Resolve(*f, 1, *g, 0);

  EXPECT_TRUE(fx.Program->Bindings.empty());
  for (TFALFormula* source : {f.get(), g.get()}) {
    for (TAtom* a : Atoms(*source)) {
      EXPECT_EQ(a->Constant, 0);
      EXPECT_EQ(a->Mark, 0);
    }
    for (TVariable* v : source->Root->Prefix->Items) {
      EXPECT_EQ(v->CopyOf, nullptr) << v->Name;
      EXPECT_EQ(v->PendingTerm, nullptr) << v->Name;
      EXPECT_EQ(v->Occurs, 0) << v->Name;
      EXPECT_EQ(v->NoCopy, 0) << v->Name;
      EXPECT_EQ(v->InvertOnCopy, 0) << v->Name;
      EXPECT_EQ(v->Binding, nullptr) << v->Name;
    }
  }
  EXPECT_EQ(f->Text, fText);
  EXPECT_EQ(g->Text, gText);
  EXPECT_EQ(Fixture::Printed(*f), "∀X[p(X)∨q(X)]");

  Finish(*r);
  EXPECT_EQ(Fixture::Printed(*r), "∃!Y p(Y)");
}

TEST_F(ResolutionTest, SelfResolutionSquaresTheDegreeAndOrdersTheOperandsByTheFlag) {
  auto x = fx.Axiom("p ∨ q : 0.9;");
  Record falseFirst(SelfResolveCopy(*x, x->FirstAtom, true, SplitKind::Sound));
  EXPECT_EQ(FormatReal(falseFirst->Degree), "0.8");
  EXPECT_EQ(falseFirst->Source1, nullptr);
  EXPECT_EQ(falseFirst->Source2, nullptr);
  EXPECT_EQ(Constants(*falseFirst), (std::vector<int>{-1, 0, 1, 0}));
  Record trueFirst(SelfResolveCopy(*x, x->FirstAtom, false, SplitKind::Sound));
  EXPECT_EQ(Constants(*trueFirst), (std::vector<int>{1, 0, -1, 0}));
  EXPECT_EQ(Constants(*x), (std::vector<int>{0, 0}));
  EXPECT_EQ(x->Degree, 0.9L);

  // Pairing a record with itself in the search gives the same step, with the record as both
  // sources.
  ASSERT_TRUE(UnifyAtoms(x->FirstAtom, x->FirstAtom));
  Record viaSearch(MakeResolvent(*x, *x, x->FirstAtom, true, x->FirstAtom));
  EXPECT_EQ(FormatReal(viaSearch->Degree), "0.8");
  EXPECT_EQ(viaSearch->Source1, x.get());
  EXPECT_EQ(viaSearch->Source2, x.get());
  EXPECT_EQ(Constants(*viaSearch), (std::vector<int>{-1, 0, 1, 0}));
  Finish(*viaSearch);
  EXPECT_EQ(viaSearch->Root->Constant, 1) << "p ∨ q with p false, or with p true";

  auto weak = fx.Axiom("p ∨ q : 0.4;");
  Record r(SelfResolveCopy(*weak, weak->FirstAtom, true, SplitKind::Sound));
  EXPECT_EQ(r->Degree, 0) << "max(0, 2d - 1)";
}

// The sound split's class holds exactly the atoms with the same term, bindings followed and
// numbers compared by value, and every comparison of a marked atom with an unmarked one counts:
// a round per marked atom, in chain order from the chosen one, then one more round over all of
// them after the round that marked something.
TEST_F(ResolutionTest, SoundSplitMarksTheSameAtomsAndCountsEachComparison) {
  auto x = fx.Axiom("p(a) ∨ q(b) ∨ p(a) ∨ r ∨ p(a);");
  ASSERT_TRUE(MarkAtomClass(*x, x->FirstAtom, true, SplitKind::Sound));
  EXPECT_EQ(Constants(*x), (std::vector<int>{-1, 0, -1, 0, -1}));
  EXPECT_EQ(Statistics.Unifications, 4 + 2 + 2 + 3 * 2);

  ResetReportState();
  auto n = fx.Axiom("p(2) ∨ p(3) ∨ q ∨ p(2.0);");
  ASSERT_TRUE(MarkAtomClass(*n, n->FirstAtom, false, SplitKind::Sound));
  EXPECT_EQ(Constants(*n), (std::vector<int>{1, 0, 0, 1}));
  EXPECT_EQ(Statistics.Unifications, 3 + 2 + 2 * 2);

  // q(X) with X bound to a, beside q(a), in the resolvent of p(X) with ¬p(a).
  auto f = fx.Axiom("∀X [p(X) ∨ q(X)];");
  auto g = fx.Axiom("¬p(a) ∨ q(a);");
  Record r = Resolve(*f, 0, *g, 0);
  Finish(*r);
  ASSERT_EQ(Fixture::Printed(*r), "[q(a)∨q(a)]");
  ASSERT_TRUE(AsVariable(AsFunctor(AtomAt(*r, 0)->Term)->Args[0])) << "q(X), printed as bound";
  ResetReportState();
  ASSERT_TRUE(MarkAtomClass(*r, r->FirstAtom, true, SplitKind::Sound));
  EXPECT_EQ(Constants(*r), (std::vector<int>{-1, -1}));
  EXPECT_EQ(Statistics.Unifications, 1);
}

TEST_F(ResolutionTest, ConsequenceSplitTakesAnInstanceSharedByBothCopies) {
  // The consequence test's split marks p(a) with p(Y) by taking the instance Y := a of the root
  // universal: [p(a) ∨ p(a) ∨ q] with p(a) false, or with p(a) true.
  auto x = fx.Axiom("∀Y [p(Y) ∨ p(a) ∨ q];");
  Record r(SelfResolveCopy(*x, x->FirstAtom, true, SplitKind::ConsequenceTest));
  EXPECT_EQ(Constants(*r), (std::vector<int>{-1, -1, 0, 1, 1, 0}));
  EXPECT_TRUE(fx.Program->Bindings.empty());
  auto* y0 = AsVariable(AsFunctor(AtomAt(*r, 0)->Term)->Args[0]);
  auto* y3 = AsVariable(AsFunctor(AtomAt(*r, 3)->Term)->Args[0]);
  ASSERT_TRUE(y0 && y3);
  EXPECT_EQ(y0, y3) << "both copies speak of one Y";
  ASSERT_TRUE(y0->Binding);
  EXPECT_EQ(AsFunctor(y0->Binding), nullptr);
  EXPECT_EQ(static_cast<TFunctorA*>(y0->Binding)->Name, "a");
  EXPECT_EQ(x->Root->Prefix->Items[0]->Binding, nullptr) << "the source is not instantiated";
  Finish(*r);
  EXPECT_EQ(r->Root->Constant, 1);

  // An existential of the root is no universal: ∃Y [p(Y) ∨ ¬p(a)] is no tautology, and p(Y)
  // and p(a) must not go under one truth value.
  auto e = fx.Axiom("∃Y [p(Y) ∧ ¬p(a)];");
  Record s(SelfResolveCopy(*e, e->FirstAtom, true, SplitKind::ConsequenceTest));
  ASSERT_TRUE(s);
  EXPECT_EQ(Constants(*s), (std::vector<int>{-1, 0, 1, 0}));
}

TEST_F(ResolutionTest, SelfPairOverInnerUniversalsSplitsWithThemMovedToTheRoot) {
  // ∀X [p(X) → q(X)] ∧ ∀Y p(Y): p(X) and p(Y) unify with Y := X, both universals with nothing
  // but universals outside them, so the record splits on p(X) with X at the new root, shared by
  // both copies: ∀X [[[⊤ → q(X)] ∧ ⊤] ∨ [[⊥ → q(X)] ∧ ⊥]], which is ∀X q(X).
  auto x = fx.Axiom("[∀X [p(X) → q(X)]] ∧ [∀Y p(Y)];");
  const std::string before = Fixture::Printed(*x);
  TAtom* a = AtomAt(*x, 0);
  TAtom* b = AtomAt(*x, 2);
  ASSERT_TRUE(UnifyAtoms(a, b));
  Record r(MakeResolvent(*x, *x, a, FalseInFirst(*a, *b), b));
  ASSERT_TRUE(r);
  EXPECT_TRUE(fx.Program->Bindings.empty());
  ASSERT_TRUE(r->Root->Prefix);
  ASSERT_EQ(r->Root->Prefix->Items.size(), 1u);
  EXPECT_EQ(r->Root->Prefix->Items[0]->Quantifier, kForAll);
  auto* first = AsVariable(AsFunctor(AtomAt(*r, 1)->Term)->Args[0]);
  auto* second = AsVariable(AsFunctor(AtomAt(*r, 4)->Term)->Args[0]);
  EXPECT_EQ(first, r->Root->Prefix->Items[0]) << "q(X) of the first copy speaks of the root's X";
  EXPECT_EQ(second, first) << "and so does the second copy's";
  EXPECT_EQ(Fixture::Printed(*x), before) << "the source keeps its text";
  EXPECT_EQ(Constants(*x), (std::vector<int>{0, 0, 0}));
  Finish(*r);
  EXPECT_EQ(Fixture::Printed(*r), "∀X q(X)") << "X is still the universal it was";

  // The same record with the conclusion under an existential at the root: X moves only to just
  // inside it, after the root's own prefix, which ∃Z ∀X ∀Y reads the same.
  auto e = fx.Axiom("∃Z [[∀X [p(X) → q(X, Z)]] ∧ [∀Y p(Y)]];");
  TAtom* c = AtomAt(*e, 0);
  TAtom* d = AtomAt(*e, 2);
  ASSERT_TRUE(UnifyAtoms(c, d));
  Record s(MakeResolvent(*e, *e, c, FalseInFirst(*c, *d), d));
  ASSERT_TRUE(s);
  EXPECT_TRUE(fx.Program->Bindings.empty());
  Finish(*s);
  EXPECT_EQ(Fixture::Printed(*s), "∃Z∀X q(X, Z)");
}

TEST_F(ResolutionTest, SelfPairTakesAnExistentialInsideAUniversalWithItsUniversal) {
  // ∃Y ∀X [p(X, Y) ↔ p(X, X)] ∧ ∀X1 ∃Y1 ∀Z [p(Z, Y1) ↔ ¬p(Z, X1)], split on p(X, X) and p(Z, Y1)
  // under X, Z := Y1: read with ∀X1 ∃Y1 in front, the instance follows, and the split on
  // p(Y1, Y1) says p(Y1, Y) ↔ ¬p(Y1, X1) of that Y1.
  auto x = fx.Axiom(
      "[∃Y ∀X [[p(X, Y) → p(X, X)] ∧ [p(X, X) → p(X, Y)]]] ∧ "
      "[∀X1 ∃Y1 ∀Z [[p(Z, Y1) → ¬p(Z, X1)] ∧ [¬p(Z, X1) → p(Z, Y1)]]];");
  Record r = SplitOnPair(*x, 1, 4);
  ASSERT_TRUE(r);
  EXPECT_EQ(Fixture::Printed(*r), "∀X1∃Y1[∃Y[¬p(Y1, Y)∧p(Y1, X1)]∨∃Y[p(Y1, Y)∧¬p(Y1, X1)]]");

  // Unified as two records are, the existential inside X1 is no value for X.
  ASSERT_FALSE(UnifyAtoms(AtomAt(*x, 1), AtomAt(*x, 4)));
  EXPECT_TRUE(fx.Program->Bindings.empty());
}

TEST_F(ResolutionTest, SelfPairSplitsOnAnInstanceOfTheRoot) {
  // ∃Y1 ∀Z [p(Z, Y1) ↔ ¬p(Z, Z)]: p(Z, Z) and p(Z, Y1) are one atom under Z := Y1, which comes
  // before Z; both copies of the instance close, so the split is false.
  auto x = fx.Axiom("∃Y1 ∀Z [[p(Z, Y1) → ¬p(Z, Z)] ∧ [¬p(Z, Z) → p(Z, Y1)]];");
  Record r = SplitOnPair(*x, 1, 0);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->Root->Constant, -1);

  // Two universals of the root made one say no more than the split on the atom as it stands: the
  // pair is split on p(X, Y) alone, and the instance is not taken.
  auto y = fx.Axiom("∀X, Y [[p(X, Y) → ¬p(Y, X)] ∧ q(X)];");
  Record s = SplitOnPair(*y, 0, 1);
  ASSERT_TRUE(s);
  EXPECT_EQ(Fixture::Printed(*s), "∀X, Y[¬p(Y, X)∧q(X)∨q(X)]");
}

// A step is left unmade as a tautology exactly where the made resolvent simplifies to true, and
// the sources are left as a made step leaves them: every atom pair of these records is resolved
// both ways, with and without the shortcut.
TEST_F(ResolutionTest, AStepLeftUnmadeAsATautologyIsOneAndLeavesTheSourcesAsTheyWere) {
  const char* texts[] = {
      "∀X [p(X) ∨ q(X)];",  // ⊤ ∨ x folds
      "∀X [p(X) ∧ q(X)];",  // ⊤ ∧ x does not
      "∀X [p(X) → q(X)];",  // ⊥ → x folds, x → ⊤ too
      "¬[p(a) ∧ ¬q(a)];",   // negated nodes
      "∀X [[p(X) → q(X)] ∧ [q(X) ∨ p(X)]];",
      "∀X ¬p(X);",
      "q(b) ∨ ¬q(b) ∧ p(b);",
  };
  std::vector<Record> records;
  for (const char* text : texts) records.push_back(fx.Axiom(text));
  int skipped = 0, made = 0;
  for (auto& f : records) {
    for (auto& g : records) {
      if (f == g) continue;
      for (std::size_t i = 0; i < Atoms(*f).size(); ++i) {
        for (std::size_t j = 0; j < Atoms(*g).size(); ++j) {
          TAtom* a = Atoms(*f)[i];
          TAtom* b = Atoms(*g)[j];
          const std::string before = Fixture::Printed(*f) + " / " + Fixture::Printed(*g);
          if (!UnifyAtoms(a, b)) {
            ClearBindings();
            continue;
          }
          bool tautology = false;
          Record shortcut(MakeResolvent(*f, *g, a, FalseInFirst(*a, *b), b, &tautology));
          if (tautology) {
            EXPECT_EQ(shortcut, nullptr);
            EXPECT_EQ(Fixture::Printed(*f) + " / " + Fixture::Printed(*g), before);
            EXPECT_EQ(Constants(*f), std::vector<int>(Atoms(*f).size(), 0));
            EXPECT_EQ(Constants(*g), std::vector<int>(Atoms(*g).size(), 0));
            ++skipped;
          } else {
            ASSERT_NE(shortcut, nullptr);
            Finish(*shortcut);
            EXPECT_NE(shortcut->Root->Constant, 1) << before << " atoms " << i << ", " << j;
            ++made;
          }
          ASSERT_TRUE(UnifyAtoms(a, b));
          Record full(MakeResolvent(*f, *g, a, FalseInFirst(*a, *b), b));
          ASSERT_NE(full, nullptr);
          Finish(*full);
          EXPECT_EQ(full->Root->Constant == 1, tautology) << before << " atoms " << i << ", " << j;
        }
      }
    }
  }
  EXPECT_GT(skipped, 0);
  EXPECT_GT(made, 0);
}

}  // namespace
}  // namespace velmoran::testing
