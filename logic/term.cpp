#include "logic/term.h"

#include <charconv>

#include "logic/alphabet.h"
#include "logic/logic_state.h"
#include "logic/number_format.h"

namespace velmoran {

namespace {

int Sign(long double x) {
  return x < 0 ? -1 : (x > 0 ? 1 : 0);
}

// Case-insensitive ASCII comparison, as names compare in orderings.
int CompareNames(const std::string& a, const std::string& b) {
  auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    int d = lower(static_cast<unsigned char>(a[i])) - lower(static_cast<unsigned char>(b[i]));
    if (d != 0) return d < 0 ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int CompareNumberTo(const TNumber& a, const TId* b) {
  if (const TNumber* n = AsNumber(b)) return Sign(a.Value() - n->Value());
  const TVariable* v = AsVariable(b);
  if (v && v->Binding) return a.Compare(v->Binding);
  return -1;
}

}  // namespace

void TId::FreeTerm() {
  delete this;
}

bool TInteger::Convert(std::string_view digits, std::int32_t& value) {
  auto res = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return res.ec == std::errc() && res.ptr == digits.data() + digits.size();
}

void TInteger::Print(std::string& out) const {
  out += std::to_string(IntValue);
}
int TInteger::Compare(const TId* other) const {
  return CompareNumberTo(*this, other);
}

void TReal::Print(std::string& out) const {
  AppendReal(out, RealValue);
}
int TReal::Compare(const TId* other) const {
  return CompareNumberTo(*this, other);
}

int TFunc::Compare(const TId* other) const {
  if (const TVariable* v = AsVariable(other)) return v->Binding ? Compare(v->Binding) : 1;
  if (!other->IsFunc()) return 1;  // numbers and variables as read come first
  const auto* o = static_cast<const TFunc*>(other);
  bool thisHasArgs = Class() == TermClass::Functor;
  bool otherHasArgs = o->Class() == TermClass::Functor;
  if (thisHasArgs != otherHasArgs) return thisHasArgs ? 1 : -1;
  int c = CompareNames(Name, o->Name);
  if (c != 0 || !thisHasArgs) return c;
  const auto& a = static_cast<const TFunctor*>(this)->Args;
  const auto& b = static_cast<const TFunctor*>(o)->Args;
  if (a.size() != b.size()) return b.size() < a.size() ? 1 : -1;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!a[i] || !b[i]) continue;
    if (int d = a[i]->Compare(b[i])) return d;
  }
  return 0;
}

void TFunctor::Print(std::string& out) const {
  char head = Name.empty() ? '\0' : Name.front();
  if (IsRelationChar(head)) {
    for (std::size_t i = 0; i < Args.size(); ++i) {
      if (i > 0) out += Name;
      if (Args[i]) Args[i]->Print(out);
    }
    return;
  }
  if (IsArithmeticChar(head)) {
    if (Args.size() == 1) {
      out += Name;
      if (Args[0]) Args[0]->Print(out);
      return;
    }
    bool multiplicative = head == kTimes || head == kDivide;
    for (std::size_t i = 0; i < Args.size(); ++i) {
      if (i > 0) out += Name;
      const TFunctor* arg = AsFunctor(Args[i]);
      bool bracket = multiplicative && arg && !arg->Name.empty() &&
                     (arg->Name.front() == kPlus || arg->Name.front() == kMinus);
      if (bracket) out += kTermOpen;
      if (Args[i]) Args[i]->Print(out);
      if (bracket) out += kTermClose;
    }
    return;
  }
  out += Name;
  out += kTermOpen;
  for (std::size_t i = 0; i < Args.size(); ++i) {
    if (i > 0) out += ", ";
    if (Args[i]) Args[i]->Print(out);
  }
  out += kTermClose;
}

TFunctor::TFunctor(const std::string& name) : TFunc(TermClass::Functor, name) {
  if (!Name.empty() && IsArithmeticChar(Name.front())) ++Logic.ArithmeticTerms;
}

TFunctor::TFunctor(std::string&& name) : TFunc(TermClass::Functor, std::move(name)) {
  if (!Name.empty() && IsArithmeticChar(Name.front())) ++Logic.ArithmeticTerms;
}

TFunctor::~TFunctor() {
  if (!Name.empty() && IsArithmeticChar(Name.front())) --Logic.ArithmeticTerms;
}

void TFunctor::FreeTerm() {
  for (TId* a : Args) FreeTermIfAny(a);
  Args.clear();
  delete this;
}

void TFunctorA::Print(std::string& out) const {
  out += Name;
}

void TVar::Print(std::string& out) const {
  out += Name;
}

int TVar::Compare(const TId* other) const {
  switch (other->Class()) {
    case TermClass::Var:
      return CompareNames(Name, static_cast<const TVar*>(other)->Name);
    case TermClass::Variable: {
      const auto* v = static_cast<const TVariable*>(other);
      return v->Binding ? Compare(v->Binding) : 1;
    }
    case TermClass::Functor:
    case TermClass::FunctorA:
      return -1;
    default:
      return 1;
  }
}

TVariable::TVariable(const TVar& read) : TVariable(read.Name) {}

TVariable::TVariable(std::string name)
    : TId(TermClass::Variable), Serial(Logic.NextSerial++), Name(std::move(name)) {}

TVariable::TVariable(const TVariable& source)
    : TId(TermClass::Variable),
      Quantifier(source.Quantifier),
      Origin(source.Origin),
      AsWritten(source.AsWritten),
      Serial(source.Serial),
      Witness(source.Witness),
      WitnessValuesGround(source.WitnessValuesGround),
      SkolemSerials(source.SkolemSerials),
      WitnessKey(source.WitnessKey),
      Name(source.Name) {
  WitnessValues.reserve(source.WitnessValues.size());
  for (const TId* t : source.WitnessValues) WitnessValues.push_back(CopyGroundTerm(t));
}

TVariable::~TVariable() {
  FreeTermIfAny(Binding);
  Binding = nullptr;
  for (TId* t : WitnessValues) FreeTermIfAny(t);
}

TId* CopyGroundTerm(const TId* t) {
  switch (t->Class()) {
    case TermClass::Functor: {
      auto* f = static_cast<const TFunctor*>(t);
      auto* c = new TFunctor(f->Name);
      c->Args.reserve(f->Args.size());
      for (const TId* a : f->Args)
        if (a) c->Args.push_back(CopyGroundTerm(a));
      return c;
    }
    case TermClass::FunctorA:
      return new TFunctorA(static_cast<const TFunctorA*>(t)->Name);
    case TermClass::Integer:
      return new TInteger(static_cast<const TInteger*>(t)->IntValue);
    case TermClass::Real:
      return new TReal(static_cast<const TReal*>(t)->RealValue);
    default:
      return nullptr;
  }
}

void TVariable::Print(std::string& out) const {
  if (Binding) {
    Binding->Print(out);
    return;
  }
  out += Name;
  if (DupIndex > 0) {
    out += kDupSeparator;
    out += std::to_string(DupIndex);
  }
}

int TVariable::Compare(const TId* other) const {
  if (Binding) return Binding->Compare(other);
  if (const TVariable* v = AsVariable(other)) {
    if (!v->Binding) return CompareNames(Name, v->Name);
    if (v->Binding->Class() == TermClass::Var)
      return CompareNames(Name, static_cast<const TVar*>(v->Binding)->Name);
    return v->Binding->IsNumber() ? 1 : -1;
  }
  return other->IsNumber() ? 1 : -1;
}

}  // namespace velmoran
