// The command line of `velmoran`: what to prove and how, turned into prover options.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "prover/program.h"

namespace velmoran::cli {

struct Options {
  std::vector<std::string> Files;
  bool SyntaxOnly = false;
  bool Tptp = false;    // read every FILE as TPTP (a name ending in ".p" is read so anyway)
  bool ToTptp = false;  // print each theory as TPTP instead of proving it
  bool Bytes = false;
  bool Out = false;
  bool Szs = false;
  bool Proof = false;  // print the best refutation of the last query as a TSTP derivation
  bool Auto = false;
  std::optional<double> TimeoutSeconds;
  std::optional<std::int64_t> MaxResolvents;
  std::optional<std::int64_t> MaxMemoryMegabytes;
  // Applied to a fresh prover object before each proof.
  TPLProgram Settings;
};

// Parses argv; on --help/--version or a usage error prints what it must and returns the exit
// status to leave with.
std::optional<int> ParseOptions(int argc, char** argv, Options& options);

// Copies the option flags, strategy and DCF limit from one prover object to another.
void CopySettings(const TPLProgram& from, TPLProgram& to);

}  // namespace velmoran::cli
