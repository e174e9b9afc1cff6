// Reading a whole theory text formula by formula (`ForEachFormula`), as the proof run, the syntax
// check, the TPTP printer and the fuzz targets all do: each record with the offset where its
// formula starts, a syntax error's caret in the whole text, a stop before the next formula.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "parser/formula_parser.h"
#include "support/theory.h"

namespace velmoran::testing {
namespace {

struct Read {
  std::vector<std::string> Texts;  // printed roots, UTF-8
  std::vector<std::int32_t> Offsets;
  std::vector<bool> Queries;
  TheoryEnd End = TheoryEnd::Complete;
};

Read ReadAll(Fixture& fx, const std::string& bytes) {
  Read r;
  r.End = ForEachFormula(*fx.Program, bytes.c_str(), [&r](TFALFormula* record, std::int32_t at) {
    std::unique_ptr<TFALFormula> owned(record);
    r.Texts.push_back(Fixture::Printed(*record));
    r.Offsets.push_back(at);
    r.Queries.push_back(record->IsQuery());
  });
  return r;
}

TEST(ForEachFormula, EveryFormulaInOrderWithWhereItStarts) {
  Fixture fx;
  // "p(a);" is 5 bytes and its blank ends it; the query starts at byte 6, "q;" at byte 18.
  const std::string text = Bytes("p(a); ?- ∃X p(X); q;");
  Read r = ReadAll(fx, text);
  EXPECT_EQ(r.End, TheoryEnd::Complete);
  EXPECT_EQ(r.Texts, (std::vector<std::string>{"p(a)", "∃X p(X)", "q"}));
  EXPECT_EQ(r.Offsets, (std::vector<std::int32_t>{0, 6, 18}));
  EXPECT_EQ(r.Queries, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(fx.Program->ErrorPosition, 0);
}

TEST(ForEachFormula, ASyntaxErrorEndsTheReadingWithItsCaretInTheWholeText) {
  Fixture fx;
  // The last formula lacks its right bracket: the records before it were handed over, and the
  // caret counts from the start of the text, not of the failing formula.
  const std::string alone = Bytes("p(a;");
  Read single = ReadAll(fx, alone);
  ASSERT_EQ(single.End, TheoryEnd::SyntaxError);
  const std::int32_t caretAlone = fx.Program->ErrorPosition;
  const std::uint8_t code = fx.Program->ErrorCode;

  Read r = ReadAll(fx, Bytes("q; p(a;"));
  EXPECT_EQ(r.End, TheoryEnd::SyntaxError);
  EXPECT_EQ(r.Texts, (std::vector<std::string>{"q"}));
  EXPECT_EQ(fx.Program->ErrorCode, code);
  EXPECT_EQ(fx.Program->ErrorPosition, caretAlone + 3);  // "q; " stands before it
}

TEST(ForEachFormula, AStopRequestEndsTheReadingBeforeTheNextFormula) {
  Fixture fx;
  int yields = 0;
  fx.Program->OnYield = [&yields](TPLProgram& p) {
    if (++yields == 2) p.StopRequested = 1;  // after the first formula was read
  };
  Read r = ReadAll(fx, Bytes("p; q; r;"));
  EXPECT_EQ(r.End, TheoryEnd::Stopped);
  EXPECT_EQ(r.Texts, (std::vector<std::string>{"p"}));
  EXPECT_EQ(yields, 2);
}

TEST(ForEachFormula, AnEmptyTextIsCompleteWithNothingRead) {
  Fixture fx;
  Read r = ReadAll(fx, "");
  EXPECT_EQ(r.End, TheoryEnd::Complete);
  EXPECT_TRUE(r.Texts.empty());
}

}  // namespace
}  // namespace velmoran::testing
