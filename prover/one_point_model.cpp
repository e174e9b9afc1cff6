#include "prover/one_point_model.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

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
    if (i == kMaxOnePointSymbols) return false;
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

bool HasOnePointModel(const TSub& x) {
  Atoms atoms;
  if (!CollectAtoms(x, atoms)) return false;
  std::size_t k = atoms.Symbols.size();
  std::uint64_t blocks = k > 6 ? std::uint64_t{1} << (k - 6) : 1;
  for (std::uint64_t block = 0; block < blocks; ++block) {
    std::size_t next = 0;
    if (Truth(x, atoms, next, block)) return true;
  }
  return false;
}

}  // namespace velmoran
