#include "prover/resolution.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "logic/alphabet.h"
#include "logic/logic_state.h"
#include "prover/copy.h"
#include "prover/program.h"
#include "prover/unify.h"
#include "prover/witness.h"
#include "report/report.h"

namespace velmoran {

namespace {

// Hands every pair of `Bindings` to its variable as a pending term, then empties the list. With
// `markValues`, a variable that is a value is marked so that its copy counts as one the prover
// changed.
void ApplyBindings(bool markValues = true);

}  // namespace

namespace {

std::vector<TId*>& Bindings() {
  return *Prover.ActiveBindings;
}

// The value stored on a node is the value of the node itself, its own negation included.
std::int8_t NodeValue(const TSub& node, int v) {
  return static_cast<std::int8_t>(node.Negated ? -v : v);
}

// How a tree's value n(a) can move with the common value a of its marked atoms. `Up` and `Down`
// bound how fast it rises and falls: an atom rises with a, negation swaps the two, minimum and
// maximum move as their faster operand, and implication min(1, 1 - x + y) and the bounded sum add
// their operands' moves (the antecedent's swapped). The four flags say that n stays within the
// atom's reach of its value at a = 0 or a = 1: they hold for an atom (negated or not) and for a
// tree without marked atoms, minimum and maximum keep them, negation swaps each upper flag with
// its lower one, and implication and the bounded sum keep none over marked atoms.
struct TMove {
  int Up = 0;
  int Down = 0;
  bool BelowAtFalse = true;  // n(a) <= max(n(0), a)
  bool AboveAtFalse = true;  // n(a) >= min(n(0), 1 - a)
  bool BelowAtTrue = true;   // n(a) <= max(n(1), 1 - a)
  bool AboveAtTrue = true;   // n(a) >= min(n(1), a)
};

TMove MarkedAtomMove(const TSub* n) {
  TMove m;
  if (n->IsAtom()) {
    m.Up = n->Constant != 0 ? 1 : 0;
  } else {
    TMove l = n->Left ? MarkedAtomMove(n->Left) : TMove{};
    TMove r = n->Right ? MarkedAtomMove(n->Right) : TMove{};
    bool sum = n->IsImplication() || n->BoundedSum;
    if (n->IsImplication()) {
      m.Up = l.Down + r.Up;
      m.Down = l.Up + r.Down;
    } else if (sum) {
      m.Up = l.Up + r.Up;
      m.Down = l.Down + r.Down;
    } else {
      m.Up = std::max(l.Up, r.Up);
      m.Down = std::max(l.Down, r.Down);
    }
    bool marked = m.Up + m.Down > 0;
    bool keep = !sum || !marked;
    m.BelowAtFalse = keep && l.BelowAtFalse && r.BelowAtFalse;
    m.AboveAtFalse = keep && l.AboveAtFalse && r.AboveAtFalse;
    m.BelowAtTrue = keep && l.BelowAtTrue && r.BelowAtTrue;
    m.AboveAtTrue = keep && l.AboveAtTrue && r.AboveAtTrue;
  }
  if (n->Negated) {
    std::swap(m.Up, m.Down);
    std::swap(m.BelowAtFalse, m.AboveAtFalse);
    std::swap(m.BelowAtTrue, m.AboveAtTrue);
  }
  return m;
}

// What a step costs and how its disjunction reads. Let F take the marked atoms false and G take
// them true, both at value a before. From F(a) <= F(0) + Up(F) a and
// G(a) <= G(1) + Down(G) (1 - a) follows
// min(1, F(0) + G(1)) >= F(a) + G(a) - max(Up(F), Down(G)): the resolvent read as the bounded
// sum holds to the sources' sum less that weight, which is the t-norm when the weight is 1 (one
// occurrence in each source, or several that cannot push the same way). The plain maximum
// max(F(0), G(1)) holds to the t-norm as well when one source stays within the atom's reach and
// the other's weight is 1: if F(a) <= max(F(0), a) and G(a) <= G(1) + 1 - a, then
// F(a) + G(a) - 1 is at most F(0) (when F(a) <= F(0)) or a + G(a) - 1 <= G(1); the mirror case
// G(a) <= max(G(1), 1 - a) with F(a) <= F(0) + a is the same. That case is a clause met by a
// literal, and keeping the maximum there keeps later steps on such resolvents at the t-norm. An
// atom that can push one way twice, as q in ¬q → q (worth min(1, 2q)), costs more: replacing
// every occurrence at once is otherwise not a step of the many-valued logic.
struct TStepCost {
  int Weight = 1;
  bool BoundedSum = false;
};

// `f`, the move of the first tree, takes the marked atoms' value `firstValue` (-1 false, 1 true),
// `g` the other. A self-resolution passes one tree's move twice.
TStepCost StepCost(TMove f, TMove g, int firstValue) {
  if (firstValue > 0) std::swap(f, g);  // now f takes false and g takes true
  TStepCost c;
  if ((f.BelowAtFalse && g.Down <= 1) || (g.BelowAtTrue && f.Up <= 1)) return c;
  c.Weight = std::max({f.Up, g.Down, 1});
  c.BoundedSum = true;
  return c;
}

void BeginCopy(TDis*& d) {
  Logic.ChainFirst = Logic.ChainLast = nullptr;
  Walks.NewVariables = new TQuant;
  d = new TDis;
}

// Attaches the hoisted variables to the resolvent's root, or drops the empty list.
void AttachNewVariables(TDis* d) {
  if (Walks.NewVariables->Items.empty()) {
    delete Walks.NewVariables;
  } else {
    MergePrefix(d, Walks.NewVariables);
  }
  Walks.NewVariables = nullptr;
}

// A new record of two sources, its copy begun (`BeginCopy`): what every two-source step records.
TFALFormula* BeginResolvent(TFALFormula& f, TFALFormula& g, TDis*& d) {
  BeginCopy(d);
  auto* r = new TFALFormula(f.Program);
  r->QueryUses = f.QueryUses + g.QueryUses;
  r->Source1 = &f;
  r->Source2 = &g;
  r->SupportMark = f.SupportMark || g.SupportMark;
  return r;
}

void CutChainEnds(TFALFormula& r) {
  if (r.FirstAtom) r.FirstAtom->Left = nullptr;
  if (r.LastAtom) r.LastAtom->Right = nullptr;
}

TSub* CopyUnder(TSub* root, TDis* d, bool negateConstants,
                const TTermReplacement* replacement = nullptr) {
  Walks.NegateConstantsOnCopy = negateConstants;
  TSub* c = CopyTree(root, d, replacement);
  Walks.NegateConstantsOnCopy = false;
  return c;
}

// Moves the copies of the `lifted` variables (outermost first) to the root `d`, after the
// variables of `shared`. Each leaves its place in its copy (or the hoisted variables, where its
// counterpart was made before its prefix was copied) and joins the root's variables with the
// quantifier it acted as, now that no negation stands above it. It keeps its as-written mark: a
// universal still fixes a value for the existentials inside it.
void LiftToRoot(TDis* d, const std::vector<TVariable*>& lifted, TQuant* shared) {
  for (TVariable* v : lifted) {
    TVariable* c = v->CopyOf;
    char quantifier = IsEffectivelyUniversal(*v) ? kForAll : kExists;
    TSub* s = c->Scope;
    bool hoisted = std::erase(Walks.NewVariables->Items, c) > 0;
    if (!hoisted && s && s->Prefix && std::erase(s->Prefix->Items, c) > 0) {
      if (s->Prefix->Empty()) {
        delete s->Prefix;
        s->Prefix = nullptr;
      } else {
        NumberSameNames(s);
      }
    }
    c->Quantifier = quantifier;
    if (!shared) shared = new TQuant;
    shared->Items.push_back(c);
  }
  if (shared) MergePrefix(d, shared);
}

// Moving variables to the root across records puts them outside the other record's dependent
// witnesses too, and a moved copy of a universal may have the serial number of one such a witness
// depends on: the witness's own counterpart, bound in place to a value that varies, may leave the
// record later, and the witness would then be taken for f of the moved copy, one element with
// witnesses it is not. So after such a step each copy of a dependent witness (whose values were
// not fixed when it was copied) keeps its identity only where the copies of its own counterparts,
// unbound, are the ones outside it; else it becomes a variable of its own.
void KeepMovedWitnessesApart(TSub* n) {
  if (!n) return;
  if (n->Prefix) {
    std::vector<TVariable*> was, is;
    for (TVariable* v : n->Prefix->Items) {
      TVariable* c = v ? v->CopyOf : nullptr;
      if (!c || c == v || c->SkolemSerials.empty() || !c->WitnessKey.empty()) continue;
      bool same = OuterCounterparts(v, was) && OuterCounterparts(c, is);
      for (std::size_t i = 0; same && i < was.size(); ++i)
        same = was[i]->CopyOf == is[i] && !is[i]->Binding;
      if (!same) c->SkolemSerials.clear();
    }
  }
  if (n->IsAtom()) return;
  KeepMovedWitnessesApart(n->Left);
  KeepMovedWitnessesApart(n->Right);
}

// Copies the tree twice below `d`, the second time with the constants of the atoms negated. The
// variables of the root prefix, and the `lifted` universals of inner prefixes, get one set of
// counterparts, shared by both copies and quantified at `d`: the split X[A := v] ∨ X[A := ¬v]
// speaks of one value for each of them.
void CopyTwiceSharingRoot(TSub* root, TDis* d, TSub*& first, TSub*& second,
                          const std::vector<TVariable*>& lifted = {}) {
  first = CopyUnder(root, d, false);
  if (root->Prefix)
    for (TVariable* v : root->Prefix->Items)
      if (v) v->NoCopy = 1;
  for (TVariable* v : lifted) v->NoCopy = 1;
  second = CopyUnder(root, d, true);
  TQuant* shared = first->Prefix;
  first->Prefix = nullptr;
  LiftToRoot(d, lifted, shared);
}

}  // namespace

long double TNorm(long double x, long double y) {
  return ResolventDegree(x, y, 1);
}

long double ResolventDegree(long double x, long double y, int weight) {
  long double s = x + y - weight;
  return s >= 0 ? s : 0;
}

namespace {

// Two predicate terms whose symbols differ (name, arity, or a constant against a term with
// arguments) never unify: the unifier's first step compares exactly these and fails, adding no
// pair, whatever bindings are collected. Deciding it here skips the walk, not the count.
bool PredicatesDiffer(const TId* s, const TId* t) {
  if (!s || !t || !s->IsFunc() || !t->IsFunc()) return false;
  if (s->Class() != t->Class()) return true;
  if (s->Class() == TermClass::Functor &&
      static_cast<const TFunctor*>(s)->Args.size() != static_cast<const TFunctor*>(t)->Args.size())
    return true;
  return static_cast<const TFunc*>(s)->Name != static_cast<const TFunc*>(t)->Name;
}

}  // namespace

bool UnifyAtoms(TAtom* a, TAtom* b) {
  ++Statistics.Unifications;
  std::size_t n = Bindings().size();
  if (b->Constant != 0) return false;
  if (a->Term && PredicatesDiffer(a->Term, b->Term)) return false;
  bool ok = a->Term ? Unify(a->Term, b->Term) : true;
  if (!ok) Bindings().resize(n);
  return ok;
}

void ClearBindings() {
  Bindings().clear();
}

namespace {

void ApplyBindings(bool markValues) {
  auto& b = Bindings();
  for (std::size_t k = 0; k + 1 < b.size(); k += 2) {
    auto* v = static_cast<TVariable*>(b[k]);
    v->PendingTerm = b[k + 1];
    if (TVariable* t = AsVariable(b[k + 1]); t && markValues) t->InvertOnCopy = 1;
  }
  b.clear();
}

}  // namespace

bool FalseInFirst(const TAtom& a, const TAtom& b) {
  if (a.Polarity != 0) return a.Polarity == 1;
  return b.Polarity == -1;
}

namespace {

TId* Deref(TId* t) {
  while (TVariable* v = AsVariable(t)) {
    if (!v->Binding) break;
    t = v->Binding;
  }
  return t;
}

// The same term, variables compared as objects after their bindings are followed.
bool SameTerm(TId* s, TId* t) {
  s = Deref(s);
  t = Deref(t);
  if (s == t) return true;
  if (!s || !t) return false;
  if (s->IsNumber() || t->IsNumber())
    return s->IsNumber() && t->IsNumber() && AsNumber(s)->Value() == AsNumber(t)->Value();
  if (s->Class() != t->Class()) return false;
  switch (s->Class()) {
    case TermClass::FunctorA:
      return static_cast<TFunctorA*>(s)->Name == static_cast<TFunctorA*>(t)->Name;
    case TermClass::Var:
      return static_cast<TVar*>(s)->Name == static_cast<TVar*>(t)->Name;
    case TermClass::Functor: {
      auto* f = static_cast<TFunctor*>(s);
      auto* g = static_cast<TFunctor*>(t);
      if (f->Name != g->Name || f->Args.size() != g->Args.size()) return false;
      for (std::size_t i = 0; i < f->Args.size(); ++i)
        if (!SameTerm(f->Args[i], g->Args[i])) return false;
      return true;
    }
    case TermClass::Variable:
      // Two unbound variables: the same only as copies of one witness.
      return SameWitness(static_cast<TVariable*>(s), static_cast<TVariable*>(t));
    default:
      return false;
  }
}

// A key that terms equal under `SameTerm` share, so that differing keys settle a comparison
// without walking both terms. It reads what `SameTerm` reads, after the same dereferencing: the
// class (one key for all numbers, which compare across classes by value), the name, the arity and
// the arguments' keys in order; a variable contributes its serial number, which two variables that
// `SameWitness` takes as one always share (the same object, or copies of one declaration).
std::uint64_t TermKey(TId* t) {
  auto mix = [](std::uint64_t h, std::uint64_t v) {
    h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    return h;
  };
  auto name = [](const std::string& s) {
    std::uint64_t h = 0xcbf29ce484222325ULL;  // FNV-1a: short names, no call
    for (unsigned char ch : s) h = (h ^ ch) * 0x100000001b3ULL;
    return h;
  };
  t = Deref(t);
  if (!t) return 0;
  if (t->IsNumber()) return 1;
  switch (t->Class()) {
    case TermClass::FunctorA:
      return mix(2, name(static_cast<TFunctorA*>(t)->Name));
    case TermClass::Var:
      return mix(3, name(static_cast<TVar*>(t)->Name));
    case TermClass::Variable:
      return mix(4, static_cast<std::uint64_t>(static_cast<TVariable*>(t)->Serial));
    case TermClass::Functor: {
      auto* f = static_cast<TFunctor*>(t);
      std::uint64_t h = mix(mix(5, name(f->Name)), f->Args.size());
      for (TId* arg : f->Args) h = mix(h, TermKey(arg));
      return h;
    }
    default:
      return 1;
  }
}

bool OnlyRootVariables(TId* t, const TQuant* rootPrefix) {
  t = Deref(t);
  if (!t) return true;
  if (TVariable* v = AsVariable(t)) {
    // A witness names one value wherever its copies stand, as a constant does.
    if (v->Witness) return true;
    if (!rootPrefix) return false;
    for (const TVariable* w : rootPrefix->Items)
      if (w == v) return true;
    return false;
  }
  if (TFunctor* f = AsFunctor(t)) {
    for (TId* arg : f->Args)
      if (!OnlyRootVariables(arg, rootPrefix)) return false;
  }
  return true;
}

}  // namespace

bool IsSplitAtom(const TFALFormula& x, const TAtom& atom) {
  return x.Root && OnlyRootVariables(atom.Term, x.Root->Prefix);
}

namespace {

// Whether the pairs from `from` on only instantiate the root variables of the two atoms compared:
// each binds such a variable (the unifier lets only universals be bound, and only to values that
// do not depend on them) to a term over root variables, so both operands of the split take the
// same instance.
bool Mentions(const TId* t, const TVariable* v) {
  if (!t) return false;
  if (t == v) return true;
  if (const TFunctor* f = AsFunctor(t))
    for (const TId* arg : f->Args)
      if (arg && Mentions(arg, v)) return true;
  return false;
}

bool OnlyRootInstances(const TFALFormula& x, const TAtom& chosen, const TAtom& other,
                       std::size_t from) {
  const auto& b = Bindings();
  const TQuant* root = x.Root ? x.Root->Prefix : nullptr;
  for (std::size_t k = from; k + 1 < b.size(); k += 2) {
    auto* v = static_cast<TVariable*>(b[k]);
    // Only the two atoms compared are instantiated; the others keep their variables for later
    // steps (the class is compared with the chosen atom alone, so that one instance of it does
    // not pull in atoms through another).
    if (!Mentions(chosen.Term, v) && !Mentions(other.Term, v)) return false;
    bool inRoot = false;
    if (root)
      for (const TVariable* w : root->Items) inRoot = inRoot || w == v;
    if (!inRoot || !OnlyRootVariables(b[k + 1], root)) return false;
    // Two universals made one would collapse two instances that the test may need apart
    // (p(X) ∨ ¬p(Y) implies p(a) ∨ ¬p(b) only with X and Y kept apart).
    if (TVariable* w = AsVariable(Deref(b[k + 1])); w && IsEffectivelyUniversal(*w)) return false;
  }
  return true;
}

constexpr std::size_t kNoAtom = static_cast<std::size_t>(-1);

// A record's atoms in chain order, each with the first atom of the chain that has its term key
// and the next one after it (see `TermKey`): only atoms that share a key can be the same atom.
struct TKeyChains {
  std::vector<TAtom*> Atoms;
  std::vector<std::size_t> Head, Next;
  std::size_t AIndex = kNoAtom;  // where the chosen atom stands
  std::size_t Unmarked = 0;      // atoms of the chain with no mark

