// Reading a theory file for the command line, and pointing at a place in it.
#pragma once

#include <optional>
#include <string>

namespace velmoran::cli {

struct TheoryText {
  std::string Name;   // as given; "-" is standard input
  std::string Bytes;  // the one-byte text
};

// Reads and decodes a file; on failure prints a message to standard error and returns nothing.
std::optional<TheoryText> ReadTheory(const std::string& path);

// Prints "FILE:LINE:COLUMN: error CODE: MESSAGE", the offending line and a caret under the
// character before which the caret position (1-based offset, 0 = none) stands.
void PrintSyntaxError(const TheoryText& text, int errorPosition, int code, bool bytes);

}  // namespace velmoran::cli
