#include "parser/tptp_reader.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "logic/alphabet.h"
#include "parser/equality_axioms.h"
#include "parser/scanner.h"
#include "parser/tptp_lexer.h"

namespace velmoran {

TTptpAnchor TTptpTheory::Origin(std::size_t offset) const {
  auto it = std::upper_bound(Anchors.begin(), Anchors.end(), offset,
                             [](std::size_t o, const TTptpAnchor& a) { return o < a.Offset; });
  if (it == Anchors.begin()) return TTptpAnchor{offset, 1, 1};
  return *(it - 1);
}

namespace {

using Tok = TptpTok;
using Token = TptpToken;

enum class Op : std::uint8_t {
  Atom,
  True,
  False,
  Not,
  ForAll,
  Exists,
  And,
  Or,
  Implies,
  Implied,
  Iff,
  Xor,
  Nand,
  Nor
};

// One formula as read, before it is written out; equivalences are expanded only when written.
struct Node {
  Op Kind = Op::Atom;
  int Line = 0;
  int Column = 0;
  int A = -1, B = -1;      // operands of the unary and two-operand connectives
  std::vector<int> List;   // operands of a chain of & or |
  std::string Text;        // an atom in the one-byte alphabet; the variables of a quantifier
  int TermNesting = 0;     // argument lists and signs inside an atom, as the parser counts them
  std::uint64_t Size = 0;  // at least the bytes the node is written as
  int Height = 1;          // the depth of the tree the prover builds from it
};

// A term as written in the theory language, with what the prover's parser counts of it.
struct Term {
  std::string Text;
  int Nesting = 0;
  int Depth = 1;
  bool Predicate = false;  // a constant or function application: may stand as an atom
  std::string Symbol;      // its functor, as written in the theory, when `Predicate`
  int Arity = 0;
};

constexpr std::string_view kReserved = "tp_";

// Letters and digits stand for themselves, every other byte for "_" and two hex digits: one to
// one, and always a tail of a theory name.
std::string Escaped(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (char c : text) {
    if (IsLower(c) || IsUpper(c) || IsDigit(c)) {
      out += c;
    } else {
      auto u = static_cast<unsigned char>(c);
      out += '_';
      out += kHex[u >> 4];
      out += kHex[u & 15];
    }
  }
  return out;
}

bool IsLowerWord(std::string_view text) {
  if (text.empty() || !IsLower(text.front())) return false;
  return std::all_of(text.begin(), text.end(), [](char c) { return IsIdentChar(c); });
}

// The text between the quotes of a quoted token, with its escapes \\ and \' (or \") undone.
std::string Unquoted(std::string_view token) {
  std::string out;
  for (std::size_t i = 1; i + 1 < token.size(); ++i) {
    if (token[i] == '\\' && i + 2 < token.size()) ++i;
    out += token[i];
  }
  return out;
}

constexpr std::uint64_t kSizeCap = std::uint64_t{1} << 62;

std::uint64_t Add(std::uint64_t a, std::uint64_t b) {
  return std::min(kSizeCap, a + b);
}

bool IsBinaryToken(Tok k) {
  return k == Tok::And || k == Tok::Or || k == Tok::Implies || k == Tok::Implied || k == Tok::Iff ||
         k == Tok::Xor || k == Tok::Nand || k == Tok::Nor;
}

std::string Found(const Token& t) {
  if (t.Kind == Tok::End) return "the end of the text";
  return "'" + std::string(t.Text) + "'";
}

class Reader {
 public:
  Reader(std::string_view text, const TTptpIncludeResolver& includes)
      : lexer_(text), includes_(includes) {}

  std::variant<TTptpTheory, TTptpError> Run() {
    if (Advance())
      while (tok_.Kind != Tok::End && ParseEntry()) {
      }
    if (error_) return *error_;
    theory_.AxiomsEnd = theory_.Text.size();
    if (theory_.AxiomsParted && axiomsInParts_[0] && axiomsInParts_[1]) {
      theory_.AxiomsInParts = std::move(*axiomsInParts_[0]);
      theory_.AxiomsInDirections = std::move(*axiomsInParts_[1]);
    } else {
      theory_.AxiomsParted = false;
    }
    if (theory_.Equality && !WriteEqualityAxioms()) return *error_;
    if (!WriteQuery()) return *error_;
    return std::move(theory_);
  }

 private:
  struct Written {
    std::string Text;
    std::vector<TTptpAnchor> Anchors;  // offsets within `Text`
    int Height = 1;
    int Line = 0, Column = 0;
  };

  // Counts one level of the reader's own recursion; beyond `kMaxTptpNesting` the read fails.
  class Level {
   public:
    explicit Level(Reader& r) : r_(r) {
      if (++r_.nesting_ > kMaxTptpNesting && !r_.error_)
        r_.Fail(r_.tok_, "nested more than " + std::to_string(kMaxTptpNesting) + " levels deep");
    }
    ~Level() { --r_.nesting_; }
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

   private:
    Reader& r_;
  };

  bool Advance() {
    TTptpError e;
    if (auto t = lexer_.Next(e)) {
      tok_ = *t;
      return true;
    }
    e.File = file_;
    if (!error_) error_ = std::move(e);
    tok_.Kind = Tok::End;
    return false;
  }

  bool Fail(int line, int column, std::string message) {
    if (!error_) error_ = TTptpError{line, column, std::move(message), file_};
    return false;
  }
  bool Fail(const Token& at, std::string message) {
    return Fail(at.Line, at.Column, std::move(message));
  }
  int FailNode(int line, int column, std::string message) {
    Fail(line, column, std::move(message));
    return -1;
  }
  int FailNode(const Token& at, std::string message) {
    return FailNode(at.Line, at.Column, std::move(message));
  }
  bool Expect(Tok kind, const char* what) {
    if (tok_.Kind != kind)
      return Fail(tok_, std::string("expected ") + what + ", found " + Found(tok_));
    return Advance();
  }

