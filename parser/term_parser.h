// The recursive-descent parser for terms: sums, products, signs, brackets, numbers, variables and
// function terms, read from the scanner's current token onto its operand stack. Failures are the
// scanner's codes (`SetParseError`); nesting is bounded as the scanner describes.
#pragma once

#include "parser/scanner.h"

namespace velmoran {

// Pushes `functor` and moves the `count` objects below it into its arguments, in order.
void Reduce(TFunctor* functor, int count);
// Term rules; each leaves exactly one term on the operand stack on success and returns the
// term's depth.
int ParseSum();
int ParseProduct();
int ParseFactor();
int ParseNumber();
int ParseVariable();
int ParseFunctor();

}  // namespace velmoran
