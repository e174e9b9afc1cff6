// velmoran: the command-line prover. A thin front end over the engine: it reads theory files,
// copies the options into a fresh prover object per file, runs the proof on a large stack and
// prints the report lines as they come.
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iostream>

#include "cli/cli_options.h"
#include "cli/theory_file.h"
#include "logic/number_format.h"
#include "logic/text_codec.h"
#include "parser/formula_parser.h"
#include "prover/search.h"
#include "prover/simplify.h"
#include "report/report.h"

using namespace velmoran;

namespace {

constexpr std::size_t kProofStackBytes = std::size_t{1} << 30;
constexpr std::size_t kShownReportLimit = 32768;

enum ExitStatus { kDone = 0, kSyntaxError = 1, kUsageOrFile = 2, kStoppedByLimit = 3 };

// Prints each report line as it is added; on a terminal each line shows at once.
class StdoutSink : public TLineSink {
 public:
  explicit StdoutSink(bool bytes) : bytes_(bytes), terminal_(isatty(STDOUT_FILENO) != 0) {}
  void Add(std::string line) override {
    std::cout << (bytes_ ? line : EncodeUtf8(line)) << '\n';
    if (terminal_) std::cout.flush();
  }

 private:
  bool bytes_;
  bool terminal_;
};

// Parses the text as a proof run would, printing each formula; queries stay as written.
int CheckSyntax(const cli::TheoryText& text, const cli::Options& options) {
  TPLProgram program;
  cli::CopySettings(options.Settings, program);
  Prover.ActiveProgram = &program;
  Prover.ActiveBindings = &program.Bindings;
  const char* p = text.Bytes.c_str();
  std::int32_t consumed = 0;
  int axioms = 0;
  StdoutSink out(options.Bytes);
  while (*p != 0) {
    TFALFormula* record = nullptr;
    ParseFormula(program, p, record);
    if (!record) {
      cli::PrintSyntaxError(text, consumed + program.ParsedLength + 1, program.ErrorCode,
                            options.Bytes);
      return kSyntaxError;
    }
    std::string line;
    if (record->IsQuery()) {
      line = "?- ";
      record->Root->Print(line);
      line += ":" + FormatReal(record->Degree) + "; ";
    } else {
      Simplify(*record);
      line = "F" + std::to_string(axioms++) + " : " + FormulaText(*record);
    }
    out.Add(std::move(line));
    delete record;
    p += program.ParsedLength;
    consumed += program.ParsedLength;
  }
  return kDone;
}

struct Limits {
  std::optional<double> Timeout;
  std::optional<std::int64_t> MaxResolvents;
  std::chrono::steady_clock::time_point Start;
  unsigned Calls = 0;
  const char* Reached = nullptr;
};

int Prove(const cli::TheoryText& text, const cli::Options& options) {
  TPLProgram program;
  cli::CopySettings(options.Settings, program);
  StdoutSink interactive(options.Bytes);
  TLineList report;
  program.Output = options.Out ? static_cast<TLineSink*>(&report) : &interactive;
  program.SourceText = text.Bytes.c_str();
  program.StopRequested = 0;

  Limits limits{options.TimeoutSeconds, options.MaxResolvents, std::chrono::steady_clock::now()};
  program.OnYield = [&limits](TPLProgram& p) {
    if (p.StopRequested) return;
    if (limits.MaxResolvents &&
        static_cast<std::int64_t>(p.Resolvents.size()) >= *limits.MaxResolvents) {
      limits.Reached = "resolvent limit";
      p.StopRequested = 1;
    }
    // The clock is read every 64th call: the hook runs before every atom pair.
    if (limits.Timeout && (++limits.Calls & 63) == 0) {
      std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - limits.Start;
      if (elapsed.count() >= *limits.Timeout) {
        limits.Reached = "time limit";
        p.StopRequested = 1;
      }
    }
  };

  program.OnPoll = program.OnYield;
  if (!RunOnLargeStack(kProofStackBytes, [&program] { RunProof(program); })) {
    std::cerr << "velmoran: cannot start the proof thread\n";
    return kUsageOrFile;
  }

  bool outFailed = false;
  if (options.Out) {
    // The saved report is one-byte text with CR LF line ends, as the desktop app saves it.
    if (program.ErrorCode == 0) {
      std::string outName = (text.Name == "-" ? std::string("Untitled") : text.Name) + ".out";
      std::ofstream out(outName, std::ios::binary);
      out << report.Text();
      if (!out) {
        std::cerr << "velmoran: cannot write '" << outName << "'\n";
        outFailed = true;
      }
    }
    if (report.Text().size() < kShownReportLimit) {
      for (const auto& line : report.Lines) interactive.Add(line);
    } else {
      interactive.Add(
          "Done, but output text exceeded the maximal size / consult the output file (*.out).");
    }
  }
  std::cout.flush();
  if (program.ErrorCode != 0) {
    cli::PrintSyntaxError(text, program.ErrorPosition, program.ErrorCode, options.Bytes);
    return kSyntaxError;
  }
  if (outFailed) return kUsageOrFile;
  if (limits.Reached) {
    std::cerr << "velmoran: " << text.Name << ": stopped by the " << limits.Reached << "\n";
    return kStoppedByLimit;
  }
  return kDone;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  cli::Options options;
  if (auto rc = cli::ParseOptions(argc, argv, options)) return *rc;
  bool usageOrFile = false, syntax = false, stopped = false;
  for (const std::string& path : options.Files) {
    auto text = cli::ReadTheory(path);
    if (!text) {
      usageOrFile = true;
      continue;
    }
    int rc = options.SyntaxOnly ? CheckSyntax(*text, options) : Prove(*text, options);
    usageOrFile |= rc == kUsageOrFile;
    syntax |= rc == kSyntaxError;
    stopped |= rc == kStoppedByLimit;
  }
  if (usageOrFile) return kUsageOrFile;
  if (syntax) return kSyntaxError;
  return stopped ? kStoppedByLimit : kDone;
}
