#include "report/measure.h"

#include <malloc.h>

#include <chrono>
#include <cstddef>

// Under AddressSanitizer the heap is the sanitizer's, which the C library's figures do not see.
#if defined(__SANITIZE_ADDRESS__)
#define VELMORAN_ASAN_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORAN_ASAN_HEAP 1
#endif
#endif
#ifdef VELMORAN_ASAN_HEAP
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();  // in every sanitizer runtime
#endif

namespace velmoran {

MeasureState Measure;

double Now() {
  using namespace std::chrono;
  double s = duration<double>(steady_clock::now().time_since_epoch()).count();
  return s > 0 ? s : 1e-9;  // 0 is reserved for "not taken"
}

std::int64_t HeapBytesInUse() {
#ifdef VELMORAN_ASAN_HEAP
  return static_cast<std::int64_t>(__sanitizer_get_current_allocated_bytes());
#else
  struct mallinfo2 info = mallinfo2();
  return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
#endif
}

void SamplePeakMemory() {
  std::int64_t now = HeapBytesInUse();
  if (now > Measure.PeakMemory) Measure.PeakMemory = now;
}

}  // namespace velmoran
