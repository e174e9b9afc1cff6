#include "cli/proof_output.h"

namespace velmoran::cli {

void AddProof(const Options& options, const std::string& szsName, TRunOutcome& out) {
  if (!options.Proof || out.Proof.empty()) return;
  if (options.Szs) out.Closing.push_back("% SZS output start Refutation for " + szsName);
  out.Closing.insert(out.Closing.end(), out.Proof.begin(), out.Proof.end());
  if (options.Szs) out.Closing.push_back("% SZS output end Refutation for " + szsName);
}

}  // namespace velmoran::cli
