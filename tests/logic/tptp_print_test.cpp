// Printing theories as TPTP: connectives and their parentheses, names TPTP cannot take (mapped
// one-to-one, apart from every name of the theory), degrees and queries kept as comments.
#include "logic/tptp_print.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/theory.h"

namespace velmoran::testing {
namespace {

// The TPTP problem of theory `lines`, one formula each, without the header's comment lines.
std::string Problem(const std::vector<std::string>& lines, bool withHeader = false) {
  Fixture fx;
  std::vector<std::unique_ptr<TFALFormula>> records;
  std::vector<const TFALFormula*> view;
  for (const std::string& line : lines) {
    records.push_back(fx.Parse(line));
    if (!records.back()) {
      ADD_FAILURE() << "does not parse: " << line;
      return {};
    }
    view.push_back(records.back().get());
  }
  std::string text = TptpProblem(view, "t.txt");
  if (withHeader) return text;
  std::string body;
  bool header = true;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start) + 1;
    std::string line = text.substr(start, end - start);
    header = header && line.starts_with("% ");
    if (!header) body += line;
    start = end;
  }
  return body;
}

std::string One(const std::string& formula) {
  std::string body = Problem({formula});
  const std::string head = "fof(f0, axiom, ";
  if (!body.starts_with(head) || !body.ends_with(").\n")) return body;
  return body.substr(head.size(), body.size() - head.size() - 3);
}

TEST(TptpPrint, ConnectivesAndParentheses) {
  EXPECT_EQ(One("∀X [man(X) → mortal(X)];"), "! [X] : (man(X) => mortal(X))");
  EXPECT_EQ(One("a ∧ b ∧ c;"), "a & b & c");
  EXPECT_EQ(One("a ∧ [b ∧ c];"), "a & (b & c)");
  EXPECT_EQ(One("a → b → c;"), "(a => b) => c");
  EXPECT_EQ(One("a → [b → c];"), "a => (b => c)");
  EXPECT_EQ(One("¬[a ∧ b] ∨ c → d;"), "(~ (a & b) | c) => d");
  EXPECT_EQ(One("a ∧ b ∨ ¬c;"), "(a & b) | ~ c");
  EXPECT_EQ(One("∃X ¬p(X);"), "? [X] : ~ p(X)");
  EXPECT_EQ(One("¬∀X p(X);"), "? [X] : ~ p(X)");  // the parser moves the negation inside
  EXPECT_EQ(One("∀X ∃Y, Z [p(X, Y) ∨ ∀U q(U, Z)];"),
            "! [X] : ? [Y, Z] : (p(X, Y) | (! [U] : q(U, Z)))");
  EXPECT_EQ(One("∀X ¬[p(X) ∧ q];"), "! [X] : ~ (p(X) & q)");
  EXPECT_EQ(One("a=b ∧ ¬a=c;"), "a = b & a != c");
  EXPECT_EQ(One("p(3, -2, 2.5, 1+1, f(a));"), "p(3, -2, 2.5, 2, f(a))");
}

TEST(TptpPrint, NamesTptpCannotTakeAreMappedOneToOne) {
  // The theory already uses less and less_1, so "<" becomes less_2; "≠" is not TPTP's "!=".
  EXPECT_EQ(Problem({"less(a) ∧ less_1(b);", "∀X, Y [X<Y → ¬Y<X ∨ X≠Y];"}),
            "fof(f0, axiom, less(a) & less_1(b)).\n"
            "fof(f1, axiom, ! [X, Y] : (less_2(X, Y) => (~ less_2(Y, X) | not_equal(X, Y)))).\n");
  EXPECT_EQ(One("p(X-1, -X, X*2, X/2, +X) ∧ X≥1 ∧ X≤1;"),
            "! [X] : (p(minus(X, 1), negative(X), times(X, 2), divide(X, 2), positive(X)) & "
            "greater_or_equal(X, 1) & less_or_equal(X, 1))");
  // Anonymous variables and names starting with "_" get fresh ones; so does a second X in one
  // formula, avoiding the X_1 the formula has already.
  EXPECT_EQ(One("p(_, _, _x);"), "! [V_x, V_1, V_0] : p(V_0, V_1, V_x)");
  EXPECT_EQ(One("∀X [p(X, X_1) ∧ ∀X q(X)];"), "! [X_1, X] : (p(X, X_1) & (! [X_2] : q(X_2)))");
}

TEST(TptpPrint, HeaderSaysWhatTptpCannotHold) {
  std::string text = Problem({"a=b : 0.5;", "X<Y;", "?- c;"}, true);
  EXPECT_EQ(text,
            "% t.txt as a TPTP FOF problem (velmoran --to-tptp).\n"
            "% Degrees are dropped: TPTP formulas have none.\n"
            "% \"=\" is TPTP's equality here; the prover itself gives it no equality axioms.\n"
            "% Relations and operators without a TPTP spelling, as plain symbols: < as less.\n"
            "% f0 has degree 0.5\n"
            "fof(f0, axiom, a = b).\n"
            "fof(f1, axiom, ! [Y, X] : less(X, Y)).\n"
            "fof(query1, conjecture, c).\n");
}

TEST(TptpPrint, TheLastQueryIsTheConjecture) {
  EXPECT_EQ(Problem({"a;", "?- a : 0.9;", "b;", "?- b;", "c;"}),
            "fof(f0, axiom, a).\n"
            "% query1 has degree 0.9\n"
            "% An earlier query, proved against the axioms above it:\n"
            "% fof(query1, conjecture, a).\n"
            "fof(f1, axiom, b).\n"
            "fof(query2, conjecture, b).\n"
            "% After the last query, so in no proof of it:\n"
            "% fof(f2, axiom, c).\n");
  EXPECT_EQ(Problem({"a;", "b;"}), "fof(f0, axiom, a).\nfof(f1, axiom, b).\n");
}

}  // namespace
}  // namespace velmoran::testing
