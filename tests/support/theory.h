// Test support: build formulas by parsing short theory texts, so that tests read like logic.
//
// Theory texts in tests are UTF-8 (∀ ∃ ¬ ∧ ∨ → ...) and are decoded to the one-byte alphabet
// before parsing. `Utf8` turns printed one-byte texts back for readable comparisons.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "logic/formula.h"
#include "prover/program.h"
#include "report/line_sink.h"

namespace velmoran::testing {

// The one-byte text of a UTF-8 theory text (fails the test on a codec error).
std::string Bytes(const std::string& utf8);
std::string Utf8(const std::string& bytes);

// The record's atom number `index` in its atom chain (fails the test when there is none).
TAtom* AtomAt(TFALFormula& record, int index);

// Resolves f's atom i with g's atom j, oriented as the search orients it, unsimplified (fails the
// test when the atoms do not unify). The caller owns the resolvent.
TFALFormula* ResolveAt(TFALFormula& f, int i, TFALFormula& g, int j);

// A prover object with the menu defaults, its output going to `Lines`, made active.
struct Fixture {
  Fixture();
  ~Fixture();
  std::unique_ptr<TPLProgram> Program;
  TLineList Lines;
  std::string Source;  // keeps the text alive during a run

  // Parses one formula (the first of `utf8`), prepared as the parser leaves it; nullptr on a
  // syntax error (the code is in Program->ErrorCode). The caller owns the record.
  std::unique_ptr<TFALFormula> Parse(const std::string& utf8);
  // Parses and simplifies, as a proof run does with an axiom.
  std::unique_ptr<TFALFormula> Axiom(const std::string& utf8);
  // Runs a whole proof of the text; returns the report lines in UTF-8.
  std::vector<std::string> Run(const std::string& utf8);
  // The printed text of a record's root, in UTF-8.
  static std::string Printed(const TFALFormula& record);
};

// Report lines with the time/memory figures replaced by placeholders, for golden comparisons:
// "Solving time : <T> s. Used memory for proof: <M> B." and "Total allocated for Velmoran: <M> B."
std::vector<std::string> WithoutMeasurements(std::vector<std::string> lines);
// The lines of a golden file (UTF-8, "\n" line ends).
std::vector<std::string> ReadGolden(const std::string& relativePath);

}  // namespace velmoran::testing
