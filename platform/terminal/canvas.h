#pragma once
// A grid of character cells the terminal dialog is painted on before it reaches the
// screen. Each cell holds a glyph (printable ASCII or a line-drawing piece) and a
// paint role; the backend turns roles into colours or, on a monochrome terminal,
// into attributes. Tests read the grid back as text.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace morv::terminal {

/// Line-drawing pieces; stored in a cell in place of a character.
enum Glyph : char {
  kHLine = 1,
  kVLine = 2,
  kTopLeft = 3,
  kTopRight = 4,
  kBottomLeft = 5,
  kBottomRight = 6,
  kTeeLeft = 7,   ///< ├
  kTeeRight = 8,  ///< ┤
};

/// What a cell shows; the backend decides how each role looks.
enum class Paint : uint8_t {
  Screen,        ///< behind every window
  Window,        ///< a window's face and its labels
  Frame,         ///< a window's border
  Caption,       ///< the caption in the top border
  Field,         ///< edit fields, combo boxes, list boxes
  Focus,         ///< the control holding the focus
  Selected,      ///< the selected entry of a list
  Button,
  DefaultButton,
  Disabled,
  MenuBar,
  MenuHighlight,
  Busy,          ///< the busy marker
  Picture,       ///< icon cells
};

struct Cell {
  char glyph = ' ';
  Paint paint = Paint::Screen;
  bool operator==(const Cell&) const = default;
};

struct CellRect {
  int row = 0, col = 0, rows = 0, cols = 0;
  int Bottom() const { return row + rows; }  ///< one past the last row
  int Right() const { return col + cols; }   ///< one past the last column
  bool Contains(int r, int c) const { return r >= row && r < Bottom() && c >= col && c < Right(); }
  bool operator==(const CellRect&) const = default;
};

class Canvas {
 public:
  Canvas(int rows, int cols);

  int Rows() const { return m_rows; }
  int Cols() const { return m_cols; }
  const Cell& At(int row, int col) const { return m_cells[static_cast<size_t>(row * m_cols + col)]; }

  /// Sets one cell; cells outside the grid are ignored.
  void Put(int row, int col, char glyph, Paint paint);
  /// Writes `text` from (row, col), at most `maxCols` cells (negative: to the edge).
  /// Bytes that are not printable ASCII show as '?', so no text can reach the
  /// terminal as a control sequence.
  void Text(int row, int col, std::string_view text, Paint paint, int maxCols = -1);
  /// Fills a rectangle with blanks of `paint`.
  void Fill(const CellRect& rect, Paint paint);
  /// Draws a single-line border on the outermost cells of `rect`.
  void Box(const CellRect& rect, Paint paint);

  /// Row `row` as text, line pieces as '-', '|' and '+', trailing blanks kept.
  std::string RowText(int row) const;
  /// The whole grid as text, one line per row, trailing blanks removed.
  std::string Dump() const;

 private:
  int m_rows, m_cols;
  std::vector<Cell> m_cells;
};

/// `glyph` as ASCII for text dumps.
char PlainGlyph(char glyph);

}  // namespace morv::terminal
