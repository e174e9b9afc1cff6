// Benchmarks of whole runs: parsing a large theory, and proving example problems. Reports are
// written to a discarding sink, so only the engine is measured.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <variant>

#include "logic/text_codec.h"
#include "prover/search.h"

namespace {

using namespace velmoran;

class DiscardSink : public TLineSink {
 public:
  void Add(std::string) override {}
};

std::string LoadExample(const std::string& name) {
  std::ifstream in(std::string(VELMORAN_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
  std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto decoded = DecodeTheoryText(raw);
  return std::holds_alternative<std::string>(decoded) ? std::get<std::string>(decoded) : "";
}

void Prove(const std::string& text, SearchStrategy strategy) {
  TPLProgram program;
  SetMenuDefaults(program);
  program.Strategy = strategy;
  program.OneRefutation = 1;
  DiscardSink sink;
  program.Output = &sink;
  program.SourceText = text.c_str();
  RunProof(program);
}

void BM_ParseManyAxioms(benchmark::State& state) {
  std::string text;
  for (int i = 0; i < state.range(0); ++i) text += "p(a, f(X)) \xFC \xACq(X, 3) : 0.5;\n";
  for (auto _ : state) Prove(text, SearchStrategy::Linear);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseManyAxioms)->Arg(1000)->Arg(10000);

void BM_ProveExample(benchmark::State& state, const char* name, SearchStrategy strategy) {
  std::string text = LoadExample(name);
  if (text.empty()) {
    state.SkipWithError("example not found");
    return;
  }
  for (auto _ : state) Prove(text, strategy);
}
BENCHMARK_CAPTURE(BM_ProveExample, socrates_linear, "socrates.txt", SearchStrategy::Linear);
BENCHMARK_CAPTURE(BM_ProveExample, p18_linear, "pelletier/p18.txt", SearchStrategy::Linear);
BENCHMARK_CAPTURE(BM_ProveExample, p20_linear, "pelletier/p20.txt", SearchStrategy::Linear);
BENCHMARK_CAPTURE(BM_ProveExample, p20_breadth, "pelletier/p20.txt", SearchStrategy::BreadthFirst);

// The whole proofs that bench/callgrind counts, with the options examples/INDEX gives them.
void BM_ProveTrivialBreadth(benchmark::State& state, const char* name) {
  std::string text = LoadExample(name);
  if (text.empty()) {
    state.SkipWithError("example not found");
    return;
  }
  for (auto _ : state) {
    TPLProgram program;
    SetMenuDefaults(program);
    program.Strategy = SearchStrategy::BreadthFirst;
    program.CheckDcfKill = program.CheckDcf = 0;
    program.TrivialCheckOnly = 1;
    program.OneRefutation = 1;
    DiscardSink sink;
    program.Output = &sink;
    program.SourceText = text.c_str();
    RunProof(program);
  }
}
BENCHMARK_CAPTURE(BM_ProveTrivialBreadth, p33, "pelletier/p33.txt")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ProveTrivialBreadth, p36, "pelletier/p36.txt")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
