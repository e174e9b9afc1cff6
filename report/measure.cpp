#include "report/measure.h"

#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <ctime>
#include <new>

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

// Elsewhere the program's own C++ heap is counted as it is allocated: the C library's figures
// walk its free chunks, and the peak is sampled after every new resolvent, so reading them cost
// more than the proof once the heap is fragmented. Every allocation of the program goes through
// these two (the array, nothrow and sized forms call them), so the count is the live heap that a
// memory cap means. The sanitizers bring their own operators and their own figures.
#if !defined(VELMORAN_ASAN_HEAP) && !defined(__SANITIZE_THREAD__)
#define VELMORAN_COUNTED_HEAP 1
namespace {
std::atomic<std::int64_t> countedHeapBytes{0};
}

void* operator new(std::size_t size) {
  void* memory = std::malloc(size ? size : 1);
  if (!memory) throw std::bad_alloc();
  countedHeapBytes.fetch_add(static_cast<std::int64_t>(malloc_usable_size(memory)),
                             std::memory_order_relaxed);
  return memory;
}

void operator delete(void* memory) noexcept {
  if (!memory) return;
  countedHeapBytes.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(memory)),
                             std::memory_order_relaxed);
  std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
  ::operator delete(memory);
}

// The object pool's slabs are aligned to their size.
void* operator new(std::size_t size, std::align_val_t alignment) {
  auto align = static_cast<std::size_t>(alignment);
  void* memory = std::aligned_alloc(align, (size + align - 1) / align * align);
  if (!memory) throw std::bad_alloc();
  countedHeapBytes.fetch_add(static_cast<std::int64_t>(malloc_usable_size(memory)),
                             std::memory_order_relaxed);
  return memory;
}

void operator delete(void* memory, std::align_val_t) noexcept {
  ::operator delete(memory);
}

void operator delete(void* memory, std::size_t, std::align_val_t) noexcept {
  ::operator delete(memory);
}
#endif

namespace velmoran {

MeasureState Measure;

double Now() {
  using namespace std::chrono;
  double s = duration<double>(steady_clock::now().time_since_epoch()).count();
  return s > 0 ? s : 1e-9;  // 0 is reserved for "not taken"
}

double CoarseNow() {
#ifdef CLOCK_MONOTONIC_COARSE
  timespec t{};
  if (clock_gettime(CLOCK_MONOTONIC_COARSE, &t) == 0) {
    double s = static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    return s > 0 ? s : 1e-9;
  }
#endif
  return Now();
}

std::int64_t HeapBytesInUse() {
#ifdef VELMORAN_ASAN_HEAP
  return static_cast<std::int64_t>(__sanitizer_get_current_allocated_bytes());
#elif defined(VELMORAN_COUNTED_HEAP)
  return countedHeapBytes.load(std::memory_order_relaxed);
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
