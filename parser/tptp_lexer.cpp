#include "parser/tptp_lexer.h"

#include "logic/alphabet.h"

namespace velmoran {

namespace {

bool IsWordChar(char c) {
  return IsIdentChar(c);
}

}  // namespace

std::optional<TptpToken> TptpLexer::Next(TTptpError& error) {
  if (!SkipBlanks(error)) return std::nullopt;
  TptpToken t;
  t.Line = line_;
  t.Column = column_;
  std::size_t start = pos_;
  auto done = [&](TptpTok kind) {
    t.Kind = kind;
    t.Text = s_.substr(start, pos_ - start);
    return t;
  };
  if (pos_ >= s_.size()) return done(TptpTok::End);
  char c = s_[pos_];
  auto next = [&](std::size_t k) { return pos_ + k < s_.size() ? s_[pos_ + k] : '\0'; };
  if (IsLower(c) || IsUpper(c)) {
    Step();
    while (pos_ < s_.size() && IsWordChar(s_[pos_])) Step();
    return done(IsLower(c) ? TptpTok::Lower : TptpTok::Upper);
  }
  if (c == '$') {
    Step();
    bool system = next(0) == '$';
    if (system) Step();
    while (pos_ < s_.size() && IsWordChar(s_[pos_])) Step();
    return done(system ? TptpTok::DollarDollar : TptpTok::Dollar);
  }
  if (c == '\'' || c == '"') {
    Step();
    while (pos_ < s_.size() && s_[pos_] != c && s_[pos_] != '\n' && s_[pos_] != '\r') {
      if (s_[pos_] == '\\' && pos_ + 1 < s_.size()) Step();
      Step();
    }
    if (pos_ >= s_.size() || s_[pos_] != c) {
      error = {t.Line, t.Column, "quoted text not closed on its line", {}};
      return std::nullopt;
    }
    Step();
    return done(c == '\'' ? TptpTok::Quoted : TptpTok::Distinct);
  }
  if (IsDigit(c) || ((c == '+' || c == '-') && IsDigit(next(1)))) {
    Step();
    while (IsDigit(next(0))) Step();
    TptpTok kind = TptpTok::Integer;
    if (next(0) == '/' && IsDigit(next(1))) {
      kind = TptpTok::Rational;
      Step();
      while (IsDigit(next(0))) Step();
      return done(kind);
    }
    if (next(0) == '.' && IsDigit(next(1))) {
      kind = TptpTok::Real;
      Step();
      while (IsDigit(next(0))) Step();
    }
    if ((next(0) == 'E' || next(0) == 'e') &&
        (IsDigit(next(1)) || ((next(1) == '+' || next(1) == '-') && IsDigit(next(2))))) {
      kind = TptpTok::Real;
      Step();
      Step();
      while (IsDigit(next(0))) Step();
    }
    return done(kind);
  }
  auto symbol = [&](TptpTok kind, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) Step();
    return done(kind);
  };
  switch (c) {
    case '(':
      return symbol(TptpTok::LParen, 1);
    case ')':
      return symbol(TptpTok::RParen, 1);
    case '[':
      return symbol(TptpTok::LBracket, 1);
    case ']':
      return symbol(TptpTok::RBracket, 1);
    case ',':
      return symbol(TptpTok::Comma, 1);
    case '.':
      return symbol(TptpTok::Dot, 1);
    case ':':
      return symbol(TptpTok::Colon, 1);
    case '&':
      return symbol(TptpTok::And, 1);
    case '|':
      return symbol(TptpTok::Or, 1);
    case '~':
      if (next(1) == '&') return symbol(TptpTok::Nand, 2);
      if (next(1) == '|') return symbol(TptpTok::Nor, 2);
      return symbol(TptpTok::Not, 1);
    case '=':
      if (next(1) == '>') return symbol(TptpTok::Implies, 2);
      return symbol(TptpTok::Equal, 1);
    case '<':
      if (next(1) == '=' && next(2) == '>') return symbol(TptpTok::Iff, 3);
      if (next(1) == '~' && next(2) == '>') return symbol(TptpTok::Xor, 3);
      if (next(1) == '=') return symbol(TptpTok::Implied, 2);
      return symbol(TptpTok::Other, 1);
    case '!':
      if (next(1) == '=') return symbol(TptpTok::NotEqual, 2);
      if (next(1) == '!' || next(1) == '>') return symbol(TptpTok::Other, 2);
      return symbol(TptpTok::ForAll, 1);
    case '?':
      if (next(1) == '?' || next(1) == '*') return symbol(TptpTok::Other, 2);
      return symbol(TptpTok::Exists, 1);
    default:
      break;
  }
  auto u = static_cast<unsigned char>(c);
  if (u < 0x20 || u > 0x7E) {
    error = {t.Line, t.Column, "a TPTP text holds only printable ASCII outside comments", {}};
    return std::nullopt;
  }
  return symbol(TptpTok::Other, 1);
}

void TptpLexer::Step() {
  char c = s_[pos_++];
  if (c == '\n' || (c == '\r' && (pos_ >= s_.size() || s_[pos_] != '\n'))) {
    ++line_;
    column_ = 1;
  } else if (c != '\r' && (static_cast<unsigned char>(c) & 0xC0) != 0x80) {
    ++column_;  // a UTF-8 continuation byte (inside a comment) is part of the last character
  }
}

bool TptpLexer::SkipBlanks(TTptpError& error) {
  while (pos_ < s_.size()) {
    char c = s_[pos_];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
      Step();
    } else if (c == '%') {
      while (pos_ < s_.size() && s_[pos_] != '\n' && s_[pos_] != '\r') Step();
    } else if (c == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '*') {
      int line = line_, column = column_;
      Step();
      Step();
      while (pos_ < s_.size() && !(s_[pos_] == '*' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '/'))
        Step();
      if (pos_ >= s_.size()) {
        error = {line, column, "comment not closed: '/*' has no '*/'", {}};
        return false;
      }
      Step();
      Step();
    } else {
      break;
    }
  }
  return true;
}

}  // namespace velmoran
