// The logic layer's walks over formula records: the visiting order of each mode, callbacks that
// switch the mode of the rest of a node's walk, and the reset of a query's answer variables.
#include "logic/walk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logic/alphabet.h"
#include "logic/formula.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

// What the recording callbacks saw, in order.
std::vector<std::string> Visits;
// The mode a callback switches to at the object it applies to.
WalkMode SwitchTo = WalkMode::PostOrder;

std::string TermText(const TId* t) {
  std::string s;
  t->Print(s);
  return Utf8(s);
}

std::string Label(TObject* o) {
  if (dynamic_cast<TQuant*>(o)) return "prefix";
  if (TAtom* a = AsAtom(o)) return "atom " + TermText(a->Term);
  if (auto* n = dynamic_cast<TSub*>(o)) {
    switch (n->Kind()) {
      case 2:
        return "→";
      case 3:
        return "∨";
      default:
        return "∧";
    }
  }
  return TermText(static_cast<TId*>(o));
}

TObject* Record(TObject* o, WalkMode&, TObject*) {
  Visits.push_back(Label(o));
  return o;
}

TObject* SwitchAtRoot(TObject* o, WalkMode& mode, TObject*) {
  Visits.push_back(Label(o));
  if (auto* n = dynamic_cast<TSub*>(o); n && n->IsRoot()) mode = SwitchTo;
  return o;
}

TObject* SwitchAtAtomP(TObject* o, WalkMode& mode, TObject*) {
  Visits.push_back(Label(o));
  if (TAtom* a = AsAtom(o); a && TermText(a->Term).starts_with("p(")) mode = SwitchTo;
  return o;
}

using Seq = std::vector<std::string>;

// "∀X [p(f(X), a) ∧ ∃Y q(Y, b)]": a root prefix, an atom without and an atom with a prefix.
constexpr const char* kSample = "∀X [p(f(X), a) ∧ ∃Y q(Y, b)];";

TEST(Walk, PostOrderVisitsPrefixesAndOperandsBeforeTheirOwner) {
  Fixture fx;
  auto r = fx.Parse(kSample);
  ASSERT_TRUE(r);
  Visits.clear();
  r->Walk(WalkMode::PostOrder, Record);
  EXPECT_EQ(Visits, (Seq{"X", "prefix", "X", "f(X)", "a", "p(f(X), a)", "atom p(f(X), a)", "Y",
                         "prefix", "Y", "b", "q(Y, b)", "atom q(Y, b)", "∧"}));
}

TEST(Walk, PreOrderVisitsNodesFirstAndSkipsPrefixes) {
  Fixture fx;
  auto r = fx.Parse(kSample);
  ASSERT_TRUE(r);
  Visits.clear();
  r->Walk(WalkMode::PreOrder, Record);
  // Terms are walked arguments first in both orders.
  EXPECT_EQ(Visits, (Seq{"∧", "atom p(f(X), a)", "X", "f(X)", "a", "p(f(X), a)", "atom q(Y, b)",
                         "Y", "b", "q(Y, b)"}));
}

TEST(Walk, ModeSwitchedAtANodeGovernsTheRestOfThatNode) {
  Fixture fx;
  auto r = fx.Parse(kSample);
  ASSERT_TRUE(r);

  // Switched to post-order at the root: the operands are walked bottom-up, with their prefixes.
  SwitchTo = WalkMode::PostOrder;
  Visits.clear();
  r->Walk(WalkMode::PreOrder, SwitchAtRoot);
  EXPECT_EQ(Visits, (Seq{"∧", "X", "f(X)", "a", "p(f(X), a)", "atom p(f(X), a)", "Y", "prefix", "Y",
                         "b", "q(Y, b)", "atom q(Y, b)"}));

  // Switched at one atom to a mode that terms do not use: that atom's term is skipped, while the
  // sibling atom is walked in the mode its parent passed on.
  SwitchTo = WalkMode::SimplifyWalk;
  Visits.clear();
  r->Walk(WalkMode::PreOrder, SwitchAtAtomP);
  EXPECT_EQ(Visits, (Seq{"∧", "atom p(f(X), a)", "atom q(Y, b)", "Y", "b", "q(Y, b)"}));
}

TEST(Walk, SimplifyWalkEntersOnlyNonConstantConnectives) {
  Fixture fx;
  auto atom = fx.Parse("p(a);");
  ASSERT_TRUE(atom);
  Visits.clear();
  atom->Walk(WalkMode::SimplifyWalk, Record);
  EXPECT_TRUE(Visits.empty());

  auto flat = fx.Parse("p ∧ q;");
  ASSERT_TRUE(flat);
  Visits.clear();
  flat->Walk(WalkMode::SimplifyWalk, Record);
  EXPECT_EQ(Visits, (Seq{"∧"}));

  auto nested = fx.Parse("[p ∧ q] ∨ [r → s];");
  ASSERT_TRUE(nested);
  Visits.clear();
  nested->Walk(WalkMode::SimplifyWalk, Record);
  EXPECT_EQ(Visits, (Seq{"∧", "→", "∨"}));

  nested->Root->Left->Constant = 1;
  Visits.clear();
  nested->Walk(WalkMode::SimplifyWalk, Record);
  EXPECT_EQ(Visits, (Seq{"→", "∨"}));
}

TEST(Walk, RecordWithoutRootIsNotWalked) {
  Fixture fx;
  TFALFormula empty(fx.Program.get());
  Visits.clear();
  for (WalkMode mode : {WalkMode::PostOrder, WalkMode::PreOrder, WalkMode::SimplifyWalk,
                        WalkMode::Cleanup, WalkMode::ResetVariables})
    empty.Walk(mode, Record);
  EXPECT_TRUE(Visits.empty());
  EXPECT_EQ(empty.Root, nullptr);
}

TEST(Walk, ResetVariablesTouchesOnlyTheRootPrefix) {
  Fixture fx;
  auto r = fx.Parse("∀X [p(X) ∧ ∃Y q(X, Y)];");
  ASSERT_TRUE(r);
  TVariable* x = r->Root->Prefix->Items[0];
  TVariable* y = r->Root->Right->Prefix->Items[0];
  x->Occurs = y->Occurs = 1;
  x->Binding = new TFunctorA("a");
  r->Walk(WalkMode::ResetVariables, nullptr);
  EXPECT_EQ(x->Origin, x);
  EXPECT_EQ(x->Occurs, 0);
  EXPECT_EQ(x->Binding, nullptr);
  EXPECT_EQ(x->CopyOf, nullptr);
  EXPECT_EQ(y->Origin, nullptr);
  EXPECT_EQ(y->Occurs, 1);
}

}  // namespace
}  // namespace velmoran::testing
