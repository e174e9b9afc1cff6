// The derivation that --proof prints, as a Graphviz graph (--derivation=dot).
//
// Read from the TSTP lines themselves, so the picture shows exactly what tools/check-proof checks:
// a node per formula (its name, its TPTP formula and its degree), an edge from each parent to what
// was inferred from it. Axioms and the negated query are the leaves, drawn as boxes; the refutation
// ($false) is the root at the bottom. `dot -Tsvg` or `dot -Tpng` draws it.
#pragma once

#include <string>
#include <vector>

namespace velmoran::cli {

std::vector<std::string> DerivationDot(const std::vector<std::string>& tstp);

}  // namespace velmoran::cli
