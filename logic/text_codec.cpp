#include "logic/text_codec.h"

#include <array>
#include <cstdint>
#include <cstdio>

#include "logic/alphabet.h"

namespace velmoran {

namespace {

struct SymbolByte {
  char32_t Symbol;
  char Byte;
};

constexpr std::array<SymbolByte, 11> kSymbols{{
    {U'\u00AC', kNegation},
    {U'\u2200', kForAll},
    {U'\u2203', kExists},
    {U'\u2227', kAnd},
    {U'\u2228', kOr},
    {U'\u2192', kImplies},
    {U'\u2260', kNotEqual},
    {U'\u2264', kLessEqual},
    {U'\u2265', kGreaterEqual},
    {U'\u22A4', kTrue},
    {U'\u22A5', kFalse},
}};

bool IsAlphabetByte(unsigned char b) {
  for (const auto& s : kSymbols)
    if (static_cast<unsigned char>(s.Byte) == b) return true;
  return false;
}

// Decodes one UTF-8 sequence at `i`; returns its length, or 0 when it is malformed.
std::size_t DecodeOne(std::string_view s, std::size_t i, char32_t& cp) {
  auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = b(i);
  std::size_t len;
  char32_t min;
  if (c < 0x80) {
    cp = c;
    return 1;
  } else if ((c & 0xE0) == 0xC0) {
    len = 2, cp = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3, cp = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4, cp = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

bool IsMultiByteUtf8(std::string_view s) {
  bool multi = false;
  for (std::size_t i = 0; i < s.size();) {
    char32_t cp;
    std::size_t len = DecodeOne(s, i, cp);
    if (len == 0) return false;
    multi |= len > 1;
    i += len;
  }
  return multi;
}

// The byte a decoded character stands for in the alphabet: a logic symbol, or the Latin-1 letter
// that an alphabet byte shows as; 0 when it has none.
char AlphabetByteOf(char32_t cp) {
  for (const auto& s : kSymbols)
    if (s.Symbol == cp || static_cast<unsigned char>(s.Byte) == cp) return s.Byte;
  return 0;
}

// Where a text that is not valid UTF-8 still shows itself as meant to be: it holds a well-formed
// multi-byte sequence for a character of the alphabet (one-byte text almost never does by
// chance). Returns the offset of the first malformed sequence of such a text, or npos.
std::size_t StrayByteInUtf8(std::string_view s) {
  bool meant = false;
  std::size_t stray = std::string_view::npos;
  for (std::size_t i = 0; i < s.size();) {
    char32_t cp;
    std::size_t len = DecodeOne(s, i, cp);
    if (len == 0) {
      if (stray == std::string_view::npos) stray = i;
      ++i;
      continue;
    }
    meant |= len > 1 && AlphabetByteOf(cp) != 0;
    i += len;
  }
  return meant ? stray : std::string_view::npos;
}

bool EndsLine(std::string_view s, std::size_t i) {
  return s[i] == '\n' || (s[i] == '\r' && (i + 1 == s.size() || s[i + 1] != '\n'));
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

CodecError ErrorAt(int line, int column, std::string message) {
  return CodecError{line, column, std::move(message)};
}

}  // namespace

std::variant<std::string, CodecError> DecodeTheoryText(std::string_view raw) {
  bool utf8 = IsUtf8TheoryText(raw);
  if (raw.starts_with("\xEF\xBB\xBF")) raw.remove_prefix(3);
  std::size_t stray = utf8 ? std::string_view::npos : StrayByteInUtf8(raw);
  std::string out;
  out.reserve(raw.size());
  int line = 1;
  int column = 1;
  for (std::size_t i = 0; i < raw.size();) {
    if (i == stray) {
      char name[8];
      std::snprintf(name, sizeof name, "0x%02X", static_cast<unsigned char>(raw[i]));
      return ErrorAt(line, column,
                     std::string("the byte ") + name + " is not valid UTF-8 in a UTF-8 text");
    }
    char32_t cp;
    std::size_t len = 1;
    if (utf8 || stray != std::string_view::npos) len = DecodeOne(raw, i, cp);
    if (!utf8) cp = static_cast<unsigned char>(raw[i]);
    if (cp == 0) return ErrorAt(line, column, "the text holds a NUL byte");
    if (!utf8 || cp < 0x80) {
      out += static_cast<char>(cp);
    } else {
      char byte = AlphabetByteOf(cp);
      if (byte == 0) {
        char name[16];
        std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(cp));
        return ErrorAt(line, column,
                       std::string("the character ") + name + " has no place in a theory text");
      }
      out += byte;
    }
    // A lone CR ends a line as LF and CR LF do.
    if (EndsLine(raw, i)) {
      ++line;
      column = 1;
    } else if (raw[i] != '\r') {
      ++column;
    }
    i += len;
  }
  return out;
}

bool IsUtf8TheoryText(std::string_view raw) {
  if (raw.starts_with("\xEF\xBB\xBF")) raw.remove_prefix(3);
  return IsMultiByteUtf8(raw);
}

std::string EncodeUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 4);
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
      continue;
    }
    char32_t cp = b;  // other high bytes show as the Latin-1 letter they are
    if (IsAlphabetByte(b))
      for (const auto& s : kSymbols)
        if (s.Byte == c) cp = s.Symbol;
    AppendUtf8(out, cp);
  }
  return out;
}

}  // namespace velmoran
