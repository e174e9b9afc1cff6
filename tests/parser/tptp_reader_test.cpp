// The TPTP reader: each connective and its translation, TPTP's precedence and the texts that lean
// on any other, roles, names, every refused construct at its line and column, deep and large
// input; truth constants, quoted names and distinct objects, cnf clauses, includes, problems
// without a conjecture and the equality axioms. Expected theory texts are worked out from the TPTP
// grammar and classical logic by hand.
#include "parser/tptp_reader.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <variant>
#include <vector>

#include "support/theory.h"

namespace velmoran::testing {
namespace {

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// The theory text (UTF-8) that a TPTP text becomes.
std::string Theory(const std::string& tptp, const TTptpIncludeResolver& includes = {}) {
  auto read = ReadTptp(tptp, includes);
  if (auto* e = std::get_if<TTptpError>(&read)) {
    ADD_FAILURE() << "unexpected error " << e->Line << ":" << e->Column << ": " << e->Message;
    return {};
  }
  return Utf8(std::get<TTptpTheory>(read).Text);
}

// The theory text of one axiom's formula: its line, without ";\n" (equality axioms and the query
// of a problem without a conjecture follow it).
std::string Axiom(const std::string& formula) {
  std::string text = Theory("fof(a, axiom, " + formula + ").");
  return text.substr(0, text.find(";\n"));
}

TTptpError Error(const std::string& tptp) {
  auto read = ReadTptp(tptp);
  if (auto* e = std::get_if<TTptpError>(&read)) return *e;
  ADD_FAILURE() << "no error for: " << tptp;
  return {};
}

// "LINE:COLUMN" of the error, so a failure shows both.
std::string Place(const std::string& tptp) {
  TTptpError e = Error(tptp);
  return std::to_string(e.Line) + ":" + std::to_string(e.Column);
}

TEST(TptpReader, EachConnective) {
  EXPECT_EQ(Axiom("~ p"), "¬p");
  EXPECT_EQ(Axiom("p & q"), "p ∧ q");
  EXPECT_EQ(Axiom("p | q"), "p ∨ q");
  EXPECT_EQ(Axiom("p => q"), "p → q");
  EXPECT_EQ(Axiom("p <= q"), "q → p");
  EXPECT_EQ(Axiom("p <=> q"), "[p → q] ∧ [q → p]");
  EXPECT_EQ(Axiom("p <~> q"), "¬[[p → q] ∧ [q → p]]");
  EXPECT_EQ(Axiom("p ~& q"), "¬[p ∧ q]");
  EXPECT_EQ(Axiom("p ~| q"), "¬[p ∨ q]");
  EXPECT_EQ(Axiom("! [X, Y] : r(X, Y)"), "∀X, Y r(X, Y)");
  EXPECT_EQ(Axiom("? [X] : (p(X) & q)"), "∃X [p(X) ∧ q]");
  EXPECT_EQ(Axiom("! [X] : ? [Y] : X = Y"), "∀X ∃Y X=Y");
  EXPECT_EQ(Axiom("! [X] : X != f(X)"), "∀X ¬X=f(X)");
}

TEST(TptpReader, UnaryConnectivesBindTighterThanBinaryOnes) {
  EXPECT_EQ(Axiom("~ p & q"), "¬p ∧ q");
  EXPECT_EQ(Axiom("~ (p & q)"), "¬[p ∧ q]");
  EXPECT_EQ(Axiom("~ ~ p"), "¬¬p");
  EXPECT_EQ(Axiom("~ a = b"), "¬a=b");
  // The quantifier takes only p(X); q stands beside the quantified formula.
  EXPECT_EQ(Axiom("! [X] : p(X) | q"), "[∀X p(X)] ∨ q");
  EXPECT_EQ(Axiom("! [X] : ~ ? [Y] : r(X, Y) => q"), "[∀X ¬∃Y r(X, Y)] → q");
}

TEST(TptpReader, ChainsAndParentheses) {
  EXPECT_EQ(Axiom("p & q & r"), "p ∧ q ∧ r");
  EXPECT_EQ(Axiom("p | q | r"), "p ∨ q ∨ r");
  EXPECT_EQ(Axiom("p | (q & r)"), "p ∨ [q ∧ r]");
  EXPECT_EQ(Axiom("(p => q) => r"), "[p → q] → r");
  EXPECT_EQ(Axiom("p => (q => r)"), "p → [q → r]");
  EXPECT_EQ(Axiom("(p <=> q) <=> r"), "[[[p → q] ∧ [q → p]] → r] ∧ [r → [[p → q] ∧ [q → p]]]");
}

TEST(TptpReader, BinaryConnectivesDoNotMixWithoutParentheses) {
  // Columns count from the "f" of fof; the formula starts at column 15.
  EXPECT_EQ(Place("fof(a, axiom, p & q | r)."), "1:21");
  EXPECT_EQ(Place("fof(a, axiom, p | q & r)."), "1:21");
  EXPECT_EQ(Place("fof(a, axiom, p & q => r)."), "1:21");
  EXPECT_EQ(Place("fof(a, axiom, p => q => r)."), "1:22");
  EXPECT_EQ(Place("fof(a, axiom, p <=> q <=> r)."), "1:23");
  EXPECT_EQ(Place("fof(a, axiom, p => q & r)."), "1:22");
  EXPECT_EQ(Place("fof(a, axiom, p ~| q | r)."), "1:22");
}

TEST(TptpReader, RolesGiveAxiomsInOrderAndOneQuery) {
  std::string tptp =
      "fof(c1, conjecture, c).\n"
      "fof(a1, axiom, a1).\nfof(a2, hypothesis, a2).\nfof(a3, definition, a3).\n"
      "fof(a4, assumption, a4).\nfof(a5, lemma, a5).\nfof(a6, theorem, a6).\n"
      "fof(a7, corollary, a7).\nfof(n, negated_conjecture, ~ d).\n"
      "fof(c2, conjecture, ! [X] : e(X)).\n";
  EXPECT_EQ(Theory(tptp), "a1;\na2;\na3;\na4;\na5;\na6;\na7;\n¬d;\n?- [c] ∧ [∀X e(X)];\n");
  auto theory = std::get<TTptpTheory>(ReadTptp(tptp));
  EXPECT_EQ(theory.Axioms, 8);
  EXPECT_EQ(theory.Conjectures, 2);
  EXPECT_EQ(Theory("fof(c, conjecture, p => p)."), "?- p → p;\n");
  // No conjecture: the axioms alone are to be refuted, through a query no axiom helps with.
  EXPECT_EQ(Theory("fof(a, axiom, p)."), "p;\n?- tp_false ∧ ¬tp_false;\n");
  EXPECT_EQ(Theory(""), "?- tp_false ∧ ¬tp_false;\n");
  EXPECT_EQ(Place("fof(a, axiom, p).\nfof(t, type, p)."), "2:8");
  EXPECT_EQ(Place("fof(a, plain, p)."), "1:8");
}

TEST(TptpReader, NamesStayAsTheyAre) {
  // Lower and upper words are names of the theory language as they stand; names that differ only
  // in case stay apart.
  EXPECT_EQ(Axiom("! [Abc_1, X2] : big_P(Abc_1, f_2(c, X2), aB, ab)"),
            "∀Abc_1, X2 big_P(Abc_1, f_2(c, X2), aB, ab)");
  EXPECT_EQ(Axiom("p(0, 42, -7, +7, 2147483647, -2147483647)"),
            "p(0, 42, -7, 7, 2147483647, -2147483647)");
  // Formula names are not part of the theory, quoted or numbered ones included.
  EXPECT_EQ(Theory("fof('a name', axiom, p).\nfof(12, axiom, q)."),
            "p;\nq;\n?- tp_false ∧ ¬tp_false;\n");
}

TEST(TptpReader, CommentsAndAnnotationsAreSkipped) {
  EXPECT_EQ(Theory("% a comment\nfof(a, /* inside */ axiom, p % to the end\n & q).\n/* a\n"
                   "block */ fof(b, axiom, r, file('x.p', b), [useful(info), 'q(']).\n"),
            "p ∧ q;\nr;\n?- tp_false ∧ ¬tp_false;\n");
}

TEST(TptpReader, RefusedConstructsAtTheirPlace) {
  EXPECT_EQ(Place("fof(a, axiom, p($true))."), "1:17");
  EXPECT_EQ(Place("fof(a, axiom,\n  p = $false)."), "2:7");
  EXPECT_EQ(Place("fof(a, axiom, p($sum(1, 2)))."), "1:17");
  EXPECT_EQ(Place("fof(a, axiom, $$p)."), "1:15");
  EXPECT_EQ(Place("fof(a, axiom, p(1.5))."), "1:17");
  EXPECT_EQ(Place("fof(a, axiom, p(1/2))."), "1:17");
  EXPECT_EQ(Place("fof(a, axiom, p(1E3))."), "1:17");
  EXPECT_EQ(Place("fof(a, axiom, p(2147483648))."), "1:17");
  EXPECT_EQ(Place("fof(a, axiom, p(X))."), "1:17");
  EXPECT_EQ(Place("fof(a, axiom, (! [X] : p(X)) & q(X))."), "1:34");
  EXPECT_EQ(Place("fof(a, axiom, ! [X: $i] : p(X))."), "1:19");
  EXPECT_EQ(Place("fof(a, axiom, X)."), "1:15");
  EXPECT_EQ(Place("fof(a, axiom, 3)."), "1:15");
  EXPECT_EQ(Place("fof(a, axiom, [p] --> [q])."), "1:15");
  EXPECT_EQ(Place("fof(a, axiom, p).\ninclude('Axioms/SET001.ax')."), "2:1");  // no resolver
  EXPECT_TRUE(Error("include('Axioms/SET001.ax').").Unreadable);
  EXPECT_EQ(Place("fof(a, axiom, p).\n  tff(t, type, p: $o)."), "2:3");
  EXPECT_EQ(Place("thf(a, axiom, p)."), "1:1");
  EXPECT_EQ(Place("fof(a, axiom, p) fof(b, axiom, q)."), "1:18");
  EXPECT_EQ(Place("fof(a, axiom, p).\n/* open"), "2:1");
  EXPECT_EQ(Place("fof(a, axiom, p & \xC3\xA9)."), "1:19");
  EXPECT_EQ(Place("fof(a, axiom, p(a)"), "1:19");
  EXPECT_EQ(Place("fof(a, axiom, p()). "), "1:17");
  // Lines end at LF, CR LF or a lone CR; a UTF-8 letter in a comment is one column.
  EXPECT_EQ(Place("% é\r\nfof(a, axiom, p).\rfof(b, axiom, /* é */ $$q)."), "3:23");
  EXPECT_NE(Error("fof(a, axiom, p($true)).").Message.find("$true"), std::string::npos);
}

TEST(TptpReader, DeepInputEndsInAnError) {
  EXPECT_EQ(Place("fof(a, axiom, " + Repeat("~ ", 100000) + "p)."), "1:2015");
  EXPECT_EQ(Place("fof(a, axiom, " + Repeat("(", 100000) + "p" + Repeat(")", 100000) + ")."),
            "1:1015");
  EXPECT_EQ(
      Error("fof(a, axiom, p(" + Repeat("f(", 100000) + "a" + Repeat(")", 100001) + ").").Line, 1);
  EXPECT_EQ(Error("fof(a, axiom, " + Repeat("! [X] : ", 100000) + "p(X)).").Line, 1);
  // A chain is read without recursion; the prover's parser takes 1000 atoms and no more.
  EXPECT_EQ(Error("fof(a, axiom, p" + Repeat(" & p", 100000) + ").").Line, 1);
  EXPECT_EQ(
      Theory("fof(a, axiom, p" + Repeat(" & p", 999) + ").").size(),
      std::string("p;\n?- tp_false ∧ ¬tp_false;\n").size() + 999 * std::string(" ∧ p").size());
  // Equivalences write their operands twice: 60 nested ones would be 2^60 copies.
  std::string iff = "p";
  for (int i = 0; i < 60; ++i) iff = "(" + iff + " <=> p)";
  EXPECT_NE(Error("fof(a, axiom, " + iff + ").").Message.find("MiB"), std::string::npos);
}

TEST(TptpReader, TranslationsParseAsTheyRead) {
  // What the reader writes, the prover's parser reads back into the tree TPTP meant.
  Fixture fx;
  auto record = fx.Parse(Theory("fof(a, axiom, ! [X] : (p(X) <~> ~ ? [Y] : X != Y))."));
  ASSERT_TRUE(record);
  // ¬∃Y ¬X=Y is the parser's ∀Y X=Y.
  EXPECT_EQ(Fixture::Printed(*record), "∀X¬[[p(X)→∀Y X=Y]∧[∀Y X=Y→p(X)]]");
}

TEST(TptpReader, OriginsPointBackIntoTheTptpText) {
  auto theory = std::get<TTptpTheory>(
      ReadTptp("fof(a, axiom, p).\n  fof(b, axiom,\n    q & r).\nfof(c, conjecture, s)."));
  EXPECT_EQ(Utf8(theory.Text), "p;\nq ∧ r;\n?- s;\n");
  auto at = [&](std::size_t offset) {
    TTptpAnchor a = theory.Origin(offset);
    return std::to_string(a.Line) + ":" + std::to_string(a.Column);
  };
  EXPECT_EQ(at(0), "1:15");  // the innermost construct that starts there
  EXPECT_EQ(at(3), "3:5");
  EXPECT_EQ(at(4), "3:5");
  EXPECT_EQ(at(theory.Text.find('r')), "3:9");
  EXPECT_EQ(at(theory.Text.find('?')), "4:1");  // "?- " belongs to the conjecture
  EXPECT_EQ(at(theory.Text.find('s')), "4:20");
}

// --- constructs beyond plain fof: truth constants, quoted names, cnf, include, equality ----

const char* const kNoQuery = "?- tp_false ∧ ¬tp_false;\n";

// The theory line of one axiom, without ";\n", and without the query a problem without a
// conjecture gets.
std::string AxiomAlone(const std::string& formula) {
  std::string text = Theory("fof(a, axiom, " + formula + ").");
  std::string tail = std::string(";\n") + kNoQuery;
  if (text.size() < tail.size() || text.compare(text.size() - tail.size(), tail.size(), tail))
    return "(no single axiom: " + text + ")";
  return text.substr(0, text.size() - tail.size());
}

TEST(TptpConstructs, TruthConstantsFoldAway) {
  EXPECT_EQ(AxiomAlone("p & $true"), "p");
  EXPECT_EQ(AxiomAlone("p | $false | q"), "p ∨ q");
  EXPECT_EQ(AxiomAlone("$true => p"), "p");
  EXPECT_EQ(AxiomAlone("p => $false"), "¬p");
  EXPECT_EQ(AxiomAlone("$false <= p"), "¬p");
  EXPECT_EQ(AxiomAlone("p <=> $false"), "¬p");
  EXPECT_EQ(AxiomAlone("$true <~> p"), "¬p");
  EXPECT_EQ(AxiomAlone("p ~& $true"), "¬p");
  EXPECT_EQ(AxiomAlone("p ~| $false"), "¬p");
  EXPECT_EQ(AxiomAlone("! [X] : (q(X) & ~ $false)"), "∀X q(X)");
  // A formula that folds to false is a contradiction; one that folds to true says nothing.
  EXPECT_EQ(AxiomAlone("? [X] : (q(X) & $false)"), "tp_false ∧ ¬tp_false");
  EXPECT_EQ(AxiomAlone("~ (p ~| $true)"), "(no single axiom: " + std::string(kNoQuery) + ")");
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
  EXPECT_EQ(AxiomAlone("'is a'(b)"), "tp_qis_20a(b)");
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

// The parts of a conjecture, each a query line that stands in place of the whole query.
std::vector<std::string> Parts(const std::string& tptp) {
  std::vector<std::string> parts;
  auto read = ReadTptp(tptp);
  if (auto* theory = std::get_if<TTptpTheory>(&read)) {
    const std::string query = Utf8(theory->Text.substr(theory->QueryBegin));
    EXPECT_EQ(query.rfind("?- ", 0), 0u) << "the query is the last line: " << query;
    for (const std::string& part : theory->QueryParts) parts.push_back(Utf8(part));
  } else {
    ADD_FAILURE() << "unexpected error: " << std::get<TTptpError>(read).Message;
  }
  return parts;
}

TEST(TptpConjectureParts, AConjunctionIsProvedPartByPart) {
  using Lines = std::vector<std::string>;
  // Conjectures one by one, and the operands of a chain of &.
  EXPECT_EQ(Parts("fof(c1, conjecture, p & q & r).\nfof(c2, conjecture, s)."),
            (Lines{"?- p;\n", "?- q;\n", "?- r;\n", "?- s;\n"}));
  // An equivalence is its two directions; a universal goes over each part of its body, and a
  // hypothesis in front of each part of its conclusion, as deep as they nest.
  EXPECT_EQ(Parts("fof(c, conjecture, ! [X] : (p(X) <=> q(X)))."),
            (Lines{"?- ∀X [p(X) → q(X)];\n", "?- ∀X [q(X) → p(X)];\n"}));
  EXPECT_EQ(Parts("fof(c, conjecture, h => ! [X] : (p(X) & (q(X) <= r)))."),
            (Lines{"?- h → [∀X p(X)];\n", "?- h → [∀X [r → q(X)]];\n"}));
  EXPECT_EQ(Parts("fof(c, conjecture, (q <= h) & s)."), (Lines{"?- h → q;\n", "?- s;\n"}));
  // What is not a conjunction stays whole: a disjunction, an existential, a negation, a
  // hypothesis that is one, a single conjecture, and a problem without one.
  for (const char* whole :
       {"(p & q) | r", "? [X] : (p(X) & q(X))", "~ (p & q)", "(p & q) => r", "p <~> q", "p"})
    EXPECT_EQ(Parts(std::string("fof(c, conjecture, ") + whole + ")."), Lines{}) << whole;
  EXPECT_EQ(Parts("fof(a, axiom, p & q)."), Lines{});
  // A conjecture that folds to a truth constant is left whole, with the others.
  EXPECT_EQ(Parts("fof(c1, conjecture, p & q).\nfof(c2, conjecture, $true)."), Lines{});
  // Past the limit the conjecture stays one query.
  std::string many = "a0";
  for (std::size_t i = 1; i <= kMaxQueryParts; ++i) many += " & a" + std::to_string(i);
  EXPECT_EQ(Parts("fof(c, conjecture, " + many + ").").size(), 0u);
  many = "a0";
  for (std::size_t i = 1; i < kMaxQueryParts; ++i) many += " & a" + std::to_string(i);
  EXPECT_EQ(Parts("fof(c, conjecture, " + many + ").").size(), kMaxQueryParts);
}

TEST(TptpConjectureParts, AxiomsThatAreConjunctionsAreAlsoWrittenAsTheirConjuncts) {
  // Only conjunctions, under their universals: an equivalence or an implication stays one axiom.
  auto read = ReadTptp(
      "fof(a, axiom, ! [X] : (p(X) & ! [Y] : (q(X, Y) & r))).\nfof(b, axiom, s | t).\n"
      "fof(c, axiom, u <=> v).\nfof(d, hypothesis, w & (s => t)).\nfof(e, axiom, h => (k & m)).\n"
      "fof(f, conjecture, s).");
  const auto& theory = std::get<TTptpTheory>(read);
  EXPECT_TRUE(theory.AxiomsParted);
  EXPECT_EQ(Utf8(theory.AxiomsInParts),
            "∀X p(X);\n∀X ∀Y q(X, Y);\n∀X ∀Y r;\ns ∨ t;\n[u → v] ∧ [v → u];\nw;\ns → t;\n"
            "h → [k ∧ m];\n");
  // In their directions, as the conjecture's parts: each direction of the equivalence, and the
  // hypothesis before each conjunct of the conclusion.
  EXPECT_EQ(
      Utf8(theory.AxiomsInDirections),
      "∀X p(X);\n∀X ∀Y q(X, Y);\n∀X ∀Y r;\ns ∨ t;\nu → v;\nv → u;\nw;\ns → t;\nh → k;\nh → m;\n");
  // They stand in place of the problem's own axioms, which end where the query begins.
  EXPECT_EQ(Utf8(theory.Text.substr(theory.AxiomsEnd)), "?- s;\n");
  // With equality, the equality axioms follow them and stay as they are.
  auto equal =
      std::get<TTptpTheory>(ReadTptp("fof(a, axiom, a = b & p(a)).\nfof(c, conjecture, p(b))."));
  EXPECT_EQ(Utf8(equal.AxiomsInParts), "a=b;\np(a);\n");
  EXPECT_EQ(equal.AxiomsEnd, equal.EqualityBegin);
  // Nothing to take apart: nothing is written twice.
  auto whole = std::get<TTptpTheory>(ReadTptp("fof(a, axiom, p | q).\nfof(c, conjecture, p)."));
  EXPECT_FALSE(whole.AxiomsParted);
  EXPECT_EQ(whole.AxiomsInParts, "");
  EXPECT_EQ(whole.AxiomsInDirections, "");
}

TEST(TptpConjectureParts, APartIsKnownForAnAxiomOnlyWhereAnAxiomSaysAllOfIt) {
  // The axioms say p(a) whole, u -> v as a direction of their equivalence and h -> k as one
  // conclusion of their implication; a disjunct (s), the other direction's converse (w -> u
  // is nowhere) or an axiom's hypothesis (h) alone is not said by any of them.
  auto read = ReadTptp(
      "fof(a, axiom, p(a)).\nfof(b, axiom, s | t).\nfof(c, axiom, ! [X] : (u(X) <=> v(X))).\n"
      "fof(d, hypothesis, h => (k & m)).\n"
      "fof(g, conjecture, p(a) & s & ! [X] : (u(X) => v(X)) & ! [X] : (w(X) => u(X)) & h & "
      "(h => k)).");
  const auto& theory = std::get<TTptpTheory>(read);
  ASSERT_EQ(theory.QueryParts.size(), 6u);
  EXPECT_EQ(theory.PartIsAxiom, (std::vector<bool>{true, false, true, false, false, true}));
  // A double negation is dropped; a conjecture of one part is kept as a part only where an axiom
  // says it, and its converse is not the axiom.
  auto once = [](const std::string& conjecture) {
    auto t = std::get<TTptpTheory>(ReadTptp(
        "fof(a, axiom, ! [X] : (p(X) => q(X))).\nfof(c, conjecture, " + conjecture + ")."));
    std::vector<std::string> parts;
    for (const std::string& part : t.QueryParts) parts.push_back(Utf8(part));
    return std::make_pair(parts, t.PartIsAxiom);
  };
  using Lines = std::vector<std::string>;
  EXPECT_EQ(once("~ ~ ! [X] : (p(X) => q(X))"),
            std::make_pair(Lines{"?- ∀X [p(X) → q(X)];\n"}, std::vector<bool>{true}));
  EXPECT_EQ(once("~ ~ ! [X] : (q(X) => p(X))").first, Lines{});
  EXPECT_EQ(once("~ ~ (r & s)").first, (Lines{"?- r;\n", "?- s;\n"}));
}

}  // namespace
}  // namespace velmoran::testing
