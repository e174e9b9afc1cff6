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
  // A single byte that is not UTF-8 makes the whole text one-byte, symbols included.
  const std::string mixed = "∀X p(X) " + std::string{kImplies} + " q;";
  EXPECT_EQ(Decoded(mixed), mixed);
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
