// Time and memory of one proof run.
//
// Times come from a monotonic clock, in seconds; 0 means "not taken yet". Heap figures are the
// program's own live heap bytes, sampled (never in a hot loop).
//
// A library of its own (velmoran_measure) at the bottom of the engine, needing nothing: the
// parser takes the end time at a syntax error and the prover object's run limits read the clock
// and the heap, and both lie below the report.
#pragma once

#include <cstdint>

namespace velmoran {

struct MeasureState {
  double ProofStartTime = 0;
  double ProofEndTime = 0;
  std::int64_t StartMemory = 0;
  std::int64_t PeakMemory = 0;
};
extern MeasureState Measure;

double Now();
// Seconds on a clock that may lag `Now` by a few milliseconds but costs a memory read: for the
// time limit, which the search checks at nearly every step.
double CoarseNow();
std::int64_t HeapBytesInUse();
// Raises `PeakMemory` to the current heap use when that is higher.
void SamplePeakMemory();

}  // namespace velmoran
