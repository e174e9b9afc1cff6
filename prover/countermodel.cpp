#include "prover/countermodel.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "logic/alphabet.h"

namespace velmoran {

namespace {

struct Symbol {
  std::string_view Name;
  std::size_t Arity;
};

// The predicate symbols met so far, and each atom's symbol in the order a left-to-right walk
// meets the atoms; the symbol's index picks its truth pattern.
struct Atoms {
  std::vector<Symbol> Symbols;
  std::vector<int> Order;
};

// False when the atom has no predicate symbol or the table is full (the search is then declined).
bool AddAtom(const TAtom& atom, Atoms& atoms) {
  const TId* t = atom.Term;
  if (!t || !t->IsFunc()) return false;
  Symbol s{static_cast<const TFunc*>(t)->Name, 0};
  if (const TFunctor* f = AsFunctor(t)) s.Arity = f->Args.size();
  std::size_t i = 0;
  while (i < atoms.Symbols.size() &&
         (atoms.Symbols[i].Name != s.Name || atoms.Symbols[i].Arity != s.Arity))
    ++i;
  if (i == atoms.Symbols.size()) {
    if (i == kMaxCountermodelSymbols) return false;
    atoms.Symbols.push_back(s);
  }
  atoms.Order.push_back(static_cast<int>(i));
  return true;
}

bool CollectAtoms(const TSub& n, Atoms& atoms) {
  if (n.Constant != 0) return true;
  if (n.IsAtom()) return AddAtom(static_cast<const TAtom&>(n), atoms);
  return n.Left && n.Right && CollectAtoms(*n.Left, atoms) && CollectAtoms(*n.Right, atoms);
}

// Truth of symbol `i` in the 64 assignments of block `block`: the first six symbols vary inside
// a block, the others from block to block.
std::uint64_t Pattern(int i, std::uint64_t block) {
  static constexpr std::uint64_t kInside[6] = {0xAAAAAAAAAAAAAAAAull, 0xCCCCCCCCCCCCCCCCull,
                                               0xF0F0F0F0F0F0F0F0ull, 0xFF00FF00FF00FF00ull,
                                               0xFFFF0000FFFF0000ull, 0xFFFFFFFF00000000ull};
  if (i < 6) return kInside[i];
  return (block >> (i - 6)) & 1 ? ~std::uint64_t{0} : 0;
}

// Walks the tree in the order `CollectAtoms` did, `next` running along `Atoms::Order`. A node's
// constant already includes its own negation.
std::uint64_t Truth(const TSub& n, const Atoms& atoms, std::size_t& next, std::uint64_t block) {
  if (n.Constant != 0) return n.Constant == 1 ? ~std::uint64_t{0} : 0;
  std::uint64_t v;
  if (n.IsAtom()) {
    v = Pattern(atoms.Order[next++], block);
  } else {
    std::uint64_t l = Truth(*n.Left, atoms, next, block);
    std::uint64_t r = Truth(*n.Right, atoms, next, block);
    v = n.Kind() == 4 ? l & r : n.Kind() == 3 ? l | r : ~l | r;
  }
  return n.Negated ? ~v : v;
}

}  // namespace

bool HasOnePointCountermodel(const TSub& b, const TSub& a) {
  Atoms atoms;
  if (!CollectAtoms(b, atoms) || !CollectAtoms(a, atoms)) return false;
  std::size_t k = atoms.Symbols.size();
  std::uint64_t blocks = k > 6 ? std::uint64_t{1} << (k - 6) : 1;
  for (std::uint64_t block = 0; block < blocks; ++block) {
    std::size_t next = 0;
    std::uint64_t holds = Truth(b, atoms, next, block);
    if (holds & ~Truth(a, atoms, next, block)) return true;
  }
  return false;
}

namespace {

// 64 two-element interpretations at once: bit j of every mask belongs to interpretation j. A
// term's mask holds its element (0 or 1) in each, a formula's mask its truth.
struct TwoPoint {
  // Tables of the function and predicate symbols, made on first use from the generator: entry c
  // is the value at the argument tuple whose bits spell c.
  struct Table {
    std::string_view Name;
    std::size_t Arity;
    bool Predicate;
    std::vector<std::uint64_t> Values;
  };
  std::vector<Table> Tables;
  // A witness names one element in every formula where its copies stand, as a constant does.
  std::vector<std::pair<std::int32_t, std::uint64_t>> Witnesses;
  std::vector<std::pair<const TVariable*, std::uint64_t>> Bound;
  std::uint64_t Seed = 0x9E3779B97F4A7C15ull;
  bool Declined = false;

