// Reading a theory file for the command line, and pointing at a place in it.
//
// A file is read as a theory text, or as a TPTP problem (with --tptp or a name ending in ".p"),
// which is translated into a theory text; the TPTP text and the map back into it are kept, so
// that any syntax error, of the TPTP text or of its translation, points into the file as written.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "parser/tptp_reader.h"

namespace velmoran::cli {

struct TheoryText {
  std::string Name;   // as given; "-" is standard input
  std::string Bytes;  // the one-byte text
  // For a TPTP file: the text as read, and the map from `Bytes` back into it (`Text` is empty).
  std::optional<std::string> TptpSource;
  TTptpTheory Tptp;
};

enum class ReadFailure { File, Syntax };

// True when `path` is to be read as TPTP: asked for, or named "*.p".
bool ReadsTptp(const std::string& path, bool tptpOption);

// Reads and decodes (or translates) a file; on failure prints "FILE: cannot read: REASON", where
// the text cannot be decoded, or a TPTP syntax error as FILE:LINE:COLUMN, to standard error, sets
// `failure` and returns nothing. `interrupted` as for `ReadAll`.
std::optional<TheoryText> ReadTheory(const std::string& path,
                                     const std::function<bool()>& interrupted, bool tptp = false,
                                     ReadFailure* failure = nullptr);

// The text of a TPTP problem without its equality axioms ("=" then a relation of its own, a weaker
// theory); none when it has none.
std::optional<std::string> WithoutEqualityAxioms(const TheoryText& text);
// Leaves the equality axioms out of `text` itself, keeping the map back into the file.
void DropEqualityAxioms(TheoryText& text);
// The same text without the equality axioms the equality rule stands for (symmetry, transitivity,
// substitution); nothing when it has none.
std::optional<std::string> WithoutRuleAxioms(const TheoryText& text);
// Takes them out of the text and its places, for a run with the equality rule.
void DropRuleAxioms(TheoryText& text);

// `text`, the problem's translation or one of the texts above made from it, with the problem's own
// axioms written in parts where they are conjunctions (`TTptpTheory::AxiomsInParts`, or with
// `directions` `AxiomsInDirections`); `text` as it is where there are none.
std::string WithAxiomsInParts(const std::string& text, const TheoryText& theory,
                              bool directions = false);

// Prints "FILE:LINE:COLUMN: error CODE: MESSAGE", the offending line and a caret under the
// character before which the caret position (1-based offset, 0 = none) stands. For a TPTP file
// the place is the TPTP construct whose translation holds that position.
void PrintSyntaxError(const TheoryText& text, int errorPosition, int code, bool bytes);

}  // namespace velmoran::cli
