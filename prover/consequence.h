// Detection of consequent formulas: keeps the search from drowning in redundant resolvents.
//
// Every new resolvent passes `CheckResolvent`: a bounded self-refutation attempt (its result
// replaces the resolvent when it reaches false), the identical-text check against the stored
// resolvents, and unless only the trivial check is wanted, the consequent check: a resolvent that
// follows from a stored one (shown by a bounded refutation of the negated implication) is dropped
// unless its degree is higher. With kill on, a stored resolvent then disables stored resolvents
// that follow from it with a lower degree or are equivalent to it with an equal degree.
//
// The bound of every refutation test is the prover object's `DcfLimit`: the number of atom
// eliminations by self-resolution one test may perform. A test stops early once its formula holds
// in a one-element model (see `one_point_model.h`), and a consequent test is not run at all when a
// sampled two-element model parts B from A (see `two_point_model.h`), unless the statistics are
// printed: they count the work of every test in full.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "logic/formula.h"
#include "prover/resolution.h"

namespace velmoran {

// The stored resolvents by text (by order-free text under `TPLProgram::IdenticalUpToOrder`), for
// the identical-text check: each text with the indexes that hold it, ascending; a record found
// here is identical, no further comparison is needed. `Indexed` records of the list were indexed,
// the first and the last of them with the serials `First` and `Last`. The search only appends to
// the list or clears it, so a list whose first or last indexed record is another one (records
// removed, replaced at the front, a new query) makes the index start over; record serials are
// never reused, so a list rebuilt of new records is never taken for the old one. Checking those
// two rather than the whole list keeps the check constant in time: a record replaced in the middle
// would go unnoticed. A stored record's text, once set, never changes.
struct TextIndex {
  std::size_t Indexed = 0;
  std::uint64_t First = 0;
  std::uint64_t Last = 0;
  std::unordered_map<std::string, std::vector<std::size_t>> Indexes;
  // Indexes of records that had no text yet when they were indexed.
  std::vector<std::size_t> Untexted;
};

// Process-wide state of the consequent test, belonging to the query being proved.
struct ConsequenceState {
  TextIndex Texts = {};
};
extern ConsequenceState Consequence;

// Returns none when `n` was dropped and destroyed, `n` itself when it passes, or a refutation
// reached by self-resolution that replaces it (`n` destroyed).
TFALFormula* CheckResolvent(TFALFormula* n);
void KillConsequents(TFALFormula* n);
// Up to `DcfLimit` self-resolution steps of the given kind; `x` itself when no step was possible,
// otherwise the record the steps produced. `modelSought`: the caller has already looked for a
// one-element model of `x` and found none.
TFALFormula* SelfRefute(TFALFormula* x, SplitKind kind, bool modelSought = false);
// True when `a` follows from `b` within the limit. Both are whole again afterwards.
bool IsConsequent(TFALFormula& b, TFALFormula& a);
// Sets the record's text, and its order-free text when the identical-text check ignores the order
// of operands, unless they are already set.
void EnsureText(TFALFormula& x);

}  // namespace velmoran