  // --- entries ---------------------------------------------------------------------------------

  bool ParseEntry() {
    Token head = tok_;
    if (head.Kind != Tok::Lower) return Fail(head, "expected fof(...), found " + Found(head));
    if (head.Text == "include") return ParseInclude();
    if (head.Text == "tff" || head.Text == "thf" || head.Text == "tcf" || head.Text == "tpi")
      return Fail(
          head, std::string(head.Text) + " formulas are not supported: only fof and cnf are read");
    if (head.Text != "fof" && head.Text != "cnf")
      return Fail(head, "expected fof(...), found " + Found(head));
    cnf_ = head.Text == "cnf";
    if (!Advance() || !Expect(Tok::LParen, cnf_ ? "'(' after cnf" : "'(' after fof")) return false;
    if (tok_.Kind != Tok::Lower && tok_.Kind != Tok::Quoted && tok_.Kind != Tok::Integer)
      return Fail(tok_, "expected the formula's name, found " + Found(tok_));
    std::string name(tok_.Kind == Tok::Quoted ? Unquoted(tok_.Text) : std::string(tok_.Text));
    bool selected =
        !selection_ || std::find(selection_->begin(), selection_->end(), name) != selection_->end();
    if (!Advance() || !Expect(Tok::Comma, "',' after the name")) return false;
    Token role = tok_;
    if (role.Kind != Tok::Lower) return Fail(role, "expected a role, found " + Found(role));
    bool conjecture = role.Text == "conjecture";
    static constexpr std::string_view kAxiomRoles[] = {
        "axiom", "hypothesis", "definition", "assumption",
        "lemma", "theorem",    "corollary",  "negated_conjecture"};
    if (!conjecture && std::find(std::begin(kAxiomRoles), std::end(kAxiomRoles), role.Text) ==
                           std::end(kAxiomRoles))
      return Fail(role, "role '" + std::string(role.Text) +
                            "' is not supported: axiom, hypothesis, definition, assumption, "
                            "lemma, theorem, corollary, negated_conjecture or conjecture");
    if (!Advance() || !Expect(Tok::Comma, "',' after the role")) return false;
    if (tok_.Kind == Tok::LBracket) return Fail(tok_, "sequents are not supported");
    nodes_.clear();
    bound_.clear();
    free_.clear();
    nesting_ = 0;
    int root = ParseLogic();
    if (root < 0) return false;
    if (tok_.Kind == Tok::Comma && !SkipAnnotations()) return false;
    if (!Expect(Tok::RParen, cnf_ ? "')' closing cnf(" : "')' closing fof(") ||
        tok_.Kind != Tok::Dot)
      return Fail(tok_, std::string("expected '.' after ") + (cnf_ ? "cnf" : "fof") +
                            "(...), found " + Found(tok_));
    if (!Advance()) return false;
    if (!selected) return true;
    if (!free_.empty()) root = Closure(root, head);
    root = Fold(root);

    Written w;
    w.Line = head.Line;
    w.Column = head.Column;
    w.Height = nodes_[root].Height;
    w.Anchors.push_back({0, AnchorLine(head.Line), AnchorColumn(head.Column)});
    if (conjecture) {
      ++theory_.Conjectures;
      if (nodes_[root].Kind == Op::True) {
        w.Text = Contradiction(true);
      } else if (nodes_[root].Kind == Op::False) {
        w.Text = Contradiction(false);
      } else if (!Write(root, 1, w)) {
        return false;
      }
      conjectures_.push_back(std::move(w));
      conjectureParts_.push_back(WrittenParts(root, true, 1).value_or(std::vector<std::string>{}));
      return true;
    }
    ++theory_.Axioms;
    if (nodes_[root].Kind == Op::True) return true;  // says nothing
    if (nodes_[root].Kind == Op::False) {
      w.Text = Contradiction(false);
    } else if (!Write(root, 0, w)) {
      return false;
    }
    if (!Append(w, "", ";\n")) return false;
    AddAxiomParts(root, w.Text);
    return true;
  }

  // Adds the axiom, written as `text` from the tree `root`, to `AxiomsInParts` (its conjuncts one
  // per line where it is a conjunction, else as it stands) and to `AxiomsInDirections`.
  // Every text goes to `axiomTexts_` as well.
  void AddAxiomParts(int root, const std::string& text) {
    axiomTexts_.insert(text);
    for (int directions = 0; directions < 2; ++directions) {
      std::optional<std::string>& out = axiomsInParts_[directions];
      const auto parts = WrittenParts(root, directions == 1, 0);
      if (parts && directions == 1) axiomTexts_.insert(parts->begin(), parts->end());
      if (!out) continue;
      const bool parted = parts && parts->size() > 1;
      if (!parted) *out += text + ";\n";
      for (const std::string& part : parted ? *parts : std::vector<std::string>{})
        *out += part + ";\n";
      theory_.AxiomsParted |= parted;
      if (out->size() > kMaxTranslatedBytes) out.reset();
    }
  }

