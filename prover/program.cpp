#include "prover/program.h"

#include <unistd.h>

#include <charconv>

#include "logic/logic_state.h"
#include "report/measure.h"

namespace velmoran {

ProverState Prover;

TPLProgram::~TPLProgram() {
  ClearFormulas();
  ClearResolvents();  // empty between proofs; cleared here so destruction never depends on it
  Logic.Objects.Release();
  if (Prover.ActiveProgram == this) Activate(nullptr);
}

void Activate(TPLProgram* program) {
  Prover.ActiveProgram = program;
  Prover.ActiveBindings = program ? &program->Bindings : nullptr;
  Logic.QuantifierSwitch = program ? &program->QuantificationOn : nullptr;
}

void TPLProgram::ClearFormulas() {
  for (TFALFormula* f : Formulas) delete f;
  Formulas.clear();
}

void TPLProgram::ClearResolvents() {
  for (TFALFormula* r : Resolvents) delete r;
  Resolvents.clear();
}

void TRunLimits::Start() {
  start_ = Now();
  coarseStart_ = CoarseNow();
  calls_ = 0;
  Reached = nullptr;
}

void TRunLimits::Check(TPLProgram& p) {
  if (p.StopRequested) return;
  if (MaxResolvents && static_cast<std::int64_t>(p.Resolvents.size()) >= *MaxResolvents)
    Reached = "resolvent limit";
  else if (TimeoutSeconds && CoarseNow() - coarseStart_ + kCoarseLag >= *TimeoutSeconds &&
           Now() - start_ >= *TimeoutSeconds)
    Reached = "time limit";
  else if ((++calls_ & 63) == 0 && MaxHeapBytes && HeapBytesInUse() >= *MaxHeapBytes)
    Reached = "memory limit";
  if (Reached) p.StopRequested = 1;
}

std::int64_t DefaultHeapCap() {
  long pages = sysconf(_SC_PHYS_PAGES);
  long size = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || size <= 0) return std::int64_t{1} << 32;
  return static_cast<std::int64_t>(pages) * size / 2;
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
