// Reading TPTP first-order problems as theory texts.
//
// A TPTP FOF problem (`fof(name, role, formula).` entries, `%` line comments and `/* */` block
// comments) is translated into a theory text in the one-byte alphabet, which the ordinary parser
// then proves, so that reports show the problem in our own notation. The translation keeps the
// meaning exactly or refuses: whatever the theory language cannot say is an error value naming the
// line and column in the TPTP text, never a silent change.
//
// What becomes what:
// - Roles axiom, hypothesis, definition, assumption, lemma, theorem, corollary and
//   negated_conjecture give axioms, one per line, in file order. The conjunction of all
//   conjectures gives one query, after every axiom. A problem without a conjecture gives a theory
//   without a query: the prover stores the axioms and proves nothing (the report holds only its
//   closing lines).
// - `~ & | =>` are ¬ ∧ ∨ →; `a <= b` is `b → a`; `a <=> b` is `[a → b] ∧ [b → a]`; `<~>` is the
//   negation of that, `~&` and `~|` the negated conjunction and disjunction. `! [X, Y] :` and
//   `? [X] :` are ∀X, Y and ∃X.
// - `s = t` is the relation "=" and `s != t` is `¬s=t`: TPTP defines `!=` as the negated equality,
//   and the theory language's ≠ is a predicate of its own that no axiom ties to "=", so writing ≠
//   would let `a = b` and `a != b` hold together. Neither relation has equality axioms here: a
//   problem that needs equality reasoning is not refuted (never wrongly refuted).
// - Integers within the signed 32-bit range are integers. Lower and upper words are kept as they
//   stand: both languages spell functors and predicates as a lower-case letter followed by letters,
//   digits and "_", variables the same with a capital, with no length limit and no reserved word,
//   so no name is ever mapped. Formula names are not part of the theory.
// - Refused, each at its place: quoted atoms, distinct objects, `$` and `$$` words (`$true` and
//   `$false` included), real and rational numbers (the prover compares numbers by value, TPTP keeps
//   1 and 1.0 apart), integers beyond 32 bits, free variables (TPTP formulas are closed), roles
//   other than those above, `include`, sequents and every language but fof.
//
// Precedence is TPTP's: ~ and the quantifiers take one unit formula; & and | chain to the left but
// do not mix without parentheses; => <= <=> <~> ~& ~| take two unit formulas and never chain. A
// text that leans on any other reading is an error.
//
// Bounds: nesting (parentheses, negations, quantifiers, argument lists) stops at `kMaxTptpNesting`
// levels, and a translation that the prover's parser would refuse for depth, or that equivalences
// would blow up beyond `kMaxTranslatedBytes`, is refused at the formula that causes it. Chains of
// & and | are read without recursion, so no input exhausts the stack.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velmoran {

inline constexpr int kMaxTptpNesting = 1000;
inline constexpr std::size_t kMaxTranslatedBytes = std::size_t{64} << 20;

struct TTptpError {
  int Line = 0;    // 1-based
  int Column = 0;  // 1-based, in characters
  std::string Message;
};

// A place in the translated text and the TPTP place it was made from.
struct TTptpAnchor {
  std::size_t Offset = 0;
  int Line = 0;
  int Column = 0;
};

struct TTptpTheory {
  std::string Text;                  // the theory, one formula per line
  std::vector<TTptpAnchor> Anchors;  // ascending offsets; the first is at offset 0
  int Axioms = 0;
  int Conjectures = 0;

  // The TPTP place of the construct that the translated text holds at `offset`: the last anchor
  // at or before it.
  TTptpAnchor Origin(std::size_t offset) const;
};

std::variant<TTptpTheory, TTptpError> ReadTptp(std::string_view source);

}  // namespace velmoran
