#include "ui/symbol_input.h"

#include <QEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <array>
#include <span>
#include <string>
#include <string_view>

#include "logic/alphabet.h"

namespace velmoran::ui {

SymbolInputState SymbolInput;

namespace {

// Virtual-key codes of the punctuation keys, by their US caps.
constexpr int kVkSpace = 32;
constexpr int kVkSemicolon = 186;
constexpr int kVkEquals = 187;
constexpr int kVkComma = 188;
constexpr int kVkMinus = 189;
constexpr int kVkPeriod = 190;
constexpr int kVkSlash = 191;
constexpr int kVkBackQuote = 192;
constexpr int kVkBracketLeft = 219;
constexpr int kVkBackslash = 220;
constexpr int kVkBracketRight = 221;
constexpr int kVkQuote = 222;

// X keyboard state bit of a toggled Caps Lock.
constexpr quint32 kX11LockMask = 0x2;

constexpr char kSeparatorText[] = {kEnd, ' ', '\0'};

struct CtrlAltKey {
  int Key;
  char Symbol;
};
constexpr CtrlAltKey kCtrlAltKeys[] = {
    {'C', kAnd},       {'D', kOr},       {'F', kNotEqual}, {'G', kGreaterEqual}, {'I', kImplies},
    {'L', kLessEqual}, {'N', kNegation}, {'Q', kForAll},   {'W', kExists},
};

struct UsKey {
  int Key;
  char Plain;
  char Shifted;
};
constexpr UsKey kUsKeys[] = {
    {'0', '0', ')'},           {'1', '1', '!'},
    {'2', '2', '@'},           {'3', '3', '#'},
    {'4', '4', '$'},           {'5', '5', '%'},
    {'6', '6', '^'},           {'7', '7', '&'},
    {'8', '8', '*'},           {'9', '9', '('},
    {kVkSemicolon, ';', ':'},  {kVkEquals, '=', '+'},
    {kVkComma, ',', '<'},      {kVkMinus, '-', '_'},
    {kVkPeriod, '.', '>'},     {kVkSlash, '/', '?'},
    {kVkBackQuote, '`', '~'},  {kVkBracketLeft, '[', '{'},
    {kVkBackslash, '\\', '|'}, {kVkBracketRight, ']', '}'},
    {kVkQuote, '\'', '"'},
};

// A code and the virtual key it stands for.
struct KeyPair {
  int From;
  int Vk;
};

// X keycodes (evdev) of the US punctuation keys and the space bar.
constexpr KeyPair kX11Punctuation[] = {
    {20, kVkMinus},     {21, kVkEquals}, {34, kVkBracketLeft}, {35, kVkBracketRight},
    {47, kVkSemicolon}, {48, kVkQuote},  {49, kVkBackQuote},   {51, kVkBackslash},
    {59, kVkComma},     {60, kVkPeriod}, {61, kVkSlash},       {65, kVkSpace},
};

// Qt keys by either character of a US key.
constexpr KeyPair kQtKeys[] = {
    {Qt::Key_Space, kVkSpace},
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_Semicolon, kVkSemicolon},
    {Qt::Key_Colon, kVkSemicolon},
    {Qt::Key_Equal, kVkEquals},
    {Qt::Key_Plus, kVkEquals},
    {Qt::Key_Comma, kVkComma},
    {Qt::Key_Less, kVkComma},
    {Qt::Key_Minus, kVkMinus},
    {Qt::Key_Underscore, kVkMinus},
    {Qt::Key_Period, kVkPeriod},
    {Qt::Key_Greater, kVkPeriod},
    {Qt::Key_Slash, kVkSlash},
    {Qt::Key_Question, kVkSlash},
    {Qt::Key_QuoteLeft, kVkBackQuote},
    {Qt::Key_AsciiTilde, kVkBackQuote},
    {Qt::Key_BracketLeft, kVkBracketLeft},
    {Qt::Key_BraceLeft, kVkBracketLeft},
    {Qt::Key_Backslash, kVkBackslash},
    {Qt::Key_Bar, kVkBackslash},
    {Qt::Key_BracketRight, kVkBracketRight},
    {Qt::Key_BraceRight, kVkBracketRight},
    {Qt::Key_Apostrophe, kVkQuote},
    {Qt::Key_QuoteDbl, kVkQuote},
};

int Lookup(std::span<const KeyPair> pairs, int from) {
  for (const auto& p : pairs)
    if (p.From == from) return p.Vk;
  return 0;
}

std::string CtrlAltText(int key) {
  if (key == kVkSpace) return kSeparatorText;
  for (const auto& k : kCtrlAltKeys)
    if (k.Key == key) return {k.Symbol};
  return {};
}

// The US character of a key, plain or shifted; 0 for keys outside the table.
char UsCharacter(int key, bool shift) {
  for (const auto& k : kUsKeys)
    if (k.Key == key) return shift ? k.Shifted : k.Plain;
  return 0;
}

// AltGr is Ctrl+Alt to the key tables, as it is on the platform they come from; Qt reports it
// either way.
unsigned ModifiersOf(const QKeyEvent& e) {
  Qt::KeyboardModifiers m = e.modifiers() & ~Qt::KeypadModifier;
  unsigned out = 0;
  if (m & Qt::ShiftModifier) out |= kShift;
  if (m & (Qt::ControlModifier | Qt::GroupSwitchModifier)) out |= kCtrl;
  if (m & (Qt::AltModifier | Qt::GroupSwitchModifier)) out |= kAlt;
  if (m & Qt::MetaModifier) out |= kOther;
  return out;
}

// The physical key: the native keycode where the event has one (on X11 and Wayland alike the X
// keycode), Qt's key for synthesized events.
int VirtualKeyOf(const QKeyEvent& e) {
  if (e.nativeScanCode() != 0) return VirtualKeyFromX11Keycode(e.nativeScanCode());
  return VirtualKeyFromQtKey(e.key(), e.modifiers());
}

bool CapsToggled(const QKeyEvent& e) {
  return (e.nativeModifiers() & kX11LockMask) != 0;
}

void InsertIntoPane(QPlainTextEdit& pane, const std::string& text) {
  QTextCursor cursor = pane.textCursor();
  cursor.insertText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
  pane.setTextCursor(cursor);
}

}  // namespace

