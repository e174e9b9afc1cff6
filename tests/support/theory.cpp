#include "support/theory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <variant>

#include "logic/print.h"
#include "logic/text_codec.h"
#include "parser/formula_parser.h"
#include "prover/resolution.h"
#include "prover/search.h"
#include "prover/simplify.h"

namespace velmoran::testing {

std::string Bytes(const std::string& utf8) {
  auto decoded = DecodeTheoryText(utf8);
  if (auto* e = std::get_if<CodecError>(&decoded)) {
    ADD_FAILURE() << "codec error: " << e->Message;
    return {};
  }
  return std::get<std::string>(decoded);
}

std::string Utf8(const std::string& bytes) {
  return EncodeUtf8(bytes);
}

Fixture::Fixture() : Program(std::make_unique<TPLProgram>()) {
  SetMenuDefaults(*Program);
  Program->ShowTime = Program->ShowMemory = 0;
  Program->Output = &Lines;
  Activate(Program.get());
}

Fixture::~Fixture() {
  Program.reset();
  Activate(nullptr);
}

std::unique_ptr<TFALFormula> Fixture::Parse(const std::string& utf8) {
  Source = Bytes(utf8);
  TFALFormula* record = nullptr;
  ParseFormula(*Program, Source.c_str(), record);
  return std::unique_ptr<TFALFormula>(record);
}

std::unique_ptr<TFALFormula> Fixture::Axiom(const std::string& utf8) {
  auto record = Parse(utf8);
  if (record) {
    Simplify(*record);
    ComputePolarity(record->Root);
  }
  return record;
}

std::vector<std::string> Fixture::Run(const std::string& utf8) {
  Source = Bytes(utf8);
  Program->SourceText = Source.c_str();
  Lines.Lines.clear();
  RunProof(*Program);
  std::vector<std::string> out;
  for (const auto& l : Lines.Lines) out.push_back(Utf8(l));
  return out;
}

std::string Fixture::Printed(const TFALFormula& record) {
  return Utf8(PrintedText(*record.Root));
}

namespace {

// Replaces the figure that follows `label` (up to `end`) by `placeholder`.
void MaskFigure(std::string& line, const std::string& label, const std::string& end,
                const std::string& placeholder) {
  auto at = line.find(label);
  if (at == std::string::npos) return;
  auto from = at + label.size();
  auto to = line.find(end, from);
  if (to == std::string::npos) return;
  line.replace(from, to - from, placeholder);
}

}  // namespace

std::vector<std::string> WithoutMeasurements(std::vector<std::string> lines) {
  for (auto& l : lines) {
    MaskFigure(l, "Solving time : ", " s. ", "<T>");
    MaskFigure(l, "Used memory for proof: ", " B.", "<M>");
    MaskFigure(l, "Total allocated for Velmoran: ", " B.", "<M>");
  }
  return lines;
}

std::vector<std::string> ReadGolden(const std::string& relativePath) {
  std::ifstream in(std::string(VELMORAN_SOURCE_DIR) + "/tests/golden/" + relativePath);
  EXPECT_TRUE(in) << "missing golden file " << relativePath;
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TAtom* AtomAt(TFALFormula& record, int index) {
  TAtom* a = record.FirstAtom;
  for (int i = 0; a && i < index; ++i) a = a->Next();
  EXPECT_TRUE(a) << "no atom " << index;
  return a;
}

TFALFormula* ResolveAt(TFALFormula& f, int i, TFALFormula& g, int j) {
  TAtom* a = AtomAt(f, i);
  TAtom* b = AtomAt(g, j);
  EXPECT_TRUE(UnifyAtoms(a, b));
  return MakeResolvent(f, g, a, FalseInFirst(*a, *b), b);
}

}  // namespace velmoran::testing
