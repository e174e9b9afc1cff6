// Copying for a resolvent: fresh counterparts, pending substitutions and hoisted variables,
// followed by the clean-up of the copy marks.
#include "prover/copy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logic/alphabet.h"
#include "logic/formula.h"
#include "logic/logic_state.h"
#include "logic/print.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

std::string TermText(const TId* t) {
  std::string s;
  t->Print(s);
  return Utf8(s);
}

const TId* ArgOf(const TSub* node, std::size_t i) {
  const TAtom* a = AsAtom(const_cast<TSub*>(node));
  const TFunctor* f = a ? AsFunctor(a->Term) : nullptr;
  return f && i < f->Args.size() ? f->Args[i] : nullptr;
}

// The variable in argument `i` of an atom.
TVariable* VariableAt(const TSub* atom, std::size_t i) {
  return AsVariable(const_cast<TId*>(ArgOf(atom, i)));
}

// Sets up and tears down the copy state around one test, as the resolution step does.
struct CopyState {
  CopyState() {
    Logic.ChainFirst = Logic.ChainLast = nullptr;
    Walks = WalkState{};
    Walks.NewVariables = new TQuant;
  }
  ~CopyState() {
    if (Walks.NewVariables) Walks.NewVariables->FreeAll();
    Walks = WalkState{};
    Logic.ChainFirst = Logic.ChainLast = nullptr;
  }
};

TEST(Copy, CopyIsADeepStructuralDuplicate) {
  Fixture fx;
  auto src = fx.Parse("∀X [p(X) ∧ ¬q(X, 2.5)] → r : 0.5;");
  ASSERT_TRUE(src);
  CopyState state;
  TSub* root = src->Root;
  TSub* copy = CopyTree(root, nullptr);
  ASSERT_TRUE(copy);
  EXPECT_NE(copy, root);
  EXPECT_EQ(Utf8(PrintedText(*copy)), Utf8(src->Text));

  EXPECT_TRUE(copy->IsImplication());
  ASSERT_EQ(copy->Left->Kind(), 4);
  EXPECT_EQ(copy->Left->ParentNode, copy);
  EXPECT_EQ(copy->Left->Left->ParentNode, copy->Left);
  EXPECT_EQ(copy->Left->Right->Negated, 1);
  EXPECT_EQ(copy->Left->Right->Polarity, root->Left->Right->Polarity);
  EXPECT_NE(ArgOf(copy->Left->Right, 1), ArgOf(root->Left->Right, 1));

  // A counterpart for X in the copied prefix, scoped there, used by both copied atoms.
  TVariable* x = root->Left->Prefix->Items[0];
  ASSERT_TRUE(copy->Left->Prefix);
  ASSERT_EQ(copy->Left->Prefix->Items.size(), 1u);
  TVariable* x1 = copy->Left->Prefix->Items[0];
  EXPECT_EQ(x->CopyOf, x1);
  EXPECT_NE(x1, x);
  EXPECT_EQ(x1->Serial, x->Serial);
  EXPECT_EQ(x1->Name, "X");
  EXPECT_EQ(x1->Quantifier, kForAll);
  EXPECT_EQ(x1->Scope, copy->Left);
  EXPECT_EQ(x->Occurs, 1);
  EXPECT_EQ(VariableAt(copy->Left->Left, 0), x1);
  EXPECT_EQ(VariableAt(copy->Left->Right, 0), x1);

  // The copied atoms form the chain under construction, in order.
  EXPECT_EQ(Logic.ChainFirst, copy->Left->Left);
  EXPECT_EQ(static_cast<TAtom*>(Logic.ChainFirst)->Next(), copy->Left->Right);
  EXPECT_EQ(Logic.ChainLast, copy->Right);

  copy->FreeTree();
}

TEST(Copy, ConstantsAreCopiedOrNegatedAndMarksAreNot) {
  Fixture fx;
  auto src = fx.Parse("p ∧ q;");
  ASSERT_TRUE(src);
  CopyState state;
  src->Root->Left->Constant = 1;
  src->Root->Left->Mark = 1;

  TSub* plain = CopyTree(src->Root, nullptr);
  EXPECT_EQ(plain->Left->Constant, 1);
  EXPECT_EQ(plain->Left->Mark, 0);
  EXPECT_EQ(plain->Right->Constant, 0);
  EXPECT_EQ(src->Root->Left->Mark, 1);

  Walks.NegateConstantsOnCopy = true;
  TSub* negated = CopyTree(src->Root, nullptr);
  Walks.NegateConstantsOnCopy = false;
  EXPECT_EQ(negated->Left->Constant, -1);
  EXPECT_EQ(negated->Right->Constant, 0);
  EXPECT_EQ(src->Root->Left->Mark, 0);

  plain->FreeTree();
  negated->FreeTree();
}

