#include "logic/walk.h"

#include "logic/alphabet.h"
#include "logic/logic_state.h"

namespace velmoran {

WalkState Walks;

namespace {

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

}  // namespace

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
