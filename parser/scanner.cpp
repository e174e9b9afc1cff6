#include "parser/scanner.h"

#include "logic/alphabet.h"

namespace velmoran {

ParserState Parser;

namespace {

char ByteAt(std::int32_t position) {
  return Parser.Input[position];
}
bool Failed() {
  return Parser.ParseError != 0;
}

}  // namespace

NestingGuard::NestingGuard() {
  if (++Parser.Nesting > kMaxNesting) SetParseError(8);
}

void SetParseError(std::uint8_t code) {
  if (Parser.ParseError == 0) Parser.ParseError = code;
}

void NextChar() {
  if (Failed()) return;
  Parser.FetchCount = 0;
  Parser.CurrentChar = ByteAt(Parser.Position);
  if (Parser.CurrentChar != 0) {
    ++Parser.Position;
    ++Parser.FetchCount;
  }
  if (Parser.CurrentChar == kEnd) {
    auto next = static_cast<unsigned char>(ByteAt(Parser.Position));
    if (next <= 0x20) Parser.CurrentChar = 0;
  }
}

void NextToken() {
  if (Failed()) return;
  Parser.FetchCount = 0;
  do {
    Parser.CurrentChar = ByteAt(Parser.Position);
    if (Parser.CurrentChar != 0) {
      ++Parser.Position;
      ++Parser.FetchCount;
    }
    if (Parser.CurrentChar == kEnd && static_cast<unsigned char>(ByteAt(Parser.Position)) <= 0x20)
      Parser.CurrentChar = 0;
  } while (IsBlank(Parser.CurrentChar));
}

}  // namespace velmoran