TEST(Copy, BindingOfASourceVariableIsCopiedForItsCounterpart) {
  Fixture fx;
  auto src = fx.Parse("∀X p(X);");
  ASSERT_TRUE(src);
  TVariable* x = src->Root->Prefix->Items[0];
  x->Binding = new TFunctorA("c");
  CopyState state;
  TSub* copy = CopyTree(src->Root, nullptr);
  TVariable* x1 = x->CopyOf;
  ASSERT_TRUE(x1);
  ASSERT_TRUE(x1->Binding);
  EXPECT_NE(x1->Binding, x->Binding);
  EXPECT_EQ(TermText(x1->Binding), "c");
  copy->FreeTree();
}

// Builds the disjunction of copies of two sources the way the resolution step joins them.
struct Resolvent {
  explicit Resolvent(TPLProgram* program) : Record(program) {
    Join = new TDis;
    Join->SetParent(&Record);
    Record.Root = Join;
  }
  void Finish() {
    MergePrefix(Join, Walks.NewVariables);
    Walks.NewVariables = nullptr;
    Record.FirstAtom = Logic.ChainFirst;
    Record.LastAtom = Logic.ChainLast;
  }
  TFALFormula Record;
  TDis* Join;
};

TEST(Copy, PendingTermTakesEffectWithAHoistedCounterpart) {
  Fixture fx;
  auto a = fx.Parse("∀X p(X);");
  auto b = fx.Parse("∀Z q(Z);");
  ASSERT_TRUE(a && b);
  TVariable* x = a->Root->Prefix->Items[0];
  TVariable* z = b->Root->Prefix->Items[0];
  auto* pending = new TFunctor("f");
  pending->Args.push_back(z);
  x->PendingTerm = pending;

  CopyState state;
  Resolvent r(fx.Program.get());
  r.Join->Left = CopyTree(a->Root, r.Join);

  // X's counterpart is bound to f(Z'), where Z' is a hoisted counterpart of the other source's Z.
  TVariable* x1 = x->CopyOf;
  TVariable* z1 = z->CopyOf;
  ASSERT_TRUE(x1 && z1);
  EXPECT_NE(z1, z);
  const TFunctor* bound = AsFunctor(x1->Binding);
  ASSERT_TRUE(bound);
  EXPECT_NE(bound, pending);
  EXPECT_EQ(bound->Name, "f");
  ASSERT_EQ(bound->Args.size(), 1u);
  EXPECT_EQ(bound->Args[0], z1);
  EXPECT_EQ(Walks.NewVariables->Items, VariableList{z1});
  EXPECT_EQ(z->NoCopy, 1);
  EXPECT_EQ(z->Occurs, 1);
  EXPECT_EQ(z1->Serial, z->Serial);
  EXPECT_EQ(z1->Quantifier, kExists);  // universal in a positive position

  // The other source's prefix now copies to no prefix; its occurrences copy to Z'.
  r.Join->Right = CopyTree(b->Root, r.Join);
  EXPECT_EQ(r.Join->Right->Prefix, nullptr);
  EXPECT_EQ(VariableAt(r.Join->Right, 0), z1);
  EXPECT_EQ(z->CopyOf, z1);

  r.Finish();
  // The hoisted counterpart quantifies the whole resolvent; a prefix whose only variable is bound
  // prints as nothing but the blank in front of its atom.
  EXPECT_EQ(Fixture::Printed(r.Record), "∃Z[ p(f(Z))∨q(Z)]");

  // Cleaning the sources removes every copy mark and deletes nothing: the copy marked them all.
  a->Root->Constant = -1;
  Walks.VariableDeleted = false;
  a->Walk(WalkMode::Cleanup, nullptr);
  b->Walk(WalkMode::Cleanup, nullptr);
  EXPECT_FALSE(Walks.VariableDeleted);
  for (TVariable* v : {x, z}) {
    EXPECT_EQ(v->CopyOf, nullptr) << v->Name;
    EXPECT_EQ(v->PendingTerm, nullptr) << v->Name;
    EXPECT_EQ(v->Occurs, 0) << v->Name;
    EXPECT_EQ(v->NoCopy, 0) << v->Name;
    EXPECT_EQ(v->InvertOnCopy, 0) << v->Name;
  }
  EXPECT_EQ(a->Root->Prefix->Items, VariableList{x});
  EXPECT_EQ(b->Root->Prefix->Items, VariableList{z});
  EXPECT_EQ(a->Root->Constant, 0);
  pending->FreeTerm();
}

