// The frame as its user meets it: the start-up window, the menu bar that follows the active
// editor window, New and Open, the About box, leaving the program with modified windows, and which
// prover object is active.
#include "ui/frame_form.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTemporaryDir>

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
    QCOMPARE(frame->Area()->subWindowList().first()->windowTitle(), QString("Untitled"));
    QVERIFY(frame->Area()->subWindowList().first()->isMaximized());
    QCOMPARE(MenuBarTitles(*frame), QStringList({"&File", "&Edit", "&Output", "&Prove theorem",
                                                 "&Unification", "&Window", "&Help"}));
    QCOMPARE(BarMenu(*frame, "&File"), frame->ActiveEditor()->Menus()[0]);
    QCOMPARE(Layout(BarMenu(*frame, "&Help")), QStringList("About..."));
    QMenu* window = BarMenu(*frame, "&Window");
    emit window->aboutToShow();
    QCOMPARE(Layout(window).mid(0, 3), QStringList({"&Tile", "&Cascade", "&Arrange icons"}));

    // With no editor window the frame's own "&File" is back.
    frame->Area()->closeAllSubWindows();
    QTRY_COMPARE(MenuBarTitles(*frame), QStringList({"&File", "&Window", "&Help"}));
    QCOMPARE(frame->windowTitle(), QString("Velmoran"));
    QCOMPARE(Layout(BarMenu(*frame, "&File")), QStringList({"&New", "&Open...", "-", "E&xit"}));
  }

  void NewAndOpenMakeNewWindows() {
    const QString path = dir.filePath("t1.txt");
    QVERIFY(WriteBytes(path, "p(a);\r\n"));
    Item(BarMenu(*frame, "&File"), "&New")->trigger();
    QCOMPARE(frame->Editors().size(), 2);
    parts->Dialogs.FileNames = {path, path};
    Item(BarMenu(*frame, "&File"), "&Open...")->trigger();
    Item(BarMenu(*frame, "&File"), "&Open...")->trigger();
    QCOMPARE(parts->Dialogs.Asked, QStringList({"open: /program/folder", "open: /program/folder"}));
    const auto editors = frame->Editors();
    QCOMPARE(editors.size(), 4);
    for (TEditForm* opened : {editors[2], editors[3]}) {
      QCOMPARE(opened->FileName(), path);
      QCOMPARE(opened->Editor()->toPlainText(), QString("p(a);"));
    }
    QVERIFY(editors[2] != editors[3]);
    QCOMPARE(frame->ActiveEditor(), editors[3]);
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
