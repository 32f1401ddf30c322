#pragma once
// One input event of the terminal dialog: a key (with Alt), a mouse action or a
// change of the terminal itself. The ncurses backend decodes its input into these;
// tests script them.

namespace morv::terminal {

enum class KeyCode {
  Char,        ///< a printable character in `ch` (Space included)
  Tab,
  BackTab,     ///< Shift-Tab
  Enter,
  Escape,
  Up,
  Down,
  Left,
  Right,
  Home,
  End,
  PageUp,
  PageDown,
  F4,
  F10,
  Click,       ///< left button pressed at (`row`, `col`) of the screen
  WheelUp,     ///< wheel turned away from the operator at (`row`, `col`)
  WheelDown,
  Resize,      ///< the terminal changed its size
  Closed,      ///< the terminal is gone; no more input will come
  Wake,        ///< the wake descriptor became readable (a close request from outside)
};

struct KeyEvent {
  KeyCode code = KeyCode::Char;
  char ch = 0;       ///< the character of KeyCode::Char
  bool alt = false;  ///< held with Alt (or typed after Escape)
  int row = 0;       ///< mouse position, screen cells
  int col = 0;

  static KeyEvent Key(KeyCode code) { return KeyEvent{code}; }
  static KeyEvent Char(char c) { return KeyEvent{KeyCode::Char, c}; }
  static KeyEvent Alt(char c) { return KeyEvent{KeyCode::Char, c, true}; }
  static KeyEvent AltKey(KeyCode code) { return KeyEvent{code, 0, true}; }
  static KeyEvent Click(int row, int col) { return KeyEvent{KeyCode::Click, 0, false, row, col}; }
  static KeyEvent Wheel(bool up, int row, int col) {
    return KeyEvent{up ? KeyCode::WheelUp : KeyCode::WheelDown, 0, false, row, col};
  }
  bool IsChar(char c) const { return code == KeyCode::Char && !alt && ch == c; }
};

}  // namespace morv::terminal
