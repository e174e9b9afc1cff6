// The derivation that --proof prints after a run's report.
#pragma once

#include <string>

#include "cli/attempt.h"
#include "cli/cli_options.h"

namespace velmoran::cli {

// Appends `out.Proof` to the lines that follow the report, framed by the SZS output lines when
// --szs is given, and with --derivation=dot its graph; nothing without a refutation of the last
// query.
void AddProof(const Options& options, const std::string& szsName, TRunOutcome& out);

}  // namespace velmoran::cli
