// The upper half of the theory parser: formulas, the query marker, degrees, the end of a formula,
// and the preparation of each parsed record (variable binding, arithmetic, polarities, text).
//
// `ParseFormula` reads one formula from a cursor into the theory text. On success the caller owns
// the new record and advances the cursor by `ParsedLength`; on failure there is no record, the
// error code is in the prover object, and `ParsedLength` is the offset of the failure within the
// step (the caret of the message stands there).
#pragma once

#include <cstdint>
#include <string_view>

#include "logic/formula.h"
#include "prover/program.h"

namespace velmoran {

// Side effects: sets `ErrorCode` and `ParsedLength` of the program; on failure also the end time
// of the run's measurement.
void ParseFormula(TPLProgram& program, const char* cursor, TFALFormula*& record);
void PrepareFormula(TFALFormula& record);
TObject* BindVariables(TObject* object, WalkMode& mode, TObject* argument);

// The message shown for a syntax error code; empty for codes without one.
std::string_view ErrorMessage(std::uint8_t code);

}  // namespace velmoran
