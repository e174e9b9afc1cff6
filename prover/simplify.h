// Evaluation and simplification.
//
// The resolution step leaves truth constants and substituted arithmetic in its trees; `Simplify`
// turns a record back into a plain formula: it evaluates arithmetic on numbers (in extended
// precision; a division by zero, invalid operation or overflow leaves the application as it is),
// folds the truth constants away (a whole formula may fold to one constant) and deletes
// quantified variables that no longer occur. Purely two-valued: degrees are not touched.
//
// The parser prepares every formula it reads with these walks, so they form a library of their
// own (velmoran_simplify) between the report, whose counters they raise, and the parser.
#pragma once

#include "logic/formula.h"

namespace velmoran {

// Side effects: rewrites the record's tree, atom chain and prefixes in place; counts each folded
// connective in `Simplifications`. Polarities are left for the caller to recompute.
void Simplify(TFALFormula& record);

TObject* EvaluateArithmetic(TObject* object, WalkMode& mode, TObject* argument);
// Marks every variable that occurs, or that stands in the value of a prefix's variable.
TObject* MarkOccurrences(TObject* object, WalkMode& mode, TObject* argument);

}  // namespace velmoran
