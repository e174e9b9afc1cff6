#include "prover/two_point_model.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "logic/alphabet.h"

namespace velmoran {

namespace {

// 64 two-element interpretations at once: bit j of every mask belongs to interpretation j. A
// term's mask holds its element (0 or 1) in each, a formula's mask its truth. Evaluates only
// trees that `Plan` below has found readable.
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

  // The value of `f`'s symbol at its arguments, lane by lane.
  std::uint64_t Apply(const TFunctor& f, bool predicate) {
    std::size_t n = f.Args.size();
    std::array<std::uint64_t, kMaxTwoPointArity> args{};
    for (std::size_t i = 0; i < n; ++i) args[i] = Term(f.Args[i]);
    const Table& t = TableOf(f.Name, n, predicate);
    std::uint64_t out = 0;
    for (std::size_t c = 0; c < t.Values.size(); ++c) {
      std::uint64_t lanes = ~std::uint64_t{0};
      for (std::size_t i = 0; i < n; ++i) lanes &= (c >> i) & 1 ? args[i] : ~args[i];
      out |= lanes & t.Values[c];
    }
    return out;
  }

  // A term or an atom's term (`predicate`): a variable, a constant or a functor.
  std::uint64_t Term(const TId* t, bool predicate = false) {
    if (const TVariable* v = AsVariable(t)) {
      if (v->Binding) return Term(v->Binding);
      if (v->Witness) return Witness(v->Serial);
      auto it = Bound.rbegin();
      while (it->first != v) ++it;  // the plan found it declared above
      return it->second;
    }
    if (t->Class() == TermClass::FunctorA)
      return TableOf(static_cast<const TFunc*>(t)->Name, 0, predicate).Values[0];
    return Apply(static_cast<const TFunctor&>(*t), predicate);
  }

  // The node with its prefix quantified from `item` on; the negation lies inside the prefix.
  std::uint64_t Node(const TSub& n, std::size_t item = 0) {
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
      v = Term(static_cast<const TAtom&>(n).Term, true);
    } else {
      std::uint64_t l = Node(*n.Left);
      std::uint64_t r = Node(*n.Right);
      v = n.Kind() == 4 ? l & r : n.Kind() == 3 ? l | r : ~l | r;
    }
    return n.Negated ? ~v : v;
  }
};

// What an evaluation of a tree would meet, found before any: its cost in term evaluations (an
// atom's terms once per assignment of the quantified variables around it, values walked at
// every use; saturates at the bound, which also stops the walk) and anything that no
// interpretation can read. A resolvent's copy may use a variable of the other copy (a binding's
// value), which stands outside every prefix above the occurrence; where such a variable is
// quantified is the resolution's business, not a model's, so the search is declined.
struct Plan {
  std::vector<const TVariable*> Declared;
  bool Readable = true;
  std::size_t AtomTerms = 0;  // the terms of the atom being walked, values included

  void Term(const TId* t) {
    if (!Readable || !t || ++AtomTerms >= kMaxTwoPointWork) return void(Readable = false);
    if (const TVariable* v = AsVariable(t)) {
      if (v->Binding) return Term(v->Binding);
      for (const TVariable* d : Declared)
        if (d == v) return;
      Readable = v->Witness;
      return;
    }
    if (t->Class() == TermClass::FunctorA) return;
    const TFunctor* f = AsFunctor(t);
    // Arithmetic is evaluated by the prover, which no random table respects.
    if (!f || f->Args.size() > kMaxTwoPointArity || f->Name.empty() ||
        IsArithmeticChar(f->Name.front()))
      return void(Readable = false);
    for (const TId* a : f->Args) Term(a);
  }

  // The term evaluations below `n`, its prefix included.
  std::size_t Node(const TSub& n) {
    if (!Readable) return 0;
    if (n.Constant != 0) return 1;
    std::size_t declared = Declared.size(), doublings = 0;
    if (n.Prefix)
      for (const TVariable* v : n.Prefix->Items)
        if (v && !v->Binding && !v->Witness) {
          Readable = Readable && (v->Quantifier == kForAll || v->Quantifier == kExists);
          Declared.push_back(v);
          ++doublings;
        }
    std::size_t w = 1;
    if (n.IsAtom()) {
      const TId* t = static_cast<const TAtom&>(n).Term;
      if (!t || t->Class() != TermClass::FunctorA) {
        const TFunctor* f = AsFunctor(t);
        if (!f || f->Args.size() > kMaxTwoPointArity) Readable = false;
        AtomTerms = 0;
        for (std::size_t i = 0; Readable && i < f->Args.size(); ++i) Term(f->Args[i]);
        w = AtomTerms > 1 ? AtomTerms : 1;
      }
    } else if (n.Left && n.Right) {
      w = Node(*n.Left);
      w += Node(*n.Right);
    } else {
      Readable = false;
    }
    Declared.resize(declared);
    for (; doublings > 0 && w < kMaxTwoPointWork; --doublings) w *= 2;
    return w < kMaxTwoPointWork ? w : kMaxTwoPointWork;
  }
};

}  // namespace

bool HasTwoPointCountermodel(const TSub& b, const TSub& a) {
  Plan plan;
  std::size_t work = plan.Node(b);
  work += plan.Node(a);
  if (!plan.Readable || work >= kMaxTwoPointWork) return false;
  TwoPoint model;
  std::uint64_t holds = model.Node(b);
  std::uint64_t fails = ~model.Node(a);
  return (holds & fails) != 0;
}

}  // namespace velmoran
