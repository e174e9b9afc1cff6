// Formula trees: negation, polarity, freeing with the prefix hand-up, merging and numbering of
// prefixes, and splicing a child into its parent's place.
#include "logic/formula.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logic/alphabet.h"
#include "logic/logic_state.h"
#include "logic/print.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

// "∀X ∃!Z": one entry per variable, "!" for an inverted quantifier, "#k" for a duplicate index.
std::string Describe(const TQuant* prefix) {
  if (!prefix) return "";
  std::string s;
  for (const TVariable* v : prefix->Items) {
    if (!v) continue;
    if (!s.empty()) s += ' ';
    s += Utf8(std::string(1, v->Quantifier));
    if (!v->AsWritten) s += '!';
    s += v->Name;
    if (v->DupIndex > 0) s += '#' + std::to_string(v->DupIndex);
  }
  return s;
}

// Polarities in pre-order (node, Left, Right); atoms end the descent.
void CollectPolarities(const TSub* n, std::string& out) {
  out += n->Polarity > 0 ? '+' : (n->Polarity < 0 ? '-' : '0');
  if (n->IsAtom()) return;
  if (n->Left) CollectPolarities(n->Left, out);
  if (n->Right) CollectPolarities(n->Right, out);
}
std::string Polarities(const TSub* n) {
  std::string s;
  CollectPolarities(n, s);
  return s;
}
void ClearPolarities(TSub* n) {
  n->Polarity = 0;
  if (n->IsAtom()) return;
  if (n->Left) ClearPolarities(n->Left);
  if (n->Right) ClearPolarities(n->Right);
}

std::string Printed(const TSub* n) {
  return Utf8(PrintedText(*n));
}

TVariable* NewVariable(const std::string& name, char quantifier = kForAll) {
  auto* v = new TVariable(name);
  v->Quantifier = quantifier;
  v->AsWritten = 1;
  return v;
}

// A term and a variable whose destruction can be observed.
int freedTerms = 0;
int freedVariables = 0;
struct CountedConstant : TFunctorA {
  explicit CountedConstant(std::string name) : TFunctorA(std::move(name)) {}
  ~CountedConstant() override { ++freedTerms; }
};
struct CountedVariable : TVariable {
  explicit CountedVariable(std::string name) : TVariable(std::move(name)) {
    Quantifier = kForAll;
    AsWritten = 1;
  }
  ~CountedVariable() override { ++freedVariables; }
};

TEST(Negate, SwapsThePrefixTogglesTheFlagAndTwiceRestores) {
  Fixture fx;
  auto r = fx.Parse("∀X ∃Y p(X, Y);");
  ASSERT_TRUE(r);
  TSub* root = r->Root;
  ASSERT_EQ(Describe(root->Prefix), "∀X ∃Y");

  Negate(root);
  EXPECT_EQ(root->Negated, 1);
  // The as-written marks stay: negation is not an inversion by the prover.
  EXPECT_EQ(Describe(root->Prefix), "∃X ∀Y");
  EXPECT_EQ(root->Polarity, -1);
  EXPECT_EQ(Printed(root), "∃X∀Y ¬p(X, Y)");

  Negate(root);
  EXPECT_EQ(root->Negated, 0);
  EXPECT_EQ(Describe(root->Prefix), "∀X ∃Y");
  EXPECT_EQ(root->Polarity, 1);
  EXPECT_EQ(Printed(root), "∀X∃Y p(X, Y)");
}

TEST(Negate, InnerNodeRecomputesItsSubtreeOnly) {
  Fixture fx;
  auto r = fx.Parse("a → b ∧ c;");
  ASSERT_TRUE(r);
  Negate(r->Root->Right);
  // Root +, antecedent a -, negated conjunction -, and below it b and c -.
  EXPECT_EQ(Polarities(r->Root), "+----");
  EXPECT_EQ(Printed(r->Root), "a→¬[b∧c]");
}

