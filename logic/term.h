// Terms: the arguments of predicates.
//
// One small class family: numbers (`TInteger`, `TReal`), function-symbol terms (`TFunctor` with
// arguments, also used for arithmetic operators and relations, and the constant `TFunctorA`), the
// variable as read (`TVar`) and the declared, quantified variable (`TVariable`).
//
// Ownership: a `TFunctor` owns its arguments except references to `TVariable`s; a `TVariable` is
// owned by the quantifier prefix that declares it and owns its `Binding`. Terms are released with
// `FreeTerm`, never with `delete`, so that variable occurrences stay in their prefixes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "logic/object.h"

namespace velmoran {

class TSub;

enum class TermClass : std::uint8_t { Integer, Real, Functor, FunctorA, Var, Variable };

class TId : public TObject {
 public:
  // Appends the term's text.
  virtual void Print(std::string& out) const = 0;
  // Releases the term and what it owns; a `TVariable` is left alone.
  virtual void FreeTerm();
  // Three-way ordering used to recognise equal answer bindings: negative, 0 or positive.
  virtual int Compare(const TId* other) const = 0;

  TermClass Class() const { return class_; }
  bool IsNumber() const { return class_ == TermClass::Integer || class_ == TermClass::Real; }
  bool IsFunc() const { return class_ == TermClass::Functor || class_ == TermClass::FunctorA; }
  bool IsVariable() const { return class_ == TermClass::Variable; }

 protected:
  explicit TId(TermClass c) : TObject(Family::Term), class_(c) {}

 private:
  TermClass class_;
};

class TNumber : public TId {
 public:
  virtual long double Value() const = 0;

 protected:
  using TId::TId;
};

class TInteger : public TNumber {
 public:
  explicit TInteger(std::int32_t v) : TNumber(TermClass::Integer), IntValue(v) {}
  // Converts a decimal digit string; false when it lies beyond the signed 32-bit range.
  static bool Convert(std::string_view digits, std::int32_t& value);
  void Print(std::string& out) const override;
  int Compare(const TId* other) const override;
  long double Value() const override { return IntValue; }

  std::int32_t IntValue;
};

class TReal : public TNumber {
 public:
  explicit TReal(long double v) : TNumber(TermClass::Real), RealValue(v) {}
  void Print(std::string& out) const override;
  int Compare(const TId* other) const override;
  long double Value() const override { return RealValue; }

  long double RealValue;
};

class TFunc : public TId {
 public:
  int Compare(const TId* other) const override;
  std::string Name;

 protected:
  // Copies made for every resolvent take the source's name by reference: one string copy, not a
  // copy and two moves.
  TFunc(TermClass c, const std::string& name) : TId(c), Name(name) {}
  TFunc(TermClass c, std::string&& name) : TId(c), Name(std::move(name)) {}
};

class TFunctor : public TFunc {
 public:
  // Counts the functors of arithmetic operators alive (see `LogicState::ArithmeticTerms`).
  explicit TFunctor(const std::string& name);
  explicit TFunctor(std::string&& name);
  ~TFunctor() override;
  void Print(std::string& out) const override;
  void FreeTerm() override;

  std::vector<TId*, PoolAllocator<TId*>> Args;
};

class TFunctorA : public TFunc {
 public:
  explicit TFunctorA(const std::string& name) : TFunc(TermClass::FunctorA, name) {}
  explicit TFunctorA(std::string&& name) : TFunc(TermClass::FunctorA, std::move(name)) {}
  void Print(std::string& out) const override;
};

class TVar : public TId {
 public:
  explicit TVar(std::string name) : TId(TermClass::Var), Name(std::move(name)) {}
  void Print(std::string& out) const override;
  int Compare(const TId* other) const override;

  std::string Name;
};

class TVariable : public TId {
 public:
  // Declaration: takes the next serial number.
  explicit TVariable(const TVar& read);
  explicit TVariable(std::string name);
  // Counterpart made by copying: keeps quantifier, name, origin, as-written mark, witness mark and
  // serial.
  TVariable(const TVariable& source);
  TVariable& operator=(const TVariable&) = delete;
  ~TVariable() override;

  void Print(std::string& out) const override;
  void FreeTerm() override {}
  int Compare(const TId* other) const override;

  TId* Binding = nullptr;
  char Quantifier = 0;
  TVariable* CopyOf = nullptr;
  TId* PendingTerm = nullptr;
  std::uint8_t Occurs = 0;
  std::uint8_t NoCopy = 0;
  TSub* Scope = nullptr;
  TVariable* Origin = nullptr;
  std::int32_t DupIndex = 0;
  std::uint8_t AsWritten = 0;
  std::uint8_t InvertOnCopy = 0;
  std::int32_t Serial = 0;
  // Set by the prover on a declaration that names one witness for the whole proof (see
  // `MarkWitnesses`); its copies inherit the mark and count as one variable with it.
  std::uint8_t Witness = 0;
  std::uint8_t WitnessValuesGround = 0;  // see `WitnessValues`
  // Set by the prover on an existential declaration of a source with universals outside it: their
  // serial numbers, nearest first. A copy whose counterparts of them hold the same values as
  // another copy's names the same element (see `SameWitness`); copies inherit the list.
  std::vector<std::int32_t> SkolemSerials;
  // Set on a copy made while those counterparts held fixed values (terms over constants and
  // witnesses): the values as text, witnesses by serial number, and the values themselves (owned),
  // each witness in them as the placeholder constant "#SERIAL". Only ground values (without
  // witnesses) are terms a copy elsewhere may take; the proof printer reads the others too, so
  // that such a copy prints as the same Skolem term wherever it names the same element. Copies
  // inherit all three.
  std::string WitnessKey;
  std::vector<TId*> WitnessValues;
  std::string Name;
  // Scratch of the unifier's walks over variables, in place of a set or map per walk: what a walk
  // found holds only while the stamp is that walk's number (see `LogicState`). Copies start
  // unstamped.
  std::uint64_t FreedomWalk = 0;
  std::uint64_t DependencyWalk = 0;
  std::uint8_t Free = 0;
};

// A copy of a term without variables.
TId* CopyGroundTerm(const TId* t);

// Class tests by tag: cheap on the hot paths of unification and copying.
inline TId* AsTerm(TObject* o) {
  return o && o->ObjectFamily() == TObject::Family::Term ? static_cast<TId*>(o) : nullptr;
}
inline TVariable* AsVariable(TObject* o) {
  TId* t = AsTerm(o);
  return t && t->IsVariable() ? static_cast<TVariable*>(t) : nullptr;
}
inline TVariable* AsVariable(TId* t) {
  return t && t->IsVariable() ? static_cast<TVariable*>(t) : nullptr;
}
inline const TVariable* AsVariable(const TId* t) {
  return t && t->IsVariable() ? static_cast<const TVariable*>(t) : nullptr;
}
inline TFunctor* AsFunctor(TId* t) {
  return t && t->Class() == TermClass::Functor ? static_cast<TFunctor*>(t) : nullptr;
}
inline const TFunctor* AsFunctor(const TId* t) {
  return t && t->Class() == TermClass::Functor ? static_cast<const TFunctor*>(t) : nullptr;
}
inline const TNumber* AsNumber(const TId* t) {
  return t && t->IsNumber() ? static_cast<const TNumber*>(t) : nullptr;
}

// Releases a term that may be null.
inline void FreeTermIfAny(TId* t) {
  if (t) t->FreeTerm();
}

}  // namespace velmoran
