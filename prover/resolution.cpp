#include "prover/resolution.h"

#include "logic/logic_state.h"
#include "prover/program.h"
#include "prover/unify.h"
#include "prover/walk.h"
#include "report/report.h"

namespace velmoran {

namespace {

std::vector<TId*>& Bindings() { return *Prover.ActiveBindings; }

// The value stored on a node is the value of the node itself, its own negation included.
std::int8_t NodeValue(const TSub& node, int v) {
  return static_cast<std::int8_t>(node.Negated ? -v : v);
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

void CutChainEnds(TFALFormula& r) {
  if (r.FirstAtom) r.FirstAtom->Left = nullptr;
  if (r.LastAtom) r.LastAtom->Right = nullptr;
}

TSub* CopyUnder(TSub* root, TDis* d, bool negateConstants) {
  Walks.NegateConstantsOnCopy = negateConstants;
  TSub* c = CopyTree(root, d);
  Walks.NegateConstantsOnCopy = false;
  return c;
}

}  // namespace

long double TNorm(long double x, long double y) {
  long double s = x + y - 1;
  return s >= 0 ? s : 0;
}

bool UnifyAtoms(TAtom* a, TAtom* b) {
  ++Report.Unifications;
  std::size_t n = Bindings().size();
  if (b->Constant != 0) return false;
  bool ok = a->Term ? Unify(a->Term, b->Term) : true;
  if (!ok) Bindings().resize(n);
  return ok;
}

void ClearBindings() { Bindings().clear(); }

void ApplyBindings() {
  auto& b = Bindings();
  for (std::size_t k = 0; k + 1 < b.size(); k += 2) {
    auto* v = static_cast<TVariable*>(b[k]);
    v->PendingTerm = b[k + 1];
    if (TVariable* t = AsVariable(b[k + 1])) t->InvertOnCopy = 1;
  }
  b.clear();
}

bool FalseInFirst(const TAtom& a, const TAtom& b) {
  if (a.Polarity != 0) return a.Polarity == 1;
  return b.Polarity == -1;
}

void MarkAtomClass(TFALFormula& x, TAtom* a, bool falseInFirst) {
  int v = falseInFirst ? -1 : 1;
  a->Mark = NodeValue(*a, v);
  bool firstPass = true;
  bool changed;
  do {
    changed = false;
    for (TAtom* n = firstPass ? a : x.FirstAtom; n; n = n->Next()) {
      if (n->Mark == 0) continue;
      for (TAtom* c = x.FirstAtom; c; c = c->Next()) {
        if (c->Mark == 0 && UnifyAtoms(n, c)) {
          c->Mark = NodeValue(*c, v);
          changed = true;
        }
      }
      ClearBindings();
    }
    firstPass = false;
  } while (changed);
  for (TAtom* c = x.FirstAtom; c; c = c->Next())
    c->Constant = c->Mark;
}

TFALFormula* MakeResolvent(TFALFormula& f, TFALFormula& g, TAtom* a, bool falseInFirst,
                           TAtom* b) {
  TDis* d;
  BeginCopy(d);
  auto* r = new TFALFormula(f.Program);
  r->Degree = TNorm(f.Degree, g.Degree);
  r->Source1 = &f;
  r->Source2 = &g;
  r->SupportMark = f.SupportMark || g.SupportMark;
  int v = falseInFirst ? -1 : 1;
  if (&f == &g) {
    MarkAtomClass(f, a, falseInFirst);
  } else {
    a->Constant = NodeValue(*a, v);
    b->Constant = NodeValue(*b, -v);
    for (TAtom* c = f.FirstAtom; c; c = c->Next())
      if (UnifyAtoms(a, c)) c->Constant = NodeValue(*c, v);
    if (f.Program->GeneralCut)
      for (TAtom* c = g.FirstAtom; c; c = c->Next())
        if (UnifyAtoms(a, c)) c->Constant = NodeValue(*c, -v);
  }
  ApplyBindings();
  r->Root = d;
  d->SetParent(r);
  d->Left = CopyUnder(f.Root, d, false);
  d->Right = CopyUnder(&f == &g ? f.Root : g.Root, d, &f == &g);
  r->FirstAtom = Logic.ChainFirst;
  r->LastAtom = Logic.ChainLast;
  AttachNewVariables(d);
  f.Walk(WalkMode::Cleanup, nullptr);
  if (&g != &f) g.Walk(WalkMode::Cleanup, nullptr);
  CutChainEnds(*r);
  return r;
}

TFALFormula* SelfResolveCopy(TFALFormula& x, TAtom* a, bool falseInFirst) {
  TDis* d;
  BeginCopy(d);
  auto* r = new TFALFormula(x.Program);
  r->Degree = TNorm(x.Degree, x.Degree);
  MarkAtomClass(x, a, falseInFirst);
  ApplyBindings();
  r->Root = d;
  d->SetParent(r);
  d->Left = CopyUnder(x.Root, d, false);
  d->Right = CopyUnder(x.Root, d, true);
  r->FirstAtom = Logic.ChainFirst;
  r->LastAtom = Logic.ChainLast;
  AttachNewVariables(d);
  x.Walk(WalkMode::Cleanup, nullptr);
  CutChainEnds(*r);
  return r;
}

TFALFormula* SelfResolveInPlace(TFALFormula& x, TAtom* a, bool falseInFirst) {
  TDis* d;
  BeginCopy(d);
  x.Degree = TNorm(x.Degree, x.Degree);
  MarkAtomClass(x, a, falseInFirst);
  TSub* t = x.Root;
  t->SetParent(d);
  Logic.ChainFirst = x.FirstAtom;
  Logic.ChainLast = x.LastAtom;
  ApplyBindings();
  d->Right = CopyUnder(t, d, true);
  x.Root = d;
  d->SetParent(&x);
  d->Left = t;
  x.FirstAtom = Logic.ChainFirst;
  x.LastAtom = Logic.ChainLast;
  AttachNewVariables(d);
  CutChainEnds(x);
  return &x;
}

}  // namespace velmoran
