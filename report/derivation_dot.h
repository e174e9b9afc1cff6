// The derivation of a best refutation as a Graphviz graph: what the command line's
// --derivation=dot prints and what the desktop app lays out and shows.
//
// Read from the TSTP lines themselves, so the picture shows exactly what tools/check-proof checks:
// a node per formula (its name, its TPTP formula and its degree), an edge from each parent to what
// was inferred from it. Axioms and the negated query are the leaves, drawn as boxes; the refutation
// ($false) is the root at the bottom. `dot -Tsvg` or `dot -Tpng` draws it.
#pragma once

#include <string>
#include <vector>

namespace velmoran {

std::vector<std::string> DerivationDot(const std::vector<std::string>& tstp);

}  // namespace velmoran
