#include "report/report.h"

#include "logic/alphabet.h"
#include "logic/number_format.h"
#include "logic/print.h"
#include "report/measure.h"
#include "report/tstp_proof.h"

namespace velmoran {

ReportState Report;
StatisticsState Statistics;

namespace {

const std::string kLongRule(30, '_');
const std::string kShortRule(21, '_');

}  // namespace

void ResetReportState() {
  bool proofWanted = Report.ProofWanted;
  Report = ReportState{};
  Report.ProofWanted = proofWanted;
  Statistics = StatisticsState{};
}

void AddLine(TPLProgram& program, std::string line) {
  if (program.Output) program.Output->Add(std::move(line));
}

void AppendFormulaText(const TFALFormula& record, std::string& out) {
  if (!record.Text.empty())
    out += record.Text;
  else if (record.Root)
    record.Root->Print(out);
  out += kDegreeMark;
  AppendReal(out, record.Degree);
  out += "; ";
}

std::string FormulaText(const TFALFormula& record) {
  std::string s;
  AppendFormulaText(record, s);
  return s;
}

void WriteQueryHeader(TPLProgram& program) {
  if (!program.ShowAxioms) {
    if (!program.Formulas.empty())
      AddLine(program, "Solution to " + FormulaText(*program.Formulas.back()));
    return;
  }
  AddLine(program, kLongRule);
  AddLine(program, "Source formulas (axioms) : ");
  for (std::size_t n = 0; n < program.Formulas.size(); ++n) {
    const TFALFormula& f = *program.Formulas[n];
    std::string line = "F" + std::to_string(n);
    if (f.IsQuery()) {
      line += " (";
      line += kNegation;
      line += "query)";
    }
    line += " : ";
    AppendFormulaText(f, line);
    AddLine(program, std::move(line));
    program.Yield();
    if (Report.SearchStopped) break;
  }
  AddLine(program, kLongRule);
}

void WriteResolventList(TPLProgram& program) {
  if (!program.ShowResolvents) return;
  AddLine(program, kShortRule);
  AddLine(program, "Produced resolvents : ");
  // The listing is complete even after a search that one refutation ended.
  for (std::size_t n = 0; n < program.Resolvents.size(); ++n) {
    const TFALFormula& r = *program.Resolvents[n];
    std::string line = "R" + std::to_string(n) + " : ";
    AppendFormulaText(r, line);
    if (r.Disabled) line += "(DISABLED BY DCF)";
    AddLine(program, std::move(line));
    program.Yield();
  }
  AddLine(program, kShortRule);
}

void WriteStatistics(TPLProgram& program) {
  if (!program.ShowStatistics) return;
  AddLine(program, "Inference statistics : ");
  AddLine(program, "Resolvents : " + std::to_string(program.Resolvents.size()));
  AddLine(program, "Removed tautologies : " + std::to_string(Statistics.RemovedTautologies));
  AddLine(program, "DCF consequent resolvents : " + std::to_string(Statistics.DcfConsequents));
  AddLine(program, "DCF killed resolvents : " + std::to_string(Statistics.DcfKilled));
  AddLine(program, "Unification : " + std::to_string(Statistics.Unifications));
  AddLine(program, "Simplification : " + std::to_string(Statistics.Simplifications));
  AddLine(program, kShortRule);
}

void ReportRefutation(TFALFormula& source, TFALFormula& refutation) {
  TPLProgram& program = *source.Program;
  std::string line;
  if (program.ShowSources) line = "[" + Report.SourceName + "&" + Report.PartnerName + "] : ";
  line += " YES (refutation deg.):";
  long double degree = QueryDegree(refutation);
  AppendReal(line, degree);
  line += ";";
  AddLine(program, std::move(line));
  ReportSubstitution(program, refutation);
  program.RefutationFound = 1;
  if (refutation.QueryUses == 0) program.AxiomsRefuted = 1;
  // A refutation of degree 0 still refutes classically, so the first one's proof is kept.
  bool better = degree > Report.BestDegree;
  if (Report.ProofWanted && (better || Report.BestProof.empty())) CaptureBestProof(refutation);
  if (better) {
    Report.BestDegree = degree;
    Report.BestSubstitution = SubstitutionText(refutation);
  }
  Report.PendingRefutation = nullptr;
  if (program.OneRefutation) Report.SearchStopped = true;
}

long double QueryDegree(const TFALFormula& refutation) {
  // In every model where each axiom holds to at least its degree, a record of degree d derived
  // with n uses of the negated query ¬Q holds to at least d ⊗ (1 − v(Q))ⁿ = max(0, d − n·v(Q)):
  // the resolution step is sound for the t-norm, which is associative and monotone. A refutation
  // holds nowhere, so d ≤ n·v(Q). With n = 0 the axioms alone are contradictory to degree d and
  // no model bounds the query at all.
  if (refutation.QueryUses <= 1) return refutation.Degree;
  return refutation.Degree / refutation.QueryUses;
}

std::string SubstitutionText(const TFALFormula& record) {
  const TSub* root = record.Root;
  if (!root || root->Constant == 0) return {};
  return AnswerText(record);
}

std::string AnswerText(const TFALFormula& record) {
  std::string text;
  const TSub* root = record.Root;
  if (!root || !root->Prefix) return text;
  const auto& items = root->Prefix->Items;
  const TVariable* current = nullptr;
  for (const TVariable* v : items) {
    if (!v || !v->Binding) continue;
    if (current && v->Origin == current->Origin) {
      // A later value of the same query variable is listed only when it differs.
      if (v->Binding->Compare(current->Binding) == 0) continue;
    }
    if (!v->Origin) continue;
    AppendBinding(*v, text);
    current = v;
  }
  if (!text.empty()) text += ";";
  return text;
}

void AppendBinding(const TVariable& variable, std::string& text) {
  std::string term;
  variable.Binding->Print(term);
  if (!term.empty() && (IsUpper(term.front()) || term.front() == kAnonymous)) return;
  if (!text.empty()) text += ", ";
  text += variable.Name;
  text += " = ";
  text += term;
}

void ReportSubstitution(TPLProgram& program, const TFALFormula& record) {
  std::string s = SubstitutionText(record);
  if (!s.empty()) AddLine(program, std::move(s));
}

void WriteClosingLines(TPLProgram& program) {
  if (Measure.ProofEndTime == 0) Measure.ProofEndTime = Now();
  if (program.RefutationFound) {
    std::string line = "Best refutation degree: ";
    AppendReal(line, Report.BestDegree);
    if (!Report.BestSubstitution.empty()) line += "(" + Report.BestSubstitution + ")";
    AddLine(program, std::move(line));
  }
  if (program.ShowTime || program.ShowMemory) {
    std::string line;
    if (program.ShowTime)
      line += "Solving time : " + FormatSolvingTime(Measure.ProofEndTime - Measure.ProofStartTime) +
              " s. ";
    if (program.ShowMemory)
      line += "Used memory for proof: " + std::to_string(Measure.PeakMemory - Measure.StartMemory) +
              " B.";
    AddLine(program, std::move(line));
  }
  if (program.ShowMemory)
    AddLine(program, "Total allocated for Velmoran: " + std::to_string(HeapBytesInUse()) + " B.");
}

}  // namespace velmoran