  // The parts of the formula `root` (see `Split`), each written at nesting `nest`; none where it
  // cannot be taken apart within the bounds (a truth constant, too many parts, a part too deep to
  // write): the whole was written, so it stands. Node numbers hold only while one formula is
  // read, so the parts are written at once.
  std::optional<std::vector<std::string>> WrittenParts(int root, bool directions, int nest) {
    std::vector<int> parts;
    const Op kind = nodes_[root].Kind;
    if (kind == Op::True || kind == Op::False || !Split(root, parts, directions))
      return std::nullopt;
    std::vector<std::string> texts;
    for (int part : parts) {
      Written w;
      if (!Write(part, nest, w)) {
        error_.reset();
        return std::nullopt;
      }
      texts.push_back(std::move(w.Text));
    }
    return texts;
  }

  // The universal closure of a cnf clause: its variables, in the order they first occur.
  int Closure(int body, const Token& at) {
    int id = NewNode(Op::ForAll, at);
    Node& n = nodes_[id];
    for (const std::string& v : free_) {
      if (!n.Text.empty()) n.Text += ", ";
      n.Text += v;
    }
    n.A = body;
    n.Height = nodes_[body].Height;
    n.Size = Add(nodes_[body].Size, n.Text.size() + 8);
    return id;
  }

  // "tp_false ∧ ¬tp_false" (false in every model), or its negation.
  std::string Contradiction(bool negated) {
    std::string atom = std::string(kReserved) + "false";
    std::string text = atom + " " + kAnd + " " + kNegation + atom;
    if (!negated) return text;
    return std::string(1, kNegation) + kFormulaOpen + text + kFormulaClose;
  }

  // include('file') or include('file', [name, ...]): the file's formulas, or those named.
  bool ParseInclude() {
    Token head = tok_;
    if (!Advance() || !Expect(Tok::LParen, "'(' after include")) return false;
    if (tok_.Kind != Tok::Quoted)
      return Fail(tok_, "expected the quoted file name, found " + Found(tok_));
    std::string name = Unquoted(tok_.Text);
    if (!Advance()) return false;
    std::optional<std::vector<std::string>> selection;
    if (tok_.Kind == Tok::Comma) {
      if (!Advance() || !Expect(Tok::LBracket, "'[' before the formula names")) return false;
      selection.emplace();
      while (tok_.Kind != Tok::RBracket) {
        if (tok_.Kind != Tok::Lower && tok_.Kind != Tok::Quoted && tok_.Kind != Tok::Integer)
          return Fail(tok_, "expected a formula name, found " + Found(tok_));
        selection->push_back(tok_.Kind == Tok::Quoted ? Unquoted(tok_.Text)
                                                      : std::string(tok_.Text));
        if (!Advance()) return false;
        if (tok_.Kind == Tok::Comma && !Advance()) return false;
      }
      if (!Advance()) return false;
    }
    if (!Expect(Tok::RParen, "')' closing include(") || tok_.Kind != Tok::Dot)
      return Fail(tok_, "expected '.' after include(...), found " + Found(tok_));
    if (includeDepth_ >= kMaxTptpIncludeDepth)
      return Fail(head, "includes nested more than " + std::to_string(kMaxTptpIncludeDepth) +
                            " levels deep: " + name);
    std::string reason = "no way to read included files here";
    std::optional<std::string> text;
    if (includes_) text = includes_(name, reason);
    if (!text) {
      Fail(head, "cannot include " + name + ": " + reason);
      error_->Unreadable = true;
      return false;
    }
    texts_.push_back(std::move(*text));

    // Read the file in place of the directive, then go on after it.
    TptpLexer outer = lexer_;
    auto outerSelection = std::move(selection_);
    std::string outerFile = file_;
    int outerLine = includeLine_, outerColumn = includeColumn_;
    if (includeDepth_ == 0) {
      includeLine_ = head.Line;
      includeColumn_ = head.Column;
    }
    lexer_ = TptpLexer(texts_.back());
    selection_ = std::move(selection);
    file_ = name;
    ++includeDepth_;
    if (Advance())
      while (tok_.Kind != Tok::End && ParseEntry()) {
      }
    --includeDepth_;
    if (error_) return false;
    lexer_ = outer;
    selection_ = std::move(outerSelection);
    file_ = std::move(outerFile);
    includeLine_ = outerLine;
    includeColumn_ = outerColumn;
    return Advance();  // past the directive's '.'
  }

  // Formulas read from an included file point at the include in the text given.
  int AnchorLine(int line) const { return includeDepth_ > 0 ? includeLine_ : line; }
  int AnchorColumn(int column) const { return includeDepth_ > 0 ? includeColumn_ : column; }

  // --- constants -------------------------------------------------------------------------------

  bool IsConstant(int id) const {
    return nodes_[id].Kind == Op::True || nodes_[id].Kind == Op::False;
  }
  int Constant(bool value, int like) {
    Token at;
    at.Line = nodes_[like].Line;
    at.Column = nodes_[like].Column;
    return NewNode(value ? Op::True : Op::False, at);
  }
  int Negation(int operand) {
    if (IsConstant(operand)) return Constant(nodes_[operand].Kind == Op::False, operand);
    Token at;
    at.Line = nodes_[operand].Line;
    at.Column = nodes_[operand].Column;
    int id = NewNode(Op::Not, at);
    nodes_[id].A = operand;
    nodes_[id].Height = nodes_[operand].Height;
    nodes_[id].Size = Add(nodes_[operand].Size, 8);
    return id;
  }

