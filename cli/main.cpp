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
#include "cli/conjecture_parts.h"
#include "cli/file_io.h"
#include "cli/portfolio.h"
#include "cli/szs.h"
#include "cli/theory_file.h"
#include "cli/to_tptp.h"
#include "logic/number_format.h"
#include "logic/text_codec.h"
#include "parser/equality_axioms.h"
#include "parser/formula_parser.h"
#include "prover/simplify.h"
#include "report/line_sink.h"
#include "report/report.h"

using namespace velmoran;

namespace {

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
  program.Settings() = options.Settings;
  Activate(&program);
  int axioms = 0;
  StdoutSink out(stdOut, options.Bytes);
  auto print = [&](TFALFormula* record, std::int32_t) {
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
  };
  if (ForEachFormula(program, text.Bytes.c_str(), print) == TheoryEnd::SyntaxError) {
    stdOut.Flush();
    cli::PrintSyntaxError(text, program.ErrorPosition, program.ErrorCode, options.Bytes);
    return kSyntaxError;
  }
  return kDone;
}

// `last`: no other file follows, so the proof's memory may be left to the process's end.
int Prove(const cli::TheoryText& text, const cli::Options& options, cli::TStdout& stdOut,
          bool last) {
  StdoutSink interactive(stdOut, options.Bytes);
  TLineList report;
  TLineSink& output = options.Out ? static_cast<TLineSink&>(report) : interactive;
  // Names that the theory language cannot spell were renamed: say so before the report shows them.
  if (text.TptpSource)
    for (const auto& [tptp, theory] : text.Tptp.Names)
      output.Add("TPTP name " + tptp + " is written " + theory);
  // --auto stores the conjunctions among a TPTP problem's axioms as their conjuncts.
  if (options.Auto && text.TptpSource && text.Tptp.AxiomsParted)
    output.Add(cli::kAxiomsInPartsLine);
  const cli::SzsStatus refuted =
      cli::RefutedStatus(text.TptpSource.has_value() && text.Tptp.Conjectures == 0);
  cli::TRunOutcome run;
  if (cli::ProvesInParts(text, options)) {
    run = cli::ProveInParts(text, options, output, Interrupted);
  } else if (options.Auto) {
    run = cli::ProveWithPortfolio(cli::AutoTexts(text).View(), text.Name, options, output,
                                  Interrupted, refuted);
  } else {
    run = cli::ProveOnce(text.Bytes, text.Name, options, output, Interrupted, refuted, last);
  }
  if (!run.Started) {
    std::cerr << "velmoran: cannot start the proof thread\n";
    return kUsageOrFile;
  }
  const bool stopped = run.Stopped;

  bool outFailed = false;
  if (options.Out) {
    // The saved report is one-byte text with CR LF line ends, as the desktop app saves it. A run
    // stopped before its first line leaves the old file as it was.
    const bool save = run.ErrorCode == 0 && !(stopped && report.Lines.empty());
    for (std::string& line : run.Closing) report.Add(line);
    if (save) {
      std::string outName = (text.Name == "-" ? std::string("Untitled") : text.Name) + ".out";
      if (auto failure = cli::WriteFileSafely(outName, report.Text())) {
        std::cerr << "velmoran: " << outName << ": cannot write: " << *failure << "\n";
        outFailed = true;
      }
    }
    if (ShowsWholeReport(report, outFailed)) {
      for (const auto& line : report.Lines) interactive.Add(line);
    } else {
      interactive.Add(kReportTooLong);
      for (auto& lines : {run.Verdicts, run.Closing})
        for (const std::string& line : lines) interactive.Add(line);
    }
  } else {
    for (std::string& line : run.Closing) interactive.Add(std::move(line));
  }
  stdOut.Flush();
  if (run.ErrorCode != 0) {
    cli::PrintSyntaxError(text, run.ErrorPosition, run.ErrorCode, options.Bytes);
    return kSyntaxError;
  }
  if (outFailed) return kUsageOrFile;
  if (!stopped) return kDone;
  std::cerr << "velmoran: " << text.Name << ": ";
  if (run.OutOfMemory)
    std::cerr << "stopped: out of memory\n";
  else if (Interrupted())
    std::cerr << "interrupted\n";
  else
    std::cerr << "stopped by the " << (run.Reached ? run.Reached : "stop command") << "\n";
  return kStoppedByLimit;
}

// What is done with one theory: printed as TPTP, only parsed, or proved.
int Handle(const cli::TheoryText& text, const cli::Options& options, cli::TStdout& stdOut,
           bool last) {
  if (options.ToTptp) return cli::PrintAsTptp(text, options, stdOut) ? kDone : kSyntaxError;
  return options.SyntaxOnly ? CheckSyntax(text, options, stdOut)
                            : Prove(text, options, stdOut, last);
}

int Run(const cli::Options& options) {
  cli::TStdout stdOut;
  bool usageOrFile = false, syntax = false, stopped = false;
  for (const std::string& path : options.Files) {
    if (Interrupted()) break;
    cli::ReadFailure failure{};
    auto text = cli::ReadTheory(path, Interrupted, cli::ReadsTptp(path, options.Tptp), &failure);
    if (!text) {
      const bool syntaxError = failure == cli::ReadFailure::Syntax;
      (syntaxError ? syntax : usageOrFile) = true;
      if (options.Szs)
        stdOut.Line(
            cli::SzsLine(syntaxError ? cli::SzsStatus::SyntaxError : cli::SzsStatus::InputError,
                         cli::SzsName(path)));
      continue;
    }
    if (options.NoEqualityAxioms) cli::DropEqualityAxioms(*text);
    if (options.Settings.EqualityRule && !options.Auto) cli::DropRuleAxioms(*text);
    if (options.Equality && !text->TptpSource)
      if (auto with = WithEqualityAxioms(text->Bytes, options.Settings.EqualityRule != 0))
        text->Bytes = std::move(*with);
    int rc = Handle(*text, options, stdOut, &path == &options.Files.back());
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