TEST(ComputePolarity, FollowsImplicationsAndNegations) {
  struct Case {
    const char* text;
    const char* polarities;  // pre-order: node, Left, Right
  };
  const Case cases[] = {
      {"a → b;", "+-+"},           {"¬[a → b];", "-+-"},
      {"[a → b] → c;", "+-+-+"},   {"a → [b → c];", "+-+-+"},
      {"a ∧ ¬[b → ¬c];", "++-++"}, {"¬a ∨ b;", "+-+"},
      {"¬[¬a ∧ b];", "-+-"},       {"¬a;", "-"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Fixture fx;
    auto r = fx.Parse(c.text);
    ASSERT_TRUE(r);
    ClearPolarities(r->Root);
    ComputePolarity(r->Root);
    EXPECT_EQ(Polarities(r->Root), c.polarities);
  }
}

// Frees one operand of the root and returns the root's prefix afterwards.
struct HandUpCase {
  const char* text;
  bool freeLeft;
  const char* rootPrefix;
};

TEST(FreeTree, HandsThePrefixToTheParentFlippingAcrossOneNegation) {
  const HandUpCase cases[] = {
      // Handed-up variables come after the parent's own, which stood outside them: an existential
      // must not come out ahead of a universal it depends on.
      {"∀Y [∀X p(X) ∧ q(Y)];", true, "∀Y ∀X"},
      {"∀A [t(A) ∨ ∃B [q(A, B) ∧ s]];", false, "∀A ∃B"},
      {"∀X p(X) ∨ q;", true, "∀X"},
      // Out of the antecedent of an implication: one negation crossed.
      {"∀X p(X) → q;", true, "∃!X"},
      {"∃X p(X) → q;", true, "∀!X"},
      {"∀X ∃Z p(X, Z) → q;", true, "∃!X ∀!Z"},
      {"p → ∀X q(X);", false, "∀X"},
      // Out of a negated parent.
      {"¬[∀X p(X) ∧ q];", true, "∃!X"},
      {"¬[p → ∀X q(X)];", false, "∃!X"},
      // Antecedent of a negated implication: two negations, no flip.
      {"¬[∀X p(X) → q];", true, "∀X"},
      // The node's own negation lies inside its prefix and does not count.
      {"∀X ¬p(X) ∧ q;", true, "∀X"},
      // Handed up twice: into the conjunction unchanged, then out of the antecedent.
      {"[∀X p(X) ∧ s] → q;", true, "∃!X"},
      // Inner nodes of a freed subtree pass their lists on without numbering them: the node that
      // keeps the whole list numbers the namesakes and takes the scope of every one of them.
      // The outer X stays first; p's X reaches the inner conjunction first, q's X joins after it.
      {"[∀X [∀X p(X) ∧ ∀X q(X)] ∧ s] ∨ r;", true, "∀X ∀X#1 ∀X#2"},
      // Out of the antecedent at the last step only: every quantifier turns once.
      {"[[∀X p(X) ∧ ∃X q(X)] ∧ s] → r;", true, "∃!X ∀!X#1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Fixture fx;
    auto r = fx.Parse(c.text);
    ASSERT_TRUE(r);
    TSub* root = r->Root;
    TSub*& operand = c.freeLeft ? root->Left : root->Right;
    operand->FreeTree();
    operand = nullptr;
    r->FirstAtom = r->LastAtom = nullptr;  // the chain lost an atom; nothing here reads it
    EXPECT_EQ(Describe(root->Prefix), c.rootPrefix);
    if (root->Prefix) {
      for (const TVariable* v : root->Prefix->Items) EXPECT_EQ(v->Scope, root) << v->Name;
    }
  }
}

TEST(FreeTree, HandedUpVariablesSurviveAndRootPrefixIsFreed) {
  freedTerms = freedVariables = 0;
  {
    Fixture fx;
    auto r = fx.Parse("p ∧ q;");
    ASSERT_TRUE(r);
    TSub* p = r->Root->Left;
    auto* x = new CountedVariable("X");
    x->Binding = new CountedConstant("a");
    p->Prefix = new TQuant;
    p->Prefix->Items.push_back(x);
    x->Scope = p;

    p->FreeTree();
    r->Root->Left = nullptr;
    r->FirstAtom = r->LastAtom = nullptr;
    EXPECT_EQ(freedVariables, 0);
    EXPECT_EQ(freedTerms, 0);
    ASSERT_TRUE(r->Root->Prefix);
    ASSERT_EQ(r->Root->Prefix->Items.size(), 1u);
    EXPECT_EQ(r->Root->Prefix->Items[0], x);
    EXPECT_EQ(x->Scope, r->Root);

    r.reset();  // the record frees its root, and a root's prefix has nowhere to go
    EXPECT_EQ(freedVariables, 1);
    EXPECT_EQ(freedTerms, 1);
  }
}

TEST(FreeTree, AtomLeavesTheChainUnderConstruction) {
  Fixture fx;
  auto r = fx.Parse("a ∧ b ∧ c;");
  ASSERT_TRUE(r);
  TSub* inner = r->Root->Left;  // [a ∧ b]
  TAtom* a = static_cast<TAtom*>(inner->Left);
  TAtom* b = static_cast<TAtom*>(inner->Right);
  TAtom* c = static_cast<TAtom*>(r->Root->Right);
  ASSERT_EQ(r->FirstAtom, a);
  ASSERT_EQ(a->Next(), b);
  ASSERT_EQ(b->Next(), c);

  Logic.ChainFirst = a;
  Logic.ChainLast = c;
  b->FreeTree();
  inner->Right = nullptr;
  EXPECT_EQ(a->Next(), c);
  EXPECT_EQ(c->Previous(), a);
  EXPECT_EQ(Logic.ChainFirst, a);
  EXPECT_EQ(Logic.ChainLast, c);

  c->FreeTree();
  r->Root->Right = nullptr;
  EXPECT_EQ(Logic.ChainLast, a);
  EXPECT_EQ(a->Next(), nullptr);

  a->FreeTree();
  inner->Left = nullptr;
  EXPECT_EQ(Logic.ChainFirst, nullptr);
  EXPECT_EQ(Logic.ChainLast, nullptr);
  r->FirstAtom = r->LastAtom = nullptr;
  Logic.ChainFirst = Logic.ChainLast = nullptr;
}

TEST(ReplaceByChild, FlipsByTheSlotTheReplacedNodeHeld) {
  struct Case {
    const char* text;
    bool parentIsRootLeft;  // else the root's Right
    bool keepLeftChild;     // else keep the parent's Right child
    const char* printed;
  };
  const Case cases[] = {
      // The conjunction stood in the antecedent: its prefix crosses the implication's negation,
      // although the child already occupies the slot when the prefix moves.
      {"∀X [p(X) ∧ r] → q;", true, false, "∃!X[r→q]"},
      {"q → ∀X [p(X) ∧ r];", false, false, "∀X[q→r]"},
      // The replaced node's own negation moves onto the child; its prefix stood outside it.
      {"a ∨ ∀X ¬[p(X) ∧ c];", false, false, "∀X[a∨¬c]"},
      {"a ∨ ∀X ¬[c ∧ p(X)];", false, true, "∀X[a∨¬c]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Fixture fx;
    auto r = fx.Parse(c.text);
    ASSERT_TRUE(r);
    TSub* root = r->Root;
    TSub* parent = c.parentIsRootLeft ? root->Left : root->Right;
    TSub* child = c.keepLeftChild ? parent->Left : parent->Right;
    EXPECT_EQ(ReplaceByChild(child), child);
    r->FirstAtom = r->LastAtom = nullptr;
    EXPECT_EQ(child->ParentNode, root);
    EXPECT_EQ(c.parentIsRootLeft ? root->Left : root->Right, child);
    EXPECT_EQ(Printed(root), c.printed);
    for (const TVariable* v : root->Prefix->Items) EXPECT_EQ(v->Scope, root);
  }
}

TEST(ReplaceByChild, OldRootPrefixGoesToTheNewRootUnflipped) {
  struct Case {
    const char* text;
    const char* printed;
  };
  const Case cases[] = {
      {"∀X [p(X) ∧ q];", "∀X q"},
      // Old root negated: the negation moves onto q, the prefix stays as it is.
      {"¬∀X [p(X) ∧ q];", "∃X ¬q"},
      {"∀X [p(X) → q];", "∀X q"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Fixture fx;
    auto r = fx.Parse(c.text);
    ASSERT_TRUE(r);
    TSub* q = r->Root->Right;
    ReplaceByChild(q);
    r->FirstAtom = r->LastAtom = nullptr;
    EXPECT_EQ(r->Root, q);
    EXPECT_TRUE(q->IsRoot());
    EXPECT_EQ(q->ParentNode, nullptr);
    EXPECT_EQ(Printed(q), c.printed);
    ASSERT_TRUE(q->Prefix);
    EXPECT_EQ(q->Prefix->Items.at(0)->Scope, q);
  }
}

TEST(MergePrefix, HandedVariablesComeFirstAndTakeTheNodeAsScope) {
  Fixture fx;
  auto r = fx.Parse("∀X p(X);");
  ASSERT_TRUE(r);
  TSub* node = r->Root;
  auto* list = new TQuant;
  list->Items = {NewVariable("U"), NewVariable("V", kExists)};
  MergePrefix(node, list);
  EXPECT_EQ(node->Prefix, list);
  EXPECT_EQ(Describe(node->Prefix), "∀U ∃V ∀X");
  for (const TVariable* v : node->Prefix->Items) EXPECT_EQ(v->Scope, node) << v->Name;
}

TEST(MergePrefix, MissingOrEmptyPrefixesLeaveTheListOrNothing) {
  Fixture fx;
  auto r = fx.Parse("p ∧ q ∧ s ∧ t;");  // [[[p ∧ q] ∧ s] ∧ t]
  ASSERT_TRUE(r);
  TSub* p = r->Root->Left->Left->Left;
  TSub* q = r->Root->Left->Left->Right;
  TSub* s = r->Root->Left->Right;
  TSub* t = r->Root->Right;
  q->Prefix = new TQuant;
  t->Prefix = new TQuant;

  auto* list = new TQuant;
  list->Items = {NewVariable("U")};
  MergePrefix(p, list);  // no prefix of its own
  EXPECT_EQ(p->Prefix, list);
  EXPECT_EQ(list->Items.at(0)->Scope, p);

  auto* list2 = new TQuant;
  list2->Items = {NewVariable("W")};
  MergePrefix(q, list2);  // an empty prefix of its own
  EXPECT_EQ(q->Prefix, list2);
  EXPECT_EQ(Describe(q->Prefix), "∀W");

  auto* empty = new TQuant;
  MergePrefix(s, empty);
  EXPECT_EQ(empty, nullptr);
  EXPECT_EQ(s->Prefix, nullptr);

  auto* empty2 = new TQuant;
  MergePrefix(t, empty2);
  EXPECT_EQ(empty2, nullptr);
  EXPECT_EQ(t->Prefix, nullptr);
}

TEST(MergePrefix, NumbersTheNamesItBringsTogether) {
  Fixture fx;
  auto r = fx.Parse("∀X p(X);");
  ASSERT_TRUE(r);
  auto* list = new TQuant;
  list->Items = {NewVariable("X")};
  MergePrefix(r->Root, list);
  // The handed-in X stands first and keeps the plain name; the node's own X becomes X#1.
  EXPECT_EQ(Describe(r->Root->Prefix), "∀X ∀X#1");
  EXPECT_EQ(Printed(r->Root), "∀X, X#1 p(X#1)");
}

// A bound variable's value must not name variables quantified after it: they move in front of
// it, an existential with the unbound universals before it, and every other variable keeps its
// order (empty slots dropped). Worked by hand on
// ∀A ∀X ∀B ∃C _ ∃Y ∀D ∀Z ∀E ∃F with X := g(Y, Z) and E := h(F): X takes Y, Z and B (a universal
// before the existential Y) in front; then E takes F.
TEST(MergePrefix, PutsTheVariablesOfEachValueInFrontOfItAndKeepsTheRestInOrder) {
  Fixture fx;
  auto r = fx.Parse("p(a);");
  ASSERT_TRUE(r);
  TVariable* a = NewVariable("A");
  TVariable* x = NewVariable("X");
  TVariable* b = NewVariable("B");
  TVariable* c = NewVariable("C", kExists);
  TVariable* y = NewVariable("Y", kExists);
  TVariable* d = NewVariable("D");
  TVariable* z = NewVariable("Z");
  TVariable* e = NewVariable("E");
  TVariable* f = NewVariable("F", kExists);
  auto* g = new TFunctor("g");
  g->Args = {y, z};
  x->Binding = g;
  auto* h = new TFunctor("h");
  h->Args = {f};
  e->Binding = h;
  auto* list = new TQuant;
  list->Items = {a, x, b, c, nullptr, y, d, z, e, f};
  MergePrefix(r->Root, list);
  EXPECT_EQ(Describe(r->Root->Prefix), "∀A ∀B ∃Y ∀Z ∀X ∃C ∀D ∃F ∀E");
  for (std::size_t k = 0; k < r->Root->Prefix->Items.size(); ++k)
    EXPECT_EQ(r->Root->Prefix->Items[k]->Scope, r->Root) << k;
}

TEST(NumberSameNames, CountsLaterUnboundNamesakesInListOrder) {
  Fixture fx;
  auto r = fx.Parse("p(a);");
  ASSERT_TRUE(r);
  TSub* root = r->Root;
  root->Prefix = new TQuant;
  auto& items = root->Prefix->Items;

  items = {NewVariable("X"), NewVariable("Y"), NewVariable("X"), NewVariable("X")};
  for (TVariable* v : items) v->DupIndex = 7;  // stale numbers are reset
  NumberSameNames(root);
  EXPECT_EQ(items[0]->DupIndex, 0);
  EXPECT_EQ(items[1]->DupIndex, 0);
  EXPECT_EQ(items[2]->DupIndex, 1);
  EXPECT_EQ(items[3]->DupIndex, 2);
  EXPECT_EQ(Printed(root), "∀X, Y, X#1, X#2 p(a)");
}

TEST(NumberSameNames, IgnoresBoundVariablesNilSlotsAndOtherCases) {
  Fixture fx;
  auto r = fx.Parse("p(a);");
  ASSERT_TRUE(r);
  TSub* root = r->Root;
  root->Prefix = new TQuant;
  auto& items = root->Prefix->Items;

  items = {NewVariable("X"), NewVariable("X"), NewVariable("X")};
  items[0]->Binding = new TFunctorA("b");
  NumberSameNames(root);
  EXPECT_EQ(items[0]->DupIndex, 0);
  EXPECT_EQ(items[1]->DupIndex, 0);
  EXPECT_EQ(items[2]->DupIndex, 1);
  EXPECT_EQ(Printed(root), "∀X, X#1 p(a)");

  TVariable* gap = items[1];
  items[1] = nullptr;
  NumberSameNames(root);
  EXPECT_EQ(items[2]->DupIndex, 0);  // the bound X does not count, the gap is skipped
  delete gap;

  items.push_back(NewVariable("Ab"));
  items.push_back(NewVariable("AB"));
  items.push_back(NewVariable("Ab"));
  NumberSameNames(root);
  EXPECT_EQ(items[3]->DupIndex, 0);
  EXPECT_EQ(items[4]->DupIndex, 0);  // names compare with their case
  EXPECT_EQ(items[5]->DupIndex, 1);
}

}  // namespace
}  // namespace velmoran::testing

namespace velmoran::testing {
namespace {

// A record frees its whole tree at once: every variable and binding, in any prefix, whatever
// refers to what, and the atom chain under construction lets go of its atoms.
TEST(FreeWholeTree, FreesEveryPrefixAndBindingAndLeavesTheChain) {
  freedTerms = freedVariables = 0;
  {
    Fixture fx;
    auto r = fx.Parse("[p ∧ q] ∨ s;");
    ASSERT_TRUE(r);
    TSub* inner = r->Root->Left;
    // The inner node's variable is bound to a term that refers to the root's variable, so the
    // root's variable must outlive that binding.
    auto* x = new CountedVariable("X");
    auto* y = new CountedVariable("Y");
    auto* f = new TFunctor("f");
    f->Args.push_back(x);
    f->Args.push_back(new CountedConstant("a"));
    y->Binding = f;
    x->Binding = new CountedConstant("b");
    for (auto [node, v] : {std::pair{r->Root, x}, std::pair{inner, y}}) {
      node->Prefix = new TQuant;
      node->Prefix->Items.push_back(v);
      v->Scope = node;
    }
    inner->Prefix->Items.push_back(nullptr);  // an empty slot is skipped
    Logic.ChainFirst = r->FirstAtom;
    Logic.ChainLast = r->LastAtom;
    r.reset();
    EXPECT_EQ(freedVariables, 2);
    EXPECT_EQ(freedTerms, 2);
    EXPECT_EQ(Logic.ChainFirst, nullptr);
    EXPECT_EQ(Logic.ChainLast, nullptr);
  }
}

}  // namespace
}  // namespace velmoran::testing
