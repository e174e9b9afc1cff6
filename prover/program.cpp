#include "prover/program.h"

#include <charconv>

#include "prover/options.h"

namespace velmoran {

ProverState Prover;

TPLProgram::~TPLProgram() {
  ClearFormulas();
  ClearResolvents();  // empty between proofs; cleared here so destruction never depends on it
  if (Prover.ActiveProgram == this) Prover = ProverState{};
}

void TPLProgram::ClearFormulas() {
  for (TFALFormula* f : Formulas) delete f;
  Formulas.clear();
}

void TPLProgram::ClearResolvents() {
  for (TFALFormula* r : Resolvents) delete r;
  Resolvents.clear();
}

void SetMenuDefaults(TPLProgram& p) {
  for (const TOptionSpec& option : OptionTable())
    if (option.Flag) p.*option.Flag = option.Default ? 1 : 0;
}

std::optional<std::string> SetDcfLimitFromAnswer(TPLProgram& program,
                                                 std::optional<std::string_view> answer) {
  std::string_view text = answer.value_or("5");
  std::string_view trimmed = text;
  while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
  while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
  if (!trimmed.empty() && trimmed.front() == '+') trimmed.remove_prefix(1);
  std::int32_t value = 0;
  auto res = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
  if (trimmed.empty() || res.ec != std::errc() || res.ptr != trimmed.data() + trimmed.size())
    return "'" + std::string(text) + "' is not a valid integer value";
  program.DcfLimit = value < 1 ? 1 : value;
  return std::nullopt;
}

}  // namespace velmoran
