#include "logic/tptp_print.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "logic/alphabet.h"
#include "logic/number_format.h"

namespace velmoran {

namespace {

bool IsTptpVariableName(const std::string& name) {
  if (name.empty() || !IsUpper(name.front())) return false;
  for (char c : name)
    if (!IsIdentChar(c)) return false;
  return true;
}

// The plain name a relation or operator is printed with, before it is made unique.
const char* BaseName(const std::string& name, std::size_t arity) {
  switch (name.front()) {
    case kLess:
      return "less";
    case kGreater:
      return "greater";
    case kLessEqual:
      return "less_or_equal";
    case kGreaterEqual:
      return "greater_or_equal";
    case kNotEqual:
      return "not_equal";
    case kPlus:
      return arity == 1 ? "positive" : "plus";
    case kMinus:
      return arity == 1 ? "negative" : "minus";
    case kTimes:
      return "times";
    default:
      return "divide";
  }
}

// The relation or operator as the header names it, in ASCII as the rest of a TPTP file.
std::string Shown(const std::string& name) {
  switch (name.front()) {
    case kLessEqual:
      return "less-or-equal";
    case kGreaterEqual:
      return "greater-or-equal";
    case kNotEqual:
      return "not-equal";
    default:
      return name.substr(0, 1);
  }
}

bool IsSymbol(const std::string& name) {
  return !name.empty() && (IsRelationChar(name.front()) || IsArithmeticChar(name.front()));
}

}  // namespace

class TptpWriter {
 public:
  explicit TptpWriter(const std::vector<const TFALFormula*>& records) {
    for (const TFALFormula* r : records)
      if (r->Root) CollectNames(r->Root);
  }

  std::string Formula(const TSub& root, const std::set<std::int32_t>* constants = nullptr) {
    constants_ = constants;
    variables_.clear();
    witnessTerms_.clear();
    scope_.clear();
    escaped_.clear();
    std::multiset<std::string> scope;
    NameVariables(root, scope);
    if (!constants_) return Node(root);
    std::unordered_set<const TVariable*> inScope;
    FindEscaped(root, inScope);
    NameEscaped();
    scope_.assign(escaped_.begin(), escaped_.end());  // declared outside everything else
    std::string body = Node(root);
    return escaped_.empty() ? body : HoistedPrefix() + "(" + body + ")";
  }

  bool UsesEquality() const { return usesEquality_; }
  // "< as less, ..." for every relation and operator printed under a name.
  std::string MappedList() const {
    std::string list;
    for (const auto& [key, name] : mapped_) {
      if (!list.empty()) list += ", ";
      list += Shown(key.first) + (key.second == 1 ? " (one operand)" : "") + " as " + name;
    }
    return list;
  }

 private:
  void CollectNames(const TSub* n) {
    if (n->IsAtom()) {
      if (auto* atom = static_cast<const TAtom*>(n); atom->Term) CollectNames(atom->Term);
      return;
    }
    if (n->Left) CollectNames(n->Left);
    if (n->Right) CollectNames(n->Right);
  }
  void CollectNames(const TId* t) {
    if (const TVariable* v = AsVariable(t)) {
      if (v->Binding) CollectNames(v->Binding);
      return;
    }
    if (!t->IsFunc()) return;
    const auto* f = static_cast<const TFunc*>(t);
    if (!IsSymbol(f->Name)) used_.insert(f->Name);
    if (const TFunctor* g = AsFunctor(t))
      for (const TId* a : g->Args)
        if (a) CollectNames(a);
  }

  // Gives every variable of the prefixes below `n` a TPTP name: its own where TPTP can take it
  // and no variable in scope has it already, else a fresh one that none in scope has. So nothing
  // is captured, and variables of separate scopes may share a name as they did.
  void NameVariables(const TSub& n, std::multiset<std::string>& scope) {
    std::vector<std::multiset<std::string>::iterator> added;
    if (n.Prefix)
      for (const TVariable* v : n.Prefix->Items) {
        if (!v || v->Binding || IsConstant(v)) continue;
        std::string base = v->Name;
        if (!IsTptpVariableName(base)) {
          std::string kept;
          for (char c : base)
            if (IsIdentChar(c)) kept += c;
          base = "V" + kept;
        }
        std::string name = base;
        for (int k = 1; scope.contains(name); ++k) name = base + "_" + std::to_string(k);
        variables_[v] = name;
        added.push_back(scope.insert(name));
      }
    if (!n.IsAtom()) {
      if (n.Left) NameVariables(*n.Left, scope);
      if (n.Right) NameVariables(*n.Right, scope);
    }
    for (auto it : added) scope.erase(it);
  }

