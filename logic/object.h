// Root of every class that a walk can visit: terms, formula nodes and quantifier prefixes.
// Walk callbacks receive and return objects of this type and tell them apart by their family, a
// tag set at construction: walks visit every object, so the test must cost no more than a load.
//
// These objects are made and freed by the million (every resolution step copies whole trees
// and simplification frees most of the copy at once), so their memory, and that of a prefix's
// variable list, comes from free lists kept by size (`ObjectPool`, in the logic state) rather
// than from the general allocator.
// Ownership is unchanged: every object is still made with `new` and dies by `delete` (or its
// family's free operation) exactly where it did; only the memory behind it is recycled.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmoran {

class TId;
class TSub;
class TQuant;

class TObject {
 public:
  enum class Family : std::uint8_t { Term, Node, Prefix };

  static void* operator new(std::size_t size);
  static void operator delete(void* memory, std::size_t size);

  virtual ~TObject() = default;
  Family ObjectFamily() const { return family_; }

 protected:
  explicit TObject(Family family) : family_(family) {}
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;

 private:
  Family family_;
};

// Free lists of object memory by size, in steps of `kGrain` bytes; larger objects go to the
// general allocator. A freed block is reused by the next object of its size class; during a proof
// blocks are not handed back, as the proof soon needs them again, and `Release` gives them all
// back when it ends (a desktop session must not keep the memory of its largest proof). Under the
// sanitizers every object goes to the general allocator, so that a use after free is still
// caught. Not thread-safe: like the rest of the logic state, one proof at a time.
struct ObjectPool {
  static constexpr std::size_t kGrain = 16;
  static constexpr std::size_t kClasses = 16;
  struct FreeBlock {
    FreeBlock* Next;
  };
  FreeBlock* Free[kClasses] = {};

  void* Take(std::size_t size);
  void Give(void* memory, std::size_t size);
  // Hands every free block back to the general allocator.
  void Release();
};

// Memory for the lists that objects hold (a prefix's variables, a functor's arguments), from the
// same free lists: such a list is made by every copy and freed with its object, as often as the
// objects themselves.
void* TakeObjectMemory(std::size_t bytes);
void GiveObjectMemory(void* memory, std::size_t bytes);

template <class T>
struct PoolAllocator {
  using value_type = T;
  PoolAllocator() = default;
  template <class U>
  PoolAllocator(const PoolAllocator<U>&) {}
  T* allocate(std::size_t n) { return static_cast<T*>(TakeObjectMemory(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) { GiveObjectMemory(p, n * sizeof(T)); }
  friend bool operator==(const PoolAllocator&, const PoolAllocator&) { return true; }
};

// The object as a term, node or prefix, or null when it is of another family.
TId* AsTerm(TObject* o);
TSub* AsNode(TObject* o);
TQuant* AsPrefix(TObject* o);

}  // namespace velmoran
