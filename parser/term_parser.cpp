#include "parser/term_parser.h"

#include "logic/alphabet.h"
#include "logic/number_format.h"

namespace velmoran {

namespace {

bool Failed() {
  return Parser.ParseError != 0;
}

void Push(TObject* o) {
  Parser.OperandStack.push_back(o);
}

int CheckDepth(int depth) {
  if (depth > kMaxTreeDepth) SetParseError(8);
  return depth;
}

// Reads a run of identifier characters into `TokenText`.
void ReadIdentifier() {
  while (IsIdentChar(Parser.CurrentChar)) {
    Parser.TokenText += Parser.CurrentChar;
    NextChar();
    if (Failed()) return;
  }
}

// The shared loop of sums and products: operand { op operand }.
int ParseChain(int (*operand)(), char op1, char op2) {
  int depth = operand();
  while (!Failed() && (Parser.CurrentChar == op1 || Parser.CurrentChar == op2)) {
    auto* f = new TFunctor(std::string(1, Parser.CurrentChar));
    NextToken();
    int d = operand();
    if (Failed()) {
      f->FreeTerm();
      break;
    }
    Reduce(f, 2);
    depth = CheckDepth((depth > d ? depth : d) + 1);
  }
  return depth;
}

}  // namespace

void Reduce(TFunctor* functor, int count) {
  auto& stack = Parser.OperandStack;
  for (auto it = stack.end() - count; it != stack.end(); ++it)
    functor->Args.push_back(static_cast<TId*>(*it));
  stack.resize(stack.size() - count);
  Push(functor);
}

int ParseSum() {
  return ParseChain(ParseProduct, kPlus, kMinus);
}
int ParseProduct() {
  return ParseChain(ParseFactor, kTimes, kDivide);
}

int ParseFactor() {
  if (Failed()) return 0;
  char c = Parser.CurrentChar;
  if (IsDigit(c)) return ParseNumber();
  if (IsUpper(c) || c == kAnonymous) return ParseVariable();
  if (IsLower(c)) return ParseFunctor();
  if (c == kTermOpen) {
    NestingGuard guard;
    NextToken();
    int depth = ParseSum();
    if (!Failed() && Parser.CurrentChar != kTermClose) SetParseError(4);
    NextToken();
    return depth;
  }
  if (c == kPlus || c == kMinus) {
    NestingGuard guard;
    NextToken();
    int depth = ParseFactor();
    if (Failed()) return depth;
    TObject* top = Parser.OperandStack.back();
    auto* t = static_cast<TId*>(top);
    if (t->Class() == TermClass::Integer) {
      if (c == kMinus) {
        auto* i = static_cast<TInteger*>(t);
        i->IntValue = -i->IntValue;  // literals never reach INT32_MIN, so this cannot overflow
      }
      return depth;
    }
    if (t->Class() == TermClass::Real) {
      if (c == kMinus) static_cast<TReal*>(t)->RealValue = -static_cast<TReal*>(t)->RealValue;
      return depth;
    }
    Reduce(new TFunctor(std::string(1, c)), 1);
    return CheckDepth(depth + 1);
  }
  SetParseError(14);
  return 0;
}

int ParseNumber() {
  bool real = false;
  while (!Failed() && IsDigit(Parser.CurrentChar)) {
    Parser.TokenText += Parser.CurrentChar;
    NextChar();
    char c = Parser.CurrentChar;
    if (c == 'E' || c == 'e' || c == kDecimalPoint) {
      real = true;
      Parser.TokenText += c;
      NextChar();
      if (Parser.CurrentChar == kPlus || Parser.CurrentChar == kMinus) {
        Parser.TokenText += Parser.CurrentChar;
        NextChar();
      }
    }
  }
  if (Failed()) return 0;
  if (IsBlank(Parser.CurrentChar)) NextToken();
  if (real) {
    if (auto v = ParseReal(Parser.TokenText))
      Push(new TReal(*v));
    else
      SetParseError(12);
  } else {
    std::int32_t v = 0;
    if (TInteger::Convert(Parser.TokenText, v))
      Push(new TInteger(v));
    else
      SetParseError(13);
  }
  Parser.TokenText.clear();
  return 1;
}

int ParseVariable() {
  ReadIdentifier();
  if (Failed()) return 0;
  if (IsBlank(Parser.CurrentChar)) NextToken();
  std::string name;
  if (Parser.TokenText == "_")
    name = "_#" + std::to_string(Parser.AnonCount++);
  else
    name = Parser.TokenText;
  Push(new TVar(std::move(name)));
  Parser.TokenText.clear();
  return 1;
}

int ParseFunctor() {
  ReadIdentifier();
  if (Failed()) return 0;
  TFunc* term;
  int count = 0;
  int depth = 1;
  if (Parser.CurrentChar == kTermOpen) {
    NextToken();
    if (Parser.CurrentChar == kTermClose) {
      SetParseError(14);
      Parser.TokenText.clear();
      return 0;
    }
    term = new TFunctor(Parser.TokenText);
    Parser.TokenText.clear();
    NestingGuard guard;
    int d = ParseSum();
    if (!Failed()) ++count;
    while (!Failed() && Parser.CurrentChar == kComma) {
      NextToken();
      int e = ParseSum();
      if (!Failed()) ++count;
      if (e > d) d = e;
    }
    if (!Failed() && Parser.CurrentChar != kTermClose) SetParseError(4);
    NextToken();
    depth = CheckDepth(d + 1);
  } else {
    term = new TFunctorA(Parser.TokenText);
    Parser.TokenText.clear();
  }
  if (Failed()) {
    term->FreeTerm();
    return 0;
  }
  if (term->Class() == TermClass::Functor)
    Reduce(static_cast<TFunctor*>(term), count);
  else
    Push(term);
  if (IsBlank(Parser.CurrentChar)) NextToken();
  return depth;
}

}  // namespace velmoran