  // False, with nothing built, when `a` is not on the record's chain.
  bool Build(const TFALFormula& x, const TAtom* a) {
    std::vector<std::uint64_t> keys;
    for (TAtom* c = x.FirstAtom; c; c = c->Next()) {
      if (c == a) AIndex = Atoms.size();
      if (c->Mark == 0) ++Unmarked;
      Atoms.push_back(c);
      keys.push_back(TermKey(c->Term));
    }
    if (AIndex == kNoAtom) return false;
    std::size_t count = Atoms.size();
    std::vector<std::size_t> order(count);
    for (std::size_t k = 0; k < count; ++k) order[k] = k;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t p, std::size_t q) { return keys[p] < keys[q]; });
    Head.assign(count, 0);
    Next.assign(count, kNoAtom);
    for (std::size_t k = 0; k < count; ++k) {
      std::size_t j = order[k];
      bool continues = k > 0 && keys[order[k - 1]] == keys[j];
      Head[j] = continues ? Head[order[k - 1]] : j;
      if (continues) Next[order[k - 1]] = j;
    }
    return true;
  }
};

}  // namespace

bool MarkAtomClass(TFALFormula& x, TAtom* a, bool falseInFirst, SplitKind kind) {
  // The debugging loose class (`TPLProgram::LooseSplit`) runs the sound loop without its
  // sameness conditions: any atom, and every atom that merely unifies with a marked one.
  bool loose = x.Program->LooseSplit != 0;
  bool sound = kind == SplitKind::Sound || loose;
  if (!loose && !IsSplitAtom(x, *a)) return false;
  int v = falseInFirst ? -1 : 1;
  a->Mark = NodeValue(*a, v);
  // The loop compares each marked atom n (in chain order, starting at `a`, and then again from
  // the front while the last round marked something) with every atom c unmarked when it is
  // reached, and counts each comparison as one unification. In the sound split only an atom with
  // n's term key can be the same as n; for any other c the comparison only counts, and leaves
  // `Bindings`, the marks and everything else as they were. So there it is enough to visit, in
  // chain order, the atoms that share n's key and to count the rest: an atom is marked only where
  // it is visited, so the atoms visited in n's round are exactly those unmarked when it begins.
  TKeyChains chains;
  const bool byKey = sound && !loose && chains.Build(x, a);
  bool firstPass = true;
  bool instanced = false;
  bool changed;
  do {
    changed = false;
    std::size_t i = firstPass ? chains.AIndex : 0;  // n's place in `chains` when `byKey`
    for (TAtom* n = firstPass ? a : x.FirstAtom; n; n = n->Next(), ++i) {
      if (n->Mark == 0 || (!sound && n != a)) continue;
      // A test record can grow large; a stop request ends the marking (a smaller class is as
      // sound) so that the stop command and the front end's limits stay responsive.
      x.Program->Poll();
      if (x.Program->StopRequested) break;
      auto compare = [&](TAtom* c) {
        std::size_t before = Bindings().size();
        // A sound case split takes one atom: the very same atom, over variables of the root
        // prefix that both operands of the split share. Sameness is a condition of the match
        // and reads no pair of the list (only the variables' own bindings), so when it fails
        // the unification can only end in a refusal whose pairs are removed below: it is
        // counted and not run. (An atom already replaced by a constant never unifies either.)
        bool same;
        if (sound && !loose && (c->Constant != 0 || !SameTerm(n->Term, c->Term))) {
          ++Statistics.Unifications;
          same = false;
        } else {
          same = UnifyAtoms(n, c);
        }
        if (same && sound && !loose) same = Bindings().size() == before && IsSplitAtom(x, *c);
        // One instance per class: the first atom that needs bindings fixes it, the rest must
        // meet it as it is, so that p(X) does not take X := a and then p(Y) take Y := a.
        if (same && !sound)
          same = IsSplitAtom(x, *c) && OnlyRootInstances(x, *a, *c, before) &&
                 (!instanced || Bindings().size() == before);
        if (same && !sound && Bindings().size() != before) instanced = true;
        if (same) {
          c->Mark = NodeValue(*c, v);
          if (byKey) --chains.Unmarked;
          changed = true;
        }
        // A refused atom leaves no pairs behind; an instance keeps its pairs for the copies.
        if (sound || !same) Bindings().resize(before);
      };
      if (byKey) {
        std::size_t passedOver = chains.Unmarked;
        for (std::size_t j = chains.Head[i]; j != kNoAtom; j = chains.Next[j]) {
          TAtom* c = chains.Atoms[j];
          if (c->Mark != 0) continue;
          --passedOver;
          compare(c);
        }
        Statistics.Unifications += static_cast<std::int32_t>(passedOver);
      } else {
        for (TAtom* c = x.FirstAtom; c; c = c->Next())
          if (c->Mark == 0) compare(c);
      }
      if (sound) ClearBindings();
    }
    firstPass = false;
  } while (changed && sound);  // the class of an instance is compared with the chosen atom once
  for (TAtom* c = x.FirstAtom; c; c = c->Next()) c->Constant = c->Mark;
  return true;
}

