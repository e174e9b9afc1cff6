// Formula trees and formula records.
//
// A formula is a tree of nodes: `TCon`, `TDis` and `TImp` with two operands, and `TAtom` leaves
// holding a predicate term. Any node may carry a negation flag, a quantifier prefix (`TQuant`) and
// a truth constant; a node means: its prefix, applied to (the negation of) its core. The negation
// lies inside the prefix. A record (`TFALFormula`, or `TQuery` for a query) holds one tree with its
// fuzzy degree, cached text, sources and the atom chain linking all its atoms in creation order
// through the atoms' `Left` (previous) and `Right` (next).
//
// Ownership: a record owns its tree; a node owns its operands, prefix and term; a prefix owns its
// variables. Nodes are released with `FreeTree`, which hands a node's prefix up to its parent so
// that variables still bound elsewhere survive; the hand-up keeps the formula's meaning by
// flipping the quantifiers when the move crosses exactly one negation, and by putting them inside
// the parent's own variables, which stood outside them. A record frees its whole tree with
// `FreeWholeTree`, which skips the hand-up (nothing survives) and so stays linear.
//
// A prefix's variables know their scope and carry their number among same-named variables. Both,
// and the order that keeps a bound variable's value outside it, are settled by the node that
// finally keeps a merged list: a node that dies itself before anything reads them (the parent of
// a subtree being freed, a node about to become a constant) takes the list without settling it,
// and hands it on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "logic/object.h"
#include "logic/term.h"

namespace velmoran {

class TFALFormula;
class TPLProgram;
enum class WalkMode : char;
using WalkCallback = TObject* (*)(TObject* object, WalkMode& mode, TObject* argument);

using VariableList = std::vector<TVariable*, PoolAllocator<TVariable*>>;

// A quantifier prefix: variables, outermost first; owns them. Slots may be null transiently.
class TQuant : public TObject {
 public:
  TQuant() : TObject(Family::Prefix) {}
  // Frees every variable (and its binding), then the list itself.
  void FreeAll();
  bool Empty() const;

  VariableList Items;
};

// Which operand slot of its parent a node held, when the parent can no longer tell.
enum class HeldSlot : std::uint8_t { AsLinked, Left, Right };

class TSub : public TObject {
 public:
  // Frees the node and everything below it, handing the prefix upward (see the header comment).
  // `parentDies`: the parent goes too before its variables are read again, so the hand-up need
  // not settle their scope and numbering.
  virtual void FreeTree(HeldSlot slot = HeldSlot::AsLinked, bool parentDies = false);
  // Frees a whole tree that nothing outside refers to (a record's root): nothing survives, so no
  // prefix is handed up and the cost is linear in the tree's size. Terms and bindings go before any
  // variable, since they may refer to variables of any prefix of the tree.
  static void FreeWholeTree(TSub* root);
  // The connective character; atoms have none.
  virtual void OperatorText(std::string& out) const = 0;
  // Binding strength: implication 2, disjunction 3, conjunction 4, atom 5. Stored, not virtual:
  // every walk asks it at every node.
  int Kind() const { return kind_; }
  virtual void Print(std::string& out) const;
  virtual TObject* Traverse(WalkMode mode, WalkCallback callback, TObject* argument);

  bool IsRoot() const { return ParentRecord != nullptr; }
  bool IsAtom() const { return Kind() == 5; }
  bool IsImplication() const { return Kind() == 2; }
  void SetParent(TSub* node) {
    ParentNode = node;
    ParentRecord = nullptr;
  }
  void SetParent(TFALFormula* record) {
    ParentRecord = record;
    ParentNode = nullptr;
  }

  std::uint8_t Negated = 0;
  std::int8_t Constant = 0;
  std::int8_t Mark = 0;
  std::int8_t Polarity = 0;
  // Set on a disjunction that a resolution step made to join its two copies where the maximum of
  // their values is not what the sources' degrees guarantee: its value is the bounded sum
  // min(1, x + y). It prints as any disjunction, and constants simplify in it
  // the same way (x + 0 and min(1, x + 1) agree with the maximum).
  std::uint8_t BoundedSum = 0;
  TSub* Left = nullptr;        // in an atom: previous atom of the chain, not owned
  TSub* Right = nullptr;       // in an atom: next atom of the chain, not owned
  TSub* ParentNode = nullptr;  // exactly one of the two parents is set in a linked tree
  TFALFormula* ParentRecord = nullptr;
  TQuant* Prefix = nullptr;

 protected:
  explicit TSub(std::uint8_t kind) : TObject(Family::Node), kind_(kind) {}
  // Hands the prefix to the parent (or frees it at a root) and clears it.
  void HandPrefixUp(HeldSlot slot, bool parentDies);
  ~TSub() override = default;  // nodes die through FreeTree

 private:
  std::uint8_t kind_;
};

class TCon : public TSub {
 public:
  TCon() : TSub(4) {}
  void OperatorText(std::string& out) const override;
};

class TDis : public TSub {
 public:
  TDis() : TSub(3) {}
  void OperatorText(std::string& out) const override;
};

class TImp : public TSub {
 public:
  TImp() : TSub(2) {}
  void OperatorText(std::string& out) const override;
};

class TAtom : public TSub {
 public:
  TAtom() : TSub(5) {}
  void FreeTree(HeldSlot slot = HeldSlot::AsLinked, bool parentDies = false) override;
  void OperatorText(std::string&) const override {}
  void Print(std::string& out) const override;
  TObject* Traverse(WalkMode mode, WalkCallback callback, TObject* argument) override;

