#include "cli/proof_output.h"

#include "report/derivation_dot.h"

namespace velmoran::cli {

void AddProof(const Options& options, const std::string& szsName, TRunOutcome& out) {
  if (!options.Proof || out.Proof.empty()) return;
  if (options.ProofTstp) {
    if (options.Szs) out.Closing.push_back("% SZS output start Refutation for " + szsName);
    out.Closing.insert(out.Closing.end(), out.Proof.begin(), out.Proof.end());
    if (options.Szs) out.Closing.push_back("% SZS output end Refutation for " + szsName);
  }
  if (options.ProofDot)
    for (std::string& line : DerivationDot(out.Proof)) out.Closing.push_back(std::move(line));
}

}  // namespace velmoran::cli