namespace {

bool InRootPrefix(const TFALFormula& x, const TVariable* v) {
  return x.Root && InPrefix(x.Root->Prefix, v);
}

}  // namespace

// A split of a record with itself on an instance of an atom, where the sound split needs the very
// atom over root variables. Argument: let L be universals of inner prefixes with only universals
// outside them (`IsLiftableUniversal`); L is empty unless the root prefix R holds universals only,
// since R is outside every inner variable. Moving L to the root gives an equivalent record
// ∀R ∀L X', and in that block of universals the order is free. A witness has only existentials
// outside it, so it could go to the front as well; it is one element for the whole proof and both
// copies share it as they are. The pairs that unified `a` with its partner bind universals (the
// unifier binds no other kind, and only at a position of one polarity), and the record is refused
// unless every value is a term over R ∪ L and witnesses. Such a value lies outside every
// universal, so putting it in place of the universal where that is quantified, ∀v φ ⊢ φ[v := t]
// (an existential under a negation alike), is an instance that follows: X'σ, wherever the
// universals stand, under an existential of the record too (∃Y ∀X [p(X, Y) ∧ …] gives
// ∃Y [p(Y, Y) ∧ …]). On the atom aσ, whose variables are all in R ∪ L or witnesses, the split
// ∀R ∀L [X'σ[aσ := v] ∨ X'σ[aσ := ¬v]] follows as the sound split does. The class is every atom
// equal to `a` under σ; the atoms' variables of L move to the new root, shared by both copies.
// A partner that needs no binding is left to the sound split: splitting single inner atoms
// multiplies the resolvents without adding proofs.
namespace {

// Whether the collected pairs bind a universal that is neither in the root prefix nor liftable: one
// with an existential outside it, which only an instance in place can reach.
bool BindsEnclosedUniversal(const TFALFormula& x) {
  const auto& b = Bindings();
  for (std::size_t k = 0; k + 1 < b.size(); k += 2) {
    auto* v = static_cast<TVariable*>(b[k]);
    if (!InRootPrefix(x, v) && !IsLiftableUniversal(*v)) return true;
  }
  return false;
}

}  // namespace