  // A derived record may use a variable outside the subtree whose prefix declares it (or one that
  // no prefix of it declares), which TPTP would read as free. Such a variable is declared at the
  // root instead, as the quantifier it acts as there; the others keep their places. The checker
  // proves each record from its parents as printed, so this reading is checked like any other.
  void FindEscaped(const TSub& n, std::unordered_set<const TVariable*>& inScope) {
    std::vector<const TVariable*> added;
    if (n.Prefix)
      for (const TVariable* v : n.Prefix->Items)
        if (v && !v->Binding && inScope.insert(v).second) added.push_back(v);
    if (n.IsAtom()) {
      if (const TId* t = static_cast<const TAtom&>(n).Term) FindEscapedIn(t, inScope);
    } else {
      if (n.Left) FindEscaped(*n.Left, inScope);
      if (n.Right) FindEscaped(*n.Right, inScope);
    }
    for (const TVariable* v : added) inScope.erase(v);
  }
  void FindEscapedIn(const TId* t, const std::unordered_set<const TVariable*>& inScope) {
    if (const TVariable* v = AsVariable(t)) {
      if (v->Binding) return FindEscapedIn(v->Binding, inScope);
      if (!inScope.contains(v) && !IsConstant(v) && !IsEscaped(v)) escaped_.push_back(v);
      return;
    }
    if (const TFunctor* g = AsFunctor(t))
      for (const TId* a : g->Args)
        if (a) FindEscapedIn(a, inScope);
  }
  bool IsEscaped(const TVariable* v) const {
    return std::find(escaped_.begin(), escaped_.end(), v) != escaped_.end();
  }
  // An escaped variable keeps its name unless another variable of the formula has it.
  void NameEscaped() {
    std::multiset<std::string> names;
    for (const auto& [v, name] : variables_) names.insert(name);
    for (const TVariable* v : escaped_) {
      auto it = variables_.find(v);
      std::string base = it != variables_.end() ? it->second : "V" + std::to_string(v->Serial);
      std::size_t own = it != variables_.end() ? 1 : 0;
      std::string name = base;
      for (int k = 1; names.count(name) > (name == base ? own : 0); ++k)
        name = base + "_" + std::to_string(k);
      variables_[v] = name;
      names.insert(name);
    }
  }
  // The universals outside the existentials: the weaker claim of the two orders.
  std::string HoistedPrefix() {
    std::string prefix;
    for (bool universal : {true, false}) {
      std::string names;
      for (const TVariable* v : escaped_) {
        bool acts = v->Scope ? IsEffectivelyUniversal(*v) : v->Quantifier != kExists;
        if (acts != universal) continue;
        if (!names.empty()) names += ", ";
        names += variables_[v];
      }
      if (!names.empty()) prefix += (universal ? "! [" : "? [") + names + "] : ";
    }
    return prefix;
  }

  const std::string& MappedName(const std::string& symbol, std::size_t arity) {
    auto key = std::make_pair(symbol.substr(0, 1), arity);
    auto it = mapped_.find(key);
    if (it != mapped_.end()) return it->second;
    std::string base = BaseName(symbol, arity);
    std::string name = base;
    for (int k = 1; used_.contains(name); ++k) name = base + "_" + std::to_string(k);
    used_.insert(name);
    return mapped_.emplace(key, name).first->second;
  }

