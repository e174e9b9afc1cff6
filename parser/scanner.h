// The lower half of the theory parser: parser state, character scanner and operand stack; the
// term rules that read from it are in `term_parser.h`.
//
// Failures are numeric codes in `ParseError`, never exceptions: once a code is set every scanner
// and parser step returns at once without reading further, so the parse unwinds to
// `ParseFormula`, which frees what is left on the operand stack. Only the first code counts.
//
// Nesting is bounded: recursion (brackets, signs, argument lists, negations, quantifier runs)
// stops at `kMaxNesting` levels and a tree deeper than `kMaxTreeDepth` is refused, both with code
// 8, so no text can exhaust the stack of the parser or of the walks over what it built.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "logic/formula.h"

namespace velmoran {

inline constexpr int kMaxNesting = 1000;
inline constexpr int kMaxTreeDepth = 1000;

struct ParserState {
  const char* Input = nullptr;
  std::int32_t Position = 0;
  char CurrentChar = 0;
  std::int32_t FetchCount = 0;
  std::string TokenText;
  std::int32_t AnonCount = 0;
  std::uint8_t ParseError = 0;
  std::vector<TObject*> OperandStack;
  bool IsQuery = false;
  long double FormulaDegree = 1;
  TSub* ScopeNode = nullptr;  // the node whose variables the binding walk sees innermost
  int Nesting = 0;
  // Variable binding of one formula: the free variables met so far, in the order met, and
  // name indexes of long prefixes, so that binding stays linear in the size of the formula.
  std::vector<TVariable*> FreeVariables;
  std::unordered_map<std::string_view, TVariable*> FreeByName;
  std::unordered_map<const TQuant*, std::unordered_map<std::string_view, TVariable*>> PrefixIndex;
};
extern ParserState Parser;

// Counts one level of nesting (a bracket, a sign, an argument list, a negation or a quantifier
// run) for the lifetime of a parse step; beyond `kMaxNesting` levels it raises code 8.
class NestingGuard {
 public:
  NestingGuard();
  ~NestingGuard() { --Parser.Nesting; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;
};

void NextChar();
void NextToken();
// Sets the error code unless one is set already.
void SetParseError(std::uint8_t code);

}  // namespace velmoran