std::string EditorKeyUp(SymbolInputState& s, int& key, unsigned modifiers, bool capsToggled,
                        bool capsKeyDown) {
  const int k = key;
  s.KeyHandled = false;
  s.KeyDownSeen = true;
  std::string text;
  auto consume = [&](std::string t) {
    key = 0;
    s.KeyHandled = s.KeyDownSeen = true;
    text = std::move(t);
    if (text.empty()) {  // not in the table after all
      key = k;
      s.KeyHandled = false;
    }
  };
  if (modifiers == (kCtrl | kAlt)) {
    consume(CtrlAltText(k));
  } else if (modifiers == 0 || modifiers == kShift) {
    char c = UsCharacter(k, modifiers == kShift);
    consume(c != 0 ? std::string(1, c) : std::string());
  }
  if (key >= 'A' && key <= 'Z' && (modifiers == 0 || modifiers == kShift)) {
    bool upper = (modifiers == kShift) != (capsToggled && !capsKeyDown);
    consume(std::string(1, static_cast<char>(upper ? key : key - 'A' + 'a')));
  }
  return text;
}

bool EditorKeyPress(SymbolInputState& s, char32_t ch) {
  if (s.KeyHandled || !s.KeyDownSeen || ch > 127) {
    s.KeyHandled = s.KeyDownSeen = false;
    return false;
  }
  return true;
}

int VirtualKeyFromX11Keycode(quint32 keycode) {
  // The letter and digit rows of a US keyboard by X keycode.
  struct Row {
    quint32 First;
    const char* Keys;
  };
  static constexpr Row kRows[] = {
      {10, "1234567890"}, {24, "QWERTYUIOP"}, {38, "ASDFGHJKL"}, {52, "ZXCVBNM"}};
  for (const auto& row : kRows)
    if (keycode >= row.First && keycode < row.First + std::char_traits<char>::length(row.Keys))
      return row.Keys[keycode - row.First];
  return Lookup(kX11Punctuation, static_cast<int>(keycode));
}

int VirtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers mods) {
  if (mods & Qt::KeypadModifier) return 0;
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
    return qtKey;  // Qt's codes of these keys are their virtual-key codes
  return Lookup(kQtKeys, qtKey);
}

std::span<const SymbolButton> SymbolButtons() {
  static constexpr char kNeg[] = {kNegation, '\0'};
  static constexpr char kAll[] = {kForAll, '\0'};
  static constexpr char kEx[] = {kExists, '\0'};
  static constexpr char kImp[] = {kImplies, '\0'};
  static constexpr char kConj[] = {kAnd, '\0'};
  static constexpr char kDisj[] = {kOr, '\0'};
  static constexpr char kNeqv[] = {kNotEqual, '\0'};
  static constexpr char kLeqv[] = {kLessEqual, '\0'};
  static constexpr char kGeqv[] = {kGreaterEqual, '\0'};
  static constexpr std::array<SymbolButton, 10> kButtons{{
      {"ButtonNeg", kNegation, kNeg, "Negation"},
      {"ButtonAll", kForAll, kAll, "Universal quantifier"},
      {"ButtonEx", kExists, kEx, "Existential quantifier"},
      {"ButtonImp", kImplies, kImp, "Implication"},
      {"ButtonAnd", kAnd, kConj, "Conjunction"},
      {"ButtonOr", kOr, kDisj, "Disjunction"},
      {"ButtonNeqv", kNotEqual, kNeqv, "Not equal"},
      {"ButtonLeqv", kLessEqual, kLeqv, "Less or equal"},
      {"ButtonGeqv", kGreaterEqual, kGeqv, "Greater or equal"},
      {"ButtonSep", kEnd, kSeparatorText, "Formula separator"},
  }};
  return kButtons;
}

