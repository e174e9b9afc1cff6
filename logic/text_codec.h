// Theory text in the one-byte alphabet and in UTF-8.
//
// A text that is valid UTF-8 and holds at least one multi-byte sequence is read as UTF-8: the
// logic symbols (¬ ∀ ∃ ∧ ∨ → ≠ ≤ ≥ ⊤ ⊥) and the Latin-1 letters their bytes stand for map to the
// alphabet's bytes, ASCII to itself. Anything else is one-byte text, taken as it is. A character
// that has no byte, and the byte 0 (which would end the text early), are errors that name their
// line and column; nothing is dropped silently. A text that is not valid UTF-8 but holds a
// well-formed multi-byte sequence for an alphabet character was meant as UTF-8: its first
// malformed byte is an error at its line and column, not a reason to read garbled one-byte text.
// Lines end at LF, CR LF or a lone CR. A leading byte-order mark is skipped.
#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace velmoran {

struct CodecError {
  int Line = 0;    // 1-based
  int Column = 0;  // 1-based, in characters
  std::string Message;
};

std::variant<std::string, CodecError> DecodeTheoryText(std::string_view raw);
// True when `DecodeTheoryText` reads `raw` as UTF-8 (so a front end can save the text back in the
// encoding it came in).
bool IsUtf8TheoryText(std::string_view raw);
// The one-byte text as UTF-8, alphabet bytes as their logic symbols.
std::string EncodeUtf8(std::string_view bytes);

}  // namespace velmoran