TEST(Copy, HoistedCounterpartQuantifierFollowsThePositionOfThePrefix) {
  struct Case {
    const char* source;
    char expected;
    const char* why;
  };
  const std::vector<Case> cases = {
      {"∀Z q(Z);", kExists, "universal, positive position"},
      {"∃Z q(Z);", kExists, "existential, positive position"},
      {"∀Z q(Z) → r;", kExists, "universal in an antecedent: its dual"},
      {"∃Z q(Z) → r;", kForAll, "existential in an antecedent: its dual"},
      {"∀Z ¬q(Z);", kExists, "the prefix stands outside the atom's own negation"},
      {"∃Z ¬q(Z);", kExists, "polarity -1 from the atom's own negation is still positive"},
      {"¬∀Z q(Z) → r;", kForAll, "∃Z ¬q(Z) in an antecedent: negative position"},
  };
  for (const auto& c : cases) {
    Fixture fx;
    auto a = fx.Parse("∀X p(X);");
    auto b = fx.Parse(c.source);
    ASSERT_TRUE(a && b) << c.source;
    TVariable* x = a->Root->Prefix->Items[0];
    TAtom* q = b->FirstAtom;
    TVariable* z = VariableAt(q, 0);
    ASSERT_TRUE(z) << c.source;
    x->PendingTerm = z;

    CopyState state;
    TSub* copy = CopyTree(a->Root, nullptr);
    ASSERT_TRUE(z->CopyOf) << c.source;
    EXPECT_EQ(z->CopyOf->Quantifier, c.expected) << c.source << " (" << c.why << ")";
    copy->FreeTree();
  }
}

TEST(Copy, InvertOnCopyMarksCounterpartsAsInverted) {
  Fixture fx;
  auto a = fx.Parse("∀X p(X);");
  auto b = fx.Parse("∀Z q(Z);");
  ASSERT_TRUE(a && b);
  TVariable* x = a->Root->Prefix->Items[0];
  TVariable* z = b->Root->Prefix->Items[0];
  x->PendingTerm = z;
  x->InvertOnCopy = 1;
  z->InvertOnCopy = 1;
  CopyState state;
  Resolvent r(fx.Program.get());
  r.Join->Left = CopyTree(a->Root, r.Join);
  ASSERT_TRUE(x->CopyOf && z->CopyOf);
  EXPECT_EQ(x->CopyOf->AsWritten, 0);
  EXPECT_EQ(z->CopyOf->AsWritten, 1);  // made by the substitution, not yet by its prefix
  r.Join->Right = CopyTree(b->Root, r.Join);
  EXPECT_EQ(z->CopyOf->AsWritten, 0);  // also the hoisted counterpart, once its prefix is copied
  r.Finish();
  EXPECT_EQ(Fixture::Printed(r.Record), "∃!Z[ p(Z)∨q(Z)]");
}

TEST(Copy, SecondCopyOfASourceGetsNewCounterpartsButKeepsHoistedOnes) {
  Fixture fx;
  auto a = fx.Parse("∀X p(X);");
  auto b = fx.Parse("∀Z, W q(Z, W);");
  ASSERT_TRUE(a && b);
  TVariable* z = b->Root->Prefix->Items[0];
  TVariable* w = b->Root->Prefix->Items[1];
  a->Root->Prefix->Items[0]->PendingTerm = z;

  CopyState state;
  Resolvent r(fx.Program.get());
  r.Join->Left = CopyTree(a->Root, r.Join);
  TVariable* z1 = z->CopyOf;
  TSub* first = CopyTree(b->Root, nullptr);
  TVariable* w1 = w->CopyOf;
  TSub* second = CopyTree(b->Root, nullptr);
  TVariable* w2 = w->CopyOf;

  EXPECT_NE(w1, w2);
  ASSERT_TRUE(first->Prefix && second->Prefix);
  EXPECT_EQ(first->Prefix->Items, VariableList{w1});
  EXPECT_EQ(second->Prefix->Items, VariableList{w2});
  EXPECT_EQ(VariableAt(first, 0), z1);
  EXPECT_EQ(VariableAt(second, 0), z1);
  EXPECT_EQ(VariableAt(first, 1), w1);
  EXPECT_EQ(VariableAt(second, 1), w2);

  first->FreeTree();
  second->FreeTree();
  r.Finish();
}

}  // namespace
}  // namespace velmoran::testing
