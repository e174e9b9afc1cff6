#include "report/tstp_proof.h"

#include <algorithm>
#include <set>
#include <unordered_map>
#include <utility>

#include "logic/number_format.h"
#include "logic/tptp_print.h"
#include "prover/program.h"
#include "report/report.h"

namespace velmoran {

namespace {

// Self-resolution doubles the uses of the negated query at every split; more splits in a row than
// this cannot have come from one consequent check.
constexpr int kMostSplits = 64;

// How many splits in a row took `n` to `y`: the first count that gives `y`'s degree and uses of
// the negated query. Where the degree stays at 1 or reaches 0 and no use tells the splits apart,
// every count that fits gives the same degrees. -1 when none fits.
int SplitsBetween(const TFALFormula& n, const TFALFormula& y) {
  long double degree = n.Degree;
  long double uses = n.QueryUses;
  for (int k = 1; k <= kMostSplits; ++k) {
    degree = std::max(degree + degree - 1, 0.0L);
    uses *= 2;
    if (degree == y.Degree && uses == y.QueryUses) return k;
  }
  return -1;
}

// The witnesses declared in the tree that name one element for the whole proof, or one for each
// value of the universals outside them.
void CollectWitnesses(const TSub* n, std::set<std::int32_t>& out) {
  for (; n; n = n->IsAtom() ? nullptr : n->Right) {
    if (n->Prefix)
      for (const TVariable* v : n->Prefix->Items)
        if (v && !v->Binding && (v->Witness || !v->SkolemSerials.empty())) out.insert(v->Serial);
    if (!n->IsAtom()) CollectWitnesses(n->Left, out);
  }
}

class DerivationWriter {
 public:
  // `refuted`: the resolvent that self-resolution turned into `top`, or null when `top` has its
  // own sources.
  DerivationWriter(const TFALFormula& top, const TFALFormula* refuted)
      : top_(top), refuted_(refuted) {
    const TPLProgram& program = *top.Program;
    for (std::size_t i = 0; i < program.Formulas.size(); ++i) {
      names_[program.Formulas[i]] = "f" + std::to_string(i);
      formulaIndex_[program.Formulas[i]] = i;
    }
    for (std::size_t j = 0; j < program.Resolvents.size(); ++j)
      names_[program.Resolvents[j]] = "r" + std::to_string(j);
    if (refuted_) names_[refuted_] = "resolvent";
    names_[&top_] = "refutation";
    Collect(refuted_ ? *refuted_ : top_);
    if (refuted_) order_.push_back(&top_);
  }

  std::vector<std::string> Lines() {
    std::vector<const TFALFormula*> records(order_.begin(), order_.end());
    TptpFormulaPrinter printer(records);
    std::vector<std::string> body;
    for (const TFALFormula* r : order_) Print(*r, printer, body);

    std::vector<std::string> lines;
    lines.emplace_back(
        "% The best refutation as a derivation: each formula follows from its parents in "
        "classical logic,");
    lines.emplace_back(
        "% and holds to at least its degree in every model (Lukasiewicz semantics) where each "
        "axiom holds to its own.");
    lines.emplace_back(
        "% A degree is at most max(0, a + b - 1) of its parents' a and b (one parent: of a and "
        "a).");
    if (printer.UsesEquality())
      lines.emplace_back(
          "% \"=\" is TPTP's equality here; the prover itself gives it no equality axioms.");
    if (std::any_of(order_.begin(), order_.end(),
                    [](const TFALFormula* r) { return r->ReplacedEquals != 0; }))
      lines.emplace_back(
          "% A paramodulation step replaced equals: it follows with \"=\" as equality, and its "
          "degree holds where the equality axioms hold to 1.");
    if (std::string list = printer.MappedList(); !list.empty())
      lines.push_back(
          "% Relations and operators without a TPTP spelling, as plain symbols: " + list + ".");
    lines.insert(lines.end(), body.begin(), body.end());
    if (top_.QueryUses > 1)
      lines.push_back("% The refutation used the negated conjecture " + FormatReal(top_.QueryUses) +
                      " times: the query holds to at least " + FormatReal(QueryDegree(top_)) + ".");
    return lines;
  }

 private:
  // Parents before children; the source formulas first, in their order. A cycle cannot arise
  // (a raised degree takes a derivation of a higher degree than every record built on the old
  // one), but a record met again while its own parents are being visited is not followed.
  void Collect(const TFALFormula& last) {
    enum : char { kVisiting = 1, kDone = 2 };
    std::unordered_map<const TFALFormula*, char> state;
    std::vector<std::pair<const TFALFormula*, bool>> stack{{&last, false}};
    std::vector<const TFALFormula*> sources, derived;
    while (!stack.empty()) {
      auto [r, expanded] = stack.back();
      stack.pop_back();
      if (expanded) {
        state[r] = kDone;
        (formulaIndex_.contains(r) ? sources : derived).push_back(r);
        continue;
      }
      if (state.contains(r)) continue;
      state[r] = kVisiting;
      stack.emplace_back(r, true);
      if (formulaIndex_.contains(r)) continue;
      for (const TFALFormula* s : {r->Source2, r->Source1})
        if (s && !state.contains(s)) stack.emplace_back(s, false);
    }
    std::sort(sources.begin(), sources.end(), [this](const TFALFormula* a, const TFALFormula* b) {
      return formulaIndex_[a] < formulaIndex_[b];
    });
    order_ = std::move(sources);
    order_.insert(order_.end(), derived.begin(), derived.end());
  }

