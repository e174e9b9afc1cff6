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
//   would let `a = b` and `a != b` hold together. When "=" occurs, the equality axioms follow the
//   problem's own axioms (see `EqualityAxioms`); distinct objects are then pairwise unequal.
// - Integers within the signed 32-bit range are integers. Lower words are kept as they stand:
//   both languages spell functors and predicates as a lower-case letter followed by letters,
//   digits and "_", variables the same with a capital. Formula names are not part of the theory.
// - Names the theory language cannot spell get names it can, one to one, all under the reserved
//   start "tp_": a quoted atom or functor 'x' is tp_q + x, a distinct object "x" is tp_d + x, with
//   every character but a letter or digit written "_" and two hex digits ('+' is tp_q_2b,
//   'Oedipus' tp_qOedipus). A quoted name that is already a lower word is that word, as TPTP
//   says; a lower word that itself starts with "tp_" becomes tp_w + its escaped spelling, so no
//   two TPTP names meet. `Names` lists every such mapping for the report.
// - `$true` and `$false` are folded away (¬, the connectives and the quantifiers over a non-empty
//   domain evaluate them); an axiom that folds to true says nothing and is left out, and a
//   formula that folds to false becomes `tp_false ∧ ¬tp_false`.
// - The conjecture is also taken apart into the parts whose conjunction it is, each written as a
//   query of its own (`TTptpTheory::QueryParts`): the conjectures one by one, each operand of a
//   conjunction, the two directions of an equivalence, a universal over each part of its body, and
//   a hypothesis before each part of its conclusion; a double negation is dropped. Each rewriting
//   is an equivalence, classically and with the truth functions of the logic alike (a conjunction
//   is the minimum, an implication max(-a, b), a universal the infimum, a negation 1 - a), so the
//   conjecture holds exactly when every part does. A conjecture of one part is taken as a part
//   only where an axiom says it (`PartIsAxiom`).
// - The axioms that are conjunctions are also written as their conjuncts, one per line
//   (`TTptpTheory::AxiomsInParts`; `AxiomsInDirections` also with the conjecture's rewritings): a
//   set of axioms holds to a degree exactly when each holds to it, and a conjunction holds to the
//   least degree of its operands, so nothing changes but the records a search makes.
// - A problem without a conjecture asks whether its axioms are contradictory: its query is
//   `tp_false ∧ ¬tp_false`, whose negation the axioms alone must refute.
// - `cnf(name, role, clause)` is the clause's universal closure, its variables in the order they
//   first occur. `include('file')` (with an optional list of the formula names to take) reads the
//   file through the caller's resolver, at most `kMaxTptpIncludeDepth` levels deep; formulas from
//   an included file point back at the include line.
// - Refused, each at its place: `$` words but `$true` and `$false`, `$$` words, real and rational
//   numbers (the prover compares numbers by value, TPTP keeps 1 and 1.0 apart), integers beyond
//   32 bits, free variables in fof (TPTP formulas are closed), roles other than those above,
//   sequents and every language but fof and cnf.
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
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace velmoran {

inline constexpr int kMaxTptpNesting = 1000;
inline constexpr std::size_t kMaxTranslatedBytes = std::size_t{64} << 20;

inline constexpr int kMaxTptpIncludeDepth = 16;
// Beyond this many parts a conjecture is left whole: each part would get too small a share of the
// time to be worth its own proof.
inline constexpr std::size_t kMaxQueryParts = 64;

struct TTptpError {
  int Line = 0;    // 1-based
  int Column = 0;  // 1-based, in characters
  std::string Message;
  std::string File;         // the included file the place is in; empty for the text given
  bool Unreadable = false;  // an included file could not be read: the input, not its syntax
};

// Reads an included file by the name the include gives; nothing, with `reason` set, when it
// cannot be found or read.
using TTptpIncludeResolver =
    std::function<std::optional<std::string>(const std::string& name, std::string& reason)>;

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
  bool Equality = false;  // "=" or "!=" occurs; the equality axioms are in `Text`
  int EqualityAxioms = 0;
  // Where the equality axioms stand in `Text`: the bytes [EqualityBegin, EqualityEnd), whole lines
  // before the query. Leaving them out gives the same problem with "=" a relation of its own.
  std::size_t EqualityBegin = 0;
  std::size_t EqualityEnd = 0;
  // Within them, the symmetry, transitivity and substitution axioms, which the equality rule
  // stands for: [RuleAxiomsBegin, RuleAxiomsEnd).
  std::size_t RuleAxiomsBegin = 0;
  std::size_t RuleAxiomsEnd = 0;
  // TPTP spellings and the theory names they became, in order of first occurrence.
  std::vector<std::pair<std::string, std::string>> Names;
  // The query is the last line of `Text`, from `QueryBegin` on. Where the conjecture is a
  // conjunction of parts (as the notes above say), `QueryParts` holds one query line for each, to
  // stand in its place; empty where it has one part (unless an axiom says it: `PartIsAxiom`), or
  // more than `kMaxQueryParts`.
  std::size_t QueryBegin = 0;
  std::vector<std::string> QueryParts;
  // For each of `QueryParts`, whether it is written exactly as one of the problem's own axioms,
  // or as one of their parts in the directions below: the axioms then prove it as they stand.
  std::vector<bool> PartIsAxiom;
  // The problem's own axioms are the bytes [0, AxiomsEnd) of `Text`. Where some of them are
  // conjunctions, `AxiomsParted` is set and `AxiomsInParts` is those bytes with each such axiom
  // written as its conjuncts, one per line (under its universals); `AxiomsInDirections` takes
  // them apart as the conjecture's parts are, with the directions of equivalences and the
  // conclusions of implications too.
  std::size_t AxiomsEnd = 0;
  std::string AxiomsInParts;
  std::string AxiomsInDirections;
  bool AxiomsParted = false;

  // The TPTP place of the construct that the translated text holds at `offset`: the last anchor
  // at or before it.
  TTptpAnchor Origin(std::size_t offset) const;
};

// `includes` resolves include directives; without one an include is an error naming its file.
std::variant<TTptpTheory, TTptpError> ReadTptp(std::string_view source,
                                               const TTptpIncludeResolver& includes = {});

}  // namespace velmoran
