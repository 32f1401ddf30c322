#pragma once
// A modal message box of the terminal toolkit: the caption, the text's lines (CR LF,
// LF or CR break them; lines too wide for the screen wrap at a blank), an icon
// marker and the desktop button sets in their order, the first one the default.

#include <optional>
#include <string>
#include <vector>

#include "platform/terminal/canvas.h"
#include "platform/terminal/key_event.h"

namespace morv::terminal {

struct BoxButton {
  std::string label;
  int result;  ///< IDOK, IDCANCEL, IDYES, ...
};

/// The labelled buttons of `type`'s button set, in their order.
std::vector<BoxButton> ButtonsOf(unsigned type);
/// The marker of the icon in bits 4-7 of `type`: 'x' stop, '?' question,
/// '!' exclamation, 'i' information; 0 for none.
char IconMarker(unsigned type);
/// `text` split into lines at CR LF, LF or CR; each line wrapped to `width` columns.
std::vector<std::string> WrapLines(const std::string& text, int width);

class MessageBoxView {
 public:
  MessageBoxView(std::string text, std::string caption, unsigned type);

  /// Lays the box out for a screen `screenCols` wide and returns its size.
  void Layout(int screenCols);
  int Rows() const;
  int Cols() const;
  /// Where the box is on the screen (set by the toolkit after Layout).
  void SetOrigin(int row, int col) { m_row = row, m_col = col; }
  CellRect Frame() const { return CellRect{m_row, m_col, Rows(), Cols()}; }

  /// Handles a key or click; returns the result once a button is pressed.
  std::optional<int> HandleKey(const KeyEvent& key);
  /// The answer when the box cannot be answered (the terminal is gone): Cancel, No,
  /// Abort or OK, whichever the box has first in that order.
  int CancelResult() const;

  void Paint(Canvas& canvas) const;

  const std::vector<std::string>& Lines() const { return m_lines; }

 private:
  int ButtonCols() const;
  int ButtonRowCols() const;
  CellRect ButtonRect(int index) const;

  std::string m_text, m_caption;
  char m_marker;
  std::vector<BoxButton> m_buttons;
  int m_escapeResult;
  std::vector<std::string> m_lines;
  int m_focus = 0;
  int m_textCols = 0;
  int m_row = 0, m_col = 0;
};

}  // namespace morv::terminal
