#include "logic/print.h"

#include <algorithm>
#include <vector>

#include "logic/alphabet.h"
#include "logic/logic_state.h"

namespace velmoran {

namespace {

bool QuantificationShown() {
  return Logic.QuantifierSwitch ? *Logic.QuantifierSwitch != 0 : true;
}

void AppendConstant(std::string& out, int constant) {
  out += ' ';
  out += constant == 1 ? kTrue : kFalse;
}

void AppendOrderFree(const TSub& n, std::string& out);

// A run goes on through operands of its own connective that carry no negation, prefix or
// constant: only there is regrouping the same formula.
void AppendRunOperands(const TSub& n, int kind, std::vector<std::string>& out) {
  if (n.Kind() == kind && n.Constant == 0 && !n.Negated && (!n.Prefix || n.Prefix->Empty())) {
    AppendRunOperands(*n.Left, kind, out);
    AppendRunOperands(*n.Right, kind, out);
    return;
  }
  out.emplace_back();
  AppendOrderFree(n, out.back());
}

void AppendOrderFree(const TSub& n, std::string& out) {
  if (n.Constant != 0 || n.IsAtom() || !n.Left || !n.Right) {
    n.Print(out);
    return;
  }
  if (n.Prefix) PrintPrefix(*n.Prefix, out);
  if (n.Negated) out += kNegation;
  out += kFormulaOpen;
  std::string op;
  n.OperatorText(op);
  if (n.IsImplication()) {
    AppendOrderFree(*n.Left, out);
    out += op;
    AppendOrderFree(*n.Right, out);
  } else {
    std::vector<std::string> operands;
    AppendRunOperands(*n.Left, n.Kind(), operands);
    AppendRunOperands(*n.Right, n.Kind(), operands);
    std::sort(operands.begin(), operands.end());
    for (std::size_t i = 0; i < operands.size(); ++i) {
      if (i > 0) out += op;
      out += operands[i];
    }
  }
  out += kFormulaClose;
}

}  // namespace

void PrintPrefix(const TQuant& prefix, std::string& out) {
  if (!QuantificationShown()) return;
  const TVariable* previous = nullptr;
  for (const TVariable* v : prefix.Items) {
    if (!v || v->Binding) continue;
    if (previous && previous->Quantifier == v->Quantifier)
      out += ", ";
    else
      out += v->Quantifier;
    if (!v->AsWritten) out += kInverted;
    out += v->Name;
    if (v->DupIndex > 0) {
      out += kDupSeparator;
      out += std::to_string(v->DupIndex);
    }
    previous = v;
  }
}

void TSub::Print(std::string& out) const {
  if (Constant != 0) {
    AppendConstant(out, Constant);
    return;
  }
  if (Prefix) PrintPrefix(*Prefix, out);
  if (Negated) out += kNegation;
  bool bracket;
  if (!ParentNode) {
    bracket = Negated || Prefix;
  } else {
    const TSub* p = ParentNode;
    bracket = Negated || p->Kind() > Kind() ||
              (p->IsImplication() && IsImplication() && p->Right == this) || Prefix;
  }
  if (bracket) out += kFormulaOpen;
  if (Left) Left->Print(out);
  std::string op;
  OperatorText(op);
  out += op;
  if (Right) Right->Print(out);
  if (bracket) out += kFormulaClose;
}

void TAtom::Print(std::string& out) const {
  if (Constant != 0) {
    AppendConstant(out, Constant);
    return;
  }
  if (Prefix) {
    PrintPrefix(*Prefix, out);
    out += ' ';
  }
  if (Negated) out += kNegation;
  if (Term) Term->Print(out);
}

std::string PrintedText(const TSub& root) {
  std::string s;
  root.Print(s);
  return s;
}

std::string OrderFreeText(const TSub& root) {
  std::string s;
  AppendOrderFree(root, s);
  return s;
}

}  // namespace velmoran
