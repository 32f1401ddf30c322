#include "platform/terminal/canvas.h"

#include <algorithm>

namespace morv::terminal {

Canvas::Canvas(int rows, int cols)
    : m_rows(std::max(rows, 0)), m_cols(std::max(cols, 0)), m_cells(static_cast<size_t>(m_rows * m_cols)) {}

void Canvas::Put(int row, int col, char glyph, Paint paint) {
  if (row < 0 || row >= m_rows || col < 0 || col >= m_cols) return;
  m_cells[static_cast<size_t>(row * m_cols + col)] = Cell{glyph, paint};
}

void Canvas::Text(int row, int col, std::string_view text, Paint paint, int maxCols) {
  int limit = maxCols < 0 ? static_cast<int>(text.size()) : std::min(maxCols, static_cast<int>(text.size()));
  for (int i = 0; i < limit; ++i) {
    unsigned char c = static_cast<unsigned char>(text[static_cast<size_t>(i)]);
    Put(row, col + i, c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?', paint);
  }
}

void Canvas::Fill(const CellRect& rect, Paint paint) {
  for (int r = rect.row; r < rect.Bottom(); ++r)
    for (int c = rect.col; c < rect.Right(); ++c) Put(r, c, ' ', paint);
}

void Canvas::Box(const CellRect& rect, Paint paint) {
  if (rect.rows < 2 || rect.cols < 2) return;
  int bottom = rect.Bottom() - 1, right = rect.Right() - 1;
  for (int c = rect.col + 1; c < right; ++c) {
    Put(rect.row, c, kHLine, paint);
    Put(bottom, c, kHLine, paint);
  }
  for (int r = rect.row + 1; r < bottom; ++r) {
    Put(r, rect.col, kVLine, paint);
    Put(r, right, kVLine, paint);
  }
  Put(rect.row, rect.col, kTopLeft, paint);
  Put(rect.row, right, kTopRight, paint);
  Put(bottom, rect.col, kBottomLeft, paint);
  Put(bottom, right, kBottomRight, paint);
}

char PlainGlyph(char glyph) {
  switch (glyph) {
    case kHLine: return '-';
    case kVLine: return '|';
    case kTopLeft: case kTopRight: case kBottomLeft: case kBottomRight:
    case kTeeLeft: case kTeeRight: return '+';
    default: return glyph;
  }
}

std::string Canvas::RowText(int row) const {
  std::string line;
  for (int c = 0; c < m_cols; ++c) line += PlainGlyph(At(row, c).glyph);
  return line;
}

std::string Canvas::Dump() const {
  std::string out;
  for (int r = 0; r < m_rows; ++r) {
    std::string line = RowText(r);
    line.erase(line.find_last_not_of(' ') + 1);
    out += line + '\n';
  }
  return out;
}

}  // namespace morv::terminal
