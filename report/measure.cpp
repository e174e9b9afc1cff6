#include "report/measure.h"

#include <malloc.h>

#include <chrono>

namespace velmoran {

MeasureState Measure;

double Now() {
  using namespace std::chrono;
  double s = duration<double>(steady_clock::now().time_since_epoch()).count();
  return s > 0 ? s : 1e-9;  // 0 is reserved for "not taken"
}

std::int64_t HeapBytesInUse() {
  struct mallinfo2 info = mallinfo2();
  return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

void SamplePeakMemory() {
  std::int64_t now = HeapBytesInUse();
  if (now > Measure.PeakMemory) Measure.PeakMemory = now;
}

}  // namespace velmoran
