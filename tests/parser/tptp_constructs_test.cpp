// The TPTP constructs beyond plain fof: truth constants, quoted names and distinct objects, cnf
// clauses, includes, problems without a conjecture and the equality axioms. Expected texts are
// worked from the TPTP grammar and classical logic by hand.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <variant>

#include "parser/tptp_reader.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

const char* const kNoQuery = "?- tp_false ∧ ¬tp_false;\n";

std::string Theory(const std::string& tptp, const TTptpIncludeResolver& includes = {}) {
  auto read = ReadTptp(tptp, includes);
  if (auto* e = std::get_if<TTptpError>(&read)) {
    ADD_FAILURE() << "unexpected error " << e->Line << ":" << e->Column << ": " << e->Message;
    return {};
  }
  return Utf8(std::get<TTptpTheory>(read).Text);
}

// The theory line of one axiom, without ";\n", and without the query a problem without a
// conjecture gets.
std::string Axiom(const std::string& formula) {
  std::string text = Theory("fof(a, axiom, " + formula + ").");
  std::string tail = std::string(";\n") + kNoQuery;
  if (text.size() < tail.size() || text.compare(text.size() - tail.size(), tail.size(), tail))
    return "(no single axiom: " + text + ")";
  return text.substr(0, text.size() - tail.size());
}

TEST(TptpConstructs, TruthConstantsFoldAway) {
  EXPECT_EQ(Axiom("p & $true"), "p");
  EXPECT_EQ(Axiom("p | $false | q"), "p ∨ q");
  EXPECT_EQ(Axiom("$true => p"), "p");
  EXPECT_EQ(Axiom("p => $false"), "¬p");
  EXPECT_EQ(Axiom("$false <= p"), "¬p");
  EXPECT_EQ(Axiom("p <=> $false"), "¬p");
  EXPECT_EQ(Axiom("$true <~> p"), "¬p");
  EXPECT_EQ(Axiom("p ~& $true"), "¬p");
  EXPECT_EQ(Axiom("p ~| $false"), "¬p");
  EXPECT_EQ(Axiom("! [X] : (q(X) & ~ $false)"), "∀X q(X)");
  // A formula that folds to false is a contradiction; one that folds to true says nothing.
  EXPECT_EQ(Axiom("? [X] : (q(X) & $false)"), "tp_false ∧ ¬tp_false");
  EXPECT_EQ(Axiom("~ (p ~| $true)"), "(no single axiom: " + std::string(kNoQuery) + ")");
  EXPECT_EQ(Theory("fof(c, conjecture, p | $true)."), "?- ¬[tp_false ∧ ¬tp_false];\n");
  EXPECT_EQ(Theory("fof(a, axiom, q).\nfof(c, conjecture, $false)."),
            "q;\n?- tp_false ∧ ¬tp_false;\n");
}

TEST(TptpConstructs, QuotedNamesAndDistinctObjectsOneToOne) {
  auto read = ReadTptp(
      "fof(a, axiom, p('Oedipus', '+'(a, b), \"Apple\", 'a\\'b', 'plain', tp_x, 'tp_x')).");
  const auto& theory = std::get<TTptpTheory>(read);
  EXPECT_EQ(
      Utf8(theory.Text),
      "p(tp_qOedipus, tp_q_2b(a, b), tp_dApple, tp_qa_27b, plain, tp_wtp_5fx, tp_wtp_5fx);\n" +
          std::string(kNoQuery));
  std::map<std::string, std::string> names(theory.Names.begin(), theory.Names.end());
  EXPECT_EQ(names.size(), 5u);  // 'plain' is the word plain; tp_x and 'tp_x' are one name
  EXPECT_EQ(names["'Oedipus'"], "tp_qOedipus");
  EXPECT_EQ(names["\"Apple\""], "tp_dApple");
  EXPECT_EQ(names["tp_x"], "tp_wtp_5fx");
  // A quoted predicate is a predicate; a distinct object is only ever a term.
  EXPECT_EQ(Axiom("'is a'(b)"), "tp_qis_20a(b)");
  EXPECT_EQ(std::get<TTptpError>(ReadTptp("fof(a, axiom, \"x\").")).Column, 15);
}

