#include "logic/object.h"

#include <new>

#include "logic/logic_state.h"

namespace velmoran {

namespace {

// Under a sanitizer every object comes from the general allocator (g++ names the sanitizers by
// macros, clang by features).
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kPooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif
#else
constexpr bool kPooled = true;
#endif

std::size_t SizeClass(std::size_t size) {
  return (size + ObjectPool::kGrain - 1) / ObjectPool::kGrain - 1;
}

}  // namespace

void* ObjectPool::Take(std::size_t size) {
  std::size_t c = SizeClass(size);
  if (!kPooled || c >= kClasses) return ::operator new(size);
  if (FreeBlock* b = Free[c]) {
    Free[c] = b->Next;
    return b;
  }
  return ::operator new((c + 1) * kGrain);
}

void ObjectPool::Give(void* memory, std::size_t size) {
  std::size_t c = SizeClass(size);
  if (!kPooled || c >= kClasses) {
    ::operator delete(memory);
    return;
  }
  auto* b = static_cast<FreeBlock*>(memory);
  b->Next = Free[c];
  Free[c] = b;
}

void ObjectPool::Release() {
  for (std::size_t c = 0; c < kClasses; ++c) {
    while (FreeBlock* b = Free[c]) {
      Free[c] = b->Next;
      ::operator delete(b);
    }
  }
}

void* TakeObjectMemory(std::size_t bytes) {
  return Logic.Objects.Take(bytes);
}

void GiveObjectMemory(void* memory, std::size_t bytes) {
  Logic.Objects.Give(memory, bytes);
}

void* TObject::operator new(std::size_t size) {
  return Logic.Objects.Take(size);
}

void TObject::operator delete(void* memory, std::size_t size) {
  Logic.Objects.Give(memory, size);
}

}  // namespace velmoran