  // Evaluates $true and $false away: the result is a constant node or a tree without one. Every
  // step keeps the classical meaning (quantifiers range over a non-empty domain); it never makes
  // a tree taller or larger than the bounds already checked, but for a negation it may add. The
  // tree is walked iteratively deep-first through an explicit stack, so no input exhausts it.
  int Fold(int root) {
    bool any = std::any_of(nodes_.begin(), nodes_.end(),
                           [](const Node& n) { return n.Kind == Op::True || n.Kind == Op::False; });
    if (!any) return root;
    std::vector<int> folded(nodes_.size(), -1);
    std::vector<std::pair<int, bool>> stack{{root, false}};
    while (!stack.empty()) {
      auto [id, expanded] = stack.back();
      Node n = nodes_[id];
      if (!expanded) {
        stack.back().second = true;
        for (int k : n.List) stack.push_back({k, false});
        if (n.A >= 0) stack.push_back({n.A, false});
        if (n.B >= 0) stack.push_back({n.B, false});
        continue;
      }
      stack.pop_back();
      folded.resize(nodes_.size(), -1);
      folded[id] = FoldNode(id, folded);
    }
    return folded[root];
  }

  int FoldNode(int id, const std::vector<int>& folded) {
    Node n = nodes_[id];
    auto value = [&](int k) { return nodes_[k].Kind == Op::True; };
    switch (n.Kind) {
      case Op::Atom:
      case Op::True:
      case Op::False:
        return id;
      case Op::Not:
        return Negation(folded[n.A]);
      case Op::ForAll:
      case Op::Exists:
        if (IsConstant(folded[n.A])) return folded[n.A];
        nodes_[id].A = folded[n.A];
        return id;
      case Op::And:
      case Op::Or: {
        bool isAnd = n.Kind == Op::And;
        std::vector<int> kept;
        for (int k : n.List) {
          int f = folded[k];
          if (!IsConstant(f)) {
            kept.push_back(f);
          } else if (value(f) != isAnd) {
            return Constant(!isAnd, id);  // a false conjunct, a true disjunct
          }
        }
        if (kept.empty()) return Constant(isAnd, id);
        if (kept.size() == 1) return kept[0];
        nodes_[id].List = std::move(kept);
        return id;
      }
      case Op::Implies:
      case Op::Implied: {
        int a = folded[n.Kind == Op::Implies ? n.A : n.B];  // the antecedent
        int b = folded[n.Kind == Op::Implies ? n.B : n.A];
        if (IsConstant(a)) return value(a) ? b : Constant(true, id);
        if (IsConstant(b)) return value(b) ? Constant(true, id) : Negation(a);
        nodes_[id].A = folded[n.A];
        nodes_[id].B = folded[n.B];
        return id;
      }
      case Op::Iff:
      case Op::Xor: {
        int a = folded[n.A], b = folded[n.B];
        bool iff = n.Kind == Op::Iff;
        if (IsConstant(a)) std::swap(a, b);
        if (IsConstant(b)) {
          if (IsConstant(a)) return Constant((value(a) == value(b)) == iff, id);
          return value(b) == iff ? a : Negation(a);
        }
        nodes_[id].A = a;
        nodes_[id].B = b;
        return id;
      }
      case Op::Nand:
      case Op::Nor: {
        int a = folded[n.A], b = folded[n.B];
        bool nand = n.Kind == Op::Nand;
        // ~& is ¬(a ∧ b), ~| is ¬(a ∨ b).
        if (IsConstant(a)) std::swap(a, b);
        if (IsConstant(b)) {
          if (value(b) != nand) return Constant(nand, id);  // b false in ~&, true in ~|
          return IsConstant(a) ? Constant(!value(a), id) : Negation(a);
        }
        nodes_[id].A = a;
        nodes_[id].B = b;
        return id;
      }
    }
    return id;
  }

  // --- names -----------------------------------------------------------------------------------

  // The theory name of a TPTP lower word or quoted name (unquoted already).
  std::string NameOf(const std::string& word, std::string_view original) {
    if (IsLowerWord(word) && !word.starts_with(kReserved)) return word;
    std::string mapped = std::string(kReserved) + (IsLowerWord(word) ? "w" : "q") + Escaped(word);
    Remember(std::string(original), mapped);
    return mapped;
  }

  void Remember(std::string original, const std::string& mapped) {
    if (named_.insert(mapped).second) theory_.Names.emplace_back(std::move(original), mapped);
  }

  // --- equality --------------------------------------------------------------------------------

  // The equality axioms of the problem's signature (see equality_axioms.h).
  bool WriteEqualityAxioms() {
    theory_.EqualityBegin = theory_.Text.size();
    const std::vector<std::string> axioms = EqualityAxioms(signature_);
    const std::size_t ruleEnd = axioms.size() - DistinctAxiomCount(signature_);
    for (std::size_t k = 0; k < axioms.size(); ++k) {
      const std::string& a = axioms[k];
      if (k == 1) theory_.RuleAxiomsBegin = theory_.Text.size();
      if (k == ruleEnd) theory_.RuleAxiomsEnd = theory_.Text.size();
      Written w;
      w.Text = a;
      w.Line = w.Column = 1;
      w.Anchors.push_back({0, 1, 1});
      if (!Append(w, "", ";\n")) return false;
      ++theory_.EqualityAxioms;
    }
    theory_.EqualityEnd = theory_.Text.size();
    if (ruleEnd == axioms.size()) theory_.RuleAxiomsEnd = theory_.EqualityEnd;
    return true;
  }

  // Skips the source and useful-info annotations up to the ")" that closes fof(.
  bool SkipAnnotations() {
    int depth = 0;
    if (!Advance()) return false;
    for (;;) {
      if (tok_.Kind == Tok::End) return Fail(tok_, "fof( not closed before the end of the text");
      if (tok_.Kind == Tok::LParen || tok_.Kind == Tok::LBracket) ++depth;
      if (tok_.Kind == Tok::RParen || tok_.Kind == Tok::RBracket) {
        if (depth == 0) {
          if (tok_.Kind == Tok::RParen) return true;
          return Fail(tok_, "unexpected ']' in the annotations");
        }
        --depth;
      }
      if (!Advance()) return false;
    }
  }

