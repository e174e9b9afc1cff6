// Keyboard and button input of the logical symbols.
//
// The editor pane never takes a character from the keyboard layout. A key-down handler
// (`EditorKeyUp`) turns the physical key, read at its US position whatever layout is active, into
// the one-byte text to insert: a Ctrl+Alt layer gives the connectives, quantifiers and "; ", and a
// fixed US key map gives every printable ASCII character. A character filter (`EditorKeyPress`),
// on the editor and the output pane alike, drops the character the platform generates after a key
// the handler already served, every character that no key-down announced, and every character
// above 127. So bytes above 127 enter a pane only through the symbol keys, the symbol buttons and
// pasting. The two share the flags of `SymbolInput`, the only state of the module.
//
// Both functions are free of Qt; `TSymbolKeyFilter` feeds them from the panes' key events. Qt has
// one event for a key and its character: a key the handler consumed has its text inserted and the
// event eaten (which drops the platform's character); any other event is its character message.
// Ctrl+Alt keys and plain keys the handler consumes win over menu shortcuts. The editor pane
// refuses input methods, dead-key composition included, which would take the key presses it is
// made of; whatever an input method commits to the output pane passes the character filter too.
#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>
#include <span>
#include <string>

class QEvent;
class QKeyEvent;
class QPlainTextEdit;

namespace velmoran::ui {

// Process-wide flags shared by every editor pane's key-down handler and both panes' character
// filter.
struct SymbolInputState {
  bool KeyHandled = false;   // the last key-down inserted its text; its character is to be dropped
  bool KeyDownSeen = false;  // a key-down came since the filter last dropped a character
};
extern SymbolInputState SymbolInput;  // the one instance

enum KeyModifiers : unsigned { kShift = 1, kCtrl = 2, kAlt = 4, kOther = 8 };

// Key-down handler. `key` is the virtual-key code (letters 65..90, digits 48..57, space 32,
// punctuation 186..192 and 219..222); it is set to 0 when the key is consumed. Returns the one-byte
// text to insert, "" when none. `capsToggled`: Caps Lock is on; `capsKeyDown`: its key is held.
std::string EditorKeyUp(SymbolInputState& s, int& key, unsigned modifiers, bool capsToggled,
                        bool capsKeyDown);
// Character filter: false drops `ch`, true lets it through.
bool EditorKeyPress(SymbolInputState& s, char32_t ch);

// The virtual-key code of the US key at a physical position; 0 for keys with no place in the key
// tables (keypad, function and editing keys, the extra key beside left Shift).
int VirtualKeyFromX11Keycode(quint32 keycode);
// The same from Qt's key, for events that carry no native key data. Both characters of a key
// (plain and shifted) name it; keypad keys give 0.
int VirtualKeyFromQtKey(int qtKey, Qt::KeyboardModifiers mods);

// The symbol buttons, in tool-bar order: the caption glyph's byte and the one-byte text inserted.
struct SymbolButton {
  const char* Name;
  char CaptionByte;
  const char* Text;
  const char* Role;  // what the symbol stands for, as a tool tip names it
};
std::span<const SymbolButton> SymbolButtons();
// "Role (Ctrl+Alt+KEY)": the button's symbol and the key that types it.
QString SymbolToolTip(const SymbolButton& button);
// Replaces the pane's selection with the button's text; the focus stays where it is.
void ButtonNegClick(QPlainTextEdit& editor, const SymbolButton& button);

// The event filter of one pane; it installs itself on the pane. `editor` true: the key-down
// handler and the character filter; false (the output pane): the character filter only.
class TSymbolKeyFilter : public QObject {
  Q_OBJECT

 public:
  TSymbolKeyFilter(QPlainTextEdit* pane, bool editor, QObject* parent);
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool KeyPress(QKeyEvent& event);
  // True when the character filter lets every character of `text` through.
  static bool FilterPasses(const QString& text);

  QPlainTextEdit* Pane;
  bool Editor;
  bool CapsKeyDown = false;  // the Caps Lock key is held down on this pane
};

}  // namespace velmoran::ui
