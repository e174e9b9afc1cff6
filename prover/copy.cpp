#include "prover/copy.h"

#include "logic/alphabet.h"
#include "logic/logic_state.h"
#include "prover/unify.h"
#include "prover/witness.h"

namespace velmoran {

namespace {

TSub* NewNodeLike(const TSub& n) {
  switch (n.Kind()) {
    case 2:
      return new TImp;
    case 3:
      return new TDis;
    case 4:
      return new TCon;
    default:
      return new TAtom;
  }
}

// A counterpart for a variable met in a substituted term before (or without) its own prefix
// being copied. It goes to the resolvent's root, where it must not say more than the source did:
// in a positive position the hoisted variable is existential, in a negative one it keeps the dual
// of the source quantifier. The position counts the scope's own negation, which lies inside the
// prefix.
TVariable* HoistedCounterpart(TVariable* v) {
  auto* c = new TVariable(*v);
  RecordWitnessKey(*v, *c);
  v->CopyOf = c;
  v->NoCopy = 1;
  v->Occurs = 1;
  if (InNegativePosition(*v))
    c->Quantifier = DualQuantifier(v->Quantifier);
  else
    c->Quantifier = kExists;
  if (!Walks.NewVariables) Walks.NewVariables = new TQuant;
  Walks.NewVariables->Items.push_back(c);
  return c;
}

TId* CopyTerm(TId* t) {
  switch (t->Class()) {
    case TermClass::Functor: {
      auto* f = static_cast<TFunctor*>(t);
      auto* c = new TFunctor(f->Name);
      c->Args.reserve(f->Args.size());
      for (TId* a : f->Args)
        if (a) c->Args.push_back(CopyTerm(a));
      return c;
    }
    case TermClass::FunctorA:
      return new TFunctorA(static_cast<TFunctorA*>(t)->Name);
    case TermClass::Var:
      return new TVar(static_cast<TVar*>(t)->Name);
    case TermClass::Integer:
      return new TInteger(static_cast<TInteger*>(t)->IntValue);
    case TermClass::Real:
      return new TReal(static_cast<TReal*>(t)->RealValue);
    case TermClass::Variable: {
      auto* v = static_cast<TVariable*>(t);
      if (v->CopyOf) return v->CopyOf;
      // A substituted term meets variables whose prefixes are not copied yet. A plain copy meets
      // one only when a binding refers to a variable whose prefix is copied later; hoisting it too
      // keeps the copy free of references into the source, which dies independently of it.
      return HoistedCounterpart(v);
    }
  }
  return nullptr;
}

// The copy of the term at `path[depth..]` below `t`, with the occurrence at its end replaced. A
// variable on the way stands for its bound value, which is copied out so that the occurrence
// inside it can change while the variable keeps its value elsewhere.
TId* CopyReplacing(TId* t, const TTermReplacement& r, std::size_t depth) {
  if (depth == r.Path.size()) return CopyTerm(r.By);
  while (TVariable* v = AsVariable(t)) t = v->Binding;
  auto* f = static_cast<TFunctor*>(t);
  auto* c = new TFunctor(f->Name);
  c->Args.reserve(f->Args.size());
  for (std::size_t i = 0; i < f->Args.size(); ++i)
    if (f->Args[i])
      c->Args.push_back(i == r.Path[depth] ? CopyReplacing(f->Args[i], r, depth + 1)
                                           : CopyTerm(f->Args[i]));
  return c;
}

TQuant* CopyPrefix(TQuant* q, TSub* owner) {
  auto* r = new TQuant;
  for (TVariable* v : q->Items) {
    if (!v) continue;
    v->Occurs = 1;
    if (!v->NoCopy) {
      v->CopyOf = new TVariable(*v);
      RecordWitnessKey(*v, *v->CopyOf);
      r->Items.push_back(v->CopyOf);
    }
    if (v->InvertOnCopy) v->CopyOf->AsWritten = 0;
  }
  if (r->Items.empty()) {
    delete r;
    return nullptr;
  }
  for (TVariable* c : r->Items) c->Scope = owner;
  return r;
}

void CompleteCopy(TQuant* q) {
  for (TVariable* v : q->Items) {
    if (!v || !v->CopyOf || v->CopyOf->Binding) continue;
    if (v->PendingTerm)
      v->CopyOf->Binding = CopyTerm(v->PendingTerm);
    else if (v->Binding)
      v->CopyOf->Binding = CopyTerm(v->Binding);
  }
}

TSub* CopyNode(TSub* n, const TTermReplacement* replacement) {
  TSub* c = NewNodeLike(*n);
  c->Negated = n->Negated;
  c->Polarity = n->Polarity;
  c->BoundedSum = n->BoundedSum;
  c->SetParent(Walks.CopyParent);
  if (n->IsAtom()) {
    auto* a = static_cast<TAtom*>(n);
    auto* ca = static_cast<TAtom*>(c);
    if (Walks.NegateConstantsOnCopy) {
      ca->Constant = static_cast<std::int8_t>(-a->Constant);
      a->Mark = 0;
    } else {
      ca->Constant = a->Constant;
    }
    AppendAtom(ca);
    if (a->Prefix) ca->Prefix = CopyPrefix(a->Prefix, ca);
    if (a->Term)
      ca->Term = replacement && replacement->Atom == a ? CopyReplacing(a->Term, *replacement, 0)
                                                       : CopyTerm(a->Term);
    if (a->Prefix) CompleteCopy(a->Prefix);
    return ca;
  }
  c->Constant = n->Constant;
  if (n->Prefix) c->Prefix = CopyPrefix(n->Prefix, c);
  if (n->Left) {
    Walks.CopyParent = c;
    c->Left = CopyNode(n->Left, replacement);
  }
  if (n->Right) {
    Walks.CopyParent = c;
    c->Right = CopyNode(n->Right, replacement);
  }
  if (n->Prefix) CompleteCopy(n->Prefix);
  return c;
}

}  // namespace

TSub* CopyTree(TSub* root, TSub* parent, const TTermReplacement* replacement) {
  Walks.CopyParent = parent;
  return CopyNode(root, replacement);
}

}  // namespace velmoran