  // Appends a written formula to the theory, between `before` and `after`.
  bool Append(const Written& w, std::string_view before, std::string_view after) {
    std::string& text = theory_.Text;
    if (text.size() + before.size() + w.Text.size() + after.size() > kMaxTranslatedBytes)
      return Fail(w.Line, w.Column,
                  "the translated theory would exceed " +
                      std::to_string(kMaxTranslatedBytes >> 20) + " MiB");
    std::size_t base = text.size() + before.size();
    for (const TTptpAnchor& a : w.Anchors)  // the first one also covers `before`
      theory_.Anchors.push_back(
          {&a == &w.Anchors.front() ? text.size() : base + a.Offset, a.Line, a.Column});
    text += before;
    text += w.Text;
    text += after;
    return true;
  }

  bool WriteQuery() {
    theory_.QueryBegin = theory_.Text.size();
    if (!WholeQuery()) return false;
    WriteQueryParts();
    return true;
  }

  bool WholeQuery() {
    if (conjectures_.empty()) {
      // The axioms alone are to be refuted: the negated query is a tautology they must not need.
      Written w;
      w.Text = Contradiction(false);
      w.Line = w.Column = 1;
      w.Anchors.push_back({0, 1, 1});
      return Append(w, "?- ", ";\n");
    }
    if (conjectures_.size() == 1) return Append(conjectures_[0], "?- ", ";\n");
    int height = 0;
    std::string conjunction = std::string(" ") + kAnd + " ";
    for (std::size_t i = 0; i < conjectures_.size(); ++i) {
      const Written& w = conjectures_[i];
      height = i == 0 ? w.Height : std::max(height, w.Height) + 1;
      if (height > kMaxTreeDepth)
        return Fail(w.Line, w.Column,
                    "the conjunction of the conjectures is deeper than the " +
                        std::to_string(kMaxTreeDepth) + " levels the prover reads");
      std::string before = i == 0 ? std::string("?- [") : conjunction + "[";
      if (!Append(w, before, i + 1 == conjectures_.size() ? "];\n" : "]")) return false;
    }
    return true;
  }

  // The parts of the conjecture, each a query line; none where it is one part, or where they
  // would be too many or too long (the whole query still stands).
  void WriteQueryParts() {
    std::vector<std::string> parts;
    std::vector<bool> isAxiom;
    std::size_t bytes = theory_.Text.size();
    for (const std::vector<std::string>& own : conjectureParts_) {
      if (own.empty()) return;
      for (const std::string& part : own) {
        if (parts.size() == kMaxQueryParts || (bytes += part.size() + 4) > kMaxTranslatedBytes)
          return;
        parts.push_back("?- " + part + ";\n");
        isAxiom.push_back(axiomTexts_.count(part) != 0);
      }
    }
    // One part is kept only where an axiom says it: the conjecture then needs no search.
    if (parts.empty() || (parts.size() == 1 && !isAxiom[0])) return;
    theory_.QueryParts = std::move(parts);
    theory_.PartIsAxiom = std::move(isAxiom);
  }

  // Appends the parts whose conjunction `id` is; false once they would exceed `kMaxQueryParts`.
  // New nodes only join existing ones, so the tree the parts are written from stays a tree of
  // the conjecture's own nodes.
  // With `directions` false only conjunctions are taken apart, under their universals.
  bool Split(int id, std::vector<int>& parts, bool directions = true) {
    const Node n = nodes_[id];
    if (!directions && n.Kind != Op::And && n.Kind != Op::ForAll) {
      parts.push_back(id);
      return parts.size() <= kMaxQueryParts;
    }
    switch (n.Kind) {
      case Op::And:
        for (int operand : n.List)
          if (!Split(operand, parts, directions)) return false;
        return true;
      case Op::Iff:
        return Split(Joined(Op::Implies, n, n.A, n.B), parts) &&
               Split(Joined(Op::Implies, n, n.B, n.A), parts);
      case Op::Not:
        // A double negation is what it negates, classically and with the logic's 1 - x alike.
        if (nodes_[n.A].Kind == Op::Not) return Split(nodes_[n.A].A, parts, directions);
        break;
      case Op::ForAll:
      case Op::Implies:
      case Op::Implied: {
        // The part that carries the conjunction: a universal's body, an implication's conclusion.
        const int inner = n.Kind == Op::ForAll ? n.A : n.Kind == Op::Implies ? n.B : n.A;
        std::vector<int> innerParts;
        if (!Split(inner, innerParts, directions)) return false;
        if (innerParts.size() == 1) break;
        for (int p : innerParts)
          parts.push_back(n.Kind == Op::ForAll    ? Quantified(n, p)
                          : n.Kind == Op::Implies ? Joined(Op::Implies, n, n.A, p)
                                                  : Joined(Op::Implies, n, n.B, p));
        return parts.size() <= kMaxQueryParts;
      }
      default:
        break;
    }
    parts.push_back(id);
    return parts.size() <= kMaxQueryParts;
  }

  // `a` → `b`, at the place of `like`.
  int Joined(Op kind, const Node& like, int a, int b) {
    Node n;
    n.Kind = kind;
    n.Line = like.Line;
    n.Column = like.Column;
    n.A = a;
    n.B = b;
    n.Height = std::max(nodes_[a].Height, nodes_[b].Height) + 1;
    n.Size = Add(Add(nodes_[a].Size, nodes_[b].Size), 32);
    nodes_.push_back(std::move(n));
    return static_cast<int>(nodes_.size()) - 1;
  }