  std::uint64_t Random() {  // splitmix64: the same interpretations on every run
    std::uint64_t z = (Seed += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  const Table& TableOf(std::string_view name, std::size_t arity, bool predicate) {
    for (const Table& t : Tables)
      if (t.Name == name && t.Arity == arity && t.Predicate == predicate) return t;
    Table t{name, arity, predicate, {}};
    for (std::size_t c = 0; c < (std::size_t{1} << arity); ++c) t.Values.push_back(Random());
    Tables.push_back(std::move(t));
    return Tables.back();
  }

  std::uint64_t Witness(std::int32_t serial) {
    for (const auto& [s, m] : Witnesses)
      if (s == serial) return m;
    Witnesses.emplace_back(serial, Random());
    return Witnesses.back().second;
  }

  // The symbol's value at argument masks `args`, lane by lane.
  std::uint64_t Apply(const Table& t, const std::vector<std::uint64_t>& args) {
    std::uint64_t out = 0;
    for (std::size_t c = 0; c < t.Values.size(); ++c) {
      std::uint64_t lanes = ~std::uint64_t{0};
      for (std::size_t i = 0; i < args.size(); ++i) lanes &= (c >> i) & 1 ? args[i] : ~args[i];
      out |= lanes & t.Values[c];
    }
    return out;
  }

  std::uint64_t Term(const TId* t) {
    if (Declined || !t) return Declined = true, 0;
    if (const TVariable* v = AsVariable(t)) {
      if (v->Binding) return Term(v->Binding);
      if (v->Witness) return Witness(v->Serial);
      for (auto it = Bound.rbegin(); it != Bound.rend(); ++it)
        if (it->first == v) return it->second;
      return Declined = true, 0;  // not declared in either formula
    }
    if (t->Class() == TermClass::FunctorA)
      return TableOf(static_cast<const TFunc*>(t)->Name, 0, false).Values[0];
    const TFunctor* f = AsFunctor(t);
    // Arithmetic is evaluated by the prover, which no random table respects.
    if (!f || f->Args.size() > kMaxTwoPointArity || f->Name.empty() ||
        IsArithmeticChar(f->Name.front()))
      return Declined = true, 0;
    std::vector<std::uint64_t> args;
    for (const TId* a : f->Args) args.push_back(Term(a));
    return Apply(TableOf(f->Name, args.size(), false), args);
  }

  std::uint64_t Atom(const TAtom& a) {
    const TId* t = a.Term;
    if (t && t->Class() == TermClass::FunctorA)
      return TableOf(static_cast<const TFunc*>(t)->Name, 0, true).Values[0];
    const TFunctor* f = AsFunctor(t);
    if (!f || f->Args.size() > kMaxTwoPointArity) return Declined = true, 0;
    std::vector<std::uint64_t> args;
    for (const TId* arg : f->Args) args.push_back(Term(arg));
    return Apply(TableOf(f->Name, args.size(), true), args);
  }

  // The node with its prefix quantified from `item` on; the negation lies inside the prefix.
  std::uint64_t Node(const TSub& n, std::size_t item = 0) {
    if (Declined) return 0;
    if (n.Constant != 0) return n.Constant == 1 ? ~std::uint64_t{0} : 0;
    if (n.Prefix && item < n.Prefix->Items.size()) {
      const TVariable* v = n.Prefix->Items[item];
      if (!v || v->Binding || v->Witness) return Node(n, item + 1);
      Bound.emplace_back(v, 0);
      std::uint64_t zero = Node(n, item + 1);
      Bound.back().second = ~std::uint64_t{0};
      std::uint64_t one = Node(n, item + 1);
      Bound.pop_back();
      return v->Quantifier == kForAll ? zero & one : zero | one;
    }
    std::uint64_t v;
    if (n.IsAtom()) {
      v = Atom(static_cast<const TAtom&>(n));
    } else if (n.Left && n.Right) {
      std::uint64_t l = Node(*n.Left);
      std::uint64_t r = Node(*n.Right);
      v = n.Kind() == 4 ? l & r : n.Kind() == 3 ? l | r : ~l | r;
    } else {
      return Declined = true, 0;
    }
    return n.Negated ? ~v : v;
  }
};

// Atoms evaluated when the whole tree is: every quantified variable doubles the work below it.
// Saturates at `limit`.
std::size_t Work(const TSub& n, std::size_t limit) {
  if (n.Constant != 0) return 1;
  std::size_t w =
      n.IsAtom() ? 1 : (n.Left ? Work(*n.Left, limit) : 0) + (n.Right ? Work(*n.Right, limit) : 0);
  if (n.Prefix)
    for (const TVariable* v : n.Prefix->Items)
      if (v && !v->Binding && !v->Witness && w <= limit) w *= 2;
  return w < limit ? w : limit;
}

}  // namespace

bool HasTwoPointCountermodel(const TSub& b, const TSub& a) {
  if (Work(b, kMaxTwoPointWork) + Work(a, kMaxTwoPointWork) >= kMaxTwoPointWork) return false;
  TwoPoint model;
  for (int round = 0; round < kTwoPointRounds; ++round) {
    std::uint64_t holds = model.Node(b);
    std::uint64_t fails = ~model.Node(a);
    if (model.Declined) return false;
    if (holds & fails) return true;
    model.Tables.clear();
    model.Witnesses.clear();
  }
  return false;
}

}  // namespace velmoran
