// Root of every class that a walk can visit: terms, formula nodes and quantifier prefixes.
// Walk callbacks receive and return objects of this type and tell them apart by class tests.
#pragma once

namespace velmoran {

class TObject {
 public:
  virtual ~TObject() = default;
};

}  // namespace velmoran
