// The equality axioms of a signature, as theory text.
//
// "=" is an ordinary relation of the theory language. With the axioms below it is equality in
// every model of the theory, so a refutation of the theory with them is a refutation under
// equality; leaving any of them out only weakens the theory, which keeps every refutation sound.
// Both the TPTP reader (where "=" is equality by the standard) and the command line's
// `--equality` (for theory texts) add them.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmoran {

// A function or predicate symbol as the theory writes it, with its number of arguments.
using TSymbol = std::pair<std::string, int>;

struct TSignature {
  std::vector<TSymbol> Functions;     // of arity > 0, each once, in order of first occurrence
  std::vector<TSymbol> Predicates;    // of arity > 0, each once
  std::vector<std::string> Distinct;  // constants that are pairwise unequal
  bool Equality = false;              // "=" occurs

  void NoteFunction(const std::string& name, int arity);
  void NotePredicate(const std::string& name, int arity);
};

// Reflexivity, symmetry, transitivity, one substitution axiom per argument place of every
// function and predicate symbol, and the distinct constants pairwise unequal: one formula per
// entry, in the one-byte alphabet, without the closing ";".
// With `forRule`, reflexivity and the distinct constants alone: the equality rule stands for the
// others.
std::vector<std::string> EqualityAxioms(const TSignature& signature, bool forRule = false);
// How many of those axioms, at their end, say that distinct constants differ.
std::size_t DistinctAxiomCount(const TSignature& signature);

// The theory text (one-byte) with the equality axioms of its signature in front, when "=" occurs
// in it; the text itself when it does not; nothing when it does not parse (the proof run then
// reports the syntax error at its place in the text as written).
std::optional<std::string> WithEqualityAxioms(const std::string& text, bool forRule = false);

}  // namespace velmoran
