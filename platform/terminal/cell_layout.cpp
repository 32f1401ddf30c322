#include "platform/terminal/cell_layout.h"

#include <algorithm>

#include "framework/win32_types.h"

namespace morv::terminal {
namespace {

// Dialog units to cells, rounding halves up (all template values are >= 0).
int ToCols(int du) { return (du + 2) / 4; }
int ToRows(int du) { return (du + 4) / 8; }

// Height a closed combo box has on the desktop, in dialog units.
constexpr int kClosedComboHeight = 12;
// Controls at least this tall (in dialog units) take several rows.
constexpr int kMultiRowHeight = 16;

bool IsIcon(const ControlTemplate& c) {
  return c.cls == ControlClass::Static && (c.style & SS_TYPEMASK) == SS_ICON;
}
bool IsLabel(const ControlTemplate& c) { return c.cls == ControlClass::Static && !IsIcon(c); }
bool IsVisible(const ControlTemplate& c) { return (c.style & WS_VISIBLE) != 0; }

CellRect SingleRow(const ControlTemplate& c, int centreDu) {
  int col = ToCols(c.x);
  return CellRect{centreDu / 8, col, 1, std::max(ToCols(c.x + c.cx) - col, 1)};
}

CellRect MultiRow(const ControlTemplate& c) {
  int row = ToRows(c.y), col = ToCols(c.x);
  return CellRect{row, col, std::max(ToRows(c.y + c.cy) - row, 1), std::max(ToCols(c.x + c.cx) - col, 1)};
}

CellRect RawRect(const ControlTemplate& c) {
  switch (c.cls) {
    case ControlClass::ListBox:
      return MultiRow(c);
    case ControlClass::ComboBox:
      return SingleRow(c, c.y + kClosedComboHeight / 2);
    case ControlClass::Button: {
      CellRect r = SingleRow(c, c.y + c.cy / 2);
      // A push button always shows its whole caption in brackets.
      r.cols = std::max(r.cols, static_cast<int>(DisplayText(c.text).size()) + 2);
      return r;
    }
    case ControlClass::Progress:
      return SingleRow(c, c.y + c.cy / 2);
    case ControlClass::Static:
    case ControlClass::Edit:
      if (IsIcon(c) || c.cy >= kMultiRowHeight) return MultiRow(c);
      return SingleRow(c, c.y + c.cy / 2);
  }
  return MultiRow(c);
}

bool SharesRow(const CellRect& a, const CellRect& b) { return a.row < b.Bottom() && b.row < a.Bottom(); }

// The cells a label's text takes, between its neighbours on the same row.
CellRect LabelSpan(const ControlTemplate& label, const CellRect& own, const std::vector<CellRect>& rects,
                   const DialogTemplate& dialog, size_t self, int dialogCols) {
  int leftLimit = 0, rightLimit = dialogCols;
  for (size_t i = 0; i < rects.size(); ++i) {
    if (i == self || !IsVisible(dialog.controls[i]) || !SharesRow(rects[i], own)) continue;
    const CellRect& other = rects[i];
    if (other.col >= own.col)
      rightLimit = std::min(rightLimit, other.col - 1);
    else if (other.Right() <= own.Right())
      leftLimit = std::max(leftLimit, other.Right() + 1);
  }
  int length = static_cast<int>(DisplayText(label.text, (label.style & SS_NOPREFIX) != 0).size());
  int start, end;
  if ((label.style & SS_TYPEMASK) == SS_RIGHT) {
    end = std::min(own.Right(), rightLimit);
    start = std::max(leftLimit, end - length);
    end = std::min(rightLimit, std::max(end, start + length));
  } else {
    start = std::max(own.col, leftLimit);
    end = std::min(rightLimit, start + length);
    if (end - start < length) start = std::max(leftLimit, end - length);
  }
  return CellRect{own.row, start, 1, std::max(end - start, 0)};
}

}  // namespace

int DialogCols(const DialogTemplate& dialog) { return ToCols(dialog.cx); }
int DialogRows(const DialogTemplate& dialog) { return ToRows(dialog.cy); }

std::vector<CellRect> LayoutControls(const DialogTemplate& dialog) {
  std::vector<CellRect> raw;
  for (const auto& c : dialog.controls) raw.push_back(RawRect(c));
  std::vector<CellRect> out = raw;
  int cols = DialogCols(dialog);
  for (size_t i = 0; i < raw.size(); ++i) {
    const ControlTemplate& c = dialog.controls[i];
    if (IsLabel(c) && raw[i].rows == 1) out[i] = LabelSpan(c, raw[i], raw, dialog, i, cols);
  }
  return out;
}

int DropDownRows(const ControlTemplate& combo) {
  return std::max((combo.cy - kClosedComboHeight) / 8, 1);
}

std::string DisplayText(const std::string& text, bool noPrefix) {
  if (noPrefix) return text;
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    else if (text[i] == '&') continue;
    out += text[i];
  }
  return out;
}

}  // namespace morv::terminal