// Where a value or the atom holds a variable that is none of these (an existential inside a
// universal, say), the variable goes to the root together with every variable quantified outside
// it, in their order (`OuterClosure`): the record is read in a prenex order that puts them in
// front, which keeps its meaning, since a quantifier moves through ∧, ∨ and (as its dual) a
// negation or the left side of an implication, and the variables of other branches do not
// depend on it. In that order every value is quantified before the universal it replaces, unless
// that universal is one of the root's (refused: the root comes first) or stands outside a moved
// variable (`OuterClosure` refuses it unless its value is at hand there). So the instance follows,
// and the split shares everything it moved: ∃Y ∀X [p(X, Y) ↔ p(X, X)] ∧ ∀X1 ∃Y1 ∀Z
// [p(Z, Y1) ↔ ¬p(Z, X1)] split on p(X, X) and p(Z, Y1) reads ∀X1 ∃Y1 in front and takes
// X, Z := Y1.
//
// A pair that binds universals of the root prefix alone, each to a term without universals,
// takes that instance of the root, ∀R X ⊢ X[x := t], and splits on it: ∃Y1 ∀Z [p(Z, Y1) ↔
// ¬p(Z, Z)] split on p(Z, Z) and p(Z, Y1) under Z := Y1 closes. (A value with a universal would
// only make two of them one.)
namespace {

// Whether a pair binds a universal to a witness: the existentials inside it may then lie inside no
// universal any more. (A constant would do as well; it is left out because the consequent tests
// over records full of witnesses grow with every step they take, and constants are everywhere.)
bool BindsToWitness() {
  const auto& b = Bindings();
  for (std::size_t k = 0; k + 1 < b.size(); k += 2) {
    TVariable* w = AsVariable(ValueOf(b[k + 1]));
    if (w && w->Witness) return true;
  }
  return false;
}

bool IsInstanceOfRoot(const TFALFormula& x) {
  const auto& b = Bindings();
  if (b.empty()) return false;
  for (std::size_t k = 0; k + 1 < b.size(); k += 2) {
    if (!InRootPrefix(x, static_cast<TVariable*>(b[k]))) return false;
    std::vector<TVariable*> vars;
    CollectVariables(b[k + 1], vars);
    for (TVariable* v : vars)
      if (!v->Witness && (!InRootPrefix(x, v) || IsEffectivelyUniversal(*v))) return false;
  }
  return true;
}

// Whether a universal of the root prefix takes a value that moves: it stands in front of it.
bool BindsRootOutsideMoved(const TFALFormula& x) {
  const auto& b = Bindings();
  for (std::size_t k = 0; k + 1 < b.size(); k += 2) {
    if (!InRootPrefix(x, static_cast<TVariable*>(b[k]))) continue;
    std::vector<TVariable*> vars;
    CollectVariables(b[k + 1], vars);
    for (TVariable* v : vars)
      if (!v->Witness && !InRootPrefix(x, v)) return true;
  }
  return false;
}

// `enclosed`: the pairs bind a universal inside an existential (`BindsEnclosedUniversal`), or
// they take an instance of the root (`IsInstanceOfRoot`).
bool MarkLiftedClass(TFALFormula& x, TAtom* a, bool falseInFirst, bool enclosed,
                     std::vector<TVariable*>& lifted) {
  std::vector<TVariable*> vars;
  const auto& b = Bindings();
  if (b.empty()) return false;
  for (std::size_t k = 0; k + 1 < b.size(); k += 2) CollectVariables(b[k + 1], vars);
  CollectVariables(a->Term, vars);
  lifted.clear();
  bool liftable = true;
  for (TVariable* v : vars) {
    if (v->Witness || InRootPrefix(x, v)) continue;
    if (!IsLiftableUniversal(*v)) liftable = false;
    lifted.push_back(v);
  }
  if (!liftable) {
    lifted.clear();
    if (BindsRootOutsideMoved(x) || !OuterClosure(vars, x.Root ? x.Root->Prefix : nullptr, lifted))
      return false;
  }
  // An instance of root variables alone is left to the sound split, as a pair needing no binding.
  if (lifted.empty() && !enclosed) return false;
  int v = falseInFirst ? -1 : 1;
  a->Mark = NodeValue(*a, v);
  for (TAtom* c = x.FirstAtom; c; c = c->Next()) {
    if (c == a || c->Constant != 0) continue;
    std::size_t before = Bindings().size();
    if (UnifyAtoms(a, c) && Bindings().size() == before) c->Mark = NodeValue(*c, v);
    Bindings().resize(before);
  }
  for (TAtom* c = x.FirstAtom; c; c = c->Next()) c->Constant = c->Mark;
  return true;
}

// The value a tree takes from the constants of its marked atoms alone, as the simplification's
// constant folding will find it in the copy: 1 true, -1 false, 0 where an unmarked atom decides
// (⊤ ∨ x, x ∨ ⊤, ⊥ ∧ x and ⊥ → x fold whatever x is; ⊤ ∧ x folds to x).
int KnownValue(const TSub* n) {
  if (n->IsAtom()) return n->Constant;
  if (!n->Left || !n->Right) return 0;
  const int l = KnownValue(n->Left);
  int r;
  switch (n->Kind()) {
    case 4:
      r = l == -1 ? -1 : std::min(l, KnownValue(n->Right));
      break;
    case 3:
      r = l == 1 ? 1 : std::max(l, KnownValue(n->Right));
      break;
    default:
      r = l == -1 ? 1 : std::max(-l, KnownValue(n->Right));
      break;
  }
  return n->Negated ? -r : r;
}

}  // namespace

