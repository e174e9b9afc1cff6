// The frame as its user meets it: the start-up window, the menu bar that follows the active
// editor window, New and Open, the About box, leaving the program with modified windows, and which
// prover object is active.
#include "ui/frame_form.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>

#include "ui/about_box.h"
#include "ui/support/window_fixture.h"

using namespace velmoran;
using namespace velmoran::ui;
using namespace velmoran::ui::test;

namespace {

QStringList MenuBarTitles(QMainWindow& frame) {
  QStringList titles;
  for (QAction* a : frame.menuBar()->actions()) titles << a->menu()->title();
  return titles;
}

QMenu* BarMenu(QMainWindow& frame, const QString& title) {
  for (QAction* a : frame.menuBar()->actions())
    if (a->menu()->title() == title) return a->menu();
  return nullptr;
}

}  // namespace

class FrameFormTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TProgramParts> parts;
  std::unique_ptr<TFrameForm> frame;
  QTemporaryDir dir;

 private slots:
  // As the program starts: the frame shown, then one editor window.
  void init() {
    parts = std::make_unique<TProgramParts>();
    parts->Context.ProgramFolder = "/program/folder";
    frame = std::make_unique<TFrameForm>(parts->Context);
    frame->show();
    frame->NewEditor();
    QVERIFY(QTest::qWaitForWindowActive(frame.get()));
  }
  void cleanup() {
    parts->Runner.RequestStop();
    parts->Runner.Wait();
    frame.reset();
    parts.reset();
  }

  void StartUpAndMenuBar() {
    // A maximized window's caption joins the frame's, as the toolkit's multiple-document area does.
    QVERIFY(frame->windowTitle().startsWith("Velmoran"));
    QCOMPARE(frame->Editors().size(), 1);
    // "[*]" is where a modified window shows "*".
    QCOMPARE(frame->Area()->subWindowList().first()->windowTitle(), QString("Untitled[*]"));
    QVERIFY(frame->Area()->subWindowList().first()->isMaximized());
    QCOMPARE(MenuBarTitles(*frame), QStringList({"&File", "&Edit", "&Output", "&Prove theorem",
                                                 "&Unification", "&Window", "&Help"}));
    QCOMPARE(BarMenu(*frame, "&File"), frame->ActiveEditor()->Menus()[0]);
    QCOMPARE(Layout(BarMenu(*frame, "&Help")), QStringList("About..."));
    QMenu* window = BarMenu(*frame, "&Window");
    emit window->aboutToShow();
    QCOMPARE(Layout(window),
             QStringList({"&Tile", "&Cascade", "&Arrange icons", "-", "&1 Untitled [x]"}));
    frame->ActiveEditor()->Editor()->insertPlainText("p(a);");
    emit window->aboutToShow();
    QCOMPARE(Layout(window).last(), QString("&1 Untitled* [x]"));
    frame->ActiveEditor()->Editor()->document()->setModified(false);

    // With no editor window the frame's own "&File" is back.
    frame->Area()->closeAllSubWindows();
    QTRY_COMPARE(MenuBarTitles(*frame), QStringList({"&File", "&Window", "&Help"}));
    QCOMPARE(frame->windowTitle(), QString("Velmoran"));
    QCOMPARE(Layout(BarMenu(*frame, "&File")),
             QStringList({"&New Ctrl+N", "&Open... Ctrl+O", "Open &recent", "-", "E&xit"}));
  }

  // New and Open make new windows; opening a theory that is open already brings its window to
  // the front instead. The open dialog starts in the folder used last.
  void NewAndOpenMakeNewWindows() {
    const QString path = dir.filePath("t1.txt");
    QVERIFY(WriteBytes(path, "p(a);\r\n"));
    Item(BarMenu(*frame, "&File"), "&New")->trigger();
    QCOMPARE(frame->Editors().size(), 2);
    parts->Dialogs.FileNames = {path, path};
    Item(BarMenu(*frame, "&File"), "&Open...")->trigger();
    const auto editors = frame->Editors();
    QCOMPARE(editors.size(), 3);
    TEditForm* opened = editors[2];
    QCOMPARE(opened->FileName(), path);
    QCOMPARE(opened->Editor()->toPlainText(), QString("p(a);"));
    QCOMPARE(frame->ActiveEditor(), opened);

    frame->Area()->setActiveSubWindow(frame->Area()->subWindowList().first());
    QCOMPARE(frame->ActiveEditor(), editors[0]);
    Item(BarMenu(*frame, "&File"), "&Open...")->trigger();
    QCOMPARE(parts->Dialogs.Asked, QStringList({"open: /program/folder", "open: " + dir.path()}));
    QCOMPARE(frame->Editors().size(), 3);
    QCOMPARE(frame->ActiveEditor(), opened);

    // The recent files open the same way.
    const QString other = dir.filePath("t2.txt");
    QVERIFY(WriteBytes(other, "q(b);\r\n"));
    parts->Habits.NoteFile(other);
    QMenu* recent = Submenu(BarMenu(*frame, "&File"), "Open &recent");
    emit recent->aboutToShow();
    QCOMPARE(Layout(recent), QStringList({"&1 " + other, "&2 " + path}));
    recent->actions()[0]->trigger();
    QCOMPARE(frame->Editors().size(), 4);
    QCOMPARE(frame->ActiveEditor()->FileName(), other);
    emit recent->aboutToShow();
    recent->actions()[1]->trigger();
    QCOMPARE(frame->Editors().size(), 4);
    QCOMPARE(frame->ActiveEditor(), opened);

    // An empty file opens unmodified, as any other.
    const QString empty = dir.filePath("empty.txt");
    QVERIFY(WriteBytes(empty, ""));
    TEditForm* blank = frame->OpenPath(empty);
    QVERIFY(!blank->isWindowModified());
    QVERIFY(!frame->isWindowModified());
  }

  // The keys people reach for, pressed on the frame as a user would.
  void UsualKeys() {
    TEditForm* first = frame->ActiveEditor();
    QTest::keySequence(frame.get(), QKeySequence("Ctrl+N"));
    QCOMPARE(frame->Editors().size(), 2);
    TEditForm* second = frame->ActiveEditor();
    QVERIFY(second != first);
    QTest::keySequence(frame.get(), QKeySequence("Ctrl+O"));
    QCOMPARE(parts->Dialogs.Asked, QStringList("open: /program/folder"));

    second->Editor()->setPlainText(SocratesTheory());
    parts->Dialogs.FileNames = {dir.filePath("socrates")};
    QTest::keySequence(frame.get(), QKeySequence("Ctrl+S"));
    QCOMPARE(second->FileName(), dir.filePath("socrates.txt"));
    QVERIFY(QFile::exists(dir.filePath("socrates.txt")));
    QVERIFY(!second->isWindowModified());

    // F5 proves with the strategy used last in the window, Linear before any.
    QSignalSpy finished(&parts->Runner, &TProofRunner::Finished);
    QTest::keyClick(frame.get(), Qt::Key_F5);
    QVERIFY(finished.wait(30000));
    QCOMPARE(second->Program().Strategy, SearchStrategy::Linear);
    QVERIFY(parts->Press(second, "Modified"));
    QTest::keyClick(frame.get(), Qt::Key_F5);
    QVERIFY(finished.wait(30000));
    QCOMPARE(second->Program().Strategy, SearchStrategy::ModifiedLinear);
    QVERIFY(second->OutputPane()->toPlainText().contains("Best refutation degree: 0.9"));

    // Escape stops a proof that would never end.
    second->Editor()->setPlainText(EndlessTheory());
    Button(second, "Breadth")->click();
    QTest::qWait(200);
    QVERIFY(parts->Runner.Busy());
    QMenu* windows = BarMenu(*frame, "&Window");
    emit windows->aboutToShow();
    QCOMPARE(Layout(windows).mid(4),
             QStringList({"&1 Untitled [ ]", "&2 socrates.txt - proving [x]"}));
    QTest::keyClick(frame.get(), Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!parts->Runner.Busy(), 10000);
    QVERIFY(second->Program().Formulas.empty());  // replaced, as after Stop

    // Undo takes back the last edit of the focused pane.
    second->Editor()->setPlainText("p(a);");
    second->Editor()->setFocus();
    QTRY_VERIFY(second->Editor()->hasFocus());
    QTest::keyClicks(second->Editor(), "q");
    QCOMPARE(second->Editor()->toPlainText(), QString("qp(a);"));
    Item(BarMenu(*frame, "&Edit"), "&Undo")->trigger();
    QCOMPARE(second->Editor()->toPlainText(), QString("p(a);"));
    Item(BarMenu(*frame, "&Edit"), "&Redo")->trigger();
    QCOMPARE(second->Editor()->toPlainText(), QString("qp(a);"));
  }

  // Each symbol button's tip names its symbol and a Ctrl+Alt key that types what the button
  // inserts; the About box names only such keys.
  void SymbolTipsNameWorkingKeys() {
    TEditForm* form = frame->ActiveEditor();
    const QStringList roles = {"Negation",         "Universal quantifier", "Existential quantifier",
                               "Implication",      "Conjunction",          "Disjunction",
                               "Not equal",        "Less or equal",        "Greater or equal",
                               "Formula separator"};
    const QList<QToolButton*> buttons = form->findChildren<QToolButton*>();
    QCOMPARE(buttons.size(), roles.size());
    for (int i = 0; i < buttons.size(); ++i) {
      const QString tip = buttons[i]->toolTip();
      QVERIFY2(tip.startsWith(roles[i] + " (Ctrl+Alt+"), qPrintable(tip));
      const QKeySequence key(tip.section("(", 1).chopped(1));
      form->Editor()->clear();
      buttons[i]->click();
      const QString clicked = form->Editor()->toPlainText();
      form->Editor()->clear();
      form->Editor()->setFocus();
      QTRY_VERIFY(form->Editor()->hasFocus());
      QTest::keyClick(form->Editor(), key[0].key(), key[0].keyboardModifiers());
      QVERIFY2(!clicked.isEmpty() && form->Editor()->toPlainText() == clicked, qPrintable(tip));
    }
    const QString about = frame->AboutBox()->findChild<QPlainTextEdit*>()->toPlainText();
    QVERIFY(!about.contains("E ("));
    for (const char* key : {"Q (forall)", "W (exists)", "I (implication)", "N (negation)"})
      QVERIFY(about.contains(key));
  }

  // The frame starts on the screen, whatever its size. At its default size, which fits a 1366 x 768
  // screen with room for a title bar and a task bar, it holds four tiled windows, each with its
  // whole tool bar.
  void FourTiledWindowsFit() {
    const QRect screen = frame->screen()->availableGeometry();
    QVERIFY(screen.contains(frame->geometry()));
    const QSize size = TFrameForm::kDefaultSize;
    QVERIFY(size.width() <= 1366 - 16 && size.height() <= 768 - 40 - 48);
    frame->resize(size);
    for (int i = 0; i < 3; ++i) frame->NewEditor();
    frame->Area()->tileSubWindows();
    const QList<QMdiSubWindow*> windows = frame->Area()->subWindowList();
    QCOMPARE(windows.size(), 4);
    const QRect area = frame->Area()->viewport()->rect();
    for (QMdiSubWindow* w : windows) {
      QVERIFY(area.contains(w->geometry()));
      QVERIFY2(w->widget()->width() >= w->widget()->minimumSizeHint().width(),
               qPrintable(QString::number(w->widget()->width())));
      QVERIFY(w->widget()->height() >= w->widget()->minimumSizeHint().height());
      for (QMdiSubWindow* v : windows)
        if (v != w) QVERIFY(!v->geometry().intersects(w->geometry()));
    }
  }

  void AboutBoxIsNonModal() {
    QVERIFY(frame->AboutBox()->isHidden());
    Item(BarMenu(*frame, "&Help"), "About...")->trigger();
    QVERIFY(frame->AboutBox()->isVisible());
    QVERIFY(!frame->AboutBox()->isModal());
    Button(frame->AboutBox(), "OK")->click();
    QVERIFY(frame->AboutBox()->isHidden());
  }

  void LeavingAsksEveryModifiedWindow() {
    frame->NewEditor();
    for (TEditForm* e : frame->Editors()) e->Editor()->insertPlainText("p(a);");
    parts->Dialogs.SaveChangesAnswers = {QMessageBox::No, QMessageBox::Cancel};
    QVERIFY(!frame->close());
    QCOMPARE(parts->Dialogs.Asked, QStringList(2, "save changes: Save changes to Untitled?"));
    QCOMPARE(frame->Editors().size(), 2);
    QVERIFY(frame->isVisible());

    // The No given while leaving was cancelled is no answer for a later close.
    parts->Dialogs.Asked.clear();
    parts->Dialogs.SaveChangesAnswers = {QMessageBox::Cancel};
    Item(frame->Editors().first()->Menus()[0], "&Close")->trigger();
    QCOMPARE(parts->Dialogs.Asked.size(), 1);
    QCOMPARE(frame->Editors().size(), 2);

    parts->Dialogs.SaveChangesAnswers = {QMessageBox::No, QMessageBox::No};
    QVERIFY(frame->close());
  }

  // Yes with the save dialog cancelled keeps the text, whichever way the close came: leaving the
  // program, the window's "&Close", the frame's keys for closing the active window.
  void CancelledSaveKeepsTheWindow() {
    TEditForm* first = frame->Editors().first();
    TEditForm* second = frame->NewEditor();
    const QString typed = "p(a);";
    for (TEditForm* e : {first, second}) e->Editor()->insertPlainText(typed);
    parts->Dialogs.SaveChangesAnswers = {QMessageBox::Yes};
    QVERIFY(!frame->close());
    QCOMPARE(parts->Dialogs.Asked,
             QStringList({"save changes: Save changes to Untitled?", "save as: Untitled"}));
    QVERIFY(frame->isVisible());
    QCOMPARE(frame->Editors().size(), 2);
    for (TEditForm* e : frame->Editors()) QCOMPARE(e->Editor()->toPlainText(), typed);

    QCOMPARE(frame->ActiveEditor(), second);
    for (const char* keys : {"Ctrl+F4", "Ctrl+W"}) {
      parts->Dialogs.Asked.clear();
      parts->Dialogs.SaveChangesAnswers = {QMessageBox::Yes};
      QTest::keySequence(frame.get(), QKeySequence(keys));
      QCOMPARE(parts->Dialogs.Asked,
               QStringList({"save changes: Save changes to Untitled?", "save as: Untitled"}));
      QCOMPARE(frame->Editors().size(), 2);
      QCOMPARE(second->Editor()->toPlainText(), typed);
    }
    parts->Dialogs.Asked.clear();
    parts->Dialogs.SaveChangesAnswers = {QMessageBox::Yes};
    Item(second->Menus()[0], "&Close")->trigger();
    QCOMPARE(parts->Dialogs.Asked.size(), 2);
    QCOMPARE(frame->Editors().size(), 2);

    // Saved under a name, the window closes by its key and the text is on disk.
    const QString path = dir.filePath("kept.txt");
    parts->Dialogs.SaveChangesAnswers = {QMessageBox::Yes};
    parts->Dialogs.FileNames = {path};
    QTest::keySequence(frame.get(), QKeySequence("Ctrl+F4"));
    QTRY_COMPARE(frame->Editors().size(), 1);
    QCOMPARE(FileBytes(path), QByteArray("p(a);\r\n"));
    parts->Dialogs.SaveChangesAnswers = {QMessageBox::No};
  }

  void ActivationMakesTheProverObjectActive() {
    TEditForm* first = frame->Editors().first();
    TEditForm* second = frame->NewEditor();
    QCOMPARE(Prover.ActiveProgram, &second->Program());
    frame->Area()->setActiveSubWindow(frame->Area()->subWindowList().first());
    QCOMPARE(Prover.ActiveProgram, &first->Program());
    QTRY_VERIFY(first->Editor()->hasFocus());

    // A window activated while a proof runs gets its object made active when the proof returns
    // (reading `ActiveProgram` before then would race with the proof's thread), and the proof's
    // end leaves the user in the window they went to.
    first->Editor()->setPlainText(SocratesTheory());
    QSignalSpy finished(&parts->Runner, &TProofRunner::Finished);
    Button(first, "Linear")->click();
    frame->Area()->setActiveSubWindow(frame->Area()->subWindowList().last());
    QCOMPARE(frame->ActiveEditor(), second);
    QVERIFY(finished.wait(30000));
    QCOMPARE(frame->ActiveEditor(), second);
    QCOMPARE(Prover.ActiveProgram, &second->Program());
  }
};

QTEST_MAIN(FrameFormTest)
#include "frame_form_test.moc"
