// The TPTP lexer: splits a TPTP text into tokens, skipping blanks, `%` line comments and `/* */`
// block comments. Lines count LF, CR LF or a lone CR; columns count characters (a UTF-8 sequence
// inside a comment is one). Every token is a view into the text, which must outlive it. The lexer
// never fails silently: a character outside printable ASCII, an unclosed quote or comment is an
// error value with its place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "parser/tptp_reader.h"

namespace velmoran {

enum class TptpTok : std::uint8_t {
  End,
  Lower,
  Upper,
  Dollar,
  DollarDollar,
  Quoted,
  Distinct,
  Integer,
  Rational,
  Real,
  LParen,
  RParen,
  LBracket,
  RBracket,
  Comma,
  Dot,
  Colon,
  Not,
  And,
  Or,
  Implies,
  Implied,
  Iff,
  Xor,
  Nand,
  Nor,
  Equal,
  NotEqual,
  ForAll,
  Exists,
  Other,
};

struct TptpToken {
  TptpTok Kind = TptpTok::End;
  std::string_view Text;
  int Line = 1;
  int Column = 1;
};

class TptpLexer {
 public:
  explicit TptpLexer(std::string_view text) : s_(text) {}

  // The next token; on a lexical error returns nothing and fills `error`.
  std::optional<TptpToken> Next(TTptpError& error);

 private:
  void Step();
  bool SkipBlanks(TTptpError& error);

  std::string_view s_;
  std::size_t pos_ = 0;
  int line_ = 1;
  int column_ = 1;
};

}  // namespace velmoran
