// Benchmarks of the engine's single steps, each on records parsed from a short theory text:
// parsing one formula, unifying two atoms, one resolution step (both trees copied), simplifying
// a fresh resolvent, one consequent test, and the self-refutation every new resolvent passes.
// Whole proofs are in prover_bench.cpp.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <variant>

#include "logic/text_codec.h"
#include "parser/formula_parser.h"
#include "prover/consequence.h"
#include "prover/program.h"
#include "prover/resolution.h"
#include "prover/simplify.h"
#include "report/report.h"

namespace {

using namespace velmoran;

// A prover object with the menu defaults, made active, that parses UTF-8 formula texts.
class Bench {
 public:
  Bench() {
    SetMenuDefaults(program_);
    program_.Output = nullptr;
    Activate(&program_);
  }
  ~Bench() { Activate(nullptr); }

  // Parsed and simplified, as an axiom is stored; null (with the error set) on a bad text.
  std::unique_ptr<TFALFormula> Axiom(const std::string& utf8, benchmark::State& state) {
    auto decoded = DecodeTheoryText(utf8);
    if (!std::holds_alternative<std::string>(decoded)) {
      state.SkipWithError("codec error");
      return nullptr;
    }
    texts_.push_back(std::get<std::string>(decoded));
    TFALFormula* record = nullptr;
    ParseFormula(program_, texts_.back().c_str(), record);
    if (!record) {
      state.SkipWithError("syntax error");
      return nullptr;
    }
    Simplify(*record);
    ComputePolarity(record->Root);
    return std::unique_ptr<TFALFormula>(record);
  }

  TPLProgram& Program() { return program_; }

 private:
  TPLProgram program_;
  std::vector<std::string> texts_;
};

// Two records with quantifiers at several depths and three-place predicates.
const char* const kLeft = "∀X [f(X, b, g(X)) ∧ [¬h(X, b) ∨ ∀Z [f(b, Z, X) → g(Z)]]];";
const char* const kRight = "∀U ∀V [¬f(U, V, g(U)) ∨ h(U, V) ∨ ¬g(V)];";

void BM_ParseFormula(benchmark::State& state) {
  auto decoded = DecodeTheoryText(kLeft);
  const std::string text = std::get<std::string>(decoded);
  Bench bench;
  for (auto _ : state) {
    TFALFormula* record = nullptr;
    ParseFormula(bench.Program(), text.c_str(), record);
    benchmark::DoNotOptimize(record);
    delete record;
  }
}
BENCHMARK(BM_ParseFormula);

void BM_UnifyAtoms(benchmark::State& state) {
  Bench bench;
  auto f = bench.Axiom(kLeft, state);
  auto g = bench.Axiom(kRight, state);
  if (!f || !g) return;
  TAtom* a = f->FirstAtom;
  TAtom* b = g->FirstAtom;
  for (auto _ : state) {
    bool ok = UnifyAtoms(a, b);
    benchmark::DoNotOptimize(ok);
    ClearBindings();
  }
}
BENCHMARK(BM_UnifyAtoms);

// One resolution step on the first atoms: unification, both trees copied under the new
// disjunction, the sources cleaned; with argument 1 the resolvent is also simplified, so the
// difference between the two is what simplifying costs.
void BM_ResolutionStep(benchmark::State& state) {
  Bench bench;
  auto f = bench.Axiom(kLeft, state);
  auto g = bench.Axiom(kRight, state);
  if (!f || !g) return;
  TAtom* a = f->FirstAtom;
  TAtom* b = g->FirstAtom;
  const bool simplified = state.range(0) != 0;
  for (auto _ : state) {
    if (!UnifyAtoms(a, b)) {
      state.SkipWithError("the atoms do not unify");
      break;
    }
    TFALFormula* r = MakeResolvent(*f, *g, a, FalseInFirst(*a, *b), b);
    if (simplified) {
      Simplify(*r);
      ComputePolarity(r->Root);
    }
    benchmark::DoNotOptimize(r->Root);
    delete r;
  }
}
BENCHMARK(BM_ResolutionStep)->ArgName("simplified")->Arg(0)->Arg(1);

// One consequent test (the negated implication refuted within the limit): a consequence, and a
// formula that does not follow, which runs the test to its limit.
void BM_ConsequentTest(benchmark::State& state, const char* stored, const char* fresh) {
  Bench bench;
  auto b = bench.Axiom(stored, state);
  auto a = bench.Axiom(fresh, state);
  if (!a || !b) return;
  for (auto _ : state) benchmark::DoNotOptimize(IsConsequent(*b, *a));
}
BENCHMARK_CAPTURE(BM_ConsequentTest, follows, "∀X [p(X) ∧ q(X, a)];", "p(b) ∨ r;");
BENCHMARK_CAPTURE(BM_ConsequentTest, does_not_follow, kRight, kLeft);

// The self-refutation attempt of `CheckResolvent` on a record that does not refute: every step
// copies and simplifies the growing record, up to the limit.
void BM_SelfRefute(benchmark::State& state) {
  Bench bench;
  auto x =
      bench.Axiom("[p(a) ∨ q(b)] ∧ [¬p(a) ∨ r(c)] ∧ [¬q(b) ∨ s(a, b)] ∧ [t ∨ ¬s(a, b)];", state);
  if (!x) return;
  for (auto _ : state) {
    TFALFormula* y = SelfRefute(x.get(), SplitKind::Sound);
    benchmark::DoNotOptimize(y);
    if (y != x.get()) delete y;
  }
}
BENCHMARK(BM_SelfRefute);

}  // namespace
