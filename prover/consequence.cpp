#include "prover/consequence.h"

#include <algorithm>
#include <vector>

#include "logic/alphabet.h"
#include "logic/number_format.h"
#include "logic/print.h"
#include "prover/one_point_model.h"
#include "prover/program.h"
#include "prover/resolution.h"
#include "prover/simplify.h"
#include "prover/two_point_model.h"
#include "report/measure.h"
#include "report/report.h"
#include "report/tstp_proof.h"

namespace velmoran {

namespace {

TFALFormula* JoinImplication(TFALFormula& b, TFALFormula& a);
void SplitImplication(TFALFormula* i, TFALFormula& b, TFALFormula& a);

}  // namespace

ConsequenceState Consequence;

// A split's class of atoms shares one predicate symbol, so in a one-element model all of it has
// one truth value and the model stays a model of the result: a formula with such a model is never
// refuted, and its remaining steps are skipped. Runs that print the statistics take every step,
// so that their counts of unifications and simplifications stay what they were.
TFALFormula* SelfRefute(TFALFormula* x, SplitKind kind, bool modelSought) {
  TFALFormula* y = x;
  int limit = x->Program->DcfLimit;
  bool shortcut = !x->Program->ShowStatistics;
  for (int i = 0; y->FirstAtom && i < limit; ++i) {
    // Each step may double the formula, so one test can outlast many pairs of the search.
    x->Program->Poll();
    if (x->Program->StopRequested) break;
    if (shortcut && y->Root && !(i == 0 && modelSought) && HasOnePointModel(*y->Root)) break;
    // A split takes the first atom it may; atoms over inner variables are left alone.
    TAtom* a = y->FirstAtom;
    while (a && !IsSplitAtom(*y, *a) && !x->Program->LooseSplit) a = a->Next();
    if (!a) break;
    bool f = a->Polarity == 1;
    if (y == x)
      y = SelfResolveCopy(*x, a, f, kind);
    else
      SelfResolveInPlace(*y, a, f, kind);
    Simplify(*y);
    ComputePolarity(y->Root);
  }
  return y;
}

namespace {

TFALFormula* JoinImplication(TFALFormula& b, TFALFormula& a) {
  auto* i = new TFALFormula(b.Program);
  auto* m = new TImp;
  i->Root = m;
  m->SetParent(i);
  m->Left = b.Root;
  m->Right = a.Root;
  m->Left->SetParent(m);
  m->Right->SetParent(m);
  b.Root = nullptr;
  a.Root = nullptr;
  i->FirstAtom = b.FirstAtom ? b.FirstAtom : a.FirstAtom;
  i->LastAtom = a.LastAtom ? a.LastAtom : b.LastAtom;
  if (b.LastAtom && a.FirstAtom) {
    b.LastAtom->Right = a.FirstAtom;
    a.FirstAtom->Left = b.LastAtom;
  }
  ComputePolarity(m);
  return i;
}

void SplitImplication(TFALFormula* i, TFALFormula& b, TFALFormula& a) {
  TSub* m = i->Root;
  b.Root = m->Left;
  a.Root = m->Right;
  b.Root->SetParent(&b);
  a.Root->SetParent(&a);
  if (b.LastAtom) b.LastAtom->Right = nullptr;
  if (a.FirstAtom) a.FirstAtom->Left = nullptr;
  m->Left = m->Right = nullptr;
  ComputePolarity(b.Root);
  ComputePolarity(a.Root);
  delete i;
}

// The root prefixes of B and A, moved onto the test record's root for the time of a test.
struct HoistedPrefixes {
  TSub* Owner[2] = {nullptr, nullptr};
  TQuant* Prefix[2] = {nullptr, nullptr};
  std::vector<char> Quantifiers;
};

// ¬(∀x B → Qy A) says the same as ∀x Q'y ¬(B → A), Q' the dual of Q, since B and A share no
// variable: the prefixes move onto the test root, each variable keeping how it acts (a quantifier
// that changes sides of the negation turns around). There the sound split can take the atoms over
// them. The lists stay with their owners' variables and go back unchanged.
HoistedPrefixes HoistRootPrefixes(TSub* m) {
  HoistedPrefixes h;
  // A's variables go first: B's universals may then take A's witnesses as values.
  TSub* operands[2] = {m->Right, m->Left};
  auto* top = new TQuant;
  for (int k = 0; k < 2; ++k) {
    TSub* o = operands[k];
    if (!o->Prefix) continue;
    h.Owner[k] = o;
    h.Prefix[k] = o->Prefix;
    for (TVariable* v : o->Prefix->Items) {
      if (!v) continue;
      h.Quantifiers.push_back(v->Quantifier);
      bool universal = IsEffectivelyUniversal(*v);
      v->Scope = m;
      if (IsEffectivelyUniversal(*v) != universal) v->Quantifier = DualQuantifier(v->Quantifier);
      top->Items.push_back(v);
    }
    o->Prefix = nullptr;
  }
  if (top->Items.empty())
    delete top;
  else
    m->Prefix = top;
  return h;
}

void RestoreRootPrefixes(TSub* m, HoistedPrefixes& h) {
  if (m->Prefix) {
    m->Prefix->Items.clear();
    delete m->Prefix;
    m->Prefix = nullptr;
  }
  std::size_t q = 0;
  for (int k = 0; k < 2; ++k) {
    if (!h.Owner[k]) continue;
    h.Owner[k]->Prefix = h.Prefix[k];
    for (TVariable* v : h.Prefix[k]->Items) {
      if (!v) continue;
      v->Quantifier = h.Quantifiers[q++];
      v->Scope = h.Owner[k];
    }
  }
}

}  // namespace

// B → A is valid when the sound self-resolution refutes ¬(B → A): each step splits on one atom
// over the test root's variables, so X[A := v] ∨ X[A := ¬v] follows from X and reaching false
// proves the implication. A test that marked every atom unifying with the chosen one, without a
// substitution, put different atoms under one truth value and judged non-consequences consequent
// (¬parent(bob, carol) "followed" from ∀G, Y ¬[parent(G, Y) ∧ parent(Y, carol)]), dropping
// resolvents the search needed.
//
// A model settles most tests before they run: one element where B ∧ ¬A holds (the check that
// `SelfRefute` makes before each step, made here first because it is the cheaper one), else a
// sampled two-element model with B true and A false. The latter reads a witness as the constant
// the test takes it for; the debugging identity of every copy, which makes copies one variable
// where a model sees two, turns it off. Runs that print the statistics run every test in full, so
// that their counts stay what they were.
bool IsConsequent(TFALFormula& b, TFALFormula& a) {
  const TPLProgram& program = *b.Program;
  TFALFormula* i = JoinImplication(b, a);
  i->Root->Negated = 1;
  ComputePolarity(i->Root);
  bool countermodel =
      !program.ShowStatistics &&
      (HasOnePointModel(*i->Root) ||
       (!program.SerialIdentity && HasTwoPointCountermodel(*i->Root->Left, *i->Root->Right)));
  bool refuted = false;
  if (!countermodel) {
    HoistedPrefixes hoisted = HoistRootPrefixes(i->Root);
    TFALFormula* y = SelfRefute(i, SplitKind::ConsequenceTest, !program.ShowStatistics);
    RestoreRootPrefixes(i->Root, hoisted);
    refuted = y != i && y->Root && y->Root->Constant == -1;
    if (y != i) delete y;
  }
  SplitImplication(i, b, a);
  return refuted;
}

void EnsureText(TFALFormula& x) {
  if (!x.Root) return;
  if (x.Text.empty()) x.Text = PrintedText(*x.Root);
  if (x.OrderFreeKey.empty() && x.Program && x.Program->IdenticalUpToOrder)
    x.OrderFreeKey = OrderFreeText(*x.Root);
}

namespace {

// What the identical-text check compares: the text, or the order-free text when that is kept.
const std::string& IndexKey(const TFALFormula& x) {
  return x.OrderFreeKey.empty() ? x.Text : x.OrderFreeKey;
}

// Brings the index up to the current resolvent list. Stored records keep their text once it is
// set, so the index only grows while the list grows at its end; anything else rebuilds it.
void SyncTextIndex(const std::vector<TFALFormula*>& resolvents) {
  TextIndex& index = Consequence.Texts;
  std::size_t kept = index.Indexed;
  if (kept > resolvents.size() || (kept > 0 && (resolvents[0]->Serial != index.First ||
                                                resolvents[kept - 1]->Serial != index.Last))) {
    index.Indexes.clear();
    index.Untexted.clear();
    kept = 0;
  }
  std::erase_if(index.Untexted, [&](std::size_t j) {
    const std::string& text = resolvents[j]->Text;
    if (text.empty()) return false;
    auto& at = index.Indexes[IndexKey(*resolvents[j])];
    at.insert(std::lower_bound(at.begin(), at.end(), j), j);
    return true;
  });
  for (std::size_t j = kept; j < resolvents.size(); ++j) {
    TFALFormula* r = resolvents[j];
    if (r->Text.empty())
      index.Untexted.push_back(j);
    else
      index.Indexes[IndexKey(*r)].push_back(j);
  }
  index.Indexed = resolvents.size();
  if (!resolvents.empty()) {
    index.First = resolvents.front()->Serial;
    index.Last = resolvents.back()->Serial;
  }
}

// The lowest index of an enabled stored resolvent with the text (or order-free text) of `n`, as
// a scan from the front would find it; -1 when there is none.
std::ptrdiff_t IdenticalResolvent(const TFALFormula& n,
                                  const std::vector<TFALFormula*>& resolvents) {
  if (n.Text.empty()) return -1;
  SyncTextIndex(resolvents);
  auto found = Consequence.Texts.Indexes.find(IndexKey(n));
  if (found == Consequence.Texts.Indexes.end()) return -1;
  for (std::size_t j : found->second)
    if (!resolvents[j]->Disabled) return static_cast<std::ptrdiff_t>(j);
  return -1;
}

// Whether two trees have one shape: the same connectives at the same places, atoms where atoms
// are. Records with one text have it, records identical only up to the order of operands may not.
bool SameShape(const TSub* a, const TSub* b) {
  if (!a || !b) return a == b;
  if (a->Kind() != b->Kind()) return false;
  if (a->IsAtom()) return true;
  return SameShape(a->Left, b->Left) && SameShape(a->Right, b->Right);
}

bool HasBoundedSum(const TSub* n) {
  if (!n || n->IsAtom()) return false;
  return n->BoundedSum || HasBoundedSum(n->Left) || HasBoundedSum(n->Right);
}

// Whether stored record `r` may take the degree of `n`, a record with the same text and a higher
// degree, by taking its derivation (sources) too. The pair of degree and answer must stay one
// derivation's, so the answers must agree; and since the resolvents already made from `r` keep
// what they computed from its old derivation, the new one must not use the negated query more
// often: its degree then bounds the query at least as well for every descendant.
bool TakesDerivation(const TFALFormula& r, const TFALFormula& n) {
  return n.QueryUses <= r.QueryUses && AnswerText(n) == AnswerText(r) &&
         (SameShape(r.Root, n.Root) || !HasBoundedSum(n.Root));
}

// Where the new derivation guarantees a join only as a bounded sum, the raised record must read it
// so too: x + y is at least max(x, y), so the old degree still holds under the weaker reading. A
// record of another shape takes a derivation only when it has no bounded sum: operands of minima
// and maxima may then be reordered without changing the value, and any bounded sum of the stored
// record only reads higher. The walk stops where the shapes part.
void TakeBoundedSums(TSub* r, const TSub* n) {
  if (!r || !n || r->Kind() != n->Kind()) return;
  r->BoundedSum = static_cast<std::uint8_t>(r->BoundedSum | n->BoundedSum);
  if (r->IsAtom()) return;
  TakeBoundedSums(r->Left, n->Left);
  TakeBoundedSums(r->Right, n->Right);
}

}  // namespace

TFALFormula* CheckResolvent(TFALFormula* n) {
  TPLProgram& program = *n->Program;
  TFALFormula* y = SelfRefute(n, SplitKind::Sound);
  if (y->Root->Constant == -1) {
    if (y != n && Report.ProofWanted) KeepSelfRefutedDerivation(*n, *y);
    if (y != n) delete n;
    return y;
  }
  if (y != n) delete y;
  ComputePolarity(n->Root);
  if (n->Root->Constant != 0) return n;
  EnsureText(*n);
  auto& resolvents = program.Resolvents;
  if (std::ptrdiff_t found = IdenticalResolvent(*n, resolvents); found >= 0) {
    auto j = static_cast<std::size_t>(found);
    TFALFormula& r = *resolvents[j];
    std::string line;
    if (program.ShowDcf)
      line = "DCF: " + FormulaText(*n) + "//identical to R" + std::to_string(j) + ";";
    if (n->Degree > r.Degree && !TakesDerivation(r, *n)) {
      // The stored record cannot take the better degree without lying about its answer or about
      // the uses of the negated query its degree rests on, so the new one stays a record of its
      // own; with kill on it disables the weaker one.
      line.clear();
    } else {
      if (n->Degree > r.Degree) {
        r.Degree = n->Degree;
        TakeBoundedSums(r.Root, n->Root);
        r.QueryUses = n->QueryUses;
        r.Source1 = n->Source1;
        r.Source2 = n->Source2;
        line += "degree of R" + std::to_string(j) + " raised to: " + FormatReal(n->Degree);
      }
      if (!line.empty()) AddLine(program, std::move(line));
      delete n;
      ++Statistics.DcfConsequents;
      return nullptr;
    }
  }
  if (!program.TrivialCheckOnly) {
    for (std::size_t j = 0; j < resolvents.size(); ++j) {
      TFALFormula& r = *resolvents[j];
      if (r.Disabled) continue;
      if (IsConsequent(r, *n)) {
        if (n->Degree > r.Degree) continue;  // a stronger degree makes it new knowledge
        if (program.ShowDcf)
          AddLine(program, "DCF: " + FormulaText(*n) + "//consequent to R" + std::to_string(j) +
                               ":" + FormulaText(r));
        delete n;
        ++Statistics.DcfConsequents;
        return nullptr;
      }
      program.Yield();
      if (program.StopRequested) return n;
    }
  }
  SamplePeakMemory();
  return n;
}

void KillConsequents(TFALFormula* n) {
  TPLProgram& program = *n->Program;
  if (!program.CheckDcfKill) return;
  auto& resolvents = program.Resolvents;
  for (std::size_t j = 0; j < resolvents.size(); ++j) {
    TFALFormula& r = *resolvents[j];
    if (&r != n) {
      if (r.Disabled) continue;
      if (IsConsequent(*n, r)) {
        std::string rj = "R" + std::to_string(j);
        if (n->Degree > r.Degree) {
          if (program.ShowDcf)
            AddLine(program,
                    "DCF Kill: " + FormulaText(*n) + "//consequent to " + rj + "(DISABLED);");
          r.Disabled = 1;
          ++Statistics.DcfKilled;
          continue;
        }
        if (IsConsequent(r, *n)) {
          bool equal = n->Degree == r.Degree;
          if (program.ShowDcf)
            AddLine(program, "DCF Kill: " + FormulaText(*n) + rj + " is equivalent;" +
                                 (equal ? std::string("(DISABLED)")
                                        : "but degree of " + rj + " > " + FormatReal(n->Degree)));
          if (!equal) continue;
          r.Disabled = 1;
          ++Statistics.DcfKilled;
        }
      }
    }
    program.Yield();
    if (program.StopRequested) return;
  }
}

}  // namespace velmoran
