// The symbol input as a user meets it: key presses on real panes of a shown, active window.
// Events built by hand carry the native data of an X11 key press (keycode, X modifier state);
// QTest's clicks carry none and exercise the fallback on Qt's key codes and the shortcut path.
#include "ui/symbol_input.h"

#include <QAction>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

using namespace velmoran::ui;

namespace {

constexpr quint32 kCapsOn = 0x2;  // X LockMask

QString Bytes(const char* s) {
  return QString::fromLatin1(s);
}

// A key press and release as the platform delivers them.
void Key(QWidget* pane, int key, Qt::KeyboardModifiers mods, const QString& text,
         quint32 keycode = 0, quint32 nativeMods = 0) {
  QKeyEvent press(QEvent::KeyPress, key, mods, keycode, 0, nativeMods, text);
  QKeyEvent release(QEvent::KeyRelease, key, mods, keycode, 0, nativeMods, text);
  QCoreApplication::sendEvent(pane, &press);
  QCoreApplication::sendEvent(pane, &release);
}

}  // namespace

class SymbolInputTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QWidget> Window;
  QPlainTextEdit* Editor = nullptr;
  QPlainTextEdit* Output = nullptr;

 private slots:
  void init() {
    SymbolInput = {};
    Window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(Window.get());
    Editor = new QPlainTextEdit;
    Output = new QPlainTextEdit;
    layout->addWidget(Editor);
    layout->addWidget(Output);
    new TSymbolKeyFilter(Editor, true, Window.get());
    new TSymbolKeyFilter(Output, false, Window.get());
    Window->show();
    Window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Window.get()));
    Editor->setFocus();
    QTRY_VERIFY(Editor->hasFocus());
  }
  void cleanup() { Window.reset(); }

  void CtrlAltKeysInsertTheSymbolsOnly() {
    const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    for (Qt::Key k : {Qt::Key_Q, Qt::Key_W, Qt::Key_N, Qt::Key_C, Qt::Key_D, Qt::Key_I, Qt::Key_F,
                      Qt::Key_L, Qt::Key_G})
      QTest::keyClick(Editor, k, ctrlAlt);
    QCOMPARE(Editor->toPlainText(), Bytes("\xF7\xF6\xAC\xFD\xFC\xF4\xE1\xDF\xDD"));

    // E has no symbol: neither Ctrl+Alt+E's control character nor a German AltGr+E's euro sign
    // gets in.
    Editor->clear();
    Key(Editor, Qt::Key_E, ctrlAlt, QStringLiteral("\x05"));
    Key(Editor, Qt::Key_E, ctrlAlt, QString(QChar(0x20AC)));
    QCOMPARE(Editor->toPlainText(), QString());

    Editor->setPlainText("p(a)XXq(b)");
    QTextCursor c = Editor->textCursor();
    c.setPosition(4);
    c.setPosition(6, QTextCursor::KeepAnchor);
    Editor->setTextCursor(c);
    QTest::keyClick(Editor, Qt::Key_Space, ctrlAlt);
    QCOMPARE(Editor->toPlainText(), QString("p(a); q(b)"));
    QCOMPARE(Editor->textCursor().position(), 6);
  }

  void UsKeyMapWithAndWithoutShift() {
    for (Qt::Key k : {Qt::Key_2, Qt::Key_Slash, Qt::Key_Semicolon, Qt::Key_Apostrophe,
                      Qt::Key_Backslash, Qt::Key_QuoteLeft, Qt::Key_Minus})
      QTest::keyClick(Editor, k);
    QCOMPARE(Editor->toPlainText(), QString("2/;'\\`-"));

    // Qt names a shifted key by either of its characters.
    Editor->clear();
    for (Qt::Key k :
         {Qt::Key_2, Qt::Key_At, Qt::Key_ParenRight, Qt::Key_Question, Qt::Key_Colon,
          Qt::Key_QuoteDbl, Qt::Key_Bar, Qt::Key_AsciiTilde, Qt::Key_BraceLeft, Qt::Key_Equal})
      QTest::keyClick(Editor, k, Qt::ShiftModifier);
    QCOMPARE(Editor->toPlainText(), QString("@@)?:\"|~{+"));

    // Space, Enter and Backspace are the pane's own.
    Editor->clear();
    QTest::keyClicks(Editor, "ab");
    QTest::keyClick(Editor, Qt::Key_Space);
    QTest::keyClick(Editor, Qt::Key_Return);
    QTest::keyClick(Editor, Qt::Key_C);
    QTest::keyClick(Editor, Qt::Key_Backspace);
    QCOMPARE(Editor->toPlainText(), QString("ab \n"));
  }

  void PhysicalKeysWhateverTheLayout() {
    Key(Editor, Qt::Key_Minus, Qt::NoModifier, "-", 61);  // German "-" on the US "/" key
    Key(Editor, Qt::Key_Underscore, Qt::ShiftModifier, "_", 61);
    Key(Editor, Qt::Key_Odiaeresis, Qt::NoModifier, QString(QChar(0xF6)), 47);
    Key(Editor, Qt::Key_Y, Qt::NoModifier, "y", 52);  // German "y" on the US "Z" key
    Key(Editor, Qt::Key_At, Qt::ControlModifier | Qt::AltModifier, "@", 24);  // AltGr+Q
    Key(Editor, Qt::Key_At, Qt::GroupSwitchModifier, "@", 24);
    Key(Editor, Qt::Key_Less, Qt::NoModifier, "<", 94);  // no US position: the layout's own
    Key(Editor, 0, Qt::NoModifier, QString(QChar(0xB4)), 94);
    QCOMPARE(Editor->toPlainText(), Bytes("/?;z\xF7\xF7<"));

    const int expected[][2] = {{10, '1'}, {19, '0'}, {20, 189}, {21, 187}, {34, 219},
                               {35, 221}, {38, 'A'}, {47, 186}, {48, 222}, {49, 192},
                               {51, 220}, {58, 'M'}, {59, 188}, {60, 190}, {61, 191},
                               {65, 32},  {36, 0},   {87, 0},   {94, 0},   {9, 0}};
    for (auto [keycode, vk] : expected) QCOMPARE(VirtualKeyFromX11Keycode(keycode), vk);
  }

  void LettersFollowShiftAndCapsLock() {
    QTest::keyClick(Editor, Qt::Key_A, Qt::ShiftModifier);
    QTest::keyClick(Editor, Qt::Key_A);
    Key(Editor, Qt::Key_A, Qt::NoModifier, "A", 0, kCapsOn);
    Key(Editor, Qt::Key_A, Qt::ShiftModifier, "a", 0, kCapsOn);
    QCOMPARE(Editor->toPlainText(), QString("AaAa"));

    // While its key is held, Caps Lock does not count.
    QKeyEvent capsDown(QEvent::KeyPress, Qt::Key_CapsLock, Qt::NoModifier, 0, 0, kCapsOn);
    QCoreApplication::sendEvent(Editor, &capsDown);
    Key(Editor, Qt::Key_B, Qt::NoModifier, "B", 0, kCapsOn);
    QKeyEvent capsUp(QEvent::KeyRelease, Qt::Key_CapsLock, Qt::NoModifier, 0, 0, kCapsOn);
    QCoreApplication::sendEvent(Editor, &capsUp);
    Key(Editor, Qt::Key_B, Qt::NoModifier, "B", 0, kCapsOn);
    QCOMPARE(Editor->toPlainText(), QString("AaAabB"));
  }

  void OutputPaneTakesCharactersOnlyAfterAKeyTheEditorLeftAlone() {
    QTest::keyClick(Editor, Qt::Key_X);
    QTest::keyClick(Output, Qt::Key_Y);
    QTest::keyClick(Output, Qt::Key_Z);
    QCOMPARE(Output->toPlainText(), QString());

    QTest::keyClick(Editor, Qt::Key_Return);
    QTest::keyClick(Output, Qt::Key_Y);
    QTest::keyClick(Output, Qt::Key_Z);
    QCOMPARE(Output->toPlainText(), QString("yz"));

    // Above 127 never passes, and the drop shuts the pane until the next key-down.
    Key(Output, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9)));
    QTest::keyClick(Output, Qt::Key_W);
    QCOMPARE(Output->toPlainText(), QString("yz"));
    QCOMPARE(Editor->toPlainText(), QString("x\n"));
  }

  void InputMethodsCannotBypassTheKeyMap() {
    // A dead key composed by an input method would swallow the next key press of the editor.
    Editor->setPlainText("abc");
    Editor->moveCursor(QTextCursor::End);
    QInputMethodQueryEvent query(Qt::ImEnabled | Qt::ImCursorPosition);
    QCoreApplication::sendEvent(Editor, &query);
    QCOMPARE(query.value(Qt::ImEnabled).toBool(), false);
    QCOMPARE(query.value(Qt::ImCursorPosition).toInt(), 3);

    QTest::keyClick(Editor, Qt::Key_Return);
    QInputMethodEvent composed;
    composed.setCommitString(QString(QChar(0xE9)));
    QCoreApplication::sendEvent(Output, &composed);
    QCOMPARE(Output->toPlainText(), QString());
  }

  void KeypadDigitsComeFromThePlatform() {
    QCOMPARE(VirtualKeyFromQtKey(Qt::Key_1, Qt::KeypadModifier), 0);
    Key(Editor, Qt::Key_1, Qt::KeypadModifier, "1");
    Key(Editor, Qt::Key_2, Qt::KeypadModifier, "2", 88);  // KP_2
    QCOMPARE(Editor->toPlainText(), QString("12"));
    // Left to the pane, the key keeps the output pane open, as a key the editor serves would not.
    QTest::keyClick(Output, Qt::Key_K);
    QCOMPARE(Output->toPlainText(), QString("k"));
  }

  void CtrlAltSymbolsWinOverMenuShortcuts() {
    QAction ctrlAltD(Window.get()), ctrlD(Window.get()), ctrlAltE(Window.get());
    ctrlAltD.setShortcut(QKeySequence("Ctrl+Alt+D"));
    ctrlD.setShortcut(QKeySequence("Ctrl+D"));
    ctrlAltE.setShortcut(QKeySequence("Ctrl+Alt+E"));
    Window->addActions({&ctrlAltD, &ctrlD, &ctrlAltE});
    QSignalSpy firedCtrlAltD(&ctrlAltD, &QAction::triggered);
    QSignalSpy firedCtrlD(&ctrlD, &QAction::triggered);
    QSignalSpy firedCtrlAltE(&ctrlAltE, &QAction::triggered);

    QTest::keyClick(Editor, Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(firedCtrlAltD.count(), 0);
    QCOMPARE(Editor->toPlainText(), Bytes("\xFC"));
    QTest::keyClick(Editor, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(firedCtrlD.count(), 1);
    QTest::keyClick(Editor, Qt::Key_E, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(firedCtrlAltE.count(), 1);
    QCOMPARE(Editor->toPlainText(), Bytes("\xFC"));
  }

  void SymbolButtonsInsertAtTheSelection() {
    struct Expected {
      const char* Name;
      char Caption;
      const char* Text;
    };
    const Expected expected[] = {{"ButtonNeg", '\xAC', "\xAC"},  {"ButtonAll", '\xF7', "\xF7"},
                                 {"ButtonEx", '\xF6', "\xF6"},   {"ButtonImp", '\xF4', "\xF4"},
                                 {"ButtonAnd", '\xFD', "\xFD"},  {"ButtonOr", '\xFC', "\xFC"},
                                 {"ButtonNeqv", '\xE1', "\xE1"}, {"ButtonLeqv", '\xDF', "\xDF"},
                                 {"ButtonGeqv", '\xDD', "\xDD"}, {"ButtonSep", ';', "; "}};
    auto buttons = SymbolButtons();
    QCOMPARE(buttons.size(), std::size(expected));
    for (std::size_t i = 0; i < buttons.size(); ++i) {
      QCOMPARE(buttons[i].Name, expected[i].Name);
      QCOMPARE(buttons[i].CaptionByte, expected[i].Caption);
      QCOMPARE(buttons[i].Text, expected[i].Text);
    }

    Editor->setPlainText("p(a)XXq(b)");
    QTextCursor c = Editor->textCursor();
    c.setPosition(4);
    c.setPosition(6, QTextCursor::KeepAnchor);
    Editor->setTextCursor(c);
    Output->setFocus();
    QTRY_VERIFY(Output->hasFocus());
    ButtonNegClick(*Editor, buttons[1]);
    ButtonNegClick(*Editor, buttons[9]);
    QCOMPARE(Editor->toPlainText(), Bytes("p(a)\xF7; q(b)"));
    QVERIFY(Output->hasFocus());
  }
};

QTEST_MAIN(SymbolInputTest)
#include "symbol_input_test.moc"
