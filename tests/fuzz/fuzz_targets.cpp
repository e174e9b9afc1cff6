#include "fuzz_targets.h"

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "logic/formula.h"
#include "logic/print.h"
#include "logic/text_codec.h"
#include "logic/tptp_print.h"
#include "parser/formula_parser.h"
#include "parser/tptp_reader.h"
#include "prover/search.h"
#include "prover/simplify.h"
#include "report/line_sink.h"
#include "report/report.h"

namespace velmoran::fuzz {

namespace {

// The one-byte text a front end would hand the engine: decoded when it decodes, else the bytes
// up to the first NUL (which ends a text).
std::string TheoryBytes(const std::uint8_t* data, std::size_t size) {
  std::string raw(reinterpret_cast<const char*>(data), size);
  auto decoded = DecodeTheoryText(raw);
  if (auto* text = std::get_if<std::string>(&decoded)) return *text;
  return raw.substr(0, raw.find('\0'));
}

}  // namespace

void Codec(const std::uint8_t* data, std::size_t size) {
  std::string_view raw(reinterpret_cast<const char*>(data), size);
  bool utf8 = IsUtf8TheoryText(raw);
  auto decoded = DecodeTheoryText(raw);
  if (auto* text = std::get_if<std::string>(&decoded)) {
    std::string encoded = EncodeUtf8(*text);
    // What was read as UTF-8 and encoded back reads the same again.
    if (utf8 && *text != std::get<std::string>(DecodeTheoryText(encoded))) __builtin_trap();
  }
}

void Parser(const std::uint8_t* data, std::size_t size) {
  std::string text = TheoryBytes(data, size);
  TPLProgram program;
  SetMenuDefaults(program);
  Activate(&program);
  ForEachFormula(program, text.c_str(), [](TFALFormula* record, std::int32_t) {
    if (!record->IsQuery()) Simplify(*record);
    std::string line = FormulaText(*record);
    if (line.empty() && record->Root) __builtin_trap();  // a parsed record always prints
    delete record;
  });
  Activate(nullptr);
}

void Tptp(const std::uint8_t* data, std::size_t size) {
  auto read = ReadTptp(std::string_view(reinterpret_cast<const char*>(data), size));
  auto* theory = std::get_if<TTptpTheory>(&read);
  if (!theory) {
    const auto& e = std::get<TTptpError>(read);
    if (e.Line < 1 || e.Column < 1 || e.Message.empty()) __builtin_trap();
    return;
  }
  TPLProgram program;
  SetMenuDefaults(program);
  Activate(&program);
  std::vector<std::unique_ptr<TFALFormula>> records;
  std::vector<const TFALFormula*> view;
  auto take = [&](TFALFormula* record, std::int32_t offset) {
    records.emplace_back(record);
    view.push_back(record);
    theory->Origin(static_cast<std::size_t>(offset));
  };
  if (ForEachFormula(program, theory->Text.c_str(), take) != TheoryEnd::Complete)
    __builtin_trap();  // a translation the prover cannot read
  if (TptpProblem(view, "fuzz").empty()) __builtin_trap();
  records.clear();
  Activate(nullptr);
}

void Proof(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return;
  const std::uint8_t a = data[0], b = data[1];
  std::string text = TheoryBytes(data + 2, size - 2);
  TPLProgram program;
  SetMenuDefaults(program);
  TLineList report;
  program.Output = &report;
  program.SourceText = text.c_str();
  program.Strategy = static_cast<SearchStrategy>(a & 3);
  program.ShowResolvents = (a >> 2) & 1;
  program.ShowStatistics = (a >> 3) & 1;
  program.ShowUnsimplified = (a >> 4) & 1;
  program.ShowDcf = (a >> 5) & 1;
  program.GeneralCut = (a >> 6) & 1;
  program.QuantificationOn = (a >> 7) & 1;
  program.CheckDcfKill = (b & 3) == 0;
  program.CheckDcf = (b & 3) == 1;
  program.TrivialCheckOnly = (b & 3) >= 2;
  program.NoRestriction = ((b >> 2) & 3) == 0;
  program.Filtration = ((b >> 2) & 3) == 1;
  program.SupportSet = ((b >> 2) & 3) >= 2;
  program.ExitOnFirstMatch = ((b >> 4) & 3) == 1;
  program.ExitOnFirstUnused = ((b >> 4) & 3) == 2;
  program.OneRefutation = (b >> 6) & 1;
  program.DcfLimit = 1 + (b >> 7) * 4;
  TRunLimits limits;
  limits.MaxResolvents = 40;
  limits.Start();
  long yields = 0;
  program.OnYield = [&](TPLProgram& p) {
    if (++yields > 20000) p.StopRequested = 1;
    limits.Check(p);
  };
  program.OnPoll = program.OnYield;
  const int savedDepth = Search.MaxDepth;
  Search.MaxDepth = 30;
  RunProof(program);
  Search.MaxDepth = savedDepth;
  program.OnYield = program.OnPoll = nullptr;
}

}  // namespace velmoran::fuzz
