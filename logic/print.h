// Printing formulas in the logical alphabet.
//
// No blanks around connectives; a node's prefix stands in front of it; "[" and "]" appear where
// binding strength or left association demand them, and around a negated or quantified node.
// Prefix printing follows `QuantificationOn` of the active prover object
// (`Logic.QuantifierSwitch`).
#pragma once

#include <string>

#include "logic/formula.h"

namespace velmoran {

void PrintPrefix(const TQuant& prefix, std::string& out);
// The printed text of a whole tree.
std::string PrintedText(const TSub& root);
// A text equal for two trees exactly when they print the same once the operands of every run of
// conjunctions (or of disjunctions) are put in one order: the same formula up to commuting and
// regrouping those operands. Every connective is bracketed; it is a key, never shown.
std::string OrderFreeText(const TSub& root);

}  // namespace velmoran
