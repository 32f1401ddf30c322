#include "platform/terminal/dialog_painter.h"

#include <algorithm>
#include <string>

#include "framework/text_elide.h"
#include "platform/terminal/cell_layout.h"
#include "platform/terminal/message_box_view.h"

namespace morv::terminal {
namespace {

int Width(std::string_view s) { return static_cast<int>(s.size()); }

// The mark left where a text too wide for its cells is shortened. Not '~': in the
// short names of the systems packages come from ("FIRMWA~1.OUC") it is part of a name.
constexpr const char* kElision = "...";

// `text` fitted to `cols` cells, the difference from `neighbours` (the other entries
// of its list) kept, then both the start and the end (a package name's version and
// extension, an error's reason).
std::string Elide(const std::string& text, int cols, const std::vector<std::string>& neighbours = {}) {
  return ElideKeepingDifference(text, neighbours, kElision, [cols](std::string_view s) { return Width(s) <= cols; });
}

// `label` centred between two bracket characters in `cols` cells.
std::string Bracketed(const std::string& label, int cols, char open, char close) {
  if (cols < 2) return label.substr(0, static_cast<size_t>(std::max(cols, 0)));
  std::string face(static_cast<size_t>(cols), ' ');
  face.front() = open;
  face.back() = close;
  int room = cols - 2;
  std::string shown = label.substr(0, static_cast<size_t>(room));
  face.replace(static_cast<size_t>(1 + (room - Width(shown)) / 2), shown.size(), shown);
  return face;
}

void PaintLabel(Canvas& canvas, const ControlState& c, const CellRect& r) {
  std::string text = DisplayText(c.text, (c.tpl.style & SS_NOPREFIX) != 0);
  int start = r.col;
  if ((c.tpl.style & SS_TYPEMASK) == SS_RIGHT) start = r.Right() - std::min(Width(text), r.cols);
  canvas.Text(r.row, start, text, c.enabled ? Paint::Window : Paint::Disabled, r.cols);
}

// An icon shrunk onto the cells of its static: each cell stands for a block of
// pixels and shows, when enough of them are opaque, a shade of their mean brightness.
void PaintIcon(Canvas& canvas, const IconResource* icon, const CellRect& r) {
  if (!icon || icon->rows.empty() || r.rows <= 0 || r.cols <= 0) return;
  int height = static_cast<int>(icon->rows.size());
  int width = static_cast<int>(icon->rows.front().size());
  for (int row = 0; row < r.rows; ++row)
    for (int col = 0; col < r.cols; ++col) {
      int opaque = 0, total = 0, brightness = 0;
      for (int y = row * height / r.rows; y < (row + 1) * height / r.rows; ++y) {
        const std::string& line = icon->rows[static_cast<size_t>(y)];
        for (int x = col * width / r.cols; x < (col + 1) * width / r.cols && x < Width(line); ++x) {
          ++total;
          char pixel = line[static_cast<size_t>(x)];
          auto it = std::find_if(icon->palette.begin(), icon->palette.end(),
                                 [&](const auto& entry) { return entry.first == pixel; });
          if (it == icon->palette.end() || (it->second >> 24) == 0) continue;
          uint32_t argb = it->second;
          brightness += static_cast<int>((((argb >> 16) & 0xFF) * 3 + ((argb >> 8) & 0xFF) * 6 + (argb & 0xFF)) / 10);
          ++opaque;
        }
      }
      if (total == 0 || opaque * 3 < total) continue;
      int mean = brightness / opaque;
      canvas.Put(r.row + row, r.col + col, mean < 80 ? '#' : mean < 160 ? '%' : mean < 220 ? '+' : '.', Paint::Picture);
    }
}

// A read-only field with the focus shows its whole text, wrapped in lines of its
// width from its own row down (up where the frame ends first), over what lies
// below: a terminal has no tooltip, and Tab reaching the field is how its whole
// text is asked for. Painted after the other controls, so that it lies on top.
void PaintWholeText(Canvas& canvas, const ControlState& c, const CellRect& r, int lastRow) {
  const int inner = r.cols - 2;
  if (!(c.tpl.style & ES_READONLY) || !(c.tpl.style & WS_BORDER) || Width(c.text) <= inner || inner <= 0) return;
  const std::vector<std::string> lines = WrapLines(c.text, inner);
  const int rows = static_cast<int>(lines.size());
  const int top = std::max(std::min(r.row, lastRow - rows + 1), 0);
  for (int i = 0; i < rows; ++i) {
    const int row = top + i;
    canvas.Fill(CellRect{row, r.col, 1, r.cols}, Paint::Focus);
    canvas.Put(row, r.col, '[', Paint::Focus);
    canvas.Put(row, r.Right() - 1, ']', Paint::Focus);
    canvas.Text(row, r.col + 1, lines[static_cast<size_t>(i)], Paint::Focus, inner);
  }
}

// The text lines an edit field shows in `rows` lines of `inner` cells: a multi-line
// field wraps its text as on the desktop (the last line shortened in the middle if
// the room ends first), a one-line field shortens it in the middle.
std::vector<std::string> EditLines(const ControlState& c, int inner, int rows) {
  if (!(c.tpl.style & ES_MULTILINE) || Width(c.text) <= inner || rows <= 1) return {Elide(c.text, inner)};
  std::vector<std::string> lines = WrapLines(c.text, inner);
  if (static_cast<int>(lines.size()) > rows) {
    std::string rest;
    for (size_t i = static_cast<size_t>(rows - 1); i < lines.size(); ++i) rest += (rest.empty() ? "" : " ") + lines[i];
    lines.resize(static_cast<size_t>(rows - 1));
    lines.push_back(Elide(rest, inner));
  }
  return lines;
}

// `rows` is how many lines, from the field's own, are free for a multi-line field.
void PaintEdit(Canvas& canvas, const ControlState& c, const CellRect& r, bool focused, int rows) {
  Paint paint = !c.enabled ? Paint::Disabled : focused ? Paint::Focus : Paint::Field;
  bool border = (c.tpl.style & WS_BORDER) != 0;
  int inner = border ? r.cols - 2 : r.cols;
  const std::vector<std::string> lines = EditLines(c, inner, rows);
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    const int row = r.row + i;
    const std::string& text = lines[static_cast<size_t>(i)];
    canvas.Fill(CellRect{row, r.col, 1, r.cols}, paint);
    int col = border ? r.col + 1 : r.col;
    if (c.tpl.style & ES_CENTER) col += std::max((inner - Width(text)) / 2, 0);
    if (border) {
      canvas.Put(row, r.col, '[', paint);
      canvas.Put(row, r.Right() - 1, ']', paint);
    }
    canvas.Text(row, col, text, paint, border ? r.col + 1 + inner - col : r.Right() - col);
  }
}

// Lines free from the row of control `index` down: to the next visible control
// beside it below, or to the frame's last inner row.
int RowsFreeBelow(const TerminalDialog& dialog, int index) {
  const auto& controls = dialog.Controls();
  const CellRect r = dialog.ScreenRect(controls[static_cast<size_t>(index)]);
  int end = dialog.Frame().Bottom() - 1;
  for (int i = 0; i < static_cast<int>(controls.size()); ++i) {
    const ControlState& c = controls[static_cast<size_t>(i)];
    const CellRect other = dialog.ScreenRect(c);
    if (i != index && c.visible && other.row > r.row && other.col < r.Right() && r.col < other.Right())
      end = std::min(end, other.row);
  }
  return std::max(end - r.row, 1);
}

// A bar of '#' cells for the part done, between brackets.
void PaintProgress(Canvas& canvas, const ControlState& c, const CellRect& r) {
  canvas.Fill(r, Paint::Field);
  canvas.Put(r.row, r.col, '[', Paint::Field);
  canvas.Put(r.row, r.Right() - 1, ']', Paint::Field);
  const int inner = std::max(r.cols - 2, 0);
  const int filled = c.total > 0 ? static_cast<int>(static_cast<long long>(inner) * c.done / c.total) : 0;
  canvas.Text(r.row, r.col + 1, std::string(static_cast<size_t>(std::clamp(filled, 0, inner)), '#'), Paint::Selected);
}

void PaintButton(Canvas& canvas, const ControlState& c, const CellRect& r, bool focused) {
  bool isDefault = (c.tpl.style & 0xF) == BS_DEFPUSHBUTTON;
  Paint paint = !c.enabled ? Paint::Disabled : focused ? Paint::Focus : isDefault ? Paint::DefaultButton : Paint::Button;
  canvas.Text(r.row, r.col, Bracketed(DisplayText(c.text), r.cols, focused ? '>' : '[', focused ? '<' : ']'), paint);
}

void PaintCombo(Canvas& canvas, const ControlState& c, const CellRect& r, bool focused) {
  Paint paint = !c.enabled ? Paint::Disabled : focused ? Paint::Focus : Paint::Field;
  canvas.Fill(r, paint);
  canvas.Put(r.row, r.col, '[', paint);
  canvas.Text(r.row, r.col + 1, Elide(c.text, r.cols - 3), paint, r.cols - 3);
  canvas.Put(r.row, r.Right() - 2, 'v', paint);
  canvas.Put(r.row, r.Right() - 1, ']', paint);
}

// Entries of a list from `top` in `inner`, the `highlight`ed one marked.
void PaintEntries(Canvas& canvas, const std::vector<std::string>& items, int top, int highlight, const CellRect& inner,
                  Paint paint) {
  for (int line = 0; line < inner.rows; ++line) {
    int index = top + line;
    if (index >= static_cast<int>(items.size())) break;
    Paint p = index == highlight ? Paint::Selected : paint;
    canvas.Fill(CellRect{inner.row + line, inner.col, 1, inner.cols}, p);
    canvas.Text(inner.row + line, inner.col, Elide(items[static_cast<size_t>(index)], inner.cols, items), p, inner.cols);
  }
}

void PaintList(Canvas& canvas, const ControlState& c, const CellRect& r, bool focused) {
  Paint paint = c.enabled ? Paint::Field : Paint::Disabled;
  bool border = (c.tpl.style & WS_BORDER) != 0;
  canvas.Fill(r, paint);
  CellRect inner = r;
  if (border) {
    canvas.Box(r, focused ? Paint::Focus : paint);
    inner = CellRect{r.row + 1, r.col + 1, std::max(r.rows - 2, 0), std::max(r.cols - 2, 0)};
  }
  PaintEntries(canvas, c.items, c.topIndex, c.curSel, inner, paint);
  if (!border) return;
  int count = static_cast<int>(c.items.size());
  if (c.topIndex > 0) canvas.Put(r.row, r.Right() - 2, '^', paint);
  if (c.topIndex + inner.rows < count) canvas.Put(r.Bottom() - 1, r.Right() - 2, 'v', paint);
  if (focused) {
    // As in the desktop list box, the focus sits on an entry also while none is
    // chosen; its mark then is dotted, like a focus rectangle, so that it does not
    // read as the chosen entry's.
    int caret = TerminalDialog::CaretIndex(c) - c.topIndex;
    char mark = c.curSel >= 0 ? '>' : ':';
    if (caret >= 0 && caret < inner.rows) canvas.Put(inner.row + caret, r.col, mark, Paint::Focus);
  }
}

void PaintDropDown(Canvas& canvas, const TerminalDialog& dialog) {
  const ControlState& c = dialog.Controls()[static_cast<size_t>(dialog.DroppedIndex())];
  CellRect box = dialog.DropDownRect();
  canvas.Fill(box, Paint::Field);
  canvas.Box(box, Paint::Focus);
  CellRect inner{box.row + 1, box.col + 1, box.rows - 2, box.cols - 2};
  PaintEntries(canvas, c.items, dialog.DropTop(), dialog.DropHighlight(), inner, Paint::Field);
}

void PaintMenuBar(Canvas& canvas, const TerminalDialog& dialog) {
  const MenuTemplate* menu = dialog.Menu();
  CellRect client = dialog.Client();
  canvas.Fill(CellRect{dialog.Frame().row + 1, client.col, 1, client.cols}, Paint::MenuBar);
  std::vector<CellRect> slots = dialog.BarSlots();
  for (size_t i = 0; i < slots.size(); ++i) {
    bool lit = dialog.Tracker().Top() == static_cast<int>(i);
    canvas.Text(slots[i].row, slots[i].col, " " + DisplayText(menu->items[i].text) + " ",
                lit ? Paint::MenuHighlight : Paint::MenuBar, client.Right() - slots[i].col);
  }
}

void PaintPopup(Canvas& canvas, const TerminalDialog& dialog) {
  const MenuTracker& tracker = dialog.Tracker();
  CellRect box = dialog.PopupBox();
  canvas.Fill(box, Paint::MenuBar);
  canvas.Box(box, Paint::MenuBar);
  const auto& items = tracker.PopupItems();
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    int row = box.row + 1 + i;
    if (items[static_cast<size_t>(i)].separator) {
      for (int col = box.col + 1; col < box.Right() - 1; ++col) canvas.Put(row, col, kHLine, Paint::MenuBar);
      canvas.Put(row, box.col, kTeeLeft, Paint::MenuBar);
      canvas.Put(row, box.Right() - 1, kTeeRight, Paint::MenuBar);
      continue;
    }
    Paint paint = i == tracker.Item() ? Paint::MenuHighlight : Paint::MenuBar;
    canvas.Fill(CellRect{row, box.col + 1, 1, box.cols - 2}, paint);
    canvas.Text(row, box.col + 2, DisplayText(items[static_cast<size_t>(i)].text), paint, box.cols - 4);
  }
}

}  // namespace

