#include "logic/print.h"

#include "logic/alphabet.h"
#include "prover/program.h"

namespace velmoran {

namespace {

bool QuantificationShown() {
  return Prover.ActiveProgram ? Prover.ActiveProgram->QuantificationOn != 0 : true;
}

void AppendConstant(std::string& out, int constant) {
  out += ' ';
  out += constant == 1 ? kTrue : kFalse;
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

}  // namespace velmoran