TFALFormula* MakeResolvent(TFALFormula& f, TFALFormula& g, TAtom* a, bool falseInFirst, TAtom* b,
                           bool* tautology) {
  bool self = &f == &g;
  // Sources are copied here first: their witnesses are marked before any copy exists.
  if (!f.Source1) MarkWitnesses(f);
  if (!self && !g.Source1) MarkWitnesses(g);
  std::vector<TVariable*> lifted;
  // A pair whose unifier reaches inside an existential, or takes an instance of the root, splits
  // on the instance; any other pair over root variables splits on the atom as it stands.
  bool freesWitnesses = false;
  if (self) {
    bool enclosed = BindsEnclosedUniversal(f);
    freesWitnesses = enclosed && !f.Program->LooseSplit;
    bool instance = !enclosed && IsInstanceOfRoot(f);
    bool sound = (IsSplitAtom(f, *a) && !enclosed && !instance) || f.Program->LooseSplit;
    if (!(sound ? MarkAtomClass(f, a, falseInFirst, SplitKind::Sound)
                : MarkLiftedClass(f, a, falseInFirst, enclosed || instance, lifted))) {
      ClearBindings();
      return nullptr;
    }
  }
  TStepCost cost;
  if (self) {
    const TMove m = MarkedAtomMove(f.Root);
    cost = StepCost(m, m, falseInFirst ? -1 : 1);
  }
  int v = falseInFirst ? -1 : 1;
  if (!self) {
    // The atoms of two stored records hold no constants between steps, so a step left unmade
    // takes its marks back by clearing every atom of both.
    auto unmade = [&] {
      for (TAtom* c = f.FirstAtom; c; c = c->Next()) c->Constant = 0;
      for (TAtom* c = g.FirstAtom; c; c = c->Next()) c->Constant = 0;
      ClearBindings();
      return nullptr;
    };
    a->Constant = NodeValue(*a, v);
    b->Constant = NodeValue(*b, -v);
    for (TAtom* c = f.FirstAtom; c; c = c->Next())
      if (UnifyAtoms(a, c)) c->Constant = NodeValue(*c, v);
    if (f.Program->GeneralCut)
      for (TAtom* c = g.FirstAtom; c; c = c->Next())
        if (UnifyAtoms(a, c)) c->Constant = NodeValue(*c, -v);
    // On the final pairs: the atoms marked above may have bound a variable of a chain to move.
    if (f.Program->WitnessesAcross && !ValuesToLift(lifted)) return unmade();
    if (tautology && (KnownValue(f.Root) == 1 || KnownValue(g.Root) == 1)) {
      *tautology = true;
      return unmade();
    }
    cost = StepCost(MarkedAtomMove(f.Root), MarkedAtomMove(g.Root), v);
  }
  TDis* d;
  TFALFormula* r = BeginResolvent(f, g, d);
  r->FreesWitnesses = freesWitnesses || (!self && BindsToWitness());
  r->Degree = ResolventDegree(f.Degree, g.Degree, cost.Weight);
  d->BoundedSum = cost.BoundedSum;
  // The split over inner universals instantiates universals of one record in place: a value
  // variable stays the universal it was, and still fixes the existentials inside it.
  ApplyBindings(!self);
  r->Root = d;
  d->SetParent(r);
  if (self) {
    CopyTwiceSharingRoot(f.Root, d, d->Left, d->Right, lifted);
  } else {
    d->Left = CopyUnder(f.Root, d, false);
    d->Right = CopyUnder(g.Root, d, false);
    if (!lifted.empty()) {
      LiftToRoot(d, lifted, nullptr);
      KeepMovedWitnessesApart(f.Root);
      KeepMovedWitnessesApart(g.Root);
    }
  }
  r->FirstAtom = Logic.ChainFirst;
  r->LastAtom = Logic.ChainLast;
  AttachNewVariables(d);
  f.Walk(WalkMode::Cleanup, nullptr);
  if (!self) g.Walk(WalkMode::Cleanup, nullptr);
  CutChainEnds(*r);
  return r;
}

