#include "prover/walk.h"

#include "logic/alphabet.h"
#include "logic/logic_state.h"
#include "prover/unify.h"

namespace velmoran {

WalkState Walks;

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
      v->CopyOf->Binding = TraverseTerm(v->PendingTerm, WalkMode::CopyFresh, nullptr, nullptr);
    else if (v->Binding)
      v->CopyOf->Binding = TraverseTerm(v->Binding, WalkMode::Copy, nullptr, nullptr);
  }
}

void ResetVariables(TQuant* q) {
  for (TVariable* v : q->Items) {
    if (!v) continue;
    v->CopyOf = nullptr;
    FreeTermIfAny(v->Binding);
    v->Binding = nullptr;
    v->Occurs = 0;
    v->Origin = v;
  }
}

void CleanupPrefix(TQuant* q) {
  for (TVariable*& v : q->Items) {
    if (!v) continue;
    if (v->Occurs == 0 && (!v->Origin || !v->Binding)) {
      Walks.VariableDeleted = true;
      if (Walks.Dead)
        Walks.Dead->push_back(v);
      else
        delete v;
      v = nullptr;
    } else {
      v->NoCopy = v->Occurs = v->InvertOnCopy = 0;
      v->CopyOf = nullptr;
      v->PendingTerm = nullptr;
    }
  }
  std::erase(q->Items, nullptr);
}

// Cleans the node's prefix and drops it when nothing is left.
void CleanupNodePrefix(TSub* n) {
  if (!n->Prefix) return;
  TraversePrefix(n->Prefix, WalkMode::Cleanup, nullptr, nullptr);
  if (n->Prefix->Items.empty()) {
    delete n->Prefix;
    n->Prefix = nullptr;
  }
}

TSub* CopyNode(TSub* n) {
  TSub* c = NewNodeLike(*n);
  c->Negated = n->Negated;
  c->Polarity = n->Polarity;
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
    if (a->Term) ca->Term = CopyTerm(a->Term);
    if (a->Prefix) TraversePrefix(a->Prefix, WalkMode::CompleteCopy, nullptr, nullptr);
    return ca;
  }
  c->Constant = n->Constant;
  if (n->Prefix) c->Prefix = CopyPrefix(n->Prefix, c);
  if (n->Left) {
    Walks.CopyParent = c;
    c->Left = CopyNode(n->Left);
  }
  if (n->Right) {
    Walks.CopyParent = c;
    c->Right = CopyNode(n->Right);
  }
  if (n->Prefix) TraversePrefix(n->Prefix, WalkMode::CompleteCopy, nullptr, nullptr);
  return c;
}

}  // namespace

TSub* CopyTree(TSub* root, TSub* parent) {
  Walks.CopyParent = parent;
  return static_cast<TSub*>(root->Traverse(WalkMode::Copy, nullptr, nullptr));
}

TObject* TSub::Traverse(WalkMode mode, WalkCallback callback, TObject* argument) {
  switch (mode) {
    case WalkMode::PostOrder:
      if (Prefix) Prefix = TraversePrefix(Prefix, mode, callback, argument);
      if (Left) Left = static_cast<TSub*>(Left->Traverse(mode, callback, argument));
      if (Right) Right = static_cast<TSub*>(Right->Traverse(mode, callback, argument));
      return callback(this, mode, argument);
    case WalkMode::PreOrder: {
      TObject* result = callback(this, mode, argument);
      if (Left) Left = static_cast<TSub*>(Left->Traverse(mode, callback, argument));
      if (Right) Right = static_cast<TSub*>(Right->Traverse(mode, callback, argument));
      return result;
    }
    case WalkMode::SimplifyWalk:
      if (Left && !Left->IsAtom() && Left->Constant == 0)
        Left = static_cast<TSub*>(Left->Traverse(mode, callback, argument));
      if (Right && !Right->IsAtom() && Right->Constant == 0)
        Right = static_cast<TSub*>(Right->Traverse(mode, callback, argument));
      return callback(this, mode, argument);
    case WalkMode::Cleanup:
      if (Left) Left->Traverse(mode, callback, argument);
      if (Right) Right->Traverse(mode, callback, argument);
      CleanupNodePrefix(this);
      return this;
    case WalkMode::ResetVariables:
      if (Prefix) TraversePrefix(Prefix, mode, callback, argument);
      return this;
    case WalkMode::Copy:
      return CopyNode(this);
    default:
      return this;
  }
}

TObject* TAtom::Traverse(WalkMode mode, WalkCallback callback, TObject* argument) {
  switch (mode) {
    case WalkMode::PostOrder:
      if (Prefix) Prefix = TraversePrefix(Prefix, mode, callback, argument);
      if (Term) Term = TraverseTerm(Term, mode, callback, argument);
      return callback(this, mode, argument);
    case WalkMode::PreOrder: {
      TObject* result = callback(this, mode, argument);
      if (Term) Term = TraverseTerm(Term, mode, callback, argument);
      return result;
    }
    case WalkMode::Cleanup:
      Constant = 0;
      CleanupNodePrefix(this);
      return this;
    case WalkMode::ResetVariables:
      if (Prefix) TraversePrefix(Prefix, mode, callback, argument);
      return this;
    case WalkMode::Copy:
      return CopyNode(this);
    default:
      return this;
  }
}

TQuant* TraversePrefix(TQuant* prefix, WalkMode mode, WalkCallback callback, TObject* argument) {
  switch (mode) {
    case WalkMode::PostOrder:
      for (TVariable*& v : prefix->Items)
        if (v) v = static_cast<TVariable*>(TraverseTerm(v, mode, callback, argument));
      return static_cast<TQuant*>(callback(prefix, mode, argument));
    case WalkMode::CompleteCopy:
      CompleteCopy(prefix);
      return prefix;
    case WalkMode::ResetVariables:
      ResetVariables(prefix);
      return prefix;
    case WalkMode::Cleanup:
      CleanupPrefix(prefix);
      return prefix;
    default:
      return prefix;
  }
}

TId* TraverseTerm(TId* term, WalkMode mode, WalkCallback callback, TObject* argument) {
  switch (mode) {
    case WalkMode::PostOrder:
    case WalkMode::PreOrder:
      if (TFunctor* f = AsFunctor(term)) {
        for (TId*& a : f->Args)
          if (a) a = TraverseTerm(a, mode, callback, argument);
      } else if (TVariable* v = AsVariable(term); v && v->Binding) {
        v->Binding = TraverseTerm(v->Binding, mode, callback, argument);
      }
      return static_cast<TId*>(callback(term, mode, argument));
    case WalkMode::Copy:
    case WalkMode::CopyFresh:
      return CopyTerm(term);
    case WalkMode::UnifyWalk:
      PairWalk(term, static_cast<TId*>(argument));
      return term;
    case WalkMode::OccursScan:
      OccursWalk(term);
      return term;
    default:
      return term;
  }
}

}  // namespace velmoran

namespace velmoran {

void TFALFormula::Walk(WalkMode mode, WalkCallback callback, TObject* argument) {
  if (Root) Root->Traverse(mode, callback, argument);
}

}  // namespace velmoran
