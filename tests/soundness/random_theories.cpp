// Writes random closed first-order problems twice: once in Velmoran's theory language and once
// in TPTP FOF, so that a classical prover can classify each problem and the soundness script can
// check that Velmoran never refutes a conjecture that classically does not follow.
//
// Purely random formulas are rarely theorems, and the ones that are tend to be trivial. Most
// problems are therefore built from small argument patterns (instantiation, quantifier swaps,
// distribution over connectives, modus ponens and friends) with random formulas plugged in, half
// of them as the valid direction and half as the tempting invalid one. The invalid "near misses"
// are what catch an unsound quantifier or substitution rule; the valid ones keep the mix honest.
//
// Output must be identical for a given seed on every platform: std::mt19937_64 is fully specified
// by the standard, the std distributions are not, so all sampling below is done by hand.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : engine_(seed) {}

  // Uniform in [0, n), unbiased by rejecting the short tail of the 64-bit range.
  std::uint64_t Below(std::uint64_t n) {
    const std::uint64_t threshold = (0 - n) % n;
    for (;;) {
      const std::uint64_t r = engine_();
      if (r >= threshold) return r % n;
    }
  }

  int Range(int lo, int hi) { return lo + static_cast<int>(Below(hi - lo + 1)); }

  bool Percent(unsigned p) { return Below(100) < p; }

  std::size_t Weighted(std::initializer_list<unsigned> weights) {
    unsigned total = 0;
    for (unsigned w : weights) total += w;
    std::uint64_t r = Below(total);
    std::size_t index = 0;
    for (unsigned w : weights) {
      if (r < w) return index;
      r -= w;
      ++index;
    }
    return index - 1;
  }

  template <class T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(items.size())];
  }

  // Fisher-Yates with our own sampling, for the same portability reason as above.
  template <class T>
  void Shuffle(std::vector<T>& items) {
    for (std::size_t i = items.size(); i > 1; --i) std::swap(items[i - 1], items[Below(i)]);
  }

 private:
  std::mt19937_64 engine_;
};

