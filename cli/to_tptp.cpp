#include "cli/to_tptp.h"

#include <memory>
#include <vector>

#include "logic/tptp_print.h"
#include "parser/formula_parser.h"

namespace velmoran::cli {

bool PrintAsTptp(const TheoryText& text, const Options& options, TStdout& out) {
  TPLProgram program;
  CopySettings(options.Settings, program);
  Prover.ActiveProgram = &program;
  Prover.ActiveBindings = &program.Bindings;
  std::vector<std::unique_ptr<TFALFormula>> records;
  const char* p = text.Bytes.c_str();
  std::int32_t consumed = 0;
  bool parsed = true;
  while (*p != 0) {
    TFALFormula* record = nullptr;
    ParseFormula(program, p, record);
    if (!record) {
      out.Flush();
      PrintSyntaxError(text, consumed + program.ParsedLength + 1, program.ErrorCode, options.Bytes);
      parsed = false;
      break;
    }
    records.emplace_back(record);
    p += program.ParsedLength;
    consumed += program.ParsedLength;
  }
  if (parsed) {
    std::vector<const TFALFormula*> view;
    for (const auto& r : records) view.push_back(r.get());
    std::string problem = TptpProblem(view, text.Name);
    problem.pop_back();  // the last line end is the sink's
    out.Line(problem);
  }
  records.clear();
  Prover.ActiveProgram = nullptr;
  Prover.ActiveBindings = nullptr;
  return parsed;
}

}  // namespace velmoran::cli
