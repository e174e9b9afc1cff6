#include "parser/formula_parser.h"

#include <cstring>

#include "logic/alphabet.h"
#include "logic/logic_state.h"
#include "logic/number_format.h"
#include "logic/print.h"
#include "logic/walk.h"
#include "parser/scanner.h"
#include "parser/term_parser.h"
#include "prover/simplify.h"
#include "report/measure.h"

namespace velmoran {

namespace {

// Code that marks a complete formula inside the parse; never returned.
constexpr std::uint8_t kComplete = 6;

bool Failed() {
  return Parser.ParseError != 0;
}
TObject* Pop() {
  TObject* o = Parser.OperandStack.back();
  Parser.OperandStack.pop_back();
  return o;
}

int ParseImplication();

// Replaces the two nodes on top of the stack by the connective joining them.
template <class Node>
void JoinTop() {
  auto* right = static_cast<TSub*>(Pop());
  auto* left = static_cast<TSub*>(Pop());
  auto* n = new Node;
  n->Left = left;
  n->Right = right;
  left->SetParent(n);
  right->SetParent(n);
  Parser.OperandStack.push_back(n);
}

template <class Node>
int ParseConnective(int (*operand)(), char connective) {
  int depth = operand();
  while (!Failed() && Parser.CurrentChar == connective) {
    NextToken();
    int d = operand();
    if (Failed()) break;
    JoinTop<Node>();
    depth = (depth > d ? depth : d) + 1;
    if (depth > kMaxTreeDepth) SetParseError(8);
  }
  return depth;
}

int ParseAtom() {
  int depth = ParseSum();
  if (Failed()) return 0;
  auto* atom = new TAtom;
  char c = Parser.CurrentChar;
  if (IsRelationChar(c)) {
    NextToken();
    int d = ParseSum();
    if (!Failed()) {
      Reduce(new TFunctor(std::string(1, c)), 2);
      depth = (depth > d ? depth : d) + 1;
      if (depth > kMaxTreeDepth) SetParseError(8);
    }
  } else if (!static_cast<TId*>(Parser.OperandStack.back())->IsFunc()) {
    SetParseError(10);
  }
  if (Failed()) {
    atom->FreeTree();
    return 0;
  }
  atom->Term = static_cast<TId*>(Pop());
  AppendAtom(atom);
  Parser.OperandStack.push_back(atom);
  return 1;
}

void ReadPrefixVariable(TQuant* prefix, char quantifier) {
  if (!IsUpper(Parser.CurrentChar) && Parser.CurrentChar != kAnonymous) {
    SetParseError(15);
    return;
  }
  ParseVariable();
  if (Failed()) return;
  auto* read = static_cast<TVar*>(Pop());
  auto* v = new TVariable(*read);
  read->FreeTerm();
  v->Quantifier = quantifier;
  v->AsWritten = 1;
  prefix->Items.push_back(v);
}

void ParsePrefix() {
  auto* prefix = new TQuant;
  while (!Failed() && (Parser.CurrentChar == kForAll || Parser.CurrentChar == kExists)) {
    char q = Parser.CurrentChar;
    NextToken();
    ReadPrefixVariable(prefix, q);
    while (!Failed() && Parser.CurrentChar == kComma) {
      NextToken();
      ReadPrefixVariable(prefix, q);
    }
  }
  if (Failed())
    prefix->FreeAll();
  else
    Parser.OperandStack.push_back(prefix);
}

int ParseUnary() {
  if (Failed()) return 0;
  char c = Parser.CurrentChar;
  if (c == kTermOpen || c == kPlus || c == kMinus || IsDigit(c) || IsUpper(c) || IsLower(c) ||
      c == kAnonymous)
    return ParseAtom();
  if (c == kFormulaOpen) {
    NestingGuard guard;
    NextToken();
    int depth = ParseImplication();
    if (!Failed() && Parser.CurrentChar != kFormulaClose) SetParseError(4);
    NextToken();
    return depth;
  }
  if (c == kNegation) {
    NestingGuard guard;
    NextToken();
    int depth = ParseUnary();
    if (Failed()) return depth;
    auto* n = static_cast<TSub*>(Parser.OperandStack.back());
    n->Negated ^= 1;
    if (n->Prefix)
      for (TVariable* v : n->Prefix->Items)
        if (v) v->Quantifier = DualQuantifier(v->Quantifier);
    return depth;
  }
  if (c == kForAll || c == kExists) {
    NestingGuard guard;
    ParsePrefix();
    int depth = ParseUnary();
    if (Failed()) return depth;
    auto* n = static_cast<TSub*>(Pop());
    auto* prefix = static_cast<TQuant*>(Pop());
    MergePrefix(n, prefix);
    Parser.OperandStack.push_back(n);
    return depth;
  }
  SetParseError(3);
  return 0;
}

int ParseConjunction() {
  return ParseConnective<TCon>(ParseUnary, kAnd);
}
int ParseDisjunction() {
  return ParseConnective<TDis>(ParseConjunction, kOr);
}
int ParseImplication() {
  return ParseConnective<TImp>(ParseDisjunction, kImplies);
}

void ParseDegree() {
  const char* start = Parser.Input + Parser.Position;
  const char* semicolon = std::strchr(start, kEnd);
  if (!semicolon) {
    SetParseError(16);
    return;
  }
  Parser.Position = static_cast<std::int32_t>(semicolon - Parser.Input) + 1;
  Parser.CurrentChar = 0;
  auto value = ParseReal(std::string_view(start, semicolon - start));
  if (!value || *value < 0 || *value > 1) {
    SetParseError(16);
    return;
  }
  Parser.FormulaDegree = *value;
}

void FreeOperandStack() {
  for (TObject* o : Parser.OperandStack) {
    if (TSub* n = AsNode(o))
      n->FreeTree();
    else if (TQuant* q = AsPrefix(o))
      q->FreeAll();
    else if (TVariable* v = AsVariable(o))
      delete v;
    else
      static_cast<TId*>(o)->FreeTerm();
  }
  Parser.OperandStack.clear();
}

TVariable* FindInPrefix(const TQuant& prefix, const std::string& name) {
  const auto& items = prefix.Items;
  if (items.size() <= 32) {
    for (auto it = items.rbegin(); it != items.rend(); ++it)
      if (*it && (*it)->Name == name) return *it;
    return nullptr;
  }
  auto [entry, fresh] = Parser.PrefixIndex.try_emplace(&prefix);
  if (fresh)
    for (TVariable* v : items)
      if (v) entry->second[v->Name] = v;  // a later variable of the same name wins
  auto it = entry->second.find(name);
  return it == entry->second.end() ? nullptr : it->second;
}

// The declaring variable of a name seen from `scope`: the innermost prefix wins, and within one
// prefix the last variable of that name. Free variables come last: they belong to the root.
TVariable* FindDeclaration(TSub* scope, const std::string& name) {
  for (TSub* n = scope; n; n = n->ParentNode)
    if (n->Prefix)
      if (TVariable* v = FindInPrefix(*n->Prefix, name)) return v;
  auto it = Parser.FreeByName.find(name);
  return it == Parser.FreeByName.end() ? nullptr : it->second;
}

}  // namespace

std::string_view ErrorMessage(std::uint8_t code) {
  switch (code) {
    case 1:
      return "Illegal character.";
    case 2:
      return "Missing operator.";
    case 3:
      return "Missing expression.";
    case 4:
      return "Missing right bracket.";
    case 5:
      return "Unexpected right bracket.";
    case 8:
      return "Insuficient memory.";
    case 9:
      return "Missing Delimiter.";
    case 10:
      return "Wrong atom expression.";
    case 12:
      return "Invalid real expression.";
    case 13:
      return "Invalid integer expression.";
    case 14:
      return "Invalid IDTerm.";
    case 15:
      return "Invalid variable expression.";
    case 16:
      return "Wrong evaluation degree expression.";
    default:
      return {};
  }
}

void ParseFormula(TPLProgram& program, const char* cursor, TFALFormula*& record) {
  Parser.Input = cursor;
  Parser.Position = 0;
  Parser.ParseError = 0;
  Parser.AnonCount = 0;
  Parser.TokenText.clear();
  Parser.OperandStack.clear();
  Parser.Nesting = 0;
  Logic.ChainFirst = Logic.ChainLast = nullptr;
  Parser.IsQuery = false;
  Parser.FormulaDegree = 1;
  Parser.FetchCount = 0;
  record = nullptr;

  NextToken();
  if (Parser.CurrentChar == kQueryMark1 && Parser.Input[Parser.Position] == kQueryMark2) {
    Parser.IsQuery = true;
    NextChar();
    NextToken();
  }
  ParseImplication();
  if (!Failed() && Parser.CurrentChar == kTermClose) SetParseError(5);
  if (!Failed() && Parser.CurrentChar == kDegreeMark) ParseDegree();
  if (!Failed() && Parser.CurrentChar == 0) {
    if (Parser.Position > 0 && Parser.Input[Parser.Position - 1] == kEnd)
      Parser.ParseError = kComplete;
    else
      SetParseError(9);
  }
  if (!Failed()) SetParseError(2);

  if (Parser.ParseError == kComplete) {
    Parser.ParseError = 0;
    auto* root = static_cast<TSub*>(Pop());
    FreeOperandStack();  // empty unless a grammar rule misbehaved
    record = Parser.IsQuery ? new TQuery(&program) : new TFALFormula(&program);
    record->Root = root;
    root->SetParent(record);
    record->FirstAtom = Logic.ChainFirst;
    record->LastAtom = Logic.ChainLast;
    record->Degree = Parser.FormulaDegree;
    PrepareFormula(*record);
    NextToken();
    program.ParsedLength = Parser.CurrentChar != 0 ? Parser.Position - 1 : Parser.Position;
  } else {
    FreeOperandStack();
    program.ParsedLength = Parser.Position - Parser.FetchCount - 1;
    Measure.ProofEndTime = Now();
  }
  program.ErrorCode = Parser.ParseError;
}

TheoryEnd ForEachFormula(TPLProgram& program, const char* text,
                         const std::function<void(TFALFormula*, std::int32_t)>& take) {
  const char* p = text;
  std::int32_t consumed = 0;
  program.ErrorPosition = 0;
  while (*p != 0) {
    program.Yield();
    if (program.StopRequested) return TheoryEnd::Stopped;
    TFALFormula* record = nullptr;
    ParseFormula(program, p, record);
    if (!record) {
      program.ErrorPosition = consumed + program.ParsedLength + 1;
      return TheoryEnd::SyntaxError;
    }
    const std::int32_t length = program.ParsedLength;
    take(record, consumed);
    if (length <= 0) break;
    p += length;
    consumed += length;
  }
  return TheoryEnd::Complete;
}

void PrepareFormula(TFALFormula& record) {
  Parser.ScopeNode = nullptr;
  record.Walk(WalkMode::PreOrder, BindVariables);
  // Free variables are universal at the root, the one met last standing first.
  if (!Parser.FreeVariables.empty()) {
    TSub* root = record.Root;
    if (!root->Prefix) root->Prefix = new TQuant;
    auto& items = root->Prefix->Items;
    items.insert(items.begin(), Parser.FreeVariables.rbegin(), Parser.FreeVariables.rend());
  }
  Parser.FreeVariables.clear();
  Parser.FreeByName.clear();
  Parser.PrefixIndex.clear();
  record.Walk(WalkMode::PostOrder, EvaluateArithmetic);
  ComputePolarity(record.Root);
  if (!record.IsQuery()) record.Text = PrintedText(*record.Root);
}

TObject* BindVariables(TObject* object, WalkMode& mode, TObject*) {
  if (TSub* n = AsNode(object)) {
    Parser.ScopeNode = n;
    if (n->Prefix)
      for (TVariable* v : n->Prefix->Items)
        if (v) v->Scope = n;
    if (n->IsAtom()) mode = WalkMode::PostOrder;
    return object;
  }
  TId* t = AsTerm(object);
  if (!t || t->Class() != TermClass::Var) return object;
  auto* read = static_cast<TVar*>(t);
  TVariable* v = FindDeclaration(Parser.ScopeNode, read->Name);
  if (!v) {
    TSub* root = Parser.ScopeNode;
    while (root->ParentNode) root = root->ParentNode;
    v = new TVariable(*read);
    v->Quantifier = kForAll;
    v->AsWritten = 1;
    v->Scope = root;
    Parser.FreeVariables.push_back(v);
    Parser.FreeByName.emplace(v->Name, v);
  }
  read->FreeTerm();
  return v;
}

}  // namespace velmoran
