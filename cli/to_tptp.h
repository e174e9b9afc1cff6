// `velmoran --to-tptp`: a theory printed as a TPTP FOF problem instead of proved.
#pragma once

#include "cli/cli_options.h"
#include "cli/file_io.h"
#include "cli/theory_file.h"

namespace velmoran::cli {

// Parses the whole theory, then prints it as one TPTP problem (see logic/tptp_print.h). A syntax
// error prints nothing of the problem, only the error. Returns false on a syntax error.
bool PrintAsTptp(const TheoryText& text, const Options& options, TStdout& out);

}  // namespace velmoran::cli