TFALFormula* MakeParamodulant(TFALFormula& f, TAtom* e, TFALFormula& g,
                              const TTermReplacement& at) {
  if (!f.Source1) MarkWitnesses(f);
  if (!g.Source1) MarkWitnesses(g);
  // The cost, with the occurrence's atom b standing for the equation's value e in G: a model of
  // the equality axioms at degree 1 keeps |b[s] - b[t]| <= 1 - e, so G may move by its weight in
  // b times 1 - e either way, as a source that takes e true and is not within its reach; then
  // `StepCost`'s argument holds as it stands, F taking the equation false.
  e->Constant = NodeValue(*e, -1);
  const TMove fm = MarkedAtomMove(f.Root);
  at.Atom->Constant = 1;
  TMove gm = MarkedAtomMove(g.Root);
  at.Atom->Constant = 0;
  gm.Down = std::max(gm.Up, gm.Down);
  gm.BelowAtTrue = false;
  const TStepCost cost = StepCost(fm, gm, -1);
  TDis* d;
  TFALFormula* r = BeginResolvent(f, g, d);
  r->FreesWitnesses = BindsToWitness();
  r->ReplacedEquals = 1;
  r->Degree = ResolventDegree(f.Degree, g.Degree, cost.Weight);
  d->BoundedSum = cost.BoundedSum;
  ApplyBindings(true);
  r->Root = d;
  d->SetParent(r);
  d->Left = CopyUnder(f.Root, d, false);
  d->Right = CopyUnder(g.Root, d, false, &at);
  r->FirstAtom = Logic.ChainFirst;
  r->LastAtom = Logic.ChainLast;
  AttachNewVariables(d);
  f.Walk(WalkMode::Cleanup, nullptr);
  g.Walk(WalkMode::Cleanup, nullptr);
  CutChainEnds(*r);
  return r;
}

