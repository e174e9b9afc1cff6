// Process-wide state of the logic data model during one proof run.
//
// The atom chain under construction is where the parser and the copy walk append every atom they
// create; the builder moves its ends into the record when the tree is complete. The serial
// counter gives every declared variable its identity for unification; it is never restarted
// within a process, so two different variables never share a number; records are numbered so too.
#pragma once

#include <cstdint>

#include "logic/object.h"

namespace velmoran {

class TAtom;

struct LogicState {
  TAtom* ChainFirst = nullptr;
  TAtom* ChainLast = nullptr;
  std::int32_t NextSerial = 0;
  // The last `TFALFormula::Serial` given; never restarted either.
  std::uint64_t LastRecordSerial = 0;
  // The number of the latest walk of the unifier that asked whether an existential is free of
  // outer universals, and of its latest dependency walk; a variable stamped with one was met in
  // that walk (`TVariable::FreedomWalk`, `DependencyWalk`). Here rather than in the unifier's
  // state, which every query starts afresh: variables outlive queries, and a restarted count would
  // meet their old stamps again.
  std::uint64_t FreedomWalks = 0;
  std::uint64_t DependencyWalks = 0;
  // Functor terms alive whose symbol is an arithmetic operator: while there is none, no formula
  // holds anything to evaluate, and simplification skips that walk.
  std::int64_t ArithmeticTerms = 0;
  // Memory of freed terms, nodes and prefixes, for the next ones made (see `ObjectPool`).
  ObjectPool Objects;
  // The switch that decides whether quantifier prefixes print: the active prover object's
  // `QuantificationOn`, which the unifier reads as well. Pointed to rather than copied, so that
  // printing follows the flag whenever a front end changes it; null (no active object) prints
  // them.
  const std::uint8_t* QuantifierSwitch = nullptr;
};

extern LogicState Logic;

}  // namespace velmoran
