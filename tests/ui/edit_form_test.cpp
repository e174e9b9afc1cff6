// The theory editor window as its user meets it: menus and their check marks, the options a proof
// takes, the report in the pane and in the ".out" file, syntax errors, Stop, refused proofs, the
// DCF limit box, the close query and the enabling of the edit items.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <variant>

#include "logic/text_codec.h"
#include "ui/support/window_fixture.h"

using namespace velmoran;
using namespace velmoran::ui;
using namespace velmoran::ui::test;

namespace {

// The hand-worked report of examples/socrates.txt (linear; axioms, resolvents and statistics on),
// without the time and memory lines, as one-byte lines.
QStringList SocratesReport() {
  QByteArray utf8 = FileBytes(VELMORAN_SOURCE_DIR "/tests/golden/socrates_linear.txt");
  auto bytes = std::get<std::string>(DecodeTheoryText(utf8.toStdString()));
  QStringList lines = PaneText(bytes).split('\n', Qt::SkipEmptyParts);
  lines.removeIf([](const QString& l) {
    return l.startsWith("Solving time") || l.startsWith("Total allocated");
  });
  return lines;
}

QByteArray CrLfLines(const QStringList& lines) {
  QByteArray out;
  for (const QString& l : lines) out += l.toLatin1() + "\r\n";
  return out;
}

void SetChecked(TEditForm* form, const char* menuTitle, const QString& caption, bool on) {
  for (QMenu* menu : form->Menus())
    if (menu->title() == menuTitle) Item(menu, caption)->setChecked(on);
}

}  // namespace

class EditFormTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TProgramParts> parts;
  QTemporaryDir dir;

  QString Path(const QString& name) const { return dir.filePath(name); }
  // A window holding a theory file of the temporary folder.
  TEditForm* FormWithFile(const QString& name, const QString& text) {
    WriteBytes(Path(name), text.toLatin1());
    TEditForm* form = parts->NewForm();
    form->OpenFile(Path(name));
    return form;
  }
  // Output switches of the socrates golden report.
  static void GoldenSwitches(TEditForm* form) {
    for (const char* on : {"Axioms", "Resolvents", "Statistics"})
      SetChecked(form, "&Output", on, true);
    for (const char* off : {"Time", "Memory"}) SetChecked(form, "&Output", off, false);
  }

 private slots:
  void init() { parts = std::make_unique<TProgramParts>(); }
  void cleanup() { parts.reset(); }

  void MenusCaptionsAndDefaults() {
    TEditForm* form = parts->NewForm();
    QStringList titles;
    for (QMenu* m : form->Menus()) titles << m->title();
    QCOMPARE(titles, QStringList({"&File", "&Edit", "&Output", "&Prove theorem", "&Unification"}));
    const std::vector<QStringList> expected = {
        {"&New Ctrl+N", "&Open... Ctrl+O", "Open &recent", "&Close Ctrl+F4", "&Save Ctrl+S",
         "Save &as... Ctrl+Shift+S", "-", "E&xit"},
        {"&Undo Ctrl+Z", "&Redo Ctrl+Y", "-", "Cu&t Ctrl+X", "&Copy Ctrl+C", "&Paste Ctrl+V",
         "De&lete Ctrl+D", "-", "Select &all Ctrl+A", "Clear Output", "Font..."},
        {"Axioms [ ]", "Progress [x]", "Sources [x]", "Resolvents [ ]", "Time [x]", "Memory [x]",
         "Unsimplified [ ]", "Statistics [ ]", "DCF [ ]", "Interactive [x]"},
        {"Stop Esc", "DCF-Limit...", "-", "Linear search", "Breadth-first search",
         "Modified linear search", "Prove &again F5", "&Derivation graph... Ctrl+G", "-",
         "Trivial check only ( )", "DCF ( )", "DCF + Kill (x)", "-", "Without restr. strategy (x)",
         "Filtration strategy ( )", "Support set strategy ( )"},
        {"Quantification On [x]", "General cut [ ]", "-", "Exit on first unused ( )",
         "Exit on first match ( )", "Exit on last match (x)", "-", "One refutation ( )",
         "All refutations (x)"}};
    for (std::size_t i = 0; i < expected.size(); ++i)
      QCOMPARE(Layout(form->Menus()[i]), expected[i]);
    QCOMPARE(Layout(form->ContextMenu()), QStringList({"Cu&t", "&Copy", "&Paste"}));

    // No key does two things, and none takes a Ctrl+Alt key, which types a symbol.
    QList<QKeySequence> keys;
    for (QMenu* menu : form->Menus())
      for (QAction* a : menu->actions())
        for (const QKeySequence& key : a->shortcuts()) {
          QVERIFY2(!keys.contains(key), qPrintable(key.toString()));
          QVERIFY2(!(key[0].keyboardModifiers() & Qt::ControlModifier &&
                     key[0].keyboardModifiers() & Qt::AltModifier),
                   qPrintable(key.toString()));
          keys << key;
        }

    // A click on a radio item clears every other item of its group, group C across its
    // separator, and leaves the other groups alone.
    QMenu* prove = form->Menus()[3];
    QMenu* unify = form->Menus()[4];
    const std::vector<std::vector<QAction*>> groups = {
        {Item(prove, "Trivial check only"), Item(prove, "DCF"), Item(prove, "DCF + Kill")},
        {Item(prove, "Without restr. strategy"), Item(prove, "Filtration strategy"),
         Item(prove, "Support set strategy")},
        {Item(unify, "Exit on first unused"), Item(unify, "Exit on first match"),
         Item(unify, "Exit on last match")},
        {Item(unify, "One refutation"), Item(unify, "All refutations")}};
    std::vector<std::vector<bool>> state = {{0, 0, 1}, {1, 0, 0}, {0, 0, 1}, {0, 1}};
    for (std::size_t g = 0; g < groups.size(); ++g)
      for (std::size_t i = 0; i < groups[g].size(); ++i) {
        groups[g][i]->trigger();
        for (std::size_t k = 0; k < groups[g].size(); ++k) state[g][k] = k == i;
        for (std::size_t h = 0; h < groups.size(); ++h)
          for (std::size_t k = 0; k < groups[h].size(); ++k)
            QVERIFY2(groups[h][k]->isChecked() == state[h][k],
                     qPrintable(groups[g][i]->text() + " / " + groups[h][k]->text()));
      }
  }

  void ProofTakesTheOptionsAndStrategy() {
    TEditForm* form = parts->NewForm();
    form->Editor()->setPlainText(SocratesTheory());
    SetChecked(form, "&Output", "Memory", false);
    SetChecked(form, "&Output", "Statistics", true);
    Item(form->Menus()[3], "Support set strategy")->trigger();
    Item(form->Menus()[4], "Exit on first unused")->trigger();
    Item(form->Menus()[4], "One refutation")->trigger();
    QVERIFY(parts->Press(form, "Breadth"));
    TPLProgram& p = form->Program();
    using F = std::uint8_t TPLProgram::*;
    const std::vector<std::pair<F, bool>> flags = {
        {&TPLProgram::Interactive, 1},      {&TPLProgram::ShowTime, 1},
        {&TPLProgram::ShowMemory, 0},       {&TPLProgram::ShowAxioms, 0},
        {&TPLProgram::ShowResolvents, 0},   {&TPLProgram::ShowStatistics, 1},
        {&TPLProgram::CheckDcf, 0},         {&TPLProgram::CheckDcfKill, 1},
        {&TPLProgram::NoRestriction, 0},    {&TPLProgram::SupportSet, 1},
        {&TPLProgram::Filtration, 0},       {&TPLProgram::ShowUnsimplified, 0},
        {&TPLProgram::ShowProgress, 1},     {&TPLProgram::ShowSources, 1},
        {&TPLProgram::ExitOnFirstMatch, 0}, {&TPLProgram::ExitOnFirstUnused, 1},
        {&TPLProgram::ShowDcf, 0},          {&TPLProgram::GeneralCut, 0},
        {&TPLProgram::TrivialCheckOnly, 0}, {&TPLProgram::OneRefutation, 1},
        {&TPLProgram::QuantificationOn, 1}};
    for (std::size_t i = 0; i < flags.size(); ++i)
      QVERIFY2(p.*(flags[i].first) == flags[i].second, qPrintable(QString::number(i)));
    QCOMPARE(p.Strategy, SearchStrategy::BreadthFirst);

    // The flagless radio items clear their groups' flags.
    Item(form->Menus()[4], "Exit on last match")->trigger();
    Item(form->Menus()[4], "All refutations")->trigger();
    QVERIFY(parts->Press(form, "Linear"));
    QCOMPARE(p.ExitOnFirstUnused + p.ExitOnFirstMatch + p.OneRefutation, 0);

    const std::vector<std::pair<QString, SearchStrategy>> commands = {
        {"Linear", SearchStrategy::Linear},
        {"Breadth", SearchStrategy::BreadthFirst},
        {"Modified", SearchStrategy::ModifiedLinear},
        {"Linear search", SearchStrategy::Linear},
        {"Breadth-first search", SearchStrategy::BreadthFirst},
        {"Modified linear search", SearchStrategy::ModifiedLinear}};
    for (const auto& [caption, strategy] : commands) {
      p.Strategy = SearchStrategy(7);
      QSignalSpy finished(&parts->Runner, &TProofRunner::Finished);
      if (QPushButton* b = Button(form, caption))
        b->click();
      else
        Item(form->Menus()[3], caption)->trigger();
      QVERIFY(finished.wait(30000));
      QVERIFY2(p.Strategy == strategy, qPrintable(caption));
    }
  }

  void InteractiveReportGoesToThePane() {
    TEditForm* form =
        parts->NewForm();  // the example file itself: Interactive on writes nothing beside it
    form->OpenFile(VELMORAN_SOURCE_DIR "/examples/socrates.txt");
    GoldenSwitches(form);
    QVERIFY(parts->Press(form, "Linear"));
    QCOMPARE(form->OutputPane()->toPlainText().split('\n'), SocratesReport());
    QVERIFY(!QFile::exists(VELMORAN_SOURCE_DIR "/examples/socrates.txt.out"));
  }

  void ReportFileWithInteractiveOff() {
    TEditForm* form = FormWithFile("t1.txt", SocratesTheory());
    GoldenSwitches(form);
    SetChecked(form, "&Output", "Interactive", false);
    QVERIFY(parts->Press(form, "Linear"));
    QCOMPARE(FileBytes(Path("t1.txt.out")), CrLfLines(SocratesReport()));
    QCOMPARE(form->OutputPane()->toPlainText(), SocratesReport().join('\n'));
    QVERIFY(form->OutputPane()->hasFocus());

    // An untitled window writes Untitled.out in the current directory.
    const QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    TEditForm* untitled = parts->NewForm();
    untitled->Editor()->setPlainText(SocratesTheory());
    GoldenSwitches(untitled);
    SetChecked(untitled, "&Output", "Interactive", false);
    bool proved = parts->Press(untitled, "Linear");
    QDir::setCurrent(cwd);
    QVERIFY(proved);
    QCOMPARE(FileBytes(Path("Untitled.out")), CrLfLines(SocratesReport()));
  }

  void ShownReportLimit_data() {
    QTest::addColumn<int>("length");
    QTest::newRow("32767 shown") << 32767;
    QTest::newRow("32768 too long") << 32768;
  }
  void ShownReportLimit() {
    QFETCH(int, length);
    // Axioms on, time and memory off, nothing resolves: the report is the axiom listing alone,
    // 32 + 29 + (5 + n + 4 + 2) + 22 + 32 = n + 126 characters for an axiom name of n letters.
    const QString name(length - 126, 'a');
    const QStringList report = {QString(30, '_'),
                                "Source formulas (axioms) : ", "F0 : " + name + ":1; ",
                                PaneText("F1 (\xACquery) : \xACq:1; "), QString(30, '_')};
    QCOMPARE(CrLfLines(report).size(), length);
    TEditForm* form = FormWithFile("long.txt", name + ";\n?- q;");
    SetChecked(form, "&Output", "Axioms", true);
    for (const char* off : {"Time", "Memory", "Interactive"})
      SetChecked(form, "&Output", off, false);
    QVERIFY(parts->Press(form, "Linear"));
    QCOMPARE(FileBytes(Path("long.txt.out")), CrLfLines(report));
    QCOMPARE(form->OutputPane()->toPlainText(),
             length < 32768 ? report.join('\n')
                            : "Done, but output text exceeded the maximal size / consult the "
                              "output file (*.out).");
  }

  // A syntax error points at its place as the command line does: file, line and column, the
  // line and a caret under the place; the editor marks the line until it is edited, the status
  // says it was a syntax error, and a run that never reached a query leaves no report behind.
  void SyntaxErrorMessageAndCaret_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("interactive");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("proved");  // a query before the error: its report stays
    QTest::newRow("no delimiter") << "p(a);\nq(b)" << false
                                  << "bad.txt:2:5: error 9: Missing Delimiter.\nq(b)\n    ^"
                                  << "Syntax error at line 2, column 5: Missing Delimiter." << 10
                                  << false;
    QTest::newRow("no operator") << "p(a) q(b);" << true
                                 << "bad.txt:1:5: error 2: Missing operator.\np(a) q(b);\n    ^"
                                 << "Syntax error at line 1, column 5: Missing operator." << 4
                                 << false;
    // Tab, then the negation sign: the caret line keeps the tab, the line shows the real sign.
    QTest::newRow("tab and symbol")
        << PaneText("p;\n\t\xACp(a) q;") << false
        << "bad.txt:2:7: error 2: Missing operator.\n\t\u00ACp(a) q;\n\t     ^"
        << "Syntax error at line 2, column 7: Missing operator." << 9 << false;
    QTest::newRow("after a query")
        << "p;\n?- p;\nq q;" << true << "bad.txt:3:3: error 2: Missing operator.\nq q;\n  ^"
        << "Syntax error at line 3, column 3: Missing operator." << 11 << true;
  }
  void SyntaxErrorMessageAndCaret() {
    QFETCH(QString, text);
    QFETCH(bool, interactive);
    QFETCH(QString, box);
    QFETCH(QString, status);
    QFETCH(int, caret);
    QFETCH(bool, proved);
    TEditForm* form = FormWithFile("bad.txt", text);
    SetChecked(form, "&Output", "Interactive", interactive);
    QSignalSpy says(form, &TEditForm::StatusMessage);
    QVERIFY(parts->Press(form, "Linear"));
    QCOMPARE(parts->Dialogs.Asked, QStringList("syntax error: " + box));
    QCOMPARE(says.last().at(0).toString(), status);
    QCOMPARE(form->ProofState()->text(), status);
    QCOMPARE(form->Editor()->textCursor().position(), caret);
    QVERIFY(form->Editor()->hasFocus());
    QVERIFY(!QFile::exists(Path("bad.txt.out")));
    const QString report = form->OutputPane()->toPlainText();
    if (proved) {
      QVERIFY(report.contains("Best refutation degree: 1"));
      QVERIFY(report.contains("Solving time"));
    } else {
      QCOMPARE(report, QString());
    }

    const QList<QTextEdit::ExtraSelection> marks = form->Editor()->extraSelections();
    QCOMPARE(marks.size(), 1);
    QCOMPARE(marks[0].cursor.blockNumber(), form->Editor()->textCursor().blockNumber());
    // The marked line is the one the box shows (U+00AC is the negation sign in both).
    QCOMPARE(marks[0].cursor.block().text(), box.split('\n').at(1));
    QVERIFY(marks[0].format.background().style() != Qt::NoBrush);
    form->Editor()->insertPlainText(" ");
    QVERIFY(form->Editor()->extraSelections().isEmpty());
  }

  void StopReplacesTheProverObject() {
    TEditForm* form = parts->NewForm();
    form->Editor()->setPlainText(EndlessTheory());
    parts->Dialogs.DcfAnswers = {QString("7")};
    form->AskDcfLimit();
    QCOMPARE(form->Program().DcfLimit, 7);
    Button(form, "Breadth")->click();
    QVERIFY(parts->Runner.Busy());
    QTRY_VERIFY_WITH_TIMEOUT(form->OutputPane()->toPlainText().contains("R3 "), 20000);
    QVERIFY(parts->Press(form, "&Stop", 10000));
    // A new object (its address may be the old one's): the limit set above is gone.
    QCOMPARE(form->Program().DcfLimit, 10);
    QVERIFY(form->Program().Formulas.empty());
    // The old one goes on a thread of its own; the new one is active once it has gone.
    parts->Runner.Wait();
    QVERIFY(!parts->Runner.Disposing());
    QCOMPARE(Prover.ActiveProgram, &form->Program());
  }

  void SecondProofIsRefused() {
    TEditForm* first = parts->NewForm();
    TEditForm* second = parts->NewForm();
    first->Editor()->setPlainText(EndlessTheory());
    second->Editor()->setPlainText(SocratesTheory());
    Button(first, "Breadth")->click();
    QSignalSpy firstSays(first, &TEditForm::StatusMessage);
    QSignalSpy secondSays(second, &TEditForm::StatusMessage);
    Button(first, "Linear")->click();
    Button(second, "Modified")->click();
    QCOMPARE(first->Program().Strategy, SearchStrategy::BreadthFirst);
    const TPLProgram& untouched = second->Program();
    QCOMPARE(untouched.Strategy, SearchStrategy::Linear);
    QVERIFY(!untouched.Interactive && !untouched.Output && !untouched.SourceText);
    for (QSignalSpy* says : {&firstSays, &secondSays}) {
      QCOMPARE(says->count(), 1);
      QVERIFY(!says->at(0).at(0).toString().isEmpty());
      QVERIFY(says->at(0).at(0).toString() != "Proving...");
    }
    QCOMPARE(parts->Runner.Running(), &first->Program());
    // The refused window says why; the proving one keeps showing its progress.
    QCOMPARE(second->ProofState()->text(),
             QString("A proof is running in another window: stop it first."));
    QVERIFY(first->ProofState()->text().startsWith("Proving (breadth-first search): "));
  }

  // A proof shows that it runs: the title, and the line under the report with elapsed time,
  // resolvents stored and memory, renewed while it runs; the end says how it ended.
  void ProofCanBeWatched() {
    TEditForm* form = parts->NewForm();
    QVERIFY(form->ProofState()->isHidden());
    form->Editor()->setPlainText(EndlessTheory());
    Button(form, "Breadth")->click();
    QCOMPARE(form->windowTitle(), QString("Untitled[*] - proving"));
    QVERIFY(form->ProofState()->isVisible());
    const QRegularExpression running(
        R"(^Proving \(breadth-first search\): (\d+\.\d) s, resolvents stored: (\d+), )"
        R"(\d+(\.\d)? (bytes|kB|MB|GB) in use$)");
    QStringList shown;
    double seconds = -1;
    qint64 resolvents = -1;
    // Sampled for two seconds: the figures only grow, and the line changes several times.
    for (int i = 0; i < 40; ++i) {
      const QString text = form->ProofState()->text();
      const QRegularExpressionMatch m = running.match(text);
      QVERIFY2(m.hasMatch(), qPrintable(text));
      QVERIFY(m.captured(1).toDouble() >= seconds);
      QVERIFY(m.captured(2).toLongLong() >= resolvents);
      seconds = m.captured(1).toDouble();
      resolvents = m.captured(2).toLongLong();
      if (shown.isEmpty() || shown.last() != text) shown << text;
      QTest::qWait(50);
    }
    QVERIFY2(shown.size() >= 3, qPrintable(shown.join(" | ")));
    QVERIFY(seconds >= 1.0);
    QVERIFY(resolvents > 0);
    QVERIFY(parts->Press(form, "&Stop", 10000));
    QCOMPARE(form->windowTitle(), QString("Untitled[*]"));
    const QString stopped = form->ProofState()->text();
    QVERIFY2(QRegularExpression(R"(^Stopped: \d+\.\d s, resolvents stored: [1-9]\d*$)")
                 .match(stopped)
                 .hasMatch(),
             qPrintable(stopped));

    // Man(socrates) at 0.9 and the rule at 1: the Lukasiewicz product gives 0.9.
    form->Editor()->setPlainText(SocratesTheory());
    QVERIFY(parts->Press(form, "Linear"));
    // One resolvent, not man(socrates) from the negated query and the rule; then the refutation.
    QVERIFY2(QRegularExpression(
                 R"(^Refuted, best refutation degree 0\.9: \d+\.\d s, resolvents stored: 1$)")
                 .match(form->ProofState()->text())
                 .hasMatch(),
             qPrintable(form->ProofState()->text()));
    // Nothing resolves with q(b): the search ends with no resolvent.
    form->Editor()->setPlainText("p(a);\n?- q(b);");
    QVERIFY(parts->Press(form, "Linear"));
    QVERIFY2(QRegularExpression(
                 R"(^Search ended without a refutation: \d+\.\d s, resolvents stored: 0$)")
                 .match(form->ProofState()->text())
                 .hasMatch(),
             qPrintable(form->ProofState()->text()));
  }

  void DcfLimitBox_data() {
    QTest::addColumn<QString>("answer");  // null: Cancel
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("error");
    QTest::newRow("0") << "0" << 1 << false;
    QTest::newRow("-3") << "-3" << 1 << false;
    QTest::newRow("7") << "7" << 7 << false;
    QTest::newRow("cancel") << QString() << 5 << false;
    QTest::newRow("abc") << "abc" << 10 << true;
  }
  void DcfLimitBox() {
    QFETCH(QString, answer);
    QFETCH(int, limit);
    QFETCH(bool, error);
    TEditForm* form = parts->NewForm();
    parts->Dialogs.DcfAnswers = {answer};
    Item(form->Menus()[3], "DCF-Limit...")->trigger();
    QCOMPARE(form->Program().DcfLimit, limit);
    QCOMPARE(parts->Dialogs.Asked.size(), error ? 2 : 1);
    if (error) QVERIFY(parts->Dialogs.Asked[1].startsWith("error: "));
  }

  void CloseQuery() {
    auto& asked = parts->Dialogs.Asked;
    auto& answers = parts->Dialogs.SaveChangesAnswers;
    QVERIFY(parts->NewForm()->close());  // unmodified: no question
    QVERIFY(asked.isEmpty());

    const QString theory = PaneText("p(a);");
    const QStringList cases = {"yes", "no", "cancel"};
    for (const QString& answer : cases) {
      TEditForm* form = FormWithFile(answer + ".txt", theory);
      form->Editor()->appendPlainText("q(b);");
      asked.clear();
      answers = {answer == "yes"  ? QMessageBox::Yes
                 : answer == "no" ? QMessageBox::No
                                  : QMessageBox::Cancel};
      QCOMPARE(form->close(), answer != "cancel");
      QCOMPARE(asked, QStringList("save changes: Save changes to " + Path(answer + ".txt") + "?"));
      QCOMPARE(FileBytes(Path(answer + ".txt")),
               QByteArray(answer == "yes" ? "p(a);\r\nq(b);\r\n" : "p(a);"));
      if (answer == "cancel")
        QVERIFY(form->isVisible() && form->Editor()->document()->isModified());
    }

    // Yes on an untitled window whose save dialog is cancelled: nothing is written and the window
    // stays with its text, still modified; a later close asks again. (The dialog proposes the
    // folder of the files opened above.)
    TEditForm* untitled = parts->NewForm();
    untitled->Editor()->insertPlainText(theory);  // typed: the pane is modified
    asked.clear();
    answers = {QMessageBox::Yes};
    QVERIFY(!untitled->close());
    QCOMPARE(asked, QStringList({"save changes: Save changes to Untitled?",
                                 "save as: " + Path("Untitled")}));
    QVERIFY(untitled->isVisible());
    QCOMPARE(untitled->Editor()->toPlainText(), theory);
    QVERIFY(untitled->Editor()->document()->isModified());
    asked.clear();
    answers = {QMessageBox::No};
    QVERIFY(untitled->close());
    QCOMPARE(asked, QStringList("save changes: Save changes to Untitled?"));

    // Yes with a save that fails keeps the window as well.
    TEditForm* unwritable = FormWithFile("gone.txt", theory);
    unwritable->Editor()->appendPlainText("q(b);");
    QVERIFY(QFile::remove(Path("gone.txt")) && QDir(dir.path()).mkdir("gone.txt"));
    asked.clear();
    answers = {QMessageBox::Yes};
    QVERIFY(!unwritable->close());
    QCOMPARE(asked.size(), 2);
    QVERIFY(asked[1].startsWith("error: "));
    QVERIFY(unwritable->isVisible() && unwritable->Editor()->document()->isModified());
    answers = {QMessageBox::No};
    QVERIFY(unwritable->close());

    // Closing the window whose proof runs stops that proof before it asks.
    struct TAskWhileIdle : TScriptedDialogs {
      TProofRunner* Runner = nullptr;
      bool BusyWhenAsked = true;
      QMessageBox::StandardButton AskSaveChanges(QWidget* w, const QString& text) override {
        BusyWhenAsked = Runner->Busy();
        return TScriptedDialogs::AskSaveChanges(w, text);
      }
    } dialogs;
    dialogs.Runner = &parts->Runner;
    dialogs.SaveChangesAnswers = {QMessageBox::No};
    TAppContext context{dialogs, parts->Runner, QString()};
    QPointer<TEditForm> running = new TEditForm(context);
    running->Editor()->insertPlainText(EndlessTheory());
    QSignalSpy finished(&parts->Runner, &TProofRunner::Finished);
    Button(running, "Breadth")->click();
    QVERIFY(parts->Runner.Busy());
    QVERIFY(running->close());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(dialogs.Asked.size(), 1);
    QVERIFY(!dialogs.BusyWhenAsked);
    QTRY_VERIFY(running.isNull());  // before the context it refers to goes
  }

  // Save as names a theory the usual way: ".txt" added to a new name without one, the title
  // marking unsaved changes, the next untitled theory proposed in the same folder, and the files
  // saved listed first among the recent ones.
  void SaveAsNamesAndRemembers() {
    TEditForm* form = parts->NewForm();
    QCOMPARE(form->windowTitle(), QString("Untitled[*]"));
    QVERIFY(!form->isWindowModified());
    form->Editor()->insertPlainText("p(a);");
    QVERIFY(form->isWindowModified());
    parts->Dialogs.FileNames = {Path("fresh")};
    QCOMPARE(form->SaveAs(), TEditForm::SaveResult::Saved);
    QCOMPARE(parts->Dialogs.Asked, QStringList("save as: Untitled"));
    QCOMPARE(form->FileName(), Path("fresh.txt"));
    QCOMPARE(FileBytes(Path("fresh.txt")), QByteArray("p(a);\r\n"));
    QVERIFY(!QFile::exists(Path("fresh")));
    QCOMPARE(form->windowTitle(), QString("fresh.txt[*]"));
    QVERIFY(!form->isWindowModified());

    // A name with an extension, or one that exists already, is taken as it is.
    QVERIFY(WriteBytes(Path("README"), "old"));
    parts->Dialogs.FileNames = {Path("theory.fz"), Path("README")};
    QCOMPARE(form->SaveAs(), TEditForm::SaveResult::Saved);
    QCOMPARE(form->FileName(), Path("theory.fz"));
    QCOMPARE(form->SaveAs(), TEditForm::SaveResult::Saved);
    QCOMPARE(FileBytes(Path("README")), QByteArray("p(a);\r\n"));

    parts->Dialogs.Asked.clear();
    TEditForm* next = parts->NewForm();
    QCOMPARE(next->SaveAs(), TEditForm::SaveResult::Cancelled);
    QCOMPARE(parts->Dialogs.Asked, QStringList("save as: " + Path("Untitled")));
    QCOMPARE(parts->Habits.RecentFiles(),
             QStringList({Path("README"), Path("theory.fz"), Path("fresh.txt")}));
  }

  void EditItemsFollowFocusSelectionAndClipboard() {
    TEditForm* form = parts->NewForm();
    QMenu* edit = form->Menus()[1];
    auto open = [&] {
      edit->popup(QPoint(0, 0));
      edit->hide();
    };
    auto states = [&] {
      QString s;
      for (const char* c :
           {"Cu&t", "&Copy", "&Paste", "De&lete", "Select &all", "Clear Output", "Font..."})
        s += Item(edit, c)->isEnabled() ? '1' : '0';
      for (QAction* a : form->ContextMenu()->actions()) s += a->isEnabled() ? '1' : '0';
      return s;
    };
    form->Editor()->setPlainText("p(a);");
    form->Editor()->setFocus();
    QTRY_VERIFY(form->Editor()->hasFocus());
    QApplication::clipboard()->clear();
    open();
    QCOMPARE(states(), QString("0000111000"));
    form->Editor()->selectAll();
    QApplication::clipboard()->setText("q(b);");
    open();
    QCOMPARE(states(), QString("1111111111"));

    // With the focus on a button, neither pane counts: the states stay as they were.
    form->Editor()->moveCursor(QTextCursor::End);
    QApplication::clipboard()->clear();
    Button(form, "Linear")->setFocus();
    QTRY_VERIFY(Button(form, "Linear")->hasFocus());
    open();
    QCOMPARE(states(), QString("1111111111"));
    form->OutputPane()->setFocus();  // the output pane, no selection
    QTRY_VERIFY(form->OutputPane()->hasFocus());
    form->ContextMenu()->popup(QPoint(0, 0));
    form->ContextMenu()->hide();
    QCOMPARE(states(), QString("0000111000"));
  }
};

QTEST_MAIN(EditFormTest)
#include "edit_form_test.moc"
