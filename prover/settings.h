// Every setting of a proof in one struct: the search strategy, the consequent-detection limit, the
// 21 option flags of the editor window's menus and the switches that only the command line sets.
//
// The prover object derives from it, so code reads `program.ShowDcf` as before, and a front end
// hands a whole set over with one assignment (`program.Settings() = settings`): a new setting
// added here travels everywhere a set is copied, the command line's `--auto` children included.
// The option tables (`options.h`) describe every field; nothing here depends on anything else.
#pragma once

#include <cstdint>

namespace velmoran {

enum class SearchStrategy : std::uint8_t {
  Linear = 0,
  ModifiedLinear = 1,
  BreadthFirst = 2,
  SmallestFirst = 3
};

struct TSettings {
  SearchStrategy Strategy = SearchStrategy::Linear;
  std::int32_t DcfLimit = 10;

  std::uint8_t Interactive = 0;
  std::uint8_t ShowTime = 0;
  std::uint8_t ShowMemory = 0;
  std::uint8_t ShowAxioms = 0;
  std::uint8_t ShowResolvents = 0;
  std::uint8_t ShowStatistics = 0;
  std::uint8_t CheckDcf = 0;
  std::uint8_t CheckDcfKill = 0;
  std::uint8_t NoRestriction = 0;
  std::uint8_t SupportSet = 0;
  std::uint8_t Filtration = 0;
  std::uint8_t ShowUnsimplified = 0;
  std::uint8_t ShowProgress = 0;
  std::uint8_t ShowSources = 0;
  std::uint8_t ExitOnFirstMatch = 0;
  std::uint8_t ExitOnFirstUnused = 0;
  std::uint8_t ShowDcf = 0;
  std::uint8_t GeneralCut = 0;
  std::uint8_t TrivialCheckOnly = 0;
  std::uint8_t OneRefutation = 0;
  std::uint8_t QuantificationOn = 0;
  // Debugging only, set by the command line alone and never by a menu: every copy of a variable
  // counts as one variable with its source (`SameWitness`). Unsound, it refutes non-theorems; it
  // shows which step of a missing proof the sound identity rule refuses.
  std::uint8_t SerialIdentity = 0;
  // Debugging only, set by the command line alone: a record split with itself takes any atom and
  // every atom that unifies with a marked one, with no substitution (`MarkAtomClass`'s loose
  // class). Unsound, it refutes non-theorems; it shows which proofs rest on such a split.
  std::uint8_t LooseSplit = 0;
  // Debugging only, set by the command line alone: the first quantifier rules of the unifier. A
  // variable value needs only its outer universals bound, to anything, a function term is always
  // a value, and no binding is refused because its value depends on the variable bound.
  // Unsound, it refutes non-theorems.
  std::uint8_t LooseUnify = 0;
  // Set by the command line alone: the identical-text check also drops a resolvent that differs
  // from a stored one only in the order or grouping of the operands of its conjunctions and
  // disjunctions (the same formula). Off by default, so that every report line stays as it is.
  std::uint8_t IdenticalUpToOrder = 0;
  // Set by the command line alone: "=" is equality, reasoned with by the equality rule
  // (`Paramodulate`); the front end then leaves out the axioms the rule stands for.
  std::uint8_t EqualityRule = 0;
  // Set by the command line alone: across two records, an existential inside universals that
  // still vary may be the value of a universal (`ValuesToLift`). Sound, off by default: it makes
  // other searches, and so other reports, and on the TPTP library it refutes nothing more.
  std::uint8_t WitnessesAcross = 0;
  // Set by the command line alone: the smallest-first search resolves each new record of one atom
  // at once with every record of one atom (`UnitConflicts`). Sound, off by default: it adds
  // steps, and so lines, to a report.
  std::uint8_t UnitConflicts = 0;
};

}  // namespace velmoran
