// The proof run and the search strategies.
//
// `RunProof` parses the theory text formula by formula, stores the axioms and proves every query
// against the axioms read before it: the query is negated, appended as the last source formula
// (the start of the support set) and refuted by adding resolvents until no new one arises, the
// stop flag is set, or the first refutation is found when only one is wanted. Linear strategies
// expand each stored resolvent at once (depth first); breadth-first expands level by level;
// smallest-first takes every record once, fewest atoms first (one pick in five the one that has
// waited longest), and pairs it both ways with every record taken before it. All share one pair
// procedure that tries every atom pair of a (centre, partner) pair of records.
//
// An allocation failure anywhere in the run is caught at its boundary and ends the proof as the
// stop command does, with `OutOfMemory` set: the run itself never throws.
//
// The linear recursion is bounded by `SearchState::MaxDepth`: beyond it a resolvent is stored but
// not expanded, and one report line says so. Deep searches want a large stack: see
// `RunOnLargeStack`.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "logic/formula.h"
#include "prover/program.h"

namespace velmoran {

struct SearchState {
  bool LevelProduced = false;
  std::int32_t LevelStart = 0;
  std::int32_t NextLevelStart = 0;
  int Depth = 0;
  int MaxDepth = 1500;
  bool DepthNoted = false;
};
extern SearchState Search;

void RunProof(TPLProgram& program);
void NegateQuery(TFALFormula& query);

// Runs `work` on a thread whose stack holds `stackBytes`, and waits for it. Returns false when no
// such thread could be made (the work then has not run).
bool RunOnLargeStack(std::size_t stackBytes, const std::function<void()>& work);

}  // namespace velmoran