void PaintDialog(Canvas& canvas, const TerminalDialog& dialog, bool busy) {
  CellRect frame = dialog.Frame();
  canvas.Fill(frame, Paint::Window);
  canvas.Box(frame, Paint::Frame);
  int captionRoom = frame.cols - (dialog.HasSystemMenu() ? 8 : 4);
  canvas.Text(frame.row, frame.col + 2, " " + dialog.Template().caption + " ", Paint::Caption, captionRoom);
  if (dialog.HasSystemMenu()) canvas.Text(frame.row, frame.Right() - 4, "[x]", Paint::Frame);
  if (dialog.Menu()) PaintMenuBar(canvas, dialog);

  const auto& controls = dialog.Controls();
  for (int i = 0; i < static_cast<int>(controls.size()); ++i) {
    const ControlState& c = controls[static_cast<size_t>(i)];
    if (!c.visible) continue;
    CellRect r = dialog.ScreenRect(c);
    bool focused = i == dialog.FocusIndex();
    switch (c.tpl.cls) {
      case ControlClass::Static:
        if ((c.tpl.style & SS_TYPEMASK) == SS_ICON)
          PaintIcon(canvas, dialog.FindIcon(c.tpl.iconId), r);
        else
          PaintLabel(canvas, c, r);
        break;
      case ControlClass::Edit: PaintEdit(canvas, c, r, focused, RowsFreeBelow(dialog, i)); break;
      case ControlClass::Button: PaintButton(canvas, c, r, focused); break;
      case ControlClass::ComboBox: PaintCombo(canvas, c, r, focused); break;
      case ControlClass::ListBox: PaintList(canvas, c, r, focused); break;
      case ControlClass::Progress: PaintProgress(canvas, c, r); break;
    }
  }
  if (const int focus = dialog.FocusIndex(); focus >= 0) {
    const ControlState& c = controls[static_cast<size_t>(focus)];
    if (c.visible && c.tpl.cls == ControlClass::Edit) PaintWholeText(canvas, c, dialog.ScreenRect(c), frame.Bottom() - 2);
  }
  if (busy) canvas.Text(frame.Bottom() - 1, frame.col + 2, kBusyMarker, Paint::Busy);
  if (dialog.DroppedIndex() >= 0) PaintDropDown(canvas, dialog);
  if (dialog.Tracker().PopupOpen()) PaintPopup(canvas, dialog);
}

void PaintTooSmall(Canvas& canvas, int neededRows, int neededCols) {
  std::string line = "Terminal too small: needs " + std::to_string(neededCols) + "x" + std::to_string(neededRows) +
                     ", is " + std::to_string(canvas.Cols()) + "x" + std::to_string(canvas.Rows());
  canvas.Fill(CellRect{0, 0, canvas.Rows(), canvas.Cols()}, Paint::Screen);
  canvas.Text(0, 0, line, Paint::Busy, canvas.Cols());
}

}  // namespace morv::terminal
