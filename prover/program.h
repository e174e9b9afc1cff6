// The prover object: everything one theory needs to be proved.
//
// A `TPLProgram` holds the parsed records of the theory (`Formulas`, owned), the resolvents of the
// query being proved (`Resolvents`, owned), the unifier's binding list (owns nothing), the result
// of parsing, the stop flag, and its settings (`TSettings`, the strategy, the consequent-detection
// limit and the option flags) that a front end copies in before every proof. `ActiveProgram` is the
// object whose proof runs; code with no prover object at hand reads the options through it.
//
// It belongs to the prover, but the report writes into it and the parser leaves its results in
// it, so it and its option table form a library of their own (velmoran_program) that sits below
// the report and the parser and needs only the logic layer and the run's measurements.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logic/formula.h"
#include "prover/options.h"
#include "prover/settings.h"
#include "report/line_sink.h"

namespace velmoran {

class TPLProgram : public TSettings {
 public:
  TPLProgram() = default;
  ~TPLProgram();
  TPLProgram(const TPLProgram&) = delete;
  TPLProgram& operator=(const TPLProgram&) = delete;

  // The settings alone: a front end copies them in with one assignment.
  TSettings& Settings() { return *this; }
  const TSettings& Settings() const { return *this; }

  void ClearFormulas();
  void ClearResolvents();
  // Hands control to the front end: it may pump its events, set `StopRequested` or enforce its
  // limits. Runs before every atom pair, so it must stay cheap.
  void Yield() {
    if (OnYield) OnYield(*this);
  }
  // Called inside single steps that can run long between two yields (the marking of a large
  // consequence test); a front end that enforces limits listens here too and may set
  // `StopRequested`, which cuts the step short.
  void Poll() {
    if (OnPoll) OnPoll(*this);
  }

  std::vector<TFALFormula*> Formulas;
  std::vector<TFALFormula*> Resolvents;
  std::vector<TId*> Bindings;  // pairs: entry 2k a TVariable, entry 2k+1 its term
  std::uint8_t ErrorCode = 0;
  std::int32_t ParsedLength = 0;
  std::int32_t ErrorPosition = 0;
  TLineSink* Output = nullptr;
  const char* SourceText = nullptr;
  std::uint8_t StopRequested = 0;
  std::uint8_t RefutationFound = 0;
  // Set with `RefutationFound` by a refutation whose derivation never used the negated query:
  // the axioms alone are contradictory.
  std::uint8_t AxiomsRefuted = 0;
  // Set (with `StopRequested`) when an allocation failed during the run: the proof ended as if
  // stopped, and the report holds what was written before.
  std::uint8_t OutOfMemory = 0;

  std::function<void(TPLProgram&)> OnYield;
  std::function<void(TPLProgram&)> OnPoll;
  // Called once per query, after its part of the report (header, search, listing, statistics)
  // is written and before the next formula is read: `RefutationFound` and `StopRequested` still
  // tell how that query's search ended. A front end may add lines of its own here.
  std::function<void(TPLProgram&)> OnQueryDone;
};

// Limits that a front end enforces from its yield and poll hooks. `Check` sets `StopRequested`
// when one is reached and names it in `Reached`; the clock and the heap are read only every 64th
// call, since the hooks run before every atom pair. The heap figure is the program's own live
// heap (as the report's memory line measures it), so a cap holds whatever the address space.
class TRunLimits {
 public:
  std::optional<double> TimeoutSeconds;
  std::optional<std::int64_t> MaxResolvents;
  std::optional<std::int64_t> MaxHeapBytes;

  // Takes the start time; call it just before the run.
  void Start();
  void Check(TPLProgram& program);
  // "time limit", "resolvent limit" or "memory limit"; null while none was reached.
  const char* Reached = nullptr;

 private:
  // The limit is checked at nearly every step: the coarse clock, which costs a memory read, rules
  // out most checks, and the precise one decides within `kCoarseLag` of the limit.
  static constexpr double kCoarseLag = 0.02;
  double start_ = 0;
  double coarseStart_ = 0;
  unsigned calls_ = 0;
};

// A fixed heap cap for a front end that offers no setting: half the machine's memory.
std::int64_t DefaultHeapCap();

// Process-wide state of the running proof.
struct ProverState {
  TPLProgram* ActiveProgram = nullptr;
  std::vector<TId*>* ActiveBindings = nullptr;
};
extern ProverState Prover;

// Makes `program` the active prover object (none when null): its bindings become the unifier's
// list and its `QuantificationOn` the printing's quantifier switch.
void Activate(TPLProgram* program);

// The "DCF-Limit..." answer: `std::nullopt` is Cancel, which yields the proposed "5". A number
// below 1 is stored as 1. A non-number leaves the limit unchanged and returns the failure text.
std::optional<std::string> SetDcfLimitFromAnswer(TPLProgram& program,
                                                 std::optional<std::string_view> answer);

}  // namespace velmoran
