#include "logic/formula.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "logic/alphabet.h"
#include "logic/logic_state.h"

namespace velmoran {

LogicState Logic;

void TQuant::FreeAll() {
  // Bindings first: a binding may refer to another variable of this very prefix.
  for (TVariable* v : Items) {
    if (!v) continue;
    FreeTermIfAny(v->Binding);
    v->Binding = nullptr;
  }
  for (TVariable*& v : Items) {
    delete v;
    v = nullptr;
  }
  delete this;
}

bool TQuant::Empty() const {
  for (const TVariable* v : Items)
    if (v) return false;
  return true;
}

void TCon::OperatorText(std::string& out) const {
  out = kAnd;
}
void TDis::OperatorText(std::string& out) const {
  out = kOr;
}
void TImp::OperatorText(std::string& out) const {
  out = kImplies;
}

void TSub::HandPrefixUp(HeldSlot slot, bool parentDies) {
  if (!Prefix) return;
  if (TSub* p = ParentNode) {
    bool heldLeft = slot == HeldSlot::AsLinked ? p->Left == this : slot == HeldSlot::Left;
    // The prefix moves out of the antecedent of an implication and out of the parent's negation;
    // crossing exactly one of them turns every quantifier into its dual.
    bool crossesNegation = (heldLeft && p->IsImplication()) != (p->Negated != 0);
    if (crossesNegation) FlipPrefix(*Prefix);
    // The parent's own variables stood outside this node's, and they still do: putting the
    // handed-up ones outermost would carry an existential out past a universal it depends on
    // (∀A [t(A) ∨ ∃B [q(A, B) ∧ ¬s]] and ¬s gave ∃B ∀A [t(A) ∨ q(A, B)]).
    MergePrefix(p, Prefix, parentDies, PrefixPlace::Innermost);
  } else if (TFALFormula* r = ParentRecord; r && r->Root && r->Root != this) {
    MergePrefix(r->Root, Prefix);  // an old root's prefix goes to the new root unchanged
  } else {
    Prefix->FreeAll();
  }
  Prefix = nullptr;
}

void TSub::FreeTree(HeldSlot slot, bool parentDies) {
  // The operands hand their prefixes to this node, which dies right after them.
  if (Left) {
    Left->FreeTree(HeldSlot::AsLinked, true);
    Left = nullptr;
  }
  if (Right) {
    Right->FreeTree(HeldSlot::AsLinked, true);
    Right = nullptr;
  }
  HandPrefixUp(slot, parentDies);
  delete this;
}

void TAtom::FreeTree(HeldSlot slot, bool parentDies) {
  FreeTermIfAny(Term);
  Term = nullptr;
  HandPrefixUp(slot, parentDies);
  if (Left) Left->Right = Right;
  if (Right) Right->Left = Left;
  if (Logic.ChainFirst == this) Logic.ChainFirst = Next();
  if (Logic.ChainLast == this) Logic.ChainLast = Previous();
  delete this;
}

void TSub::FreeWholeTree(TSub* root) {
  // Iterative, so a degenerate tree of any depth frees without deep recursion.
  std::vector<TSub*> nodes;
  for (std::vector<TSub*> pending{root}; !pending.empty();) {
    TSub* n = pending.back();
    pending.pop_back();
    nodes.push_back(n);
    if (n->IsAtom()) continue;  // an atom's Left and Right are the atom chain, not operands
    if (n->Left) pending.push_back(n->Left);
    if (n->Right) pending.push_back(n->Right);
  }
  for (TSub* n : nodes) {
    if (n->Prefix)
      for (TVariable* v : n->Prefix->Items)
        if (v) {
          FreeTermIfAny(v->Binding);
          v->Binding = nullptr;
        }
    if (TAtom* a = AsAtom(n)) {
      FreeTermIfAny(a->Term);
      a->Term = nullptr;
    }
  }
  for (TSub* n : nodes) {
    if (n->Prefix) n->Prefix->FreeAll();
    n->Prefix = nullptr;
    if (TAtom* a = AsAtom(n)) {
      if (a->Left) a->Left->Right = a->Right;
      if (a->Right) a->Right->Left = a->Left;
      if (Logic.ChainFirst == a) Logic.ChainFirst = a->Next();
      if (Logic.ChainLast == a) Logic.ChainLast = a->Previous();
    }
  }
  for (TSub* n : nodes) delete n;
}

TFALFormula::TFALFormula(TPLProgram* program)
    : Serial(++Logic.LastRecordSerial), Program(program) {}

TFALFormula::~TFALFormula() {
  if (Root) {
    TSub::FreeWholeTree(Root);
    Root = nullptr;
  }
}

bool TFALFormula::IsQuery() const {
  return dynamic_cast<const TQuery*>(this) != nullptr;
}

void Negate(TSub* node) {
  node->Negated ^= 1;
  if (node->Prefix)
    for (TVariable* v : node->Prefix->Items)
      if (v) v->Quantifier = DualQuantifier(v->Quantifier);
  ComputePolarity(node);
}

namespace {

// The polarity `pol` of `node` (its own negation counted) and of everything below it; the right
// operand continues the loop, so a right-leaning chain costs no stack.
void SetPolarityBelow(TSub* node, int pol) {
  for (;;) {
    node->Polarity = static_cast<std::int8_t>(pol);
    if (node->IsAtom()) return;
    if (TSub* l = node->Left) {
      int lp = node->IsImplication() ? -pol : pol;
      SetPolarityBelow(l, l->Negated ? -lp : lp);
    }
    TSub* r = node->Right;
    if (!r) return;
    if (r->Negated) pol = -pol;
    node = r;
  }
}

}  // namespace

void ComputePolarity(TSub* node) {
  int pol = 1;
  if (TSub* p = node->ParentNode) {
    pol = p->Polarity;
    if (p->IsImplication() && p->Left == node) pol = -pol;
  }
  SetPolarityBelow(node, node->Negated ? -pol : pol);
}

TSub* ReplaceByChild(TSub* child) {
  TSub* p = child->ParentNode;
  HeldSlot pSlot = HeldSlot::Right;
  if (TSub* g = p->ParentNode) {
    child->SetParent(g);
    if (g->Left == p) {
      g->Left = child;
      pSlot = HeldSlot::Left;
    } else {
      g->Right = child;
    }
  } else {
    TFALFormula* r = p->ParentRecord;
    child->SetParent(r);
    r->Root = child;
    pSlot = HeldSlot::AsLinked;  // a record parent never flips
  }
  if (p->Left == child)
    p->Left = nullptr;
  else
    p->Right = nullptr;
  if (p->Negated) Negate(child);
  p->FreeTree(pSlot);
  return child;
}

void AppendAtom(TAtom* atom) {
  if (Logic.ChainLast) {
    atom->Left = Logic.ChainLast;
    Logic.ChainLast->Right = atom;
    Logic.ChainLast = atom;
  } else {
    Logic.ChainFirst = Logic.ChainLast = atom;
  }
}

namespace {

// The variables that occur in `t`. A bound one is not looked through: when it stands in the same
// list, its own value is put outside it in turn.
void CollectVariables(TId* t, std::vector<TVariable*>& out, std::vector<TId*>& todo) {
  todo.assign(1, t);
  while (!todo.empty()) {
    TId* u = todo.back();
    todo.pop_back();
    if (TVariable* v = AsVariable(u)) {
      out.push_back(v);
    } else if (u->Class() == TermClass::Functor) {
      for (TId* a : static_cast<TFunctor*>(u)->Args)
        if (a) todo.push_back(a);
    }
  }
}

// A bound variable is its value: whatever the prefix puts inside it depends on the variables of
// that value, so they have to stand outside it. Two lists that meet in one prefix each keep this,
// but merged they can break it: ∀A#1 ∃B#1 [t(A#1) ∨ q(A#1, B#1)] resolved with ∀A ¬t(A) binds
// A#1 := A, and when both operands die into the root, A arriving after B#1 would read ∃B#1 ∀A.
// Moving each such value to just before the variable bound to it restores the order the
// binding stands for; its other neighbours keep their order.
// Side effect: `DupIndex` holds each variable's position; the caller renumbers right after.
void PutValuesOutside(VariableList& items) {
  if (std::none_of(items.begin(), items.end(), [](TVariable* v) { return v && v->Binding; }))
    return;
  // Empty slots go first: the moves below keep the order of everything between the slots they
  // touch, and number only those slots.
  std::erase(items, nullptr);
  auto number = [&items](std::size_t from, std::size_t to) {
    for (std::size_t k = from; k < to; ++k) items[k]->DupIndex = static_cast<std::int32_t>(k);
  };
  // A stale number from another list cannot pass: the slot it names must hold the variable.
  auto positionOf = [&items](const TVariable* v) {
    auto k = static_cast<std::size_t>(v->DupIndex);
    return v->DupIndex >= 0 && k < items.size() && items[k] == v ? k : items.size();
  };
  number(0, items.size());
  std::vector<TVariable*> values;
  std::vector<TId*> todo;
  std::vector<std::size_t> later;
  std::vector<TVariable*> moved, stayed;
  for (std::size_t i = 0; i < items.size(); ++i) {
    TVariable* w = items[i];
    if (!w || !w->Binding) continue;
    values.clear();
    CollectVariables(w->Binding, values, todo);
    later.clear();
    for (TVariable* v : values) {
      std::size_t k = positionOf(v);
      if (k > i && k < items.size() && std::find(later.begin(), later.end(), k) == later.end())
        later.push_back(k);
    }
    if (later.empty()) continue;
    // An existential value depends on the universals before it, so they go out with it (a
    // universal moved outward past existentials says less, never more): ∀X#1 ∃X1 [¬r(X#1, X1)]
    // with X := X1 in front, alone moved, read ∃X1 ∀X#1.
    std::size_t reach = i;
    for (std::size_t k : later)
      if (items[k]->Quantifier != kForAll) reach = std::max(reach, k);
    for (std::size_t j = i + 1; j < reach; ++j)
      if (items[j] && !items[j]->Binding && items[j]->Quantifier == kForAll &&
          std::find(later.begin(), later.end(), j) == later.end())
        later.push_back(j);
    std::sort(later.begin(), later.end());
    // The moved variables go in front of position i, in their order, and the others of the slots
    // i to the last moved one follow them in theirs; slots outside that range keep their places.
    const std::size_t end = later.back() + 1;
    moved.clear();
    stayed.clear();
    for (std::size_t k = i, next = 0; k < end; ++k) {
      if (next < later.size() && later[next] == k) {
        moved.push_back(items[k]);
        ++next;
      } else {
        stayed.push_back(items[k]);
      }
    }
    auto to = std::copy(moved.begin(), moved.end(), items.begin() + static_cast<std::ptrdiff_t>(i));
    std::copy(stayed.begin(), stayed.end(), to);
    number(i, end);
    --i;  // the moved variables may be bound themselves
  }
}

}  // namespace

// Skipping the scope and numbering for a dying node gives exactly the state that settling them
// would: the node's list (in the same order, with the same variables, since only the settling is
// skipped) goes on to another node, which either settles it, writing the scope and the number of
// every variable of its whole list afresh from the list's order, names and bindings as they are
// then, or dies in turn, or frees it. The values a dying node would have written are thus
// overwritten before anything reads them, provided nothing reads a scope or a number between
// the two merges: the callers make sure of that (a node being freed hands its list on within the
// same `FreeTree`; a node that simplification turns into a constant is freed by its parent's
// simplification in the same walk, which reads no scope and prints nothing).
void MergePrefix(TSub* node, TQuant*& list, bool nodeDies, PrefixPlace place) {
  if (node->Prefix && node->Prefix->Empty()) {
    node->Prefix->FreeAll();
    node->Prefix = nullptr;
  }
  if (!node->Prefix) {
    node->Prefix = list;
  } else if (node->Prefix != list) {
    auto& own = node->Prefix->Items;
    auto& items = list->Items;
    std::erase(own, nullptr);
    if (place == PrefixPlace::Innermost) {
      items.insert(items.begin(), own.begin(), own.end());
    } else {
      items.insert(items.end(), own.begin(), own.end());
    }
    own.clear();
    delete node->Prefix;
    node->Prefix = list;
  }
  if (list && list->Empty()) {
    list->FreeAll();
    list = nullptr;
    node->Prefix = nullptr;
  }
  if (!node->Prefix || nodeDies) return;
  // Lists in transit through dying nodes are put in order here, by the node that keeps them.
  PutValuesOutside(node->Prefix->Items);
  for (TVariable* v : node->Prefix->Items)
    if (v) v->Scope = node;
  NumberSameNames(node);
}

void NumberSameNames(TSub* node) {
  // Among the unbound variables of one name, in list order, the first keeps 0 and the later ones
  // count up from 1. Short prefixes compare pairwise; long ones count per name, so a prefix of a
  // hundred thousand variables costs no more than its length.
  auto& items = node->Prefix->Items;
  if (items.size() <= 16) {
    for (std::size_t i = 0; i < items.size(); ++i) {
      TVariable* v = items[i];
      if (!v) continue;
      v->DupIndex = 0;
      if (v->Binding) continue;
      for (std::size_t j = 0; j < i; ++j)
        if (items[j] && !items[j]->Binding && items[j]->Name == v->Name) ++v->DupIndex;
    }
    return;
  }
  // Prefixes are long mostly because copies of a few variables gather at a root: the counts
  // then live in a short list searched in place, and only many distinct names need the map.
  constexpr std::size_t kListedNames = 32;
  std::vector<std::pair<std::string_view, std::int32_t>> listed;
  std::unordered_map<std::string_view, std::int32_t> seen;
  for (TVariable* v : items) {
    if (!v) continue;
    if (v->Binding) {
      v->DupIndex = 0;
      continue;
    }
    if (!seen.empty()) {
      v->DupIndex = seen[v->Name]++;
      continue;
    }
    std::string_view name = v->Name;
    auto at = std::find_if(listed.begin(), listed.end(), [&](auto& e) { return e.first == name; });
    if (at != listed.end()) {
      v->DupIndex = at->second++;
    } else if (listed.size() < kListedNames) {
      listed.emplace_back(name, 1);
      v->DupIndex = 0;
    } else {
      seen.insert(listed.begin(), listed.end());
      v->DupIndex = seen[name]++;
    }
  }
}

void FlipPrefix(TQuant& prefix) {
  for (TVariable* v : prefix.Items) {
    if (!v) continue;
    v->Quantifier = DualQuantifier(v->Quantifier);
    v->AsWritten = 0;
  }
}

bool InNegativePosition(const TVariable& v) {
  const TSub* s = v.Scope;
  if (!s) return false;
  return (s->Polarity >= 0) != (s->Negated == 0);
}

bool IsEffectivelyUniversal(const TVariable& v) {
  return (v.Quantifier == kForAll) != InNegativePosition(v);
}

}  // namespace velmoran
