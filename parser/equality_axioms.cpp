#include "parser/equality_axioms.h"

#include <algorithm>

#include "logic/alphabet.h"
#include "logic/formula.h"
#include "logic/term.h"
#include "parser/formula_parser.h"
#include "prover/program.h"

namespace velmoran {

namespace {

void Note(std::vector<TSymbol>& table, const std::string& name, int arity) {
  if (arity == 0) return;
  TSymbol entry{name, arity};
  if (std::find(table.begin(), table.end(), entry) == table.end()) table.push_back(entry);
}

// Arithmetic operators and the relations are evaluated, not symbols of the signature.
bool IsName(const std::string& name) {
  return !name.empty() && IsLower(name.front());
}

void NoteTerm(const TId* term, TSignature& signature) {
  const TFunctor* f = AsFunctor(term);
  if (!f) return;
  if (IsName(f->Name)) signature.NoteFunction(f->Name, static_cast<int>(f->Args.size()));
  for (const TId* a : f->Args) NoteTerm(a, signature);
}

void NoteAtom(const TAtom& atom, TSignature& signature) {
  const TFunctor* f = AsFunctor(atom.Term);
  if (!f) return;
  if (IsName(f->Name)) {
    signature.NotePredicate(f->Name, static_cast<int>(f->Args.size()));
  } else if (f->Name.size() == 1 && f->Name.front() == kEqual) {
    signature.Equality = true;
  }
  for (const TId* a : f->Args) NoteTerm(a, signature);
}

}  // namespace

void TSignature::NoteFunction(const std::string& name, int arity) {
  Note(Functions, name, arity);
}

void TSignature::NotePredicate(const std::string& name, int arity) {
  Note(Predicates, name, arity);
}

std::size_t DistinctAxiomCount(const TSignature& signature) {
  const std::size_t n = signature.Distinct.size();
  return n * (n - (n > 0 ? 1 : 0)) / 2;
}

std::vector<std::string> EqualityAxioms(const TSignature& signature, bool forRule) {
  std::vector<std::string> axioms;
  auto implies = [](const std::string& a, const std::string& b) {
    return std::string(1, kFormulaOpen) + a + " " + kImplies + " " + b + kFormulaClose;
  };
  auto eq = [](const std::string& a, const std::string& b) { return a + kEqual + b; };
  auto conj = [](const std::string& a, const std::string& b) {
    return std::string(1, kFormulaOpen) + a + " " + kAnd + " " + b + kFormulaClose;
  };
  axioms.push_back(std::string(1, kForAll) + "X " + eq("X", "X"));
  const auto& distinct = signature.Distinct;
  auto appendDistinct = [&] {
    for (std::size_t i = 0; i < distinct.size(); ++i)
      for (std::size_t j = i + 1; j < distinct.size(); ++j)
        axioms.push_back(std::string(1, kNegation) + eq(distinct[i], distinct[j]));
  };
  if (forRule) {
    appendDistinct();
    return axioms;
  }
  axioms.push_back(std::string(1, kForAll) + "X, Y " + implies(eq("X", "Y"), eq("Y", "X")));
  axioms.push_back(std::string(1, kForAll) + "X, Y, Z " +
                   implies(conj(eq("X", "Y"), eq("Y", "Z")), eq("X", "Z")));
  // f(Z0, .., X, .., Zn) with X at `place`; the Z keep their place numbers.
  auto application = [](const std::string& symbol, int arity, int place, const char* at) {
    std::string t = symbol + kTermOpen;
    for (int k = 0; k < arity; ++k) {
      if (k > 0) t += ", ";
      t += k == place ? std::string(at) : "Z" + std::to_string(k);
    }
    return t + kTermClose;
  };
  auto prefix = [](int arity, int place) {
    std::string p = std::string(1, kForAll) + "X, Y";
    for (int k = 0; k < arity; ++k)
      if (k != place) p += ", Z" + std::to_string(k);
    return p + " ";
  };
  for (const auto& [f, arity] : signature.Functions)
    for (int i = 0; i < arity; ++i)
      axioms.push_back(prefix(arity, i) + implies(eq("X", "Y"), eq(application(f, arity, i, "X"),
                                                                   application(f, arity, i, "Y"))));
  for (const auto& [p, arity] : signature.Predicates)
    for (int i = 0; i < arity; ++i)
      axioms.push_back(prefix(arity, i) + implies(conj(eq("X", "Y"), application(p, arity, i, "X")),
                                                  application(p, arity, i, "Y")));
  appendDistinct();
  return axioms;
}

std::optional<std::string> WithEqualityAxioms(const std::string& text, bool forRule) {
  TPLProgram program;
  Activate(&program);
  TSignature signature;
  TheoryEnd end = ForEachFormula(program, text.c_str(), [&](TFALFormula* record, std::int32_t) {
    for (const TAtom* a = record->FirstAtom; a; a = a->Next()) NoteAtom(*a, signature);
    delete record;
  });
  Activate(nullptr);
  if (end != TheoryEnd::Complete) return std::nullopt;
  if (!signature.Equality) return text;
  std::string out;
  for (const std::string& axiom : EqualityAxioms(signature, forRule)) out += axiom + ";\n";
  return out + text;
}

}  // namespace velmoran
