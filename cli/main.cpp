// velmoran: the command-line prover. A thin front end over the engine: it reads theory files,
// copies the options into a fresh prover object per file, runs the proof on a large stack and
// prints the report lines as they come.
//
// Every way a run can end is a clean one: a limit, an allocation failure and the first SIGINT or
// SIGTERM stop the proof as the stop command does (the report so far is printed, standard error
// says why); a second signal ends the program at once. Failed reads and writes are messages with
// the system's reason.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <iostream>
#include <new>

#include "cli/cli_options.h"
#include "cli/file_io.h"
#include "cli/theory_file.h"
#include "cli/to_tptp.h"
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

std::atomic<int> caughtSignal{0};

extern "C" void OnSignal(int signal) {
  int expected = 0;
  if (caughtSignal.compare_exchange_strong(expected, signal)) return;
  // The second signal: leave now, without a half-written temporary file.
  if (const char* temporary = cli::PendingTemporaryFile()) ::unlink(temporary);
  ::_exit(128 + signal);
}

void CatchInterrupts() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no restart: a blocked read returns, so standard input can be left
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool Interrupted() {
  return caughtSignal.load(std::memory_order_relaxed) != 0;
}

// Prints each report line as it is added.
class StdoutSink : public TLineSink {
 public:
  StdoutSink(cli::TStdout& out, bool bytes) : out_(out), bytes_(bytes) {}
  void Add(std::string line) override { out_.Line(bytes_ ? line : EncodeUtf8(line)); }

 private:
  cli::TStdout& out_;
  bool bytes_;
};

// Parses the text as a proof run would, printing each formula; queries stay as written.
int CheckSyntax(const cli::TheoryText& text, const cli::Options& options, cli::TStdout& stdOut) {
  TPLProgram program;
  cli::CopySettings(options.Settings, program);
  Prover.ActiveProgram = &program;
  Prover.ActiveBindings = &program.Bindings;
  const char* p = text.Bytes.c_str();
  std::int32_t consumed = 0;
  int axioms = 0;
  StdoutSink out(stdOut, options.Bytes);
  while (*p != 0) {
    TFALFormula* record = nullptr;
    ParseFormula(program, p, record);
    if (!record) {
      stdOut.Flush();
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

int Prove(const cli::TheoryText& text, const cli::Options& options, cli::TStdout& stdOut) {
  // An object whose run failed to allocate may hold what was left half built: it is never
  // destroyed (the next file gets a fresh object).
  auto* program = new TPLProgram;
  cli::CopySettings(options.Settings, *program);
  StdoutSink interactive(stdOut, options.Bytes);
  TLineList report;
  program->Output = options.Out ? static_cast<TLineSink*>(&report) : &interactive;
  program->SourceText = text.Bytes.c_str();
  program->StopRequested = 0;

  TRunLimits limits;
  limits.TimeoutSeconds = options.TimeoutSeconds;
  limits.MaxResolvents = options.MaxResolvents;
  if (options.MaxMemoryMegabytes) limits.MaxHeapBytes = *options.MaxMemoryMegabytes << 20;
  limits.Start();
  program->OnYield = [&limits](TPLProgram& p) {
    if (Interrupted()) p.StopRequested = 1;
    limits.Check(p);
  };
  program->OnPoll = program->OnYield;
  if (!RunOnLargeStack(kProofStackBytes, [program] { RunProof(*program); })) {
    std::cerr << "velmoran: cannot start the proof thread\n";
    delete program;
    return kUsageOrFile;
  }
  const bool stopped = program->StopRequested != 0;
  const bool outOfMemory = program->OutOfMemory != 0;
  const std::uint8_t errorCode = program->ErrorCode;
  const std::int32_t errorPosition = program->ErrorPosition;
  if (outOfMemory)
    program->OnYield = program->OnPoll = nullptr;  // left alone on purpose, see above
  else
    delete program;

  bool outFailed = false;
  if (options.Out) {
    // The saved report is one-byte text with CR LF line ends, as the desktop app saves it. A run
    // stopped before its first line leaves the old file as it was.
    if (errorCode == 0 && !(stopped && report.Lines.empty())) {
      std::string outName = (text.Name == "-" ? std::string("Untitled") : text.Name) + ".out";
      if (auto failure = cli::WriteFileSafely(outName, report.Text())) {
        std::cerr << "velmoran: " << outName << ": cannot write: " << *failure << "\n";
        outFailed = true;
      }
    }
    if (report.Text().size() < kShownReportLimit || outFailed) {
      for (const auto& line : report.Lines) interactive.Add(line);
    } else {
      interactive.Add(
          "Done, but output text exceeded the maximal size / consult the output file (*.out).");
    }
  }
  stdOut.Flush();
  if (errorCode != 0) {
    cli::PrintSyntaxError(text, errorPosition, errorCode, options.Bytes);
    return kSyntaxError;
  }
  if (outFailed) return kUsageOrFile;
  if (!stopped) return kDone;
  std::cerr << "velmoran: " << text.Name << ": ";
  if (outOfMemory)
    std::cerr << "stopped: out of memory\n";
  else if (Interrupted())
    std::cerr << "interrupted\n";
  else
    std::cerr << "stopped by the " << (limits.Reached ? limits.Reached : "stop command") << "\n";
  return kStoppedByLimit;
}

// What is done with one theory: printed as TPTP, only parsed, or proved.
int Handle(const cli::TheoryText& text, const cli::Options& options, cli::TStdout& stdOut) {
  if (options.ToTptp) return cli::PrintAsTptp(text, options, stdOut) ? kDone : kSyntaxError;
  return options.SyntaxOnly ? CheckSyntax(text, options, stdOut) : Prove(text, options, stdOut);
}

int Run(const cli::Options& options) {
  cli::TStdout stdOut;
  bool usageOrFile = false, syntax = false, stopped = false;
  for (const std::string& path : options.Files) {
    if (Interrupted()) break;
    cli::ReadFailure failure{};
    auto text = cli::ReadTheory(path, Interrupted, cli::ReadsTptp(path, options.Tptp), &failure);
    if (!text) {
      (failure == cli::ReadFailure::Syntax ? syntax : usageOrFile) = true;
      continue;
    }
    int rc = Handle(*text, options, stdOut);
    usageOrFile |= rc == kUsageOrFile;
    syntax |= rc == kSyntaxError;
    stopped |= rc == kStoppedByLimit;
  }
  stdOut.Flush();
  if (stdOut.Failure()) {
    std::cerr << "velmoran: cannot write the standard output: " << *stdOut.Failure() << "\n";
    return kUsageOrFile;
  }
  if (int signal = caughtSignal.load()) return 128 + signal;
  if (usageOrFile) return kUsageOrFile;
  if (syntax) return kSyntaxError;
  return stopped ? kStoppedByLimit : kDone;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  cli::Options options;
  if (auto rc = cli::ParseOptions(argc, argv, options)) return *rc;
  CatchInterrupts();
  try {
    return Run(options);
  } catch (const std::bad_alloc&) {
    // Outside a proof (reading, decoding, printing): nothing is left to save.
    std::cerr << "velmoran: out of memory\n";
    return kStoppedByLimit;
  }
}
