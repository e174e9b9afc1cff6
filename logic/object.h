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

// Object memory by size class, in steps of `kGrain` bytes; larger objects go to the general
// allocator. Blocks are carved from slabs of `kSlabBytes`, aligned to their size so that a block
// finds its slab by masking its address; each slab keeps its own free list and count of live
// blocks. A freed block is reused by the next object of its size class; during a proof a slab is
// not handed back, as the proof soon needs it again, and `Release` gives back every slab with no
// live block (a desktop session must not keep the memory of its largest proof) at a cost of one
// step per slab, not per block: a stopped proof of a gigabyte ends at once. Under the sanitizers
// every object goes to the general allocator, so that a use after free is still caught. Not
// thread-safe: like the rest of the logic state, one proof at a time.
struct ObjectPool {
  static constexpr std::size_t kGrain = 16;
  static constexpr std::size_t kClasses = 16;
  static constexpr std::size_t kSlabBytes = std::size_t{64} << 10;
  struct FreeBlock {
    FreeBlock* Next;
  };
  struct Slab {
    Slab* PrevAll;
    Slab* NextAll;
    Slab* PrevOpen;  // the class's slabs with a free block, but for its current one
    Slab* NextOpen;
    FreeBlock* Free;
    char* Bump;  // the first block never handed out
    std::uint32_t Live;
    std::uint16_t Class;
    bool Open;
  };
  Slab* All = nullptr;
  Slab* Current[kClasses] = {};
  Slab* OpenSlabs[kClasses] = {};
  std::size_t Slabs = 0;

  ObjectPool() = default;
  ObjectPool(const ObjectPool&) = delete;
  ObjectPool& operator=(const ObjectPool&) = delete;
  ~ObjectPool();

  void* Take(std::size_t size);
  void Give(void* memory, std::size_t size);
  // Hands every slab without a live block back to the general allocator.
  void Release();
  // Slabs that hold no live block (`Release` leaves none).
  std::size_t EmptySlabs() const;

 private:
  Slab* NewSlab(std::size_t sizeClass);
  void Unlink(Slab* s);
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
