// How much the editor window's output pane costs a proof that writes many report lines.
//
// One theory, made here: N axioms with distinct predicates and one query that the first axiom
// refutes, proved with "Axioms" on, so the header lists every source formula: about N report
// lines, written in one burst, the hardest case for a pane that shows lines as they come. The same
// proof is timed three ways, a few runs each, best run kept:
//   engine   RunProof straight into a TLineList on a large stack: what the command-line prover
//            does, less the printing;
//   window   a TEditForm (offscreen) with "Interactive" on, from the proof command until the
//            runner's Finished signal, with the event loop running, so every line has reached the
//            output pane (checked by counting the pane's lines);
//   cli      the real command-line prover on the same theory, output to /dev/null, when its path
//            is given.
// It prints the three times and the ratios window/engine and window/cli.
//
// Usage: gui_report_lines [--lines N] [--runs R] [--cli PATH-TO-velmoran] [--keep FILE]
//   --keep writes the theory to FILE (to time the command-line prover by other means).
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>

#include "prover/search.h"
#include "report/line_sink.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"
#include "ui/edit_form.h"
#include "ui/proof_runner.h"
#include "ui/theory_file.h"
#include "ui/theory_pane.h"

namespace {

using namespace velmoran;
using namespace velmoran::ui;

// A proof of this theory asks nothing; a question would be a fault of the benchmark.
class TSilentDialogs : public TDialogs {
 public:
  QMessageBox::StandardButton AskSaveChanges(QWidget*, const QString&) override {
    return QMessageBox::No;
  }
  QString OpenFileName(QWidget*, const QString&) override { return {}; }
  QString SaveFileName(QWidget*, const QString&) override { return {}; }
  QString ExportFileName(QWidget*, const QString&, const QString&) override { return {}; }
  std::optional<QFont> ChooseFont(QWidget*, const QFont&) override { return std::nullopt; }
  std::optional<QString> AskDcfLimit(QWidget*) override { return std::nullopt; }
  void Information(QWidget*, const QString& text) override { Complain(text); }
  void Error(QWidget*, const QString& text) override { Complain(text); }

 private:
  static void Complain(const QString& text) {
    std::fprintf(stderr, "unexpected message box: %s\n", qPrintable(text));
  }
};

// The axioms p0(a0) ... are ten to a line, so the editor pane holds a short text.
std::string MakeTheory(int axioms) {
  std::string text;
  for (int i = 0; i < axioms; ++i) {
    text += "p" + std::to_string(i) + "(a" + std::to_string(i) + ") : 0.5;";
    text += (i % 10 == 9) ? "\n" : " ";
  }
  text += "\n?- p0(a0);\n";
  return text;
}

constexpr std::size_t kProofStackBytes = std::size_t{1} << 30;

// One run as the command-line prover makes it; returns the seconds and the report's lines.
double RunEngine(const std::string& text, std::size_t& lines) {
  TPLProgram program;
  SetMenuDefaults(program);
  program.ShowAxioms = 1;
  TLineList report;
  program.Output = &report;
  program.SourceText = text.c_str();
  QElapsedTimer clock;
  clock.start();
  RunOnLargeStack(kProofStackBytes, [&program] { RunProof(program); });
  double seconds = clock.nsecsElapsed() / 1e9;
  lines = report.Lines.size();
  return seconds;
}

// One run in the window; returns the seconds and the output pane's lines.
double RunWindow(TEditForm& form, TProofRunner& runner, std::size_t& lines) {
  QEventLoop loop;
  auto done = QObject::connect(&runner, &TProofRunner::Finished, &loop, &QEventLoop::quit);
  QElapsedTimer clock;
  clock.start();
  form.Prove(SearchStrategy::Linear);
  loop.exec();
  double seconds = clock.nsecsElapsed() / 1e9;
  QObject::disconnect(done);
  lines = static_cast<std::size_t>(form.OutputPane()->document()->blockCount());
  return seconds;
}

double RunCli(const QString& cli, const QString& theoryPath) {
  QProcess process;
  process.setStandardOutputFile(QProcess::nullDevice());
  QElapsedTimer clock;
  clock.start();
  process.start(cli, {"--show=axioms", theoryPath});
  if (!process.waitForFinished(600000) || process.exitCode() != 0) {
    std::fprintf(stderr, "%s failed\n", qPrintable(cli));
    return -1;
  }
  return clock.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  int axioms = 50000;
  int runs = 5;
  QString cli, keep;
  QStringList args = QCoreApplication::arguments().mid(1);
  for (int i = 0; i + 1 < args.size(); i += 2) {
    if (args[i] == "--lines")
      axioms = args[i + 1].toInt();
    else if (args[i] == "--runs")
      runs = std::max(1, args[i + 1].toInt());
    else if (args[i] == "--cli")
      cli = args[i + 1];
    else if (args[i] == "--keep")
      keep = args[i + 1];
  }
  // The header adds its two rules, its label and the query; the refutation and closing lines
  // follow.
  axioms = std::max(1, axioms - 8);
  const std::string text = MakeTheory(axioms);

  QTemporaryDir folder;
  QString theoryPath = keep.isEmpty() ? folder.filePath("report_lines.txt") : keep;
  {
    QFile file(theoryPath);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size())) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(theoryPath));
      return 2;
    }
  }

  const double inf = std::numeric_limits<double>::infinity();
  double engine = inf, window = inf, command = inf;
  std::size_t engineLines = 0, windowLines = 0;
  for (int r = 0; r < runs; ++r) engine = std::min(engine, RunEngine(text, engineLines));

  TSilentDialogs dialogs;
  TProofRunner runner;
  TAppContext context{dialogs, runner, QCoreApplication::applicationDirPath()};
  TEditForm form(context);
  form.resize(800, 600);
  form.show();
  form.Editor()->setPlainText(PaneText(text));
  form.OptionAction(&TPLProgram::ShowAxioms)->setChecked(true);
  form.OptionAction(&TPLProgram::Interactive)->setChecked(true);
  for (int r = 0; r < runs; ++r) window = std::min(window, RunWindow(form, runner, windowLines));

  if (!cli.isEmpty())
    for (int r = 0; r < runs; ++r) command = std::min(command, RunCli(cli, theoryPath));

  std::printf("report lines: %zu (engine), %zu (output pane)\n", engineLines, windowLines);
  std::printf("engine into a line list: %8.3f s\n", engine);
  std::printf("window, Interactive on:  %8.3f s   window/engine %.2f\n", window, window / engine);
  if (!cli.isEmpty() && command > 0)
    std::printf("command line > /dev/null: %7.3f s   window/cli    %.2f\n", command,
                window / command);
  if (windowLines != engineLines) {
    std::fprintf(stderr, "the output pane holds %zu lines, the report %zu\n", windowLines,
                 engineLines);
    return 1;
  }
  return 0;
}
