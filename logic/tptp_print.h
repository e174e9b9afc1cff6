// Printing a parsed theory as a TPTP FOF problem, so that other provers can be given our theories.
//
// One TPTP problem has one conjecture, while a theory proves each query against the axioms above
// it. So the problem printed is the one of the last query: the axioms above it become
// `fof(fN, axiom, ...)` (N counts the axioms as the report's F numbers do) and the query
// `fof(queryK, conjecture, ...)` (K its place among the queries). Earlier queries and the axioms
// after the last query take part in no proof of it: they are printed as comments, so nothing is
// lost. A theory without a query gives every axiom and no conjecture.
//
// What TPTP cannot hold is said in comments, never dropped silently: degrees (a header line, and
// one comment before each axiom or query whose degree is not 1); "=", which is printed as TPTP's
// equality although the prover gives it no equality axioms. The other relations and the
// arithmetic operators have no TPTP spelling: each becomes a predicate or function with a plain
// name ("<" less, ">" greater, "≤" less_or_equal, "≥" greater_or_equal, "≠" not_equal, "+" plus,
// "-" minus, "*" times, "/" divide; "-" and "+" on one operand negative and positive), with "_1",
// "_2", ... appended while the theory uses that name already; the header lists the ones used.
// Functor and predicate names are valid TPTP words as they stand. Variables keep their names
// where TPTP can take them; a name starting with "_" (anonymous ones included) becomes "V" and the
// rest of it, and a variable whose name one in scope has already (an inner one shadowing, or two
// of one prefix) gets "_1", "_2", ... appended until no variable in scope has it, so no
// occurrence changes its variable.
//
// Only the records' trees are read: print queries as parsed (not negated) and axioms before or
// after simplification alike.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "logic/formula.h"

namespace velmoran {

// `records` in theory order, queries among them. Each line of the result ends with "\n".
std::string TptpProblem(const std::vector<const TFALFormula*>& records, std::string_view title);

class TptpWriter;

// Prints formulas one at a time as `TptpProblem` prints them, with the names of one problem made
// from `records`: a relation or operator keeps one plain name in every formula printed.
class TptpFormulaPrinter {
 public:
  explicit TptpFormulaPrinter(const std::vector<const TFALFormula*>& records);
  ~TptpFormulaPrinter();
  TptpFormulaPrinter(const TptpFormulaPrinter&) = delete;
  TptpFormulaPrinter& operator=(const TptpFormulaPrinter&) = delete;

  // `witnesses`: the serial numbers of the witnesses (`TVariable::Witness`) to print as constants
  // of their own, each naming one element wherever it occurs, without their quantifiers.
  std::string Formula(const TSub& root, const std::set<std::int32_t>& witnesses = {});
  bool UsesEquality() const;
  // "< as less, ..." for every relation and operator printed under a name so far.
  std::string MappedList() const;

 private:
  std::unique_ptr<TptpWriter> writer_;
};

}  // namespace velmoran
