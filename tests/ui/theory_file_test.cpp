// Theory files and the clipboard as the editor window's user meets them: a file comes back in the
// encoding it was opened in with CR LF line ends, a new theory is saved as one-byte text, a failed
// save loses nothing, an unreadable file says where, and the clipboard carries the real symbols.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QTemporaryDir>

#include "ui/support/window_fixture.h"

using namespace velmoran::ui;
using namespace velmoran::ui::test;

namespace {

// The immutable attribute stops even root from replacing a file; false where the file system or
// the process's capabilities do not allow it.
bool SetImmutable(const QString& path, bool on) {
  int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (ok) {
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ::close(fd);
  return ok;
}

}  // namespace

class TheoryFileTest : public QObject {
  Q_OBJECT
  std::unique_ptr<TProgramParts> parts;
  QTemporaryDir dir;

 private slots:
  void init() { parts = std::make_unique<TProgramParts>(); }
  void cleanup() { parts.reset(); }

  void OpenAndSaveBack_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("one-byte") << QByteArray("\xF7X p(X);\r\n\xACq(a);\r\n")
                              << PaneText("\xF7X p(X);\n\xACq(a);")
                              << QByteArray("\xF7X p(X);\r\n\xACq(a);\r\n");
    QTest::newRow("UTF-8, LF") << QByteArray("\xE2\x88\x80X p(X);\n")  // ∀
                               << PaneText("\xF7X p(X);") << QByteArray("\xE2\x88\x80X p(X);\r\n");
    QTest::newRow("UTF-8 with its mark") << QByteArray("\xEF\xBB\xBFp(a);\r\n") << PaneText("p(a);")
                                         << QByteArray("\xEF\xBB\xBFp(a);\r\n");
    QTest::newRow("one-byte, LF") << QByteArray("p(a);\nq(b);\n") << PaneText("p(a);\nq(b);")
                                  << QByteArray("p(a);\r\nq(b);\r\n");
    QTest::newRow("lone CR, no end") << QByteArray("p(a);\rq(b);") << PaneText("p(a);\nq(b);")
                                     << QByteArray("p(a);\r\nq(b);\r\n");
  }
  void OpenAndSaveBack() {
    QFETCH(QByteArray, file);
    QFETCH(QString, pane);
    QFETCH(QByteArray, saved);
    const QString path = dir.filePath("t.txt");
    QVERIFY(WriteBytes(path, file));
    TEditForm* form = parts->NewForm();
    form->OpenFile(path);
    // "[*]": the title's mark of unsaved changes, shown as "*" only while there are some.
    QCOMPARE(form->windowTitle(), QString("t.txt[*]"));
    QVERIFY(!form->isWindowModified());
    QCOMPARE(form->Editor()->toPlainText(), pane);
    QCOMPARE(form->Editor()->textCursor().position(), 0);
    QVERIFY(!form->Editor()->document()->isModified());
    QVERIFY(QFile::remove(path));
    QCOMPARE(form->Save(), TEditForm::SaveResult::Saved);
    QCOMPARE(FileBytes(path), saved);
    QVERIFY(parts->Dialogs.Asked.isEmpty());
  }

  void NewTheorySavedAsOneByteThenWithoutDialog() {
    const QString path = dir.filePath("new.txt");
    TEditForm* form = parts->NewForm();
    form->Editor()->setPlainText(PaneText("\xF7X p(X);"));
    parts->Dialogs.FileNames = {path};
    Item(form->Menus()[0], "&Save")->trigger();
    QCOMPARE(parts->Dialogs.Asked, QStringList("save as: Untitled"));
    QCOMPARE(FileBytes(path), QByteArray("\xF7X p(X);\r\n"));
    QCOMPARE(form->windowTitle(), QString("new.txt[*]"));
    QVERIFY(!form->isWindowModified());
    QCOMPARE(form->FileName(), path);
    form->Editor()->appendPlainText("q;");
    Item(form->Menus()[0], "&Save")->trigger();
    QCOMPARE(parts->Dialogs.Asked.size(), 1);
    QCOMPARE(FileBytes(path), QByteArray("\xF7X p(X);\r\nq;\r\n"));
    QVERIFY(!form->Editor()->document()->isModified());
  }