  // A witness that names one element for the whole proof, printed as a constant of its own; or
  // one that depends on the universals outside it, printed as a function of their values.
  bool IsConstant(const TVariable* v) const {
    return (constants_ && v->Witness && v->SkolemSerials.empty() &&
            constants_->contains(v->Serial)) ||
           witnessTerms_.contains(v);
  }
  // A dependent witness acting existentially, where the universals it depends on are in scope or
  // their values were kept on it: its term, the same wherever the prover takes it for the same
  // element (one serial number, the same values).
  void NoteWitnessTerm(const TVariable& v) {
    if (!constants_ || v.SkolemSerials.empty() || !constants_->contains(v.Serial)) return;
    if (!v.Scope || (v.Scope->Polarity != 1 && v.Scope->Polarity != -1) ||
        IsEffectivelyUniversal(v))
      return;
    const auto& serials = v.SkolemSerials;
    std::string args;
    for (std::size_t i = 0; i < serials.size(); ++i) {
      const TVariable* outer = nullptr;
      for (auto it = scope_.rbegin(); it != scope_.rend() && !outer; ++it)
        if ((*it)->Serial == serials[i]) outer = *it;
      if (i > 0) args += ", ";
      // A copy made while its universals held fixed values is that element wherever it stands
      // (the prover compares the values kept on it); an unbound copy of such a universal outside
      // it is another one, moved there by a later step.
      if (outer && !v.WitnessKey.empty() && !outer->Binding) outer = nullptr;
      if (outer)
        Term(outer, args);
      else if (v.WitnessValues.size() == serials.size() && v.WitnessValues[i])
        Term(v.WitnessValues[i], args);
      else
        return;
    }
    witnessTerms_[&v] = ConstantPrefix() + std::to_string(v.Serial) + "(" + args + ")";
  }
  const std::string& ConstantPrefix() {
    if (constantPrefix_.empty()) {
      constantPrefix_ = "sk";
      auto clashes = [this] {
        for (const std::string& name : used_)
          if (name.starts_with(constantPrefix_) && name.size() > constantPrefix_.size() &&
              IsDigit(name[constantPrefix_.size()]))
            return true;
        return false;
      };
      while (clashes()) constantPrefix_ += "_";
    }
    return constantPrefix_;
  }

  void Term(const TId* t, std::string& out) {
    if (const TVariable* v = AsVariable(t)) {
      if (v->Binding) return Term(v->Binding, out);
      if (auto it = witnessTerms_.find(v); it != witnessTerms_.end()) {
        out += it->second;
        return;
      }
      if (IsConstant(v)) {
        out += ConstantPrefix() + std::to_string(v->Serial);
        return;
      }
      auto it = variables_.find(v);
      out += it != variables_.end() ? it->second : "V" + std::to_string(v->Serial);
      return;
    }
    if (t->IsNumber() || t->Class() == TermClass::Var) {
      t->Print(out);
      return;
    }
    const auto* f = static_cast<const TFunc*>(t);
    const TFunctor* g = AsFunctor(t);
    std::size_t arity = g ? g->Args.size() : 0;
    // A witness kept in a dependent witness's values (`TVariable::WitnessValues`).
    if (!g && f->Name.size() > 1 && f->Name[0] == '#') {
      out += ConstantPrefix() + f->Name.substr(1);
      return;
    }
    if (f->Name == std::string(1, kEqual) && arity == 2) {
      Term(g->Args[0], out);
      out += " = ";
      Term(g->Args[1], out);
      return;
    }
    out += IsSymbol(f->Name) ? MappedName(f->Name, arity) : f->Name;
    if (!g) return;
    out += '(';
    for (std::size_t i = 0; i < arity; ++i) {
      if (i > 0) out += ", ";
      Term(g->Args[i], out);
    }
    out += ')';
  }

  static bool IsEquality(const TSub& n) {
    if (!n.IsAtom()) return false;
    const TFunctor* f = AsFunctor(static_cast<const TAtom&>(n).Term);
    return f && f->Name == std::string(1, kEqual) && f->Args.size() == 2;
  }

  // The node as a TPTP formula: its prefix, then its (negated) core.
  std::string Node(const TSub& n) {
    if (n.Constant != 0) return n.Constant > 0 ? "$true" : "$false";
    const std::size_t outside = scope_.size();
    if (n.Prefix)
      for (const TVariable* v : n.Prefix->Items)
        if (v && !v->Binding && !IsEscaped(v)) {
          NoteWitnessTerm(*v);
          scope_.push_back(v);
        }
    std::string core = Core(n);
    scope_.resize(outside);
    return n.Prefix ? Prefixed(n, core) : core;
  }

  // The node's (negated) core, without its prefix.
  std::string Core(const TSub& n) {
    std::string core;
    if (n.IsAtom()) {
      const auto& atom = static_cast<const TAtom&>(n);
      if (IsEquality(n)) usesEquality_ = true;
      std::string text;
      if (atom.Term) Term(atom.Term, text);
      if (n.Negated && IsEquality(n))
        core = text.replace(text.find(" = "), 3, " != ");  // TPTP's own spelling of the negation
      else
        core = n.Negated ? "~ " + text : text;
    } else {
      const char* op = n.Kind() == 4 ? " & " : n.Kind() == 3 ? " | " : " => ";
      core = Operand(*n.Left, n) + op + Operand(*n.Right, n);
      if (n.Negated || n.Prefix) core = (n.Negated ? "~ (" : "(") + core + ")";
    }
    return core;
  }