TFALFormula* SelfResolveCopy(TFALFormula& x, TAtom* a, bool falseInFirst, SplitKind kind) {
  if (!MarkAtomClass(x, a, falseInFirst, kind)) return nullptr;
  const TMove move = MarkedAtomMove(x.Root);
  TStepCost cost = StepCost(move, move, falseInFirst ? -1 : 1);
  TDis* d;
  BeginCopy(d);
  d->BoundedSum = cost.BoundedSum;
  auto* r = new TFALFormula(x.Program);
  r->Degree = ResolventDegree(x.Degree, x.Degree, cost.Weight);
  r->QueryUses = 2 * x.QueryUses;
  ApplyBindings();
  r->Root = d;
  d->SetParent(r);
  CopyTwiceSharingRoot(x.Root, d, d->Left, d->Right);
  r->FirstAtom = Logic.ChainFirst;
  r->LastAtom = Logic.ChainLast;
  AttachNewVariables(d);
  x.Walk(WalkMode::Cleanup, nullptr);
  CutChainEnds(*r);
  return r;
}

bool SelfResolveInPlace(TFALFormula& x, TAtom* a, bool falseInFirst, SplitKind kind) {
  if (!MarkAtomClass(x, a, falseInFirst, kind)) return false;
  const TMove move = MarkedAtomMove(x.Root);
  TStepCost cost = StepCost(move, move, falseInFirst ? -1 : 1);
  TDis* d;
  BeginCopy(d);
  d->BoundedSum = cost.BoundedSum;
  x.Degree = ResolventDegree(x.Degree, x.Degree, cost.Weight);
  x.QueryUses *= 2;
  TSub* t = x.Root;
  t->SetParent(d);
  Logic.ChainFirst = x.FirstAtom;
  Logic.ChainLast = x.LastAtom;
  ApplyBindings();
  // In a sound split the kept tree and its copy share the root's variables, which move up to the
  // new root.
  bool share = t->Prefix != nullptr;
  if (share)
    for (TVariable* v : t->Prefix->Items)
      if (v) {
        v->CopyOf = v;
        v->NoCopy = 1;
      }
  d->Right = CopyUnder(t, d, true);
  x.Root = d;
  d->SetParent(&x);
  d->Left = t;
  if (share) {
    TQuant* shared = t->Prefix;
    t->Prefix = nullptr;
    MergePrefix(d, shared);
  }
  x.FirstAtom = Logic.ChainFirst;
  x.LastAtom = Logic.ChainLast;
  AttachNewVariables(d);
  CutChainEnds(x);
  return true;
}

}  // namespace velmoran
