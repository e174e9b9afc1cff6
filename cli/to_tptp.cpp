#include "cli/to_tptp.h"

#include <memory>
#include <vector>

#include "logic/tptp_print.h"
#include "parser/formula_parser.h"

namespace velmoran::cli {

bool PrintAsTptp(const TheoryText& text, const Options& options, TStdout& out) {
  TPLProgram program;
  program.Settings() = options.Settings;
  Activate(&program);
  std::vector<std::unique_ptr<TFALFormula>> records;
  const bool parsed =
      ForEachFormula(program, text.Bytes.c_str(), [&records](TFALFormula* record, std::int32_t) {
        records.emplace_back(record);
      }) != TheoryEnd::SyntaxError;
  if (!parsed) {
    out.Flush();
    PrintSyntaxError(text, program.ErrorPosition, program.ErrorCode, options.Bytes);
  } else {
    std::vector<const TFALFormula*> view;
    for (const auto& r : records) view.push_back(r.get());
    std::string problem = TptpProblem(view, text.Name);
    problem.pop_back();  // the last line end is the sink's
    out.Line(problem);
  }
  records.clear();
  Activate(nullptr);
  return parsed;
}

}  // namespace velmoran::cli