  std::string Prefixed(const TSub& n, const std::string& core) {
    std::string prefix;
    char open = 0;
    for (const TVariable* v : n.Prefix->Items) {
      if (!v || v->Binding || IsConstant(v) || IsEscaped(v)) continue;
      if (open != v->Quantifier) {
        if (open) prefix += "] : ";
        prefix += v->Quantifier == kExists ? "? [" : "! [";
        open = v->Quantifier;
      } else {
        prefix += ", ";
      }
      prefix += variables_[v];
    }
    if (open) prefix += "] : ";
    return prefix + core;
  }

  // An operand of a connective: bare when TPTP reads it as one unit or as the left part of the
  // same chain of & or |, else in parentheses.
  std::string Operand(const TSub& child, const TSub& parent) {
    std::string text = Node(child);
    bool bare = child.Constant != 0 || (!child.Prefix && (child.IsAtom() || child.Negated));
    bool chain = !child.Prefix && !child.Negated && &child == parent.Left &&
                 child.Kind() == parent.Kind() && parent.Kind() != 2;
    return bare || chain ? text : "(" + text + ")";
  }

  std::set<std::string> used_;  // functor and predicate names of the theory, and names given
  std::map<std::pair<std::string, std::size_t>, std::string> mapped_;
  std::unordered_map<const TVariable*, std::string> variables_;
  const std::set<std::int32_t>* constants_ = nullptr;
  std::unordered_map<const TVariable*, std::string> witnessTerms_;  // see `NoteWitnessTerm`
  std::vector<const TVariable*> scope_;
  std::vector<const TVariable*>
      escaped_;  // see `FindEscaped`  // the variables declared around the node printed
  std::string constantPrefix_;
  bool usesEquality_ = false;
};

TptpFormulaPrinter::TptpFormulaPrinter(const std::vector<const TFALFormula*>& records)
    : writer_(std::make_unique<TptpWriter>(records)) {}
TptpFormulaPrinter::~TptpFormulaPrinter() = default;
std::string TptpFormulaPrinter::Formula(const TSub& root, const std::set<std::int32_t>& witnesses) {
  return writer_->Formula(root, &witnesses);
}
bool TptpFormulaPrinter::UsesEquality() const {
  return writer_->UsesEquality();
}
std::string TptpFormulaPrinter::MappedList() const {
  return writer_->MappedList();
}

std::string TptpProblem(const std::vector<const TFALFormula*>& records, std::string_view title) {
  TptpWriter writer(records);
  std::size_t last = records.size();
  for (std::size_t i = 0; i < records.size(); ++i)
    if (records[i]->IsQuery()) last = i;
  int queries = 0;
  for (const TFALFormula* r : records) queries += r->IsQuery() ? 1 : 0;

  std::string body;
  int axiom = 0, query = 0;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const TFALFormula& r = *records[i];
    if (!r.Root) continue;
    std::string name =
        r.IsQuery() ? "query" + std::to_string(++query) : "f" + std::to_string(axiom++);
    std::string line = "fof(" + name + ", " + (r.IsQuery() ? "conjecture" : "axiom") + ", " +
                       writer.Formula(*r.Root) + ").\n";
    bool used = r.IsQuery() ? i == last : i < last || last == records.size();
    if (r.Degree != 1) body += "% " + name + " has degree " + FormatReal(r.Degree) + "\n";
    if (!used) {
      body += r.IsQuery() ? "% An earlier query, proved against the axioms above it:\n"
                          : "% After the last query, so in no proof of it:\n";
      line.insert(0, "% ");
    }
    body += line;
  }

  std::string head = "% " + std::string(title) + " as a TPTP FOF problem (velmoran --to-tptp).\n";
  head += "% Degrees are dropped: TPTP formulas have none.\n";
  if (queries > 1)
    head += "% The theory has " + std::to_string(queries) +
            " queries; this problem is the last one's, the others are comments.\n";
  if (queries == 0) head += "% The theory has no query, so the problem has no conjecture.\n";
  if (writer.UsesEquality())
    head += "% \"=\" is TPTP's equality here; the prover itself gives it no equality axioms.\n";
  if (std::string list = writer.MappedList(); !list.empty())
    head += "% Relations and operators without a TPTP spelling, as plain symbols: " + list + ".\n";
  return head + body;
}

}  // namespace velmoran
