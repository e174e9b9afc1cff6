// The command line of `velmoran`: what to prove and how, turned into prover options.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "prover/settings.h"

namespace velmoran::cli {

struct Options {
  std::vector<std::string> Files;
  bool SyntaxOnly = false;
  bool Tptp = false;    // read every FILE as TPTP (a name ending in ".p" is read so anyway)
  bool ToTptp = false;  // print each theory as TPTP instead of proving it
  bool Bytes = false;
  bool Out = false;
  bool Szs = false;
  bool Equality = false;  // the equality axioms go in front of a theory text in which "=" occurs
  bool NoEqualityAxioms = false;  // a TPTP problem without its equality axioms
  bool Proof = false;             // keep the best refutation of the last query as a derivation
  bool ProofTstp = false;         // --proof: print it as TSTP
  bool ProofDot = false;          // --derivation=dot: print it as a Graphviz graph
  bool Auto = false;
  std::optional<double> TimeoutSeconds;
  std::optional<std::int64_t> MaxResolvents;
  std::optional<std::int64_t> MaxMemoryMegabytes;
  // Applied to a fresh prover object before each proof.
  TSettings Settings;
};

// Parses argv; on --help/--version or a usage error prints what it must and returns the exit
// status to leave with.
std::optional<int> ParseOptions(int argc, char** argv, Options& options);

}  // namespace velmoran::cli
