// Reading a theory file for the command line, and pointing at a place in it.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace velmoran::cli {

struct TheoryText {
  std::string Name;   // as given; "-" is standard input
  std::string Bytes;  // the one-byte text
};

// Reads and decodes a file; on failure prints "FILE: cannot read: REASON" (or where the text
// cannot be decoded) to standard error and returns nothing. `interrupted` as for `ReadAll`.
std::optional<TheoryText> ReadTheory(const std::string& path,
                                     const std::function<bool()>& interrupted);

// Prints "FILE:LINE:COLUMN: error CODE: MESSAGE", the offending line and a caret under the
// character before which the caret position (1-based offset, 0 = none) stands.
void PrintSyntaxError(const TheoryText& text, int errorPosition, int code, bool bytes);

}  // namespace velmoran::cli