  // The quantifier `like` over `body`.
  int Quantified(const Node& like, int body) {
    Node n = like;
    n.A = body;
    n.Height = nodes_[body].Height;
    n.Size = Add(nodes_[body].Size, n.Text.size() + 8);
    nodes_.push_back(std::move(n));
    return static_cast<int>(nodes_.size()) - 1;
  }

  // --- formulas --------------------------------------------------------------------------------

  int NewNode(Op kind, const Token& at) {
    Node n;
    n.Kind = kind;
    n.Line = at.Line;
    n.Column = at.Column;
    nodes_.push_back(std::move(n));
    return static_cast<int>(nodes_.size()) - 1;
  }

  // Checks the bounds of a finished node; -1 when it breaks one.
  int Checked(int id) {
    const Node& n = nodes_[id];
    if (n.Height > kMaxTreeDepth)
      return FailNode(n.Line, n.Column,
                      "connectives nested more than " + std::to_string(kMaxTreeDepth) +
                          " levels deep once translated (the prover's limit)");
    if (n.Size > kMaxTranslatedBytes)
      return FailNode(n.Line, n.Column,
                      "the equivalences here expand to more than " +
                          std::to_string(kMaxTranslatedBytes >> 20) + " MiB of theory text");
    return id;
  }

  // logic formula: a unit formula, a chain of & or of |, or two unit formulas joined by one of
  // the connectives that do not chain.
  int ParseLogic() {
    int left = ParseUnit();
    if (left < 0) return -1;
    Token op = tok_;
    if (op.Kind == Tok::And || op.Kind == Tok::Or) {
      std::vector<int> list{left};
      while (tok_.Kind == op.Kind) {
        if (!Advance()) return -1;
        int next = ParseUnit();
        if (next < 0) return -1;
        list.push_back(next);
      }
      if (IsBinaryToken(tok_.Kind))
        return FailNode(tok_, "TPTP needs parentheses to join " + Found(tok_) + " to a chain of " +
                                  Found(op) + ": binary connectives have no precedence");
      int id = NewNode(op.Kind == Tok::And ? Op::And : Op::Or, op);
      Node& n = nodes_[id];
      for (std::size_t i = 0; i < list.size(); ++i) {
        const Node& k = nodes_[list[i]];
        n.Height = i == 0 ? k.Height : std::max(n.Height, k.Height) + 1;
        n.Size = Add(n.Size, Add(k.Size, 7));
      }
      n.List = std::move(list);
      return Checked(id);
    }
    static constexpr std::pair<Tok, Op> kPairs[] = {
        {Tok::Implies, Op::Implies}, {Tok::Implied, Op::Implied}, {Tok::Iff, Op::Iff},
        {Tok::Xor, Op::Xor},         {Tok::Nand, Op::Nand},       {Tok::Nor, Op::Nor}};
    for (auto [tok, kind] : kPairs) {
      if (op.Kind != tok) continue;
      if (!Advance()) return -1;
      int right = ParseUnit();
      if (right < 0) return -1;
      if (IsBinaryToken(tok_.Kind))
        return FailNode(
            tok_, "TPTP needs parentheses: " + Found(op) + " does not chain with " + Found(tok_));
      int id = NewNode(kind, op);
      Node& n = nodes_[id];
      n.A = left;
      n.B = right;
      const Node& a = nodes_[left];
      const Node& b = nodes_[right];
      bool both = kind == Op::Iff || kind == Op::Xor;  // each operand is written twice
      n.Height = std::max(a.Height, b.Height) + (both ? 2 : 1);
      std::uint64_t sum = Add(a.Size, b.Size);
      n.Size = Add(both ? Add(sum, sum) : sum, 32);
      return Checked(id);
    }
    return left;
  }

  int ParseUnit() {
    Level level(*this);
    if (error_) return -1;
    Token at = tok_;
    switch (at.Kind) {
      case Tok::Not: {
        if (!Advance()) return -1;
        int operand = ParseUnit();
        if (operand < 0) return -1;
        int id = NewNode(Op::Not, at);
        nodes_[id].A = operand;
        nodes_[id].Height = nodes_[operand].Height;
        nodes_[id].Size = Add(nodes_[operand].Size, 8);
        return id;
      }
      case Tok::ForAll:
      case Tok::Exists:
        return ParseQuantified();
      case Tok::LParen: {
        if (!Advance()) return -1;
        int inner = ParseLogic();
        if (inner < 0 || !Expect(Tok::RParen, "')'")) return -1;
        return inner;
      }
      default:
        return ParseAtomic();
    }
  }

  int ParseQuantified() {
    Token at = tok_;
    if (!Advance() || !Expect(Tok::LBracket, "'[' after the quantifier")) return -1;
    std::vector<std::string_view> names;
    for (;;) {
      if (tok_.Kind != Tok::Upper)
        return FailNode(tok_, "expected a variable, found " + Found(tok_));
      names.push_back(tok_.Text);
      if (!Advance()) return -1;
      if (tok_.Kind == Tok::Colon)
        return FailNode(tok_, "typed variables are not supported: only fof is read");
      if (tok_.Kind != Tok::Comma) break;
      if (!Advance()) return -1;
    }
    if (!Expect(Tok::RBracket, "',' or ']' in the variable list") ||
        !Expect(Tok::Colon, "':' after the variable list"))
      return -1;
    for (std::string_view v : names) ++bound_[v];
    int body = ParseUnit();
    for (std::string_view v : names)
      if (--bound_[v] == 0) bound_.erase(v);
    if (body < 0) return -1;
    int id = NewNode(at.Kind == Tok::ForAll ? Op::ForAll : Op::Exists, at);
    Node& n = nodes_[id];
    for (std::string_view v : names) {
      if (!n.Text.empty()) n.Text += ", ";
      n.Text += v;
    }
    n.A = body;
    n.Height = nodes_[body].Height;
    n.Size = Add(nodes_[body].Size, n.Text.size() + 8);
    return id;
  }