  TAtom* Previous() const { return static_cast<TAtom*>(Left); }
  TAtom* Next() const { return static_cast<TAtom*>(Right); }

  TId* Term = nullptr;
};

inline TSub* AsNode(TObject* o) {
  return o && o->ObjectFamily() == TObject::Family::Node ? static_cast<TSub*>(o) : nullptr;
}
inline TQuant* AsPrefix(TObject* o) {
  return o && o->ObjectFamily() == TObject::Family::Prefix ? static_cast<TQuant*>(o) : nullptr;
}
inline TAtom* AsAtom(TObject* o) {
  TSub* n = AsNode(o);
  return n && n->IsAtom() ? static_cast<TAtom*>(n) : nullptr;
}

class TFALFormula {
 public:
  explicit TFALFormula(TPLProgram* program);
  TFALFormula(const TFALFormula&) = delete;
  TFALFormula& operator=(const TFALFormula&) = delete;
  virtual ~TFALFormula();

  // Runs the walk over the tree when there is one; the root's walk result is not stored.
  void Walk(WalkMode mode, WalkCallback callback, TObject* argument = nullptr);
  bool IsQuery() const;

  TSub* Root = nullptr;
  // Never shared with another record made in this process, unlike the record's address, which a
  // later record may take once this one is freed.
  const std::uint64_t Serial;
  std::string Text;
  // Set with `Text` when the identical-text check ignores the order of operands
  // (`TPLProgram::IdenticalUpToOrder`): the record's `OrderFreeText`.
  std::string OrderFreeKey;
  TPLProgram* Program = nullptr;
  TFALFormula* Source1 = nullptr;
  TFALFormula* Source2 = nullptr;
  TAtom* FirstAtom = nullptr;
  TAtom* LastAtom = nullptr;
  long double Degree = 1;
  // How many times the derivation of this record used the negated query: 1 for the negated query,
  // 0 for an axiom, the sum of the sources' for a resolvent, twice the source's for a
  // self-resolution step. `Degree` charges every further use of an axiom through the t-norm but
  // takes the negated query at 1 each time; a refutation of degree d that used it n times only
  // shows the query true to d / n (see `QueryDegree`). A count, kept in floating point because
  // self-resolution doubles it at every step.
  long double QueryUses = 0;
  std::uint8_t SupportMark = 0;
  std::uint8_t Disabled = 0;
  // Set on a step that may set existentials free (a split on an instance inside an existential, a
  // universal bound to a witness): they become witnesses of the record's own when it is stored.
  std::uint8_t FreesWitnesses = 0;
  // Set on a step of the equality rule (it replaced equals): it follows from its sources where
  // "=" is equality, not in every model of them.
  std::uint8_t ReplacedEquals = 0;
};

class TQuery : public TFALFormula {
 public:
  using TFALFormula::TFALFormula;
};

// Toggles the negation, swaps the quantifiers of the node's own prefix and recomputes polarities.
void Negate(TSub* node);
// Polarity of the node and, unless it is an atom, of everything below it.
void ComputePolarity(TSub* node);
// Puts the child in its parent's place (the parent's negation moves onto the child) and frees the
// parent with its other operand. Returns the child.
TSub* ReplaceByChild(TSub* child);
// Links the atom after the end of the chain under construction.
void AppendAtom(TAtom* atom);
// Where a merged list goes in the node's prefix: outside the variables the node has (a prefix
// written in front of it, an old root's prefix) or inside them (a prefix handed up from below).
enum class PrefixPlace : std::uint8_t { Outermost, Innermost };
// Gives `node` the variables of `list` as the outermost (or innermost) part of its prefix; `list`
// is consumed (it becomes the node's prefix or is freed) and set to null when it ends up empty.
// With `nodeDies` the scope and numbering are left as they are: the node hands the list on before
// they are read (see the header comment).
void MergePrefix(TSub* node, TQuant*& list, bool nodeDies = false,
                 PrefixPlace place = PrefixPlace::Outermost);
// Numbers the unbound variables of the node's prefix that share a name, for printing.
void NumberSameNames(TSub* node);
// Turns every quantifier of the prefix into the other one and marks it as inverted.
void FlipPrefix(TQuant& prefix);

// A variable's position is negative when its prefix stands under an odd number of negations;
// the prefix of a node lies outside the node's own negation. Needs computed polarities.
bool InNegativePosition(const TVariable& v);
// Universal in a positive position, or existential in a negative one.
bool IsEffectivelyUniversal(const TVariable& v);
// Whether the variable's scope has one polarity (not under an equivalence).
inline bool ScopeHasPolarity(const TVariable& v) {
  return v.Scope && (v.Scope->Polarity == 1 || v.Scope->Polarity == -1);
}

// Calls `visit` on the variables quantified outside `q` (earlier in its prefix, then in the
// prefixes of the ancestors of its scope), nearest first, until it returns true.
template <class Visit>
bool AnyOuterVariable(const TVariable* q, Visit visit) {
  const TSub* s = q->Scope;
  if (!s) return false;
  if (s->Prefix) {
    const auto& items = s->Prefix->Items;
    std::size_t i = 0;
    while (i < items.size() && items[i] != q) ++i;
    while (i-- > 0)
      if (items[i] && visit(items[i])) return true;
  }
  for (const TSub* a = s->ParentNode; a; a = a->ParentNode) {
    if (!a->Prefix) continue;
    const auto& items = a->Prefix->Items;
    for (std::size_t i = items.size(); i-- > 0;)
      if (items[i] && visit(items[i])) return true;
  }
  return false;
}

}  // namespace velmoran
