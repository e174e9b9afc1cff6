// Root of every class that a walk can visit: terms, formula nodes and quantifier prefixes.
// Walk callbacks receive and return objects of this type and tell them apart by their family, a
// tag set at construction: walks visit every object, so the test must cost no more than a load.
#pragma once

#include <cstdint>

namespace velmoran {

class TId;
class TSub;
class TQuant;

class TObject {
 public:
  enum class Family : std::uint8_t { Term, Node, Prefix };

  virtual ~TObject() = default;
  Family ObjectFamily() const { return family_; }

 protected:
  explicit TObject(Family family) : family_(family) {}
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;

 private:
  Family family_;
};

// The object as a term, node or prefix, or null when it is of another family.
TId* AsTerm(TObject* o);
TSub* AsNode(TObject* o);
TQuant* AsPrefix(TObject* o);

}  // namespace velmoran
