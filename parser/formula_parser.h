// The upper half of the theory parser: formulas, the query marker, degrees, the end of a formula,
// and the preparation of each parsed record (variable binding, arithmetic, polarities, text).
//
// `ParseFormula` reads one formula from a cursor into the theory text. On success the caller owns
// the new record and advances the cursor by `ParsedLength`; on failure there is no record, the
// error code is in the prover object, and `ParsedLength` is the offset of the failure within the
// step (the caret of the message stands there).
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "logic/formula.h"
#include "prover/program.h"

namespace velmoran {

// Side effects: sets `ErrorCode` and `ParsedLength` of the program; on failure also the end time
// of the run's measurement.
void ParseFormula(TPLProgram& program, const char* cursor, TFALFormula*& record);
void PrepareFormula(TFALFormula& record);

// How the reading of a theory text ended.
enum class TheoryEnd : std::uint8_t { Complete, Stopped, SyntaxError };

// Reads a theory text formula by formula, as a proof run does: before each formula the program
// yields, and a set `StopRequested` ends the reading; each record goes to `take` (which owns it)
// with the offset in `text` at which its formula starts. A syntax error ends the reading with
// `ErrorCode` set and `ErrorPosition` the one-based offset of the caret in the whole text. A
// record that consumed nothing ends it as well, since reading on would only repeat it.
TheoryEnd ForEachFormula(TPLProgram& program, const char* text,
                         const std::function<void(TFALFormula* record, std::int32_t offset)>& take);
TObject* BindVariables(TObject* object, WalkMode& mode, TObject* argument);

// The message shown for a syntax error code; empty for codes without one.
std::string_view ErrorMessage(std::uint8_t code);

}  // namespace velmoran