  void FailedSaveLosesNothing() {
    const QString path = dir.filePath("keep.txt");
    QVERIFY(WriteBytes(path, "p(a);\r\n"));
    TEditForm* form = parts->NewForm();
    form->OpenFile(path);
    form->Editor()->appendPlainText("q(b);");

    // Save as into a folder that does not exist: the window takes the new name all the same.
    const QString nowhere = dir.filePath("missing/other.txt");
    parts->Dialogs.FileNames = {nowhere};
    QCOMPARE(form->SaveAs(), TEditForm::SaveResult::Failed);
    QCOMPARE(parts->Dialogs.Asked.size(), 2);
    QVERIFY(parts->Dialogs.Asked[1].startsWith("error: "));
    QCOMPARE(form->FileName(), nowhere);
    QCOMPARE(form->windowTitle(), QString("other.txt[*]"));
    QVERIFY(form->isWindowModified());
    QVERIFY(form->Editor()->document()->isModified());

    // A file that cannot be replaced stays as it was.
    form->OpenFile(path);
    form->Editor()->appendPlainText("q(b);");
    if (!SetImmutable(path, true)) QSKIP("no immutable files here");
    auto result = form->Save();
    SetImmutable(path, false);
    QCOMPARE(result, TEditForm::SaveResult::Failed);
    QCOMPARE(FileBytes(path), QByteArray("p(a);\r\n"));
    QVERIFY(form->Editor()->document()->isModified());
    QVERIFY(parts->Dialogs.Asked.last().startsWith("error: "));
  }

  void UnreadableFileSaysWhere() {
    const QString path = dir.filePath("nul.txt");
    QVERIFY(WriteBytes(path, QByteArray("p(a);\r\nq\0;\r\n", 12)));
    TEditForm* form = parts->NewForm();
    form->OpenFile(path);
    QCOMPARE(parts->Dialogs.Asked.size(), 1);
    const QString error = parts->Dialogs.Asked[0];
    QVERIFY2(error.startsWith("error: ") && error.contains("line 2") && error.contains("column 2"),
             qPrintable(error));
    QCOMPARE(form->Editor()->toPlainText(), QString());
    QCOMPARE(form->windowTitle(), QString("nul.txt[*]"));
    QVERIFY(!form->isWindowModified());
    QCOMPARE(form->FileName(), path);
  }

  void ClipboardCarriesRealSymbols() {
    TEditForm* form = parts->NewForm();
    TTheoryPane* editor = form->Editor();
    editor->setPlainText(PaneText("\xF7X p(X);"));
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    editor->selectAll();
    Item(form->Menus()[1], "&Copy")->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8("\u2200X p(X);"));

    editor->clear();
    for (char16_t symbol : {u'\u2200', u'\u00F7'}) {
      QApplication::clipboard()->setText(QString(QChar(symbol)));
      Item(form->Menus()[1], "&Paste")->trigger();
    }
    QCOMPARE(editor->toPlainText(), PaneText("\xF7\xF7"));

    // Ctrl+C in the report after a letter was typed in the theory: a command, not a character
    // for the symbol filter to drop.
    form->OutputPane()->setPlainText(PaneText("\xACp(a):1; "));
    QTest::keyClick(editor, Qt::Key_A);
    form->OutputPane()->setFocus();
    QTRY_VERIFY(form->OutputPane()->hasFocus());
    QTest::keyClick(form->OutputPane(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form->OutputPane(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8("\u00ACp(a):1; "));
  }
};

QTEST_MAIN(TheoryFileTest)
#include "theory_file_test.moc"
