// Non-theorems that once came out refuted. Each has a countermodel (given in the comments), so no
// strategy may report a refutation for it.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/theory.h"

namespace velmoran::testing {
namespace {

struct NonTheorem {
  const char* Name;
  const char* Text;
};

// Yields come before every atom pair. The consequence test drops only real consequences, so
// some of these searches go on deriving new formulas for ever; the budget plays the part of a
// resolvent limit, and what matters is that no refutation turns up within it.
constexpr int kYieldBudget = 20'000;

// With and without witnesses across records, which admits more bindings. With them some of these
// searches build records that grow with every step, and a step's consequence tests take longer,
// so they get a tenth of the budget.
void ExpectNoRefutation(const NonTheorem& t, SearchStrategy strategy, std::uint8_t across) {
  Fixture fx;
  fx.Program->Strategy = strategy;
  fx.Program->WitnessesAcross = across;
  int yields = 0;
  const int budget = across ? kYieldBudget / 10 : kYieldBudget;
  fx.Program->OnYield = [&yields, budget](TPLProgram& p) {
    if (++yields > budget) p.StopRequested = 1;
  };
  std::vector<std::string> report = fx.Run(t.Text);
  ASSERT_FALSE(report.empty()) << t.Name;
  for (const auto& line : report) {
    EXPECT_EQ(line.find("YES (refutation deg.)"), std::string::npos)
        << t.Name << " across " << int(across) << ": " << line;
    EXPECT_EQ(line.find("Best refutation degree"), std::string::npos) << t.Name << ": " << line;
  }
  EXPECT_FALSE(fx.Program->RefutationFound) << t.Name;
}

const NonTheorem kNonTheorems[] = {
    // s, p, q(b) true and q false elsewhere: the implication fails for that Y.
    {"no axioms, nested implications", "?- ∀Y [[s → p] → [q(b) → q(Y)]];"},
    // p(a) and q do not make p hold everywhere: take p false on some b, r false.
    {"universal antecedent", "q; [∀X [p(X) ∧ q]] → r; p(a); ?- r;"},
    // Domain {b, c}: q(b), not q(c), r(c, b) only.
    {"two-variable disjunction",
     "∀X ¬r(X, X); ∀X, Y [[q(X) → q(Y)] ∨ r(Y, X)]; ∀Y [q(b) ∨ q(Y)]; ?- ∀X q(X);"},
    // p(b, c) alone: no G has p(G, b), so the axiom holds and q, t are false. A split that puts
    // p(G, Y), p(Y, c) and p(b, c) under one truth value refuted it.
    {"split on unifiable but different atoms",
     "[[∀G, Y ¬[p(G, Y) ∧ p(Y, c)]] ∧ p(b, c)] ∨ q; ?- q ∨ t;"},
    // p(b), q(a) and nothing else: p(a) fails, and so does q everywhere.
    {"split under an inner universal", "?- ∀X [p(X) ∨ q(X)] → p(a) ∨ [∀Y q(Y)];"},
    // Domain {a, b}: p(a), r(b, a) only; the consequent needs r(a, Y) for some Y with p(a).
    {"existentials renamed apart", "?- ∃X [∃Y [p(X) ∧ r(Y, X)]] → ∃Y [∃X [p(X) ∧ r(X, Y)]];"},
    // Swapped quantifiers: a universal of the negated query was bound to an existential that
    // depends on it, through a chain of two bindings.
    {"existential depending on its own instance",
     "r(a, a) ∨ s; ∀Y [∃X [[¬r(X, Y)] → [r(b, f(X)) ∨ r(Y, Y)]]]; "
     "?- ∃X [∀Y [[¬r(X, Y)] → [r(b, f(X)) ∨ r(Y, Y)]]];"},
    // Domain {a, b} with r(a, a) and r(b, b) only. The witness of ∃Y in a resolvent was taken
    // for the witness of ∃Y in its source, as copies kept one identity.
    {"copies of an existential taken for one",
     "∀Y [∃X [r(Y, Y) → r(Y, X)]]; ?- ∃X [∀Y [r(Y, Y) → r(Y, X)]];"},
    {"swapped quantifiers around a conjunction",
     "∀Y [∃X [∀W, Y r(W, Y) ∧ [s ∨ r(a, Y)] ∨ r(Y, X)]]; "
     "?- ∃X [∀Y [∀W, Y r(W, Y) ∧ [s ∨ r(a, Y)] ∨ r(Y, X)]];"},
    // Domain {a, b}, q false, r(a, a) and r(b, b) only: every Y has its own X. The split over
    // inner universals took q(Y) of the antecedent and q(X) of the denied consequent as one with
    // their universals moved to the root, and marked that root universal as one the prover
    // changed, so the existential inside it no longer depended on it.
    {"split over inner universals keeps their dependants",
     "?- [∀Y [∃X [r(X, Y) ∧ [[¬q(Y)] ∧ [q(X) → p(X)]]]]] → "
     "[∃X [∀Y [r(X, Y) ∧ [[¬q(Y)] ∧ [q(X) → p(X)]]]]];"},
    // Domain {a, b}, t and s false, q(a, a) and q(b, b) only: every A has its own B. A prefix
    // handed up from a dying node went outside its parent's, and resolving on s gave
    // ∃B ∀A [t(A) ∨ q(A, B)].
    {"existential handed up past its universal",
     "∀A [t(A) ∨ ∃B [q(A, B) ∧ ¬s]]; ¬s; ∀A ¬t(A); ?- ∃B [∀A q(A, B)];"},
    // Domain {a, b}, q false, r(a, a) and r(b, b) only: every Y has an X with ¬r(Y, X), no X has
    // it for every Y. Resolving on q bound the query's X to the existential X1 of ∀X#1 ∃X1, and
    // when the dying operand's prefix met that one, X1 alone went out in front of X := X1 and
    // read ∃X1 ∀X#1 [¬r(X#1, X1) ∧ …].
    {"existential value moved out past its universal",
     "p(a) ∨ r(a, a); ∀Y [¬q(Y)]; ∀Y [q(Y) ∨ [∃X [[q(X) ∨ [¬r(Y, X)]] ∧ [p(a) ∨ r(a, a)]]]]; "
     "?- ∃X [∀Y [q(X) ∨ [¬r(Y, X)]]];"},
    // Domain {a, b}, q true, p false, r(a, a) and r(b, b) only. A universal that had become the
    // value of a binding (∀!X) no longer counted for the existential inside it, which then stood
    // for a universal and was hoisted out past it: ∃X1 ∀X r(X, X1).
    {"existential inside a universal the prover inverted",
     "¬p(f(b)); ∀Y q(Y); ∀Y [q(Y) → ∃X [[q(X) → r(Y, X)] ∧ ¬p(f(b))]]; "
     "?- ∃X [∀Y [q(X) → r(Y, X)]];"},
    // Domain {a, b}, p false, r(a, a) and r(b, b) only: each X1 has its Y1, no Y1 serves both.
    // The value h(Y1) of ∀X ¬p(X)'s X took Y1 out of its universal in the other record's copy.
    {"existential inside a function value",
     "∀X ¬p(X); ∀X1 ∃Y1 [p(h(Y1)) ∨ r(X1, Y1)]; ?- ∃Y1 ∀X1 r(X1, Y1);"},
    // Domain {a, b}, r and s the identity: each Y has its own W. Binding Z := Y made W, which
    // depends on Z, look free, and X := W hoisted it in front of Y: ∃W ∀Y s(W, Y).
    {"existential freed by a universal of the other record",
     "∀Z ∃W r(W, Z); ∀Y, X [r(X, Y) → s(X, Y)]; ?- ∃W ∀Y s(W, Y);"},
    // Domain {a, b}, element(a, a) only, set_equal the identity: a and b differ. Splitting the
    // axiom on element(Z, X) and element(Z, Y) as one atom, without the substitution, leaves
    // ∀X, Y set_equal(X, Y) (the step that refutes Pelletier 43 under the loose split).
    {"extensionality split on two element atoms",
     "∀X, Y [[set_equal(X, Y) → [∀Z [[element(Z, X) → element(Z, Y)] ∧ "
     "[element(Z, Y) → element(Z, X)]]]] ∧ [[∀Z [[element(Z, X) → element(Z, Y)] ∧ "
     "[element(Z, Y) → element(Z, X)]]] → set_equal(X, Y)]]; ?- set_equal(a, b);"},
    // Domain {a, b} with c = a, d = b, r(a, a) and r(b, b) only: the witness of ∀X1 ∃W1 for c is
    // not the one for d. Copies of a dependent witness are one element only where their
    // universals hold the same values.
    {"dependent witness for two values", "∀X1 [∃W1 r(X1, W1)]; ?- ∃W [r(c, W) ∧ r(d, W)];"},
    {"dependent witness for two orders of its values",
     "∀X1, Y1 [∃W1 r(X1, Y1, W1)]; ?- ∃W [r(c, d, W) ∧ r(d, c, W)];"},
    // Domain {a, b}, less = {(a, b), (b, a)}: each A has its B, no B serves every A. Across two
    // records an existential whose universal is unbound moves to the root with that universal,
    // never in front of it.
    {"existential moved to the root across records", "∀A ∃B less(A, B); ?- ∃B ∀A less(A, B);"},
    // Domain {a, b}, r the identity, s = {(a, b), (b, a)}: the two witnesses of one A differ.
    {"witnesses of two axioms at one universal",
     "∀A ∃B r(A, B); ∀A ∃B s(A, B); ?- ∀A ∃B [r(A, B) ∧ s(A, B)];"},
    // Domain {0, 1, 2}, less the successor modulo 3, far = {(0, 2), (1, 0), (2, 1)}: the witness
    // of A and the witness of that witness are two elements, and neither is A.
    {"witness of a witness moved across records",
     "∀A ∃B less(A, B); ∀A, B, C [[less(A, B) ∧ less(B, C)] → far(A, C)]; ?- ∃X far(X, X);"},
};

TEST(SoundnessRegression, LinearReportsNoRefutation) {
  for (const auto& t : kNonTheorems)
    for (std::uint8_t across : {0, 1}) ExpectNoRefutation(t, SearchStrategy::Linear, across);
}

TEST(SoundnessRegression, ModifiedLinearReportsNoRefutation) {
  for (const auto& t : kNonTheorems)
    for (std::uint8_t across : {0, 1})
      ExpectNoRefutation(t, SearchStrategy::ModifiedLinear, across);
}

TEST(SoundnessRegression, BreadthFirstReportsNoRefutation) {
  for (const auto& t : kNonTheorems)
    for (std::uint8_t across : {0, 1}) ExpectNoRefutation(t, SearchStrategy::BreadthFirst, across);
}

TEST(SoundnessRegression, SmallestFirstReportsNoRefutation) {
  for (const auto& t : kNonTheorems)
    for (std::uint8_t across : {0, 1}) ExpectNoRefutation(t, SearchStrategy::SmallestFirst, across);
}

}  // namespace
}  // namespace velmoran::testing
