// The one-byte logical alphabet.
//
// Theory texts, printed formulas and cached record texts are strings of single bytes. Every
// character with a logical meaning that ASCII lacks owns one byte in 0x80..0xFF; everything that
// reads or writes such a character names it here, never by its value.
#pragma once

namespace velmoran {

inline constexpr char kNegation = static_cast<char>(0xAC);
inline constexpr char kForAll = static_cast<char>(0xF7);
inline constexpr char kExists = static_cast<char>(0xF6);
inline constexpr char kAnd = static_cast<char>(0xFD);
inline constexpr char kOr = static_cast<char>(0xFC);
inline constexpr char kImplies = static_cast<char>(0xF4);
inline constexpr char kNotEqual = static_cast<char>(0xE1);
inline constexpr char kLessEqual = static_cast<char>(0xDF);
inline constexpr char kGreaterEqual = static_cast<char>(0xDD);
inline constexpr char kLess = '<';
inline constexpr char kEqual = '=';
inline constexpr char kGreater = '>';
inline constexpr char kTrue = static_cast<char>(0xE4);
inline constexpr char kFalse = static_cast<char>(0xE7);

// ASCII characters with a fixed role.
inline constexpr char kFormulaOpen = '[';
inline constexpr char kFormulaClose = ']';
inline constexpr char kTermOpen = '(';
inline constexpr char kTermClose = ')';
inline constexpr char kComma = ',';
inline constexpr char kEnd = ';';
inline constexpr char kDegreeMark = ':';
inline constexpr char kQueryMark1 = '?';
inline constexpr char kQueryMark2 = '-';
inline constexpr char kPlus = '+';
inline constexpr char kMinus = '-';
inline constexpr char kTimes = '*';
inline constexpr char kDivide = '/';
inline constexpr char kAnonymous = '_';
inline constexpr char kDupSeparator = '#';
inline constexpr char kInverted = '!';
inline constexpr char kDecimalPoint = '.';

// The other quantifier; any other byte stays as it is.
inline char DualQuantifier(char q) {
  return q == kForAll ? kExists : (q == kExists ? kForAll : q);
}

inline bool IsRelationChar(char c) {
  return c == kLess || c == kEqual || c == kGreater || c == kGreaterEqual || c == kLessEqual ||
         c == kNotEqual;
}
inline bool IsArithmeticChar(char c) {
  return c == kTimes || c == kPlus || c == kMinus || c == kDivide;
}
inline bool IsUpper(char c) {
  return c >= 'A' && c <= 'Z';
}
inline bool IsLower(char c) {
  return c >= 'a' && c <= 'z';
}
inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
inline bool IsIdentChar(char c) {
  return IsUpper(c) || IsLower(c) || IsDigit(c) || c == '_';
}
// Bytes 0x01..0x20 separate tokens; byte 0 ends the text.
inline bool IsBlank(char c) {
  auto u = static_cast<unsigned char>(c);
  return u >= 0x01 && u <= 0x20;
}

}  // namespace velmoran
