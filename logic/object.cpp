#include "logic/object.h"

#include <cstdint>
#include <new>

#include "logic/logic_state.h"
#include "logic/sanitizers.h"

namespace velmoran {

namespace {

// Under a sanitizer every object comes from the general allocator.
constexpr bool kPooled = !kAddressSanitizer && !kThreadSanitizer;

std::size_t SizeClass(std::size_t size) {
  return (size + ObjectPool::kGrain - 1) / ObjectPool::kGrain - 1;
}

}  // namespace

ObjectPool::Slab* ObjectPool::NewSlab(std::size_t sizeClass) {
  void* memory = ::operator new (kSlabBytes, std::align_val_t{kSlabBytes});
  auto* s = static_cast<Slab*>(memory);
  *s = Slab{nullptr, All,     nullptr, nullptr,
            nullptr, nullptr, 0,       static_cast<std::uint16_t>(sizeClass),
            false};
  constexpr std::size_t header = (sizeof(Slab) + kGrain - 1) / kGrain * kGrain;
  s->Bump = static_cast<char*>(memory) + header;
  if (All) All->PrevAll = s;
  All = s;
  ++Slabs;
  return s;
}

void ObjectPool::Unlink(Slab* s) {
  if (!s->Open) return;
  (s->PrevOpen ? s->PrevOpen->NextOpen : OpenSlabs[s->Class]) = s->NextOpen;
  if (s->NextOpen) s->NextOpen->PrevOpen = s->PrevOpen;
  s->PrevOpen = s->NextOpen = nullptr;
  s->Open = false;
}

void* ObjectPool::Take(std::size_t size) {
  std::size_t c = SizeClass(size);
  if (!kPooled || c >= kClasses) return ::operator new(size);
  const std::size_t block = (c + 1) * kGrain;
  Slab* s = Current[c];
  auto full = [&](const Slab* t) {
    return !t->Free && t->Bump + block > reinterpret_cast<const char*>(t) + kSlabBytes;
  };
  if (!s || full(s)) {
    s = OpenSlabs[c];
    if (s)
      Unlink(s);  // an open slab has a free block
    else
      s = NewSlab(c);
    Current[c] = s;
  }
  void* b;
  if (FreeBlock* f = s->Free) {
    s->Free = f->Next;
    b = f;
  } else {
    b = s->Bump;
    s->Bump += block;
  }
  ++s->Live;
  return b;
}

void ObjectPool::Give(void* memory, std::size_t size) {
  std::size_t c = SizeClass(size);
  if (!kPooled || c >= kClasses) {
    ::operator delete(memory);
    return;
  }
  auto* s = reinterpret_cast<Slab*>(reinterpret_cast<std::uintptr_t>(memory) & ~(kSlabBytes - 1));
  auto* b = static_cast<FreeBlock*>(memory);
  b->Next = s->Free;
  s->Free = b;
  --s->Live;
  if (s != Current[c] && !s->Open) {
    s->Open = true;
    s->NextOpen = OpenSlabs[c];
    if (s->NextOpen) s->NextOpen->PrevOpen = s;
    OpenSlabs[c] = s;
  }
}

void ObjectPool::Release() {
  for (Slab* s = All; s;) {
    Slab* next = s->NextAll;
    if (s->Live == 0) {
      Unlink(s);
      if (Current[s->Class] == s) Current[s->Class] = nullptr;
      (s->PrevAll ? s->PrevAll->NextAll : All) = s->NextAll;
      if (s->NextAll) s->NextAll->PrevAll = s->PrevAll;
      --Slabs;
      ::operator delete (static_cast<void*>(s), std::align_val_t{kSlabBytes});
    }
    s = next;
  }
}

std::size_t ObjectPool::EmptySlabs() const {
  std::size_t n = 0;
  for (const Slab* s = All; s; s = s->NextAll) n += s->Live == 0;
  return n;
}

ObjectPool::~ObjectPool() {
  Release();  // objects still alive at exit keep their slabs, as they kept their blocks before
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