  int ParseAtomic() {
    Token at = tok_;
    if (at.Kind == Tok::Dollar && (at.Text == "$true" || at.Text == "$false")) {
      if (!Advance()) return -1;
      int id = NewNode(at.Text == "$true" ? Op::True : Op::False, at);
      nodes_[id].Size = 16;
      return id;
    }
    Term left;
    if (!ParseTerm(left, true)) return -1;
    if (tok_.Kind == Tok::Equal || tok_.Kind == Tok::NotEqual) {
      Token op = tok_;
      Term right;
      theory_.Equality = true;
      if (left.Predicate) signature_.NoteFunction(left.Symbol, left.Arity);
      if (!Advance() || !ParseTerm(right, false)) return -1;
      int atom = NewNode(Op::Atom, at);
      Node& n = nodes_[atom];
      n.Text = left.Text + kEqual + right.Text;
      n.TermNesting = std::max(left.Nesting, right.Nesting);
      n.Size = n.Text.size();
      if (std::max(left.Depth, right.Depth) + 1 > kMaxTreeDepth)
        return FailNode(at,
                        "terms nested more than " + std::to_string(kMaxTreeDepth) + " levels deep");
      if (op.Kind == Tok::Equal) return atom;
      int id = NewNode(Op::Not, op);
      nodes_[id].A = atom;
      nodes_[id].Size = nodes_[atom].Size + 2;  // `n` may have moved with the new node
      return id;
    }
    if (!left.Predicate)
      return FailNode(at,
                      Found(at) + " cannot stand as a formula: an atom starts with a predicate");
    signature_.NotePredicate(left.Symbol, left.Arity);
    int id = NewNode(Op::Atom, at);
    nodes_[id].Text = std::move(left.Text);
    nodes_[id].TermNesting = left.Nesting;
    nodes_[id].Size = nodes_[id].Text.size();
    return id;
  }

  // A term; `atom` when it stands where a formula may start (so the message can say so).
  bool ParseTerm(Term& term, bool atom) {
    Level level(*this);
    if (error_) return false;
    Token at = tok_;
    switch (at.Kind) {
      case Tok::Lower:
      case Tok::Quoted: {
        bool quoted = at.Kind == Tok::Quoted;
        term.Text = NameOf(quoted ? Unquoted(at.Text) : std::string(at.Text), at.Text);
        term.Symbol = term.Text;
        term.Predicate = true;
        if (!Advance()) return false;
        if (tok_.Kind != Tok::LParen) {
          if (!atom) signature_.NoteFunction(term.Symbol, 0);
          return true;
        }
        if (!Advance()) return false;
        term.Text += kTermOpen;
        int nesting = 0, depth = 0;
        for (;;) {
          Term arg;
          if (!ParseTerm(arg, false)) return false;
          term.Text += arg.Text;
          ++term.Arity;
          nesting = std::max(nesting, arg.Nesting);
          depth = std::max(depth, arg.Depth);
          if (tok_.Kind != Tok::Comma) break;
          term.Text += ", ";
          if (!Advance()) return false;
        }
        if (!Expect(Tok::RParen, "',' or ')' in the arguments")) return false;
        if (!atom) signature_.NoteFunction(term.Symbol, term.Arity);
        term.Text += kTermClose;
        term.Nesting = nesting + 1;
        term.Depth = depth + 1;
        if (term.Depth > kMaxTreeDepth)
          return Fail(at,
                      "terms nested more than " + std::to_string(kMaxTreeDepth) + " levels deep");
        return true;
      }
      case Tok::Upper:
        if (!bound_.contains(at.Text)) {
          if (!cnf_)
            return Fail(at, "variable " + std::string(at.Text) +
                                " is not bound by a quantifier (TPTP formulas are closed)");
          std::string v(at.Text);
          if (std::find(free_.begin(), free_.end(), v) == free_.end()) free_.push_back(v);
        }
        term.Text = at.Text;
        return Advance();
      case Tok::Integer: {
        std::string_view digits = at.Text;
        bool negative = digits.front() == '-';
        if (digits.front() == '+' || negative) digits.remove_prefix(1);
        digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size() - 1));
        if (digits.size() > 10 || (digits.size() == 10 && digits > "2147483647"))
          return Fail(at, "integer " + std::string(at.Text) +
                              " is beyond the prover's range (32-bit signed)");
        term.Text = (negative ? "-" : "") + std::string(digits);
        term.Nesting = negative ? 1 : 0;  // the parser reads a sign as one level
        return Advance();
      }
      case Tok::Rational:
      case Tok::Real:
        return Fail(at, "number " + std::string(at.Text) +
                            " is not supported: the prover compares numbers by value, so only "
                            "integers keep TPTP's meaning");
      case Tok::Distinct: {
        term.Text = std::string(kReserved) + "d" + Escaped(Unquoted(at.Text));
        Remember(std::string(at.Text), term.Text);
        auto& distinct = signature_.Distinct;
        if (std::find(distinct.begin(), distinct.end(), term.Text) == distinct.end())
          distinct.push_back(term.Text);
        return Advance();
      }
      case Tok::Dollar:
        if (at.Text == "$true" || at.Text == "$false")
          return Fail(at, std::string(at.Text) + " stands only where a formula does, not a term");
        return Fail(at, "defined word " + std::string(at.Text) + " is not supported");
      case Tok::DollarDollar:
        return Fail(at, "system word " + std::string(at.Text) + " is not supported");
      default:
        return Fail(at, std::string(atom ? "expected a formula" : "expected a term") + ", found " +
                            Found(at));
    }
  }

