// Theory texts in UTF-8 and in the one-byte alphabet.
#include "logic/text_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "logic/alphabet.h"

namespace velmoran::testing {
namespace {

const std::string kAllSymbols{kNegation, kForAll,    kExists,       kAnd,  kOr,   kImplies,
                              kNotEqual, kLessEqual, kGreaterEqual, kTrue, kFalse};

std::string Decoded(const std::string& raw) {
  auto d = DecodeTheoryText(raw);
  if (auto* e = std::get_if<CodecError>(&d)) {
    ADD_FAILURE() << "unexpected error at " << e->Line << ":" << e->Column << ": " << e->Message;
    return {};
  }
  return std::get<std::string>(d);
}

// "line:column", or "ok" when the text decodes.
std::string ErrorPlace(const std::string& raw) {
  auto d = DecodeTheoryText(raw);
  auto* e = std::get_if<CodecError>(&d);
  if (!e) return "ok";
  EXPECT_FALSE(e->Message.empty());
  return std::to_string(e->Line) + ":" + std::to_string(e->Column);
}

TEST(DecodeTheoryText, LogicSymbolsAndTheirLatin1LettersBecomeAlphabetBytes) {
  EXPECT_EQ(Decoded("¬∀∃∧∨→≠≤≥⊤⊥"), kAllSymbols);
  EXPECT_EQ(Decoded("¬÷öýüôáßÝäç"), kAllSymbols);
  EXPECT_EQ(Decoded("∀X [p(X) → ¬q(X) ∧ r ∨ s];"), std::string{kForAll} + "X [p(X) " + kImplies +
                                                       " " + kNegation + "q(X) " + kAnd + " r " +
                                                       kOr + " s];");
  EXPECT_EQ(Decoded("÷X p(X) → q;"), std::string{kForAll} + "X p(X) " + kImplies + " q;");
}

TEST(DecodeTheoryText, OneByteTextIsTakenAsItIs) {
  EXPECT_EQ(Decoded("p(a); ?- q(b);\r\n"), "p(a); ?- q(b);\r\n");
  const std::string oneByte = std::string{kForAll} + "X p(X) " + kImplies + " q;";
  EXPECT_EQ(Decoded(oneByte), oneByte);
  // Alphabet bytes that happen to form a well-formed sequence (≤ then ¬ is U+07EC), with a stray
  // byte after them, are still one-byte text: no alphabet character was written in UTF-8.
  const std::string lookalike = std::string{kLessEqual} + kNegation + "p " + kImplies + " q;";
  EXPECT_EQ(Decoded(lookalike), lookalike);
}

TEST(DecodeTheoryText, StrayByteInUtf8TextIsAnErrorAtItsPlace) {
  // A UTF-8 symbol shows the text is UTF-8; the one-byte implication is then a stray byte.
  const std::string mixed = "∀X p(X) " + std::string{kImplies} + " q;";
  EXPECT_EQ(ErrorPlace(mixed), "1:9");
  // Lone CR, CR LF and LF each end one line; columns count characters.
  EXPECT_EQ(ErrorPlace("p;\rq;\r\n¬r;\n∃Y s(Y) \xFF;"), "4:9");
  auto decoded = DecodeTheoryText("¬p;\n q \xE4;");
  ASSERT_TRUE(std::holds_alternative<CodecError>(decoded));
  EXPECT_EQ(std::get<CodecError>(decoded).Message,
            "the byte 0xE4 is not valid UTF-8 in a UTF-8 text");
}

TEST(DecodeTheoryText, ByteOrderMarkIsSkipped) {
  EXPECT_EQ(Decoded("\xEF\xBB\xBF∀X p(X);"), std::string{kForAll} + "X p(X);");
  EXPECT_EQ(Decoded("\xEF\xBB\xBFp;"), "p;");
}

TEST(DecodeTheoryText, CharacterWithoutAByteIsAnErrorAtItsLineAndColumn) {
  EXPECT_EQ(ErrorPlace("p(a) ∘ q;"), "1:6");
  EXPECT_EQ(ErrorPlace("p(a);\n∀X q(X) ∘;"), "2:9");  // columns count characters, not bytes
  EXPECT_EQ(ErrorPlace("p(é);"), "1:3");              // a Latin-1 letter without a symbol
  EXPECT_EQ(ErrorPlace("a;\nb;\n∀∀ 😀"), "3:4");
}

TEST(DecodeTheoryText, NulByteIsAnError) {
  EXPECT_EQ(ErrorPlace(std::string("a;\n\0b;", 6)), "2:1");
  EXPECT_EQ(ErrorPlace(std::string("∀X\0p;", 7)), "1:3");
  EXPECT_EQ(ErrorPlace(std::string("\xF7X\0", 3)), "1:3");
}

TEST(EncodeUtf8, AlphabetBytesBecomeSymbolsOtherHighBytesLatin1) {
  EXPECT_EQ(EncodeUtf8(kAllSymbols), "¬∀∃∧∨→≠≤≥⊤⊥");
  EXPECT_EQ(EncodeUtf8("p(a); q;"), "p(a); q;");
  EXPECT_EQ(EncodeUtf8("\xE9"), "é");
  const std::string text = std::string{kForAll} + "X[p(X)" + kImplies + kNegation + "q(X)]" + kAnd +
                           kExists + "Y r(Y)" + kOr + " " + kFalse;
  EXPECT_EQ(Decoded(EncodeUtf8(text)), text);
}

}  // namespace
}  // namespace velmoran::testing
