#include "platform/terminal/terminal_dialog.h"

#include <algorithm>

#include "platform/terminal/cell_layout.h"
#include "framework/list_order.h"

namespace morv::terminal {
namespace {

MenuItem Command(const std::string& text, unsigned id) {
  MenuItem item;
  item.text = text;
  item.id = static_cast<int>(id);
  return item;
}

bool IsSorted(const ControlTemplate& c) {
  if (c.cls == ControlClass::ListBox) return (c.style & LBS_SORT) != 0;
  if (c.cls == ControlClass::ComboBox) return (c.style & CBS_SORT) != 0;
  return false;
}

}  // namespace

TerminalDialog::TerminalDialog(const DialogTemplate& dialog, const ProgramResources& resources)
    : m_template(dialog), m_icons(resources.icons) {
  if (const MenuTemplate* menu = resources.FindMenu(dialog.menuId)) {
    m_menu = *menu;
    m_hasMenu = !m_menu.items.empty();
  }
  std::vector<CellRect> rects = LayoutControls(dialog);
  for (size_t i = 0; i < dialog.controls.size(); ++i) {
    const ControlTemplate& c = dialog.controls[i];
    ControlState state;
    state.tpl = c;
    state.rect = rects[i];
    state.enabled = (c.style & WS_DISABLED) == 0;
    state.visible = (c.style & WS_VISIBLE) != 0;
    if (c.cls != ControlClass::ComboBox && c.cls != ControlClass::ListBox) state.text = c.text;
    m_controls.push_back(std::move(state));
  }
  if (HasSystemMenu()) m_systemMenu.push_back(Command("Close", SC_CLOSE));
}

// --- DialogWindow ---------------------------------------------------------------

void TerminalDialog::EndDialog(int result) {
  m_ended = true;
  m_result = result;
}

ControlState* TerminalDialog::Find(int id) {
  for (auto& c : m_controls)
    if (c.tpl.id == id) return &c;
  return nullptr;
}

const ControlState* TerminalDialog::Find(int id) const {
  return const_cast<TerminalDialog*>(this)->Find(id);
}

int TerminalDialog::IndexOf(const ControlState& control) const {
  return static_cast<int>(&control - m_controls.data());
}

void TerminalDialog::Changed() {
  if (m_onChange) m_onChange();
}

void TerminalDialog::SetWindowText(int id, const std::string& text) {
  if (ControlState* c = Find(id)) {
    c->text = text;
    Changed();
  }
}

void TerminalDialog::SetProgress(int id, int done, int total) {
  ControlState* c = Find(id);
  if (!c || c->tpl.cls != ControlClass::Progress) return;
  c->done = done;
  c->total = total;
  c->visible = total > 0;
  Changed();
}

std::string TerminalDialog::GetWindowText(int id) const {
  const ControlState* c = Find(id);
  return c ? c->text : std::string();
}

void TerminalDialog::EnableWindow(int id, bool enable) {
  if (ControlState* c = Find(id)) {
    c->enabled = enable;
    if (!enable && IndexOf(*c) == m_dropped) m_dropped = -1;
    Changed();
  }
}

bool TerminalDialog::IsWindowEnabled(int id) const {
  const ControlState* c = Find(id);
  return c && c->enabled;
}

bool TerminalDialog::IsWindowVisible(int id) const {
  const ControlState* c = Find(id);
  return c && c->visible;
}

void TerminalDialog::SetFocus(int id) {
  if (ControlState* c = Find(id)) {
    m_focus = IndexOf(*c);
    Changed();
  }
}

int TerminalDialog::GetFocus() const {
  return m_focus < 0 ? 0 : m_controls[static_cast<size_t>(m_focus)].tpl.id;
}

void TerminalDialog::SetIcon(int, bool) {
  // A terminal window has no icon of its own; the pictures in the dialog are
  // drawn from their static controls.
}

void TerminalDialog::ResetContent(int id) {
  ControlState* c = Find(id);
  if (!c) return;
  c->items.clear();
  c->curSel = -1;
  c->topIndex = 0;
  if (c->tpl.cls == ControlClass::ComboBox) c->text.clear();
  if (IndexOf(*c) == m_dropped) m_dropped = -1;
  Changed();
}

int TerminalDialog::AddString(int id, const std::string& text) {
  ControlState* c = Find(id);
  if (!c || (c->tpl.cls != ControlClass::ListBox && c->tpl.cls != ControlClass::ComboBox)) return LB_ERR;
  int at = IsSorted(c->tpl) ? InsertionIndex(c->items, text) : static_cast<int>(c->items.size());
  c->items.insert(c->items.begin() + at, text);
  // The selected entry stays selected when an entry is inserted before it.
  if (c->curSel >= at) ++c->curSel;
  if (IndexOf(*c) == m_dropped && m_dropHighlight >= at) ++m_dropHighlight;
  Changed();
  return at;
}

int TerminalDialog::SetCurSel(int id, int index) {
  ControlState* c = Find(id);
  if (!c) return CB_ERR;
  bool valid = index >= 0 && index < static_cast<int>(c->items.size());
  c->curSel = valid ? index : -1;
  if (c->tpl.cls == ControlClass::ComboBox) c->text = valid ? c->items[static_cast<size_t>(index)] : std::string();
  if (valid) ScrollIntoView(*c);
  Changed();
  return valid ? index : CB_ERR;
}

int TerminalDialog::GetCurSel(int id) const {
  const ControlState* c = Find(id);
  return c ? c->curSel : CB_ERR;
}

int TerminalDialog::GetCount(int id) const {
  const ControlState* c = Find(id);
  return c ? static_cast<int>(c->items.size()) : 0;
}

std::string TerminalDialog::GetLBText(int id, int index) const {
  const ControlState* c = Find(id);
  if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return std::string();
  return c->items[static_cast<size_t>(index)];
}

bool TerminalDialog::HasSystemMenu() const { return (m_template.style & WS_SYSMENU) != 0; }

void TerminalDialog::AppendSystemMenuSeparator() {
  if (HasSystemMenu()) {
    MenuItem separator;
    separator.separator = true;
    m_systemMenu.push_back(separator);
  }
}

void TerminalDialog::AppendSystemMenuItem(unsigned id, const std::string& text) {
  if (HasSystemMenu()) m_systemMenu.push_back(Command(text, id));
}

const IconResource* TerminalDialog::FindIcon(int id) const {
  for (const auto& icon : m_icons)
    if (icon.id == id) return &icon;
  return nullptr;
}

// --- Geometry -------------------------------------------------------------------

int TerminalDialog::OuterRows() const { return DialogRows(m_template) + 2 + (m_hasMenu ? 1 : 0); }
int TerminalDialog::OuterCols() const { return DialogCols(m_template) + 2; }

CellRect TerminalDialog::Frame() const { return CellRect{m_originRow, m_originCol, OuterRows(), OuterCols()}; }

CellRect TerminalDialog::Client() const {
  return CellRect{m_originRow + 1 + (m_hasMenu ? 1 : 0), m_originCol + 1, DialogRows(m_template),
                  DialogCols(m_template)};
}

CellRect TerminalDialog::ScreenRect(const ControlState& control) const {
  CellRect client = Client();
  CellRect r = control.rect;
  r.row += client.row;
  r.col += client.col;
  return r;
}

std::vector<CellRect> TerminalDialog::BarSlots() const {
  if (!m_hasMenu) return {};
  std::vector<CellRect> slots = MenuBarSlots(m_menu, DialogCols(m_template));
  for (auto& s : slots) {
    s.row = m_originRow + 1;
    s.col += m_originCol + 1;
  }
  return slots;
}

CellRect TerminalDialog::DropDownRect() const {
  if (m_dropped < 0) return CellRect{};
  const ControlState& combo = m_controls[static_cast<size_t>(m_dropped)];
  CellRect field = ScreenRect(combo);
  int shown = std::clamp(static_cast<int>(combo.items.size()), 1, DropDownRows(combo.tpl));
  CellRect box{field.Bottom(), field.col, shown + 2, field.cols};
  if (box.Bottom() > m_screenRows && field.row - box.rows >= 0) box.row = field.row - box.rows;
  return box;
}

CellRect TerminalDialog::PopupBox() const {
  if (!m_tracker.PopupOpen()) return CellRect{};
  if (m_tracker.InSystemMenu())
    return PopupRect(m_systemMenu, m_originRow + 1, m_originCol, m_screenRows, m_screenCols);
  CellRect slot = BarSlots()[static_cast<size_t>(m_tracker.Top())];
  return PopupRect(m_tracker.PopupItems(), slot.row + 1, slot.col, m_screenRows, m_screenCols);
}

int TerminalDialog::VisibleRows(const ControlState& list) {
  int border = (list.tpl.style & WS_BORDER) ? 2 : 0;
  return std::max(list.rect.rows - border, 1);
}

int TerminalDialog::CaretIndex(const ControlState& list) {
  return list.curSel >= 0 ? list.curSel : list.topIndex;
}

void TerminalDialog::ScrollIntoView(ControlState& control) {
  if (control.tpl.cls != ControlClass::ListBox || control.curSel < 0) return;
  int rows = VisibleRows(control);
  if (control.curSel < control.topIndex) control.topIndex = control.curSel;
  if (control.curSel >= control.topIndex + rows) control.topIndex = control.curSel - rows + 1;
}

}  // namespace morv::terminal