TEST(TptpConstructs, CnfIsTheUniversalClosure) {
  EXPECT_EQ(Theory("cnf(c, axiom, ~ p(Y, X) | q(X) | r(Y, Z))."),
            "∀Y, X, Z [¬p(Y, X) ∨ q(X) ∨ r(Y, Z)];\n" + std::string(kNoQuery));
  EXPECT_EQ(Theory("cnf(c, negated_conjecture, (p))."), "p;\n" + std::string(kNoQuery));
}

TEST(TptpConstructs, IncludesReadInPlaceWithTheirSelection) {
  std::map<std::string, std::string> files{
      {"Axioms/A.ax", "fof(a1, axiom, a1).\nfof(a2, axiom, a2).\ninclude('Axioms/B.ax')."},
      {"Axioms/B.ax", "cnf(b1, axiom, b1)."},
      {"Axioms/Loop.ax", "include('Axioms/Loop.ax')."},
      {"Axioms/Bad.ax", "fof(a, axiom, p).\n  fof(b, axiom, ~)."}};
  TTptpIncludeResolver resolve = [&](const std::string& name, std::string& why) {
    auto it = files.find(name);
    if (it == files.end()) {
      why = "no such file";
      return std::optional<std::string>();
    }
    return std::optional<std::string>(it->second);
  };
  EXPECT_EQ(Theory("fof(x, axiom, x).\ninclude('Axioms/A.ax').\nfof(c, conjecture, c).", resolve),
            "x;\na1;\na2;\nb1;\n?- c;\n");
  EXPECT_EQ(Theory("include('Axioms/A.ax', [a2, b1]).\nfof(c, conjecture, c).", resolve),
            "a2;\nb1;\n?- c;\n");

  auto missing = std::get<TTptpError>(ReadTptp("fof(x, axiom, x).\ninclude('Nope.ax').", resolve));
  EXPECT_TRUE(missing.Unreadable);
  EXPECT_EQ(missing.Line, 2);
  EXPECT_NE(missing.Message.find("Nope.ax"), std::string::npos);
  auto loop = std::get<TTptpError>(ReadTptp("include('Axioms/Loop.ax').", resolve));
  EXPECT_NE(loop.Message.find("nested more than"), std::string::npos);
  // A syntax error inside an included file points into that file.
  auto bad = std::get<TTptpError>(ReadTptp("include('Axioms/Bad.ax').", resolve));
  EXPECT_EQ(bad.File, "Axioms/Bad.ax");
  EXPECT_EQ(bad.Line, 2);
  EXPECT_EQ(bad.Column, 18);
  EXPECT_FALSE(bad.Unreadable);
}

TEST(TptpConstructs, EqualityBringsItsAxioms) {
  // f/1 and g/2 as functions, p/1 as predicate, c a constant: reflexivity, symmetry, transitivity,
  // one substitution axiom per argument place, then the distinct objects pairwise unequal.
  auto read = ReadTptp("fof(a, axiom, f(c) = g(c, \"A\") & p(\"B\")).\nfof(q, conjecture, p(c)).");
  const auto& theory = std::get<TTptpTheory>(read);
  EXPECT_TRUE(theory.Equality);
  EXPECT_EQ(theory.EqualityAxioms, 8);
  EXPECT_EQ(Utf8(theory.Text),
            "f(c)=g(c, tp_dA) ∧ p(tp_dB);\n"
            "∀X X=X;\n"
            "∀X, Y [X=Y → Y=X];\n"
            "∀X, Y, Z [[X=Y ∧ Y=Z] → X=Z];\n"
            "∀X, Y [X=Y → f(X)=f(Y)];\n"
            "∀X, Y, Z1 [X=Y → g(X, Z1)=g(Y, Z1)];\n"
            "∀X, Y, Z0 [X=Y → g(Z0, X)=g(Z0, Y)];\n"
            "∀X, Y [[X=Y ∧ p(X)] → p(Y)];\n"
            "¬tp_dA=tp_dB;\n"
            "?- p(c);\n");
}

}  // namespace
}  // namespace velmoran::testing