  const std::string& NameOf(const TFALFormula* r) {
    auto it = names_.find(r);
    if (it != names_.end()) return it->second;
    // Not a record of the query any more: named apart, so that its step shows.
    return names_[r] = "x" + std::to_string(names_.size());
  }

  // The name the steps after `r` use for it: its skolemized form where it has one.
  std::string RefOf(const TFALFormula* r) {
    auto it = refs_.find(r);
    return it != refs_.end() ? it->second : NameOf(r);
  }

  // The record, then, where it declares witnesses that no record before it did, the record with
  // each of them as a constant of its own: the steps after it read a witness as one element.
  void Print(const TFALFormula& r, TptpFormulaPrinter& printer, std::vector<std::string>& out) {
    PrintRecord(r, printer, out);
    if (!r.Root) return;
    std::set<std::int32_t> declared;
    CollectWitnesses(r.Root, declared);
    bool fresh = false;
    for (std::int32_t w : declared) fresh |= witnesses_.insert(w).second;
    if (!fresh) return;
    const std::string name = NameOf(&r);
    const std::string skolemized = name + "_sk";
    out.push_back("% " + skolemized + " degree " + FormatReal(r.Degree));
    out.push_back("fof(" + skolemized + ", plain, " + printer.Formula(*r.Root, witnesses_) +
                  ", inference(skolemize, [status(esa)], [" + name + "])).");
    refs_[&r] = skolemized;
  }

  void PrintRecord(const TFALFormula& r, TptpFormulaPrinter& printer,
                   std::vector<std::string>& out) {
    const std::string name = NameOf(&r);
    std::string formula = r.Root ? printer.Formula(*r.Root, witnesses_) : "$true";
    std::string degree = "% " + name + " degree " + FormatReal(r.Degree);
    if (formulaIndex_.contains(&r)) {
      if (!r.IsQuery()) {
        out.push_back(degree);
        out.push_back("fof(" + name + ", axiom, " + formula + ").");
        return;
      }
      // The query as written is the negated query negated back; the prover's own record is the
      // negated conjecture.
      TSub* root = top_.Program->Formulas[formulaIndex_[&r]]->Root;
      Negate(root);
      std::string conjecture = printer.Formula(*root, witnesses_);
      Negate(root);
      out.push_back("fof(query, conjecture, " + conjecture + ").");
      out.push_back(degree);
      out.push_back("fof(" + name + ", negated_conjecture, " + formula +
                    ", inference(assume_negation, [status(cth)], [query])).");
      return;
    }
    std::string inference;
    if (&r == &top_ && refuted_) {
      int k = SplitsBetween(*refuted_, r);
      inference = "inference(self_resolution, [status(thm), steps(" +
                  (k < 0 ? std::string("unknown") : std::to_string(k)) + ")], [" + RefOf(refuted_) +
                  "])";
    } else if (!r.Source1 && !r.Source2) {
      inference = "introduced(unknown, [])";
    } else {
      inference = r.ReplacedEquals ? "inference(paramodulation, [status(thm)], ["
                                   : "inference(resolution, [status(thm)], [";
      const TFALFormula* first = r.Source1 ? r.Source1 : r.Source2;
      inference += RefOf(first);
      if (r.Source2 && r.Source2 != first) inference += ", " + RefOf(r.Source2);
      inference += "])";
    }
    out.push_back(degree);
    out.push_back("fof(" + name + ", plain, " + formula + ", " + inference + ").");
  }

  const TFALFormula& top_;
  const TFALFormula* refuted_;
  std::unordered_map<const TFALFormula*, std::string> names_;
  std::unordered_map<const TFALFormula*, std::string> refs_;
  std::set<std::int32_t> witnesses_;  // declared by the records printed so far
  std::unordered_map<const TFALFormula*, std::size_t> formulaIndex_;
  std::vector<const TFALFormula*> order_;
};

}  // namespace

std::vector<std::string> TstpDerivation(const TFALFormula& refutation) {
  return DerivationWriter(refutation, nullptr).Lines();
}

void CaptureBestProof(const TFALFormula& refutation) {
  if (Report.PendingRefutation == &refutation)
    Report.BestProof = std::move(Report.PendingProof);
  else
    Report.BestProof = TstpDerivation(refutation);
  Report.PendingProof.clear();
}

void KeepSelfRefutedDerivation(const TFALFormula& n, const TFALFormula& y) {
  Report.PendingRefutation = nullptr;
  Report.PendingProof.clear();
  if (QueryDegree(y) <= Report.BestDegree && !Report.BestProof.empty()) return;  // not the best
  Report.PendingRefutation = &y;
  Report.PendingProof = DerivationWriter(y, &n).Lines();
}

}  // namespace velmoran