  // --- writing ---------------------------------------------------------------------------------

  // Writes node `id` at `nest` levels of the prover parser's nesting.
  bool Write(int id, int nest, Written& w) {
    const Node& n = nodes_[id];
    w.Anchors.push_back({w.Text.size(), n.Line, n.Column});
    if (nest > kMaxNesting || (n.Kind == Op::Atom && nest + n.TermNesting > kMaxNesting))
      return Fail(n.Line, n.Column,
                  "nested more than " + std::to_string(kMaxNesting) +
                      " levels deep once translated (the prover's limit)");
    std::string& out = w.Text;
    auto join = [&](char connective, int a, int b, int level) {
      if (!Operand(a, level, w)) return false;
      out += ' ';
      out += connective;
      out += ' ';
      return Operand(b, level, w);
    };
    switch (n.Kind) {
      case Op::Atom:
        out += n.Text;
        return true;
      case Op::True:
      case Op::False:  // folded away before any formula is written
        return Fail(n.Line, n.Column, "a truth constant was left unfolded");
      case Op::Not:
        out += kNegation;
        return Unary(n.A, nest + 1, w);
      case Op::ForAll:
      case Op::Exists:
        out += n.Kind == Op::ForAll ? kForAll : kExists;
        out += n.Text;
        out += ' ';
        return Unary(n.A, nest + 1, w);
      case Op::And:
      case Op::Or:
        for (std::size_t i = 0; i < n.List.size(); ++i) {
          if (i > 0) {
            out += ' ';
            out += n.Kind == Op::And ? kAnd : kOr;
            out += ' ';
          }
          if (!Operand(n.List[i], nest, w)) return false;
        }
        return true;
      case Op::Implies:
        return join(kImplies, n.A, n.B, nest);
      case Op::Implied:
        return join(kImplies, n.B, n.A, nest);
      case Op::Iff:
      case Op::Xor: {
        int level = nest + (n.Kind == Op::Xor ? 3 : 1);
        if (n.Kind == Op::Xor) out += {kNegation, kFormulaOpen};
        out += kFormulaOpen;
        if (!join(kImplies, n.A, n.B, level)) return false;
        out += kFormulaClose;
        out += ' ';
        out += kAnd;
        out += ' ';
        out += kFormulaOpen;
        if (!join(kImplies, n.B, n.A, level)) return false;
        out += kFormulaClose;
        if (n.Kind == Op::Xor) out += kFormulaClose;
        return true;
      }
      case Op::Nand:
      case Op::Nor:
        out += {kNegation, kFormulaOpen};
        if (!join(n.Kind == Op::Nand ? kAnd : kOr, n.A, n.B, nest + 2)) return false;
        out += kFormulaClose;
        return true;
    }
    return true;
  }

  static bool IsTwoPlace(Op k) {
    return k == Op::And || k == Op::Or || k == Op::Implies || k == Op::Implied || k == Op::Iff;
  }

  // After ¬ or a quantifier, which take exactly one unary formula.
  bool Unary(int id, int nest, Written& w) {
    if (!IsTwoPlace(nodes_[id].Kind)) return Write(id, nest, w);
    return Bracketed(id, nest, w);
  }

  // An operand of a connective: compound and quantified operands in brackets, so that the text
  // reads as TPTP's did.
  bool Operand(int id, int nest, Written& w) {
    Op k = nodes_[id].Kind;
    if (IsTwoPlace(k) || k == Op::ForAll || k == Op::Exists) return Bracketed(id, nest, w);
    return Write(id, nest, w);
  }

  bool Bracketed(int id, int nest, Written& w) {
    w.Text += kFormulaOpen;
    if (!Write(id, nest + 1, w)) return false;
    w.Text += kFormulaClose;
    return true;
  }

  TptpLexer lexer_;
  const TTptpIncludeResolver& includes_;
  std::deque<std::string> texts_;  // included files, alive while their tokens are read
  std::optional<std::vector<std::string>> selection_;  // the formulas an include takes
  std::string file_;                                   // the included file being read
  int includeDepth_ = 0;
  int includeLine_ = 0, includeColumn_ = 0;  // the outermost include being read
  bool cnf_ = false;
  std::vector<std::string> free_;  // a cnf clause's variables, in order of occurrence
  TSignature signature_;
  std::unordered_set<std::string> named_;
  Token tok_;
  std::optional<TTptpError> error_;
  std::vector<Node> nodes_;
  int nesting_ = 0;
  std::unordered_map<std::string_view, int> bound_;  // variables in scope, with their count
  std::vector<Written> conjectures_;
  // `AxiomsInParts` and `AxiomsInDirections` while they are written; none once too long.
  std::optional<std::string> axiomsInParts_[2] = {std::string(), std::string()};
  // Each conjecture's parts (`WrittenParts`), none where it stays whole.
  std::vector<std::vector<std::string>> conjectureParts_;
  // The axioms as written, and their parts in directions, to tell a part of the conjecture that
  // repeats one.
  std::unordered_set<std::string> axiomTexts_;
  TTptpTheory theory_;
};

}  // namespace

std::variant<TTptpTheory, TTptpError> ReadTptp(std::string_view source,
                                               const TTptpIncludeResolver& includes) {
  return Reader(source, includes).Run();
}

}  // namespace velmoran