QString SymbolToolTip(const SymbolButton& button) {
  // The key comes from the key map itself, so the tip cannot name a key that types nothing.
  QString key;
  if (std::string_view(button.Text) == kSeparatorText) key = "Space";
  for (const CtrlAltKey& k : kCtrlAltKeys)
    if (std::string_view(button.Text) == std::string_view(&k.Symbol, 1)) key = QChar(k.Key);
  return key.isEmpty() ? QString(button.Role) : QString("%1 (Ctrl+Alt+%2)").arg(button.Role, key);
}

void ButtonNegClick(QPlainTextEdit& editor, const SymbolButton& button) {
  InsertIntoPane(editor, button.Text);
}

TSymbolKeyFilter::TSymbolKeyFilter(QPlainTextEdit* pane, bool editor, QObject* parent)
    : QObject(parent), Pane(pane), Editor(editor) {
  pane->installEventFilter(this);
}

bool TSymbolKeyFilter::FilterPasses(const QString& text) {
  // Every character is filtered, as each would be a message of its own: a dropped one clears the
  // flags for those after it.
  bool passes = true;
  for (char32_t ch : text.toUcs4()) passes = EditorKeyPress(SymbolInput, ch) && passes;
  return passes;
}

namespace {

// Ctrl without Alt makes a command of a key (clipboard, select all, word moves), not a
// character: the character filter is not asked, and Ctrl+D belongs to the window's "De&lete".
bool IsCommandChord(const QKeyEvent& e) {
  Qt::KeyboardModifiers m = e.modifiers();
  return (m & Qt::ControlModifier) && !(m & (Qt::AltModifier | Qt::GroupSwitchModifier));
}

bool IsDeleteChord(const QKeyEvent& e) {
  return IsCommandChord(e) && !(e.modifiers() & Qt::ShiftModifier) && e.key() == Qt::Key_D;
}

}  // namespace

bool TSymbolKeyFilter::KeyPress(QKeyEvent& event) {
  if (event.key() == Qt::Key_CapsLock) CapsKeyDown = true;
  // The pane's own Ctrl+D (delete the next character, on X11) would act where the window's item
  // deletes only a selection.
  if (IsDeleteChord(event)) return true;
  if (IsCommandChord(event)) return false;
  if (Editor) {
    int key = VirtualKeyOf(event);
    std::string text =
        EditorKeyUp(SymbolInput, key, ModifiersOf(event), CapsToggled(event), CapsKeyDown);
    if (!text.empty()) {
      FilterPasses(event.text());  // drops the platform's own character of the key
      InsertIntoPane(*Pane, text);
      return true;
    }
  }
  return !event.text().isEmpty() && !FilterPasses(event.text());
}

bool TSymbolKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (watched != Pane) return false;
  switch (event->type()) {
    case QEvent::KeyPress:
      return KeyPress(*static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_CapsLock) CapsKeyDown = false;
      return false;
    case QEvent::ShortcutOverride: {
      // A key the handler will serve must come as a key press, not fire a menu shortcut. Asked on
      // a scratch copy of the flags: the key press itself updates the real ones.
      auto& e = *static_cast<QKeyEvent*>(event);
      // Left unaccepted, so the window's shortcut takes it before the pane can.
      if (IsDeleteChord(e)) return true;
      if (!Editor) return false;
      SymbolInputState scratch = SymbolInput;
      int key = VirtualKeyOf(e);
      if (EditorKeyUp(scratch, key, ModifiersOf(e), false, false).empty()) return false;
      e.accept();
      return true;
    }
    case QEvent::InputMethodQuery: {
      // The editor refuses input methods, dead-key composition among them: they would take the
      // key presses the key map is made of.
      if (!Editor) return false;
      auto& q = *static_cast<QInputMethodQueryEvent*>(event);
      for (unsigned bit = 1; bit != 0; bit <<= 1)
        if (auto query = static_cast<Qt::InputMethodQuery>(q.queries().toInt() & bit))
          q.setValue(query,
                     query == Qt::ImEnabled ? QVariant(false) : Pane->inputMethodQuery(query));
      return true;
    }
    case QEvent::InputMethod: {
      // An input method commits text without a key press; it is character input all the same.
      auto& e = *static_cast<QInputMethodEvent*>(event);
      return !e.commitString().isEmpty() && !FilterPasses(e.commitString());
    }
    default:
      return false;
  }
}

}  // namespace velmoran::ui