// Problem k depends only on (seed, k), so a failing problem can be regenerated with a smaller
// --count and the first problems of a long run are the problems of a short one.
std::uint64_t MixSeed(std::uint64_t seed, std::uint64_t index) {
  std::uint64_t z = seed * 0x9e3779b97f4a7c15ULL + index + 0x632be59bd9b4e019ULL;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

struct Term {
  enum class Kind { kVariable, kConstant, kFunction };
  Kind kind = Kind::kConstant;
  std::string name;
  std::vector<Term> args;
};

struct Formula {
  enum class Kind { kAtom, kNot, kAnd, kOr, kImplies, kForall, kExists };
  Kind kind = Kind::kAtom;
  std::string name;               // predicate of an atom
  std::vector<Term> args;         // arguments of an atom
  std::vector<std::string> vars;  // variables of a quantifier block
  std::vector<Formula> kids;
};

bool IsQuantifier(Formula::Kind k) {
  return k == Formula::Kind::kForall || k == Formula::Kind::kExists;
}
bool IsBinary(Formula::Kind k) {
  return k == Formula::Kind::kAnd || k == Formula::Kind::kOr || k == Formula::Kind::kImplies;
}

Formula Unary(Formula::Kind kind, Formula body) {
  Formula f{kind, {}, {}, {}, {}};
  f.kids.push_back(std::move(body));
  return f;
}
Formula Not(Formula body) {
  return Unary(Formula::Kind::kNot, std::move(body));
}
Formula Binary(Formula::Kind kind, Formula left, Formula right) {
  Formula f{kind, {}, {}, {}, {}};
  f.kids.push_back(std::move(left));
  f.kids.push_back(std::move(right));
  return f;
}
Formula And(Formula l, Formula r) {
  return Binary(Formula::Kind::kAnd, std::move(l), std::move(r));
}
Formula Or(Formula l, Formula r) {
  return Binary(Formula::Kind::kOr, std::move(l), std::move(r));
}
Formula Implies(Formula l, Formula r) {
  return Binary(Formula::Kind::kImplies, std::move(l), std::move(r));
}
Formula Quant(Formula::Kind kind, std::vector<std::string> vars, Formula body) {
  Formula f = Unary(kind, std::move(body));
  f.vars = std::move(vars);
  return f;
}
Formula Forall(std::string var, Formula body) {
  return Quant(Formula::Kind::kForall, {std::move(var)}, std::move(body));
}
Formula Exists(std::string var, Formula body) {
  return Quant(Formula::Kind::kExists, {std::move(var)}, std::move(body));
}

// --- Random formulas ------------------------------------------------------------------------

// Propositional atoms get names of their own: overloading a name across arities is legal in some
// front ends and an error in others, and that is not what this test is about.
struct Predicate {
  const char* name;
  int arity;
};
constexpr Predicate kPredicates[] = {{"s", 0}, {"t", 0}, {"p", 1}, {"q", 1}, {"r", 2}};
const std::vector<std::string> kVariablePool = {"X", "Y", "Z", "W"};
const std::vector<std::string> kConstants = {"a", "b"};

class Generator {
 public:
  explicit Generator(Rng& rng) : rng_(rng) {}

  Formula Closed(int depth) {
    std::vector<std::string> scope;
    return Random(depth, scope);
  }

  // A formula whose free variables are among `free` (and, when possible, really contains them,
  // otherwise a pattern like "forall X phi |- phi[a/X]" degenerates into a tautology).
  Formula Open(int depth, const std::vector<std::string>& free) {
    Formula best;
    for (int attempt = 0; attempt < 8; ++attempt) {
      std::vector<std::string> scope = free;
      best = Random(depth, scope);
      bool all = true;
      for (const auto& v : free) all = all && OccursFree(best, v);
      if (all) break;
    }
    return best;
  }

  Term GroundTerm() {
    Term c{Term::Kind::kConstant, rng_.Pick(kConstants), {}};
    if (!rng_.Percent(20)) return c;
    return Term{Term::Kind::kFunction, "f", {std::move(c)}};
  }

  static bool OccursFree(const Formula& f, const std::string& var) {
    if (f.kind == Formula::Kind::kAtom) {
      for (const auto& a : f.args)
        if (TermHas(a, var)) return true;
      return false;
    }
    if (IsQuantifier(f.kind) && std::find(f.vars.begin(), f.vars.end(), var) != f.vars.end())
      return false;
    for (const auto& k : f.kids)
      if (OccursFree(k, var)) return true;
    return false;
  }

 private:
  static bool TermHas(const Term& t, const std::string& var) {
    if (t.kind == Term::Kind::kVariable) return t.name == var;
    for (const auto& a : t.args)
      if (TermHas(a, var)) return true;
    return false;
  }

  // `scope` lists the bound variable names, innermost last; a name may appear twice when an
  // inner quantifier shadows an outer one.
  Formula Random(int depth, std::vector<std::string>& scope) {
    if (depth <= 0 || rng_.Percent(15)) return Atom(scope);
    switch (rng_.Weighted({2, 3, 3, 3, 2, 2})) {
      case 0:
        return Not(Random(depth - 1, scope));
      case 1:
        return And(Random(depth - 1, scope), Random(depth - 1, scope));
      case 2:
        return Or(Random(depth - 1, scope), Random(depth - 1, scope));
      case 3:
        return Implies(Random(depth - 1, scope), Random(depth - 1, scope));
      default: {
        const auto kind = rng_.Percent(50) ? Formula::Kind::kForall : Formula::Kind::kExists;
        std::vector<std::string> vars{BindName(scope, {})};
        if (rng_.Percent(20)) vars.push_back(BindName(scope, vars));
        const std::size_t mark = scope.size();
        scope.insert(scope.end(), vars.begin(), vars.end());
        Formula body = Random(depth - 1, scope);
        scope.resize(mark);
        return Quant(kind, std::move(vars), std::move(body));
      }
    }
  }

  // Mostly a fresh name; sometimes one already bound outside, to exercise shadowing. Never a
  // name already in the same block.
  std::string BindName(const std::vector<std::string>& scope,
                       const std::vector<std::string>& block) {
    auto taken = [&](const std::string& v, bool count_scope) {
      if (std::find(block.begin(), block.end(), v) != block.end()) return true;
      return count_scope && std::find(scope.begin(), scope.end(), v) != scope.end();
    };
    std::vector<std::string> fresh, shadowing;
    for (const auto& v : kVariablePool) {
      if (!taken(v, true))
        fresh.push_back(v);
      else if (!taken(v, false))
        shadowing.push_back(v);
    }
    if (!shadowing.empty() && (fresh.empty() || rng_.Percent(25))) return rng_.Pick(shadowing);
    return rng_.Pick(fresh);
  }

  Term RandomTerm(const std::vector<std::string>& scope) {
    Term t = !scope.empty() && rng_.Percent(75)
                 ? Term{Term::Kind::kVariable, rng_.Pick(scope), {}}
                 : Term{Term::Kind::kConstant, rng_.Pick(kConstants), {}};
    if (rng_.Percent(10)) t = Term{Term::Kind::kFunction, "f", {std::move(t)}};
    return t;
  }

  Formula Atom(const std::vector<std::string>& scope) {
    const Predicate& p = kPredicates[rng_.Weighted({1, 1, 3, 3, 3})];
    Formula f{Formula::Kind::kAtom, p.name, {}, {}, {}};
    for (int i = 0; i < p.arity; ++i) f.args.push_back(RandomTerm(scope));
    return f;
  }

  Rng& rng_;
};

// Replaces the free occurrences of `var` by a term. Callers pass ground terms, or check Captures
// first; the only care needed here is to stop below a quantifier that rebinds the same name.
Term SubstituteTerm(const Term& t, const std::string& var, const Term& by) {
  if (t.kind == Term::Kind::kVariable) return t.name == var ? by : t;
  Term out = t;
  for (auto& a : out.args) a = SubstituteTerm(a, var, by);
  return out;
}

Formula Substitute(const Formula& f, const std::string& var, const Term& by) {
  Formula out = f;
  if (f.kind == Formula::Kind::kAtom) {
    for (auto& a : out.args) a = SubstituteTerm(a, var, by);
    return out;
  }
  if (IsQuantifier(f.kind) && std::find(f.vars.begin(), f.vars.end(), var) != f.vars.end())
    return out;
  for (auto& k : out.kids) k = Substitute(k, var, by);
  return out;
}

// Whether replacing the free occurrences of `var` by the variable `by` would put one of them under
// a quantifier binding `by` (Substitute only avoids capture for ground terms).
bool Captures(const Formula& f, const std::string& var, const std::string& by) {
  if (f.kind == Formula::Kind::kAtom) return false;
  if (IsQuantifier(f.kind)) {
    auto binds = [&](const std::string& v) {
      return std::find(f.vars.begin(), f.vars.end(), v) != f.vars.end();
    };
    if (binds(var)) return false;
    if (binds(by) && Generator::OccursFree(f.kids[0], var)) return true;
  }
  for (const auto& k : f.kids)
    if (Captures(k, var, by)) return true;
  return false;
}

// One local edit that usually changes the meaning; turns a valid pattern into a near miss.
void Mutate(Formula& root, Rng& rng) {
  std::vector<Formula*> nodes;
  std::vector<Formula*> stack{&root};
  while (!stack.empty()) {
    Formula* f = stack.back();
    stack.pop_back();
    nodes.push_back(f);
    for (auto& k : f->kids) stack.push_back(&k);
  }
  Formula& f = *nodes[rng.Below(nodes.size())];
  using K = Formula::Kind;
  switch (f.kind) {
    case K::kAtom:
      if (f.name == "s" || f.name == "t") {
        f.name = f.name == "s" ? "t" : "s";
      } else if (f.name == "p" || f.name == "q") {
        if (rng.Percent(50)) {
          f.name = f.name == "p" ? "q" : "p";
        } else {
          f = Not(f);
        }
      } else {
        std::swap(f.args[0], f.args[1]);
      }
      break;
    case K::kNot: {
      Formula inner = std::move(f.kids[0]);
      f = std::move(inner);
      break;
    }
    case K::kAnd:
      f.kind = K::kOr;
      break;
    case K::kOr:
      f.kind = K::kAnd;
      break;
    case K::kImplies:
      std::swap(f.kids[0], f.kids[1]);
      break;
    case K::kForall:
      f.kind = K::kExists;
      break;
    case K::kExists:
      f.kind = K::kForall;
      break;
  }
}

// --- Problems ---------------------------------------------------------------------------------

struct Problem {
  std::string pattern;
  std::vector<Formula> axioms;
  Formula conjecture;
};

// Either "premises |- conclusion" or, with no axioms, "|- premises -> conclusion", so that the
// prover's negation of a compound conjecture is exercised as well as its use of axioms.
Problem Argument(std::string pattern, std::vector<Formula> premises, Formula conclusion, Rng& rng) {
  Problem p{std::move(pattern), {}, {}};
  if (premises.size() <= 2 && rng.Percent(35)) {
    Formula antecedent = std::move(premises[0]);
    for (std::size_t i = 1; i < premises.size(); ++i)
      antecedent = And(std::move(antecedent), std::move(premises[i]));
    p.conjecture = Implies(std::move(antecedent), std::move(conclusion));
    p.pattern += "/implication";
  } else {
    p.axioms = std::move(premises);
    p.conjecture = std::move(conclusion);
  }
  return p;
}

Problem RandomProblem(Generator& gen, Rng& rng) {
  Problem p{"random", {}, {}};
  const int axioms = rng.Range(0, 3);
  for (int i = 0; i < axioms; ++i) p.axioms.push_back(gen.Closed(rng.Range(1, 4)));
  p.conjecture = gen.Closed(rng.Range(1, 4));
  return p;
}

// Sound and unsound steps between a quantified formula and its instances.
Problem InstanceProblem(Generator& gen, Rng& rng) {
  const Formula phi = gen.Open(rng.Range(0, 3), {"X"});
  const Term t = gen.GroundTerm();
  const Formula inst = Substitute(phi, "X", t);
  const Formula all = Forall("X", phi);
  const Formula some = Exists("X", phi);
  switch (rng.Below(6)) {
    case 0:
      return Argument("instance/forall-to-term", {all}, inst, rng);
    case 1:
      return Argument("instance/forall-to-exists", {all}, some, rng);
    case 2:
      return Argument("instance/term-to-exists", {inst}, some, rng);
    case 3:
      return Argument("instance/exists-to-term?", {some}, inst, rng);
    case 4:
      return Argument("instance/exists-to-forall?", {some}, all, rng);
    default:
      return Argument("instance/term-to-forall?", {inst}, all, rng);
  }
}

// A body in X and Y in which the two usually depend on each other; with unrelated X and Y most
// invalid reorderings would become valid and test nothing.
Formula RelationBody(Generator& gen, Rng& rng) {
  Formula rel{Formula::Kind::kAtom, "r", {}, {}, {}};
  const bool flip = rng.Percent(50);
  rel.args.push_back(Term{Term::Kind::kVariable, flip ? "Y" : "X", {}});
  rel.args.push_back(Term{Term::Kind::kVariable, flip ? "X" : "Y", {}});
  if (rng.Percent(30)) rel = Not(std::move(rel));
  switch (rng.Below(3)) {
    case 0:
      return rel;
    case 1: {
      const auto kinds = {Formula::Kind::kAnd, Formula::Kind::kOr, Formula::Kind::kImplies};
      const auto kind = *(kinds.begin() + rng.Below(kinds.size()));
      Formula other = gen.Open(rng.Range(0, 2), {"X", "Y"});
      if (rng.Percent(50)) return Binary(kind, std::move(rel), std::move(other));
      return Binary(kind, std::move(other), std::move(rel));
    }
    default:
      return gen.Open(rng.Range(0, 3), {"X", "Y"});
  }
}

// phi under two quantifiers, the first outermost; A and E name the kinds.
constexpr auto A = Formula::Kind::kForall;
constexpr auto E = Formula::Kind::kExists;
struct QuantifiedTwice {
  const Formula& phi;
  Formula operator()(Formula::Kind k1, const char* v1, Formula::Kind k2, const char* v2) const {
    return Quant(k1, {v1}, Quant(k2, {v2}, phi));
  }
};

// Reordering quantifiers: the classic way to get an eigenvariable condition wrong.
Problem SwapProblem(Generator& gen, Rng& rng) {
  const Formula phi = RelationBody(gen, rng);
  const QuantifiedTwice q{phi};
  switch (rng.Below(6)) {
    case 0:
      return Argument("swap/exists-forall", {q(E, "X", A, "Y")}, q(A, "Y", E, "X"), rng);
    case 1:
      return Argument("swap/forall-exists?", {q(A, "Y", E, "X")}, q(E, "X", A, "Y"), rng);
    case 2:
      return Argument("swap/forall-forall", {q(A, "X", A, "Y")}, q(A, "Y", A, "X"), rng);
    case 3:
      return Argument("swap/exists-exists", {q(E, "X", E, "Y")}, q(E, "Y", E, "X"), rng);
    case 4: {
      // A block binds both at once; the conclusion unpacks it, or (invalidly) flips one kind.
      Formula block = Quant(rng.Percent(50) ? A : E, {"X", "Y"}, phi);
      const auto k = block.kind;
      return Argument("swap/block", {block}, q(k, "Y", k, "X"), rng);
    }
    default: {
      // Identifying the two variables: valid from forall-forall, a near miss from forall-exists.
      if (Captures(phi, "Y", "X"))
        return Argument("swap/forall-forall", {q(A, "X", A, "Y")}, q(A, "Y", A, "X"), rng);
      const Formula diag = Forall("X", Substitute(phi, "Y", Term{Term::Kind::kVariable, "X", {}}));
      if (rng.Percent(50)) return Argument("swap/diagonal", {q(A, "X", A, "Y")}, diag, rng);
      return Argument("swap/diagonal?", {q(A, "X", E, "Y")}, diag, rng);
    }
  }
}

// The same swaps with connectives around the quantifiers, and with premises that settle the side
// formulas: the swap only shows once the side formulas are resolved away, when the prover has
// moved the prefixes of the nodes that died. Which order those prefixes end up in is the test.
Problem NestedSwapProblem(Generator& gen, Rng& rng) {
  const Formula phi = RelationBody(gen, rng);
  const Formula side = gen.Closed(rng.Range(0, 1));
  const Formula context = gen.Open(rng.Range(0, 1), {"Y"});
  // side holds; context fails for every Y (as written, or as the antecedent of an implication).
  std::vector<Formula> premises{side};
  Formula inner = rng.Percent(50) ? And(phi, side) : Implies(side, phi);
  auto around = [&](Formula quantified) {
    if (rng.Percent(50)) {
      premises.push_back(Forall("Y", Not(context)));
      return Or(context, std::move(quantified));
    }
    premises.push_back(Forall("Y", context));
    return Implies(context, std::move(quantified));
  };
  const QuantifiedTwice q{phi};
  switch (rng.Below(4)) {
    case 0:
      premises.push_back(Forall("Y", around(Exists("X", inner))));
      return Argument("nested-swap/forall-exists", premises, q(A, "Y", E, "X"), rng);
    case 1:
      premises.push_back(Forall("Y", around(Exists("X", inner))));
      return Argument("nested-swap/forall-exists?", premises, q(E, "X", A, "Y"), rng);
    case 2:
      premises.push_back(Exists("X", And(side, Forall("Y", around(inner)))));
      return Argument("nested-swap/exists-forall", premises, q(A, "Y", E, "X"), rng);
    default:
      premises.push_back(Exists("X", And(side, Forall("Y", around(inner)))));
      return Argument("nested-swap/exists-forall?", premises, q(A, "X", E, "Y"), rng);
  }
}

// Quantifiers against connectives, in the directions that hold and the ones that do not.
Problem DistributeProblem(Generator& gen, Rng& rng) {
  const Formula a = gen.Open(rng.Range(0, 2), {"X"});
  const Formula b = gen.Open(rng.Range(0, 2), {"X"});
  auto all = [](Formula f) { return Forall("X", std::move(f)); };
  auto some = [](Formula f) { return Exists("X", std::move(f)); };
  switch (rng.Below(10)) {
    case 0:
      return Argument("distribute/forall-and", {all(And(a, b))}, And(all(a), all(b)), rng);
    case 1:
      return Argument("distribute/and-forall", {all(a), all(b)}, all(And(a, b)), rng);
    case 2:
      return Argument("distribute/or-forall", {Or(all(a), all(b))}, all(Or(a, b)), rng);
    case 3:
      return Argument("distribute/forall-or?", {all(Or(a, b))}, Or(all(a), all(b)), rng);
    case 4:
      return Argument("distribute/exists-and", {some(And(a, b))}, And(some(a), some(b)), rng);
    case 5:
      return Argument("distribute/and-exists?", {some(a), some(b)}, some(And(a, b)), rng);
    case 6:
      return Argument("distribute/exists-or", {some(Or(a, b))}, Or(some(a), some(b)), rng);
    case 7:
      return Argument("distribute/forall-mp", {all(Implies(a, b)), all(a)}, all(b), rng);
    case 8:
      return Argument("distribute/exists-mp", {all(Implies(a, b)), some(a)}, some(b), rng);
    default:
      return Argument("distribute/converse-mp?", {all(Implies(a, b)), some(b)}, some(a), rng);
  }
}

// Propositional argument forms over random closed formulas.
Problem PropositionalProblem(Generator& gen, Rng& rng) {
  const Formula a = gen.Closed(rng.Range(0, 2));
  const Formula b = gen.Closed(rng.Range(0, 2));
  const Formula c = gen.Closed(rng.Range(0, 2));
  switch (rng.Below(8)) {
    case 0:
      return Argument("prop/modus-ponens", {a, Implies(a, b)}, b, rng);
    case 1:
      return Argument("prop/chain", {Implies(a, b), Implies(b, c)}, Implies(a, c), rng);
    case 2:
      return Argument("prop/modus-tollens", {Implies(a, b), Not(b)}, Not(a), rng);
    case 3:
      return Argument("prop/disjunctive", {Or(a, b), Not(a)}, b, rng);
    case 4:
      return Argument("prop/cases", {Or(a, b), Implies(a, c), Implies(b, c)}, c, rng);
    case 5:
      return Argument("prop/denying-antecedent?", {Implies(a, b), Not(a)}, Not(b), rng);
    case 6:
      return Argument("prop/affirming-consequent?", {Implies(a, b), b}, a, rng);
    default:
      return Argument("prop/reversed-chain?", {Implies(a, b), Implies(c, b)}, Implies(a, c), rng);
  }
}

Problem MakeProblem(Rng& rng, bool nestedSwaps) {
  Generator gen(rng);
  Problem p;
  if (nestedSwaps) return NestedSwapProblem(gen, rng);
  switch (rng.Weighted({3, 3, 3, 3, 3})) {
    case 0:
      p = RandomProblem(gen, rng);
      break;
    case 1:
      p = InstanceProblem(gen, rng);
      break;
    case 2:
      p = SwapProblem(gen, rng);
      break;
    case 3:
      p = DistributeProblem(gen, rng);
      break;
    default:
      p = PropositionalProblem(gen, rng);
      break;
  }
  if (p.pattern != "random" && rng.Percent(20)) {
    Mutate(p.conjecture, rng);
    p.pattern += "/mutated";
  }
  // Unrelated axioms: the prover has to find the argument among them.
  while (p.axioms.size() < 3 && rng.Percent(30)) p.axioms.push_back(gen.Closed(rng.Range(0, 3)));
  rng.Shuffle(p.axioms);
  return p;
}

// --- Printing ---------------------------------------------------------------------------------

std::string TermText(const Term& t) {
  if (t.args.empty()) return t.name;
  std::string s = t.name + "(";
  for (std::size_t i = 0; i < t.args.size(); ++i) s += (i ? ", " : "") + TermText(t.args[i]);
  return s + ")";
}

std::string AtomText(const Formula& f) {
  if (f.args.empty()) return f.name;
  std::string s = f.name + "(";
  for (std::size_t i = 0; i < f.args.size(); ++i) s += (i ? ", " : "") + TermText(f.args[i]);
  return s + ")";
}

// In the theory language a prefix (negation or quantifier) takes exactly one unary formula, so
// compound bodies are always bracketed. Binary operands are bracketed too unless `minimal`, in
// which case only the brackets that the precedence (and left-associative implication) makes
// necessary are written, so that the parser's precedence rules are under test as well.
class TheoryPrinter {
 public:
  explicit TheoryPrinter(bool minimal) : minimal_(minimal) {}

  std::string Text(const Formula& f) const {
    using K = Formula::Kind;
    switch (f.kind) {
      case K::kAtom:
        return AtomText(f);
      case K::kNot:
        return "¬" + Operand(f.kids[0], f.kind, false);
      case K::kForall:
      case K::kExists: {
        std::string s = f.kind == K::kForall ? "∀" : "∃";
        for (std::size_t i = 0; i < f.vars.size(); ++i) s += (i ? ", " : "") + f.vars[i];
        return s + " " + Operand(f.kids[0], f.kind, false);
      }
      case K::kAnd:
      case K::kOr:
      case K::kImplies: {
        const char* op = f.kind == K::kAnd ? " ∧ " : f.kind == K::kOr ? " ∨ " : " → ";
        return Operand(f.kids[0], f.kind, false) + op + Operand(f.kids[1], f.kind, true);
      }
    }
    return {};
  }

 private:
  std::string Operand(const Formula& f, Formula::Kind parent, bool right) const {
    if (f.kind == Formula::Kind::kAtom) return Text(f);
    if (!NeedsBrackets(f.kind, parent, right)) return Text(f);
    return "[" + Text(f) + "]";
  }

  bool NeedsBrackets(Formula::Kind child, Formula::Kind parent, bool right) const {
    using K = Formula::Kind;
    if (!minimal_ || !IsBinary(parent)) return true;
    if (!IsBinary(child)) return false;  // a prefix formula with a bracketed body is unary
    switch (parent) {
      case K::kAnd:
        return child != K::kAnd;
      case K::kOr:
        return child == K::kImplies;
      default:  // implication: loosest, and chains group to the left
        return child == K::kImplies && right;
    }
  }

  bool minimal_;
};

std::string TptpText(const Formula& f);

// Every compound operand is parenthesised: how far a quantifier's scope reaches without
// parentheses is exactly the kind of detail on which TPTP readers have been known to differ.
std::string TptpOperand(const Formula& f) {
  if (f.kind == Formula::Kind::kAtom) return TptpText(f);
  return "(" + TptpText(f) + ")";
}

std::string TptpText(const Formula& f) {
  using K = Formula::Kind;
  switch (f.kind) {
    case K::kAtom:
      return AtomText(f);
    case K::kNot:
      return "~ " + TptpOperand(f.kids[0]);
    case K::kForall:
    case K::kExists: {
      std::string s = f.kind == K::kForall ? "! [" : "? [";
      for (std::size_t i = 0; i < f.vars.size(); ++i) s += (i ? "," : "") + f.vars[i];
      return s + "] : " + TptpOperand(f.kids[0]);
    }
    case K::kAnd:
    case K::kOr:
    case K::kImplies: {
      const char* op = f.kind == K::kAnd ? " & " : f.kind == K::kOr ? " | " : " => ";
      return TptpOperand(f.kids[0]) + op + TptpOperand(f.kids[1]);
    }
  }
  return {};
}

bool WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  if (!out) {
    std::cerr << "random_theories: cannot write " << path << "\n";
    return false;
  }
  return true;
}

bool ParseNumber(std::string_view text, std::uint64_t& value) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end && !text.empty();
}

int Usage() {
  std::cerr
      << "usage: random_theories --seed=S --count=N --out=DIR [--full-brackets] [--nested-swaps]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t seed = 0;
  std::uint64_t count = 0;
  std::string out_dir;
  bool have_seed = false, have_count = false, full_brackets = false, nested_swaps = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.starts_with("--seed=")) {
      if (!ParseNumber(arg.substr(7), seed)) return Usage();
      have_seed = true;
    } else if (arg.starts_with("--count=")) {
      if (!ParseNumber(arg.substr(8), count)) return Usage();
      have_count = true;
    } else if (arg.starts_with("--out=")) {
      out_dir = arg.substr(6);
    } else if (arg == "--full-brackets") {
      full_brackets = true;
    } else if (arg == "--nested-swaps") {
      nested_swaps = true;
    } else {
      return Usage();
    }
  }
  if (!have_seed || !have_count || out_dir.empty()) return Usage();

  std::error_code ec;
  std::filesystem::create_directories(out_dir, ec);
  if (ec) {
    std::cerr << "random_theories: cannot create " << out_dir << ": " << ec.message() << "\n";
    return 1;
  }

  const int width = std::max<int>(4, static_cast<int>(std::to_string(count).size()));
  for (std::uint64_t k = 1; k <= count; ++k) {
    Rng rng(MixSeed(seed, k));
    const Problem problem = MakeProblem(rng, nested_swaps);
    const bool minimal = !full_brackets && rng.Percent(35);
    const TheoryPrinter printer(minimal);

    std::string theory;
    for (const auto& axiom : problem.axioms) theory += printer.Text(axiom) + ";\n";
    theory += "?- " + printer.Text(problem.conjecture) + ";\n";

    std::string tptp = "% seed " + std::to_string(seed) + ", problem " + std::to_string(k) +
                       ", pattern " + problem.pattern + (minimal ? ", minimal brackets" : "") +
                       "\n";
    for (std::size_t i = 0; i < problem.axioms.size(); ++i)
      tptp += "fof(a" + std::to_string(i + 1) + ", axiom, " + TptpText(problem.axioms[i]) + ").\n";
    tptp += "fof(c, conjecture, " + TptpText(problem.conjecture) + ").\n";

    std::string stem = std::to_string(k);
    stem.insert(0, width - stem.size(), '0');
    const std::filesystem::path base = std::filesystem::path(out_dir) / stem;
    if (!WriteFile(base.string() + ".txt", theory) || !WriteFile(base.string() + ".p", tptp))
      return 1;
  }
  return 0;
}
