// Keyboard and mouse handling of a terminal dialog: the desktop dialog manager's
// conventions (Tab order, Enter for the default button, Escape to cancel), the
// controls' own keys, the menu bar and the drop-down lists.
#include <algorithm>
#include <cctype>

#include "platform/terminal/cell_layout.h"
#include "platform/terminal/terminal_dialog.h"
#include "framework/list_order.h"

namespace morv::terminal {
namespace {

bool IsListMove(KeyCode code) {
  switch (code) {
    case KeyCode::Up: case KeyCode::Down: case KeyCode::Home:
    case KeyCode::End: case KeyCode::PageUp: case KeyCode::PageDown:
      return true;
    default:
      return false;
  }
}

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// A printable character typed into a list to jump to an entry.
bool IsTypedLetter(const KeyEvent& key) {
  return key.code == KeyCode::Char && !key.alt && key.ch != ' ' && std::isgraph(static_cast<unsigned char>(key.ch));
}

}  // namespace

int MovedSelection(KeyCode key, int current, int count, int page) {
  switch (key) {
    case KeyCode::Up: return morv::MovedSelection(ListMove::Up, current, count, page);
    case KeyCode::Down: return morv::MovedSelection(ListMove::Down, current, count, page);
    case KeyCode::Home: return morv::MovedSelection(ListMove::Home, current, count, page);
    case KeyCode::End: return morv::MovedSelection(ListMove::End, current, count, page);
    case KeyCode::PageUp: return morv::MovedSelection(ListMove::PageUp, current, count, page);
    case KeyCode::PageDown: return morv::MovedSelection(ListMove::PageDown, current, count, page);
    default: return count <= 0 ? -1 : current;
  }
}

int EntryStartingWith(const std::vector<std::string>& items, int current, char c) {
  int n = static_cast<int>(items.size());
  for (int i = 1; i <= n; ++i) {
    int at = ((current < 0 ? -1 : current) + i) % n;
    const std::string& text = items[static_cast<size_t>(at)];
    if (!text.empty() && Lower(text[0]) == Lower(c)) return at;
  }
  return -1;
}

// --- Focus and commands ------------------------------------------------------------

bool TerminalDialog::CanFocus(int index) const {
  const ControlState& c = m_controls[static_cast<size_t>(index)];
  return c.visible && c.enabled && (c.tpl.style & WS_TABSTOP) != 0;
}

bool TerminalDialog::IsPushButton(int index) const {
  return index >= 0 && m_controls[static_cast<size_t>(index)].tpl.cls == ControlClass::Button;
}

void TerminalDialog::FocusFirstTabStop() {
  for (int i = 0; i < static_cast<int>(m_controls.size()); ++i)
    if (CanFocus(i)) {
      m_focus = i;
      Changed();
      return;
    }
}

void TerminalDialog::MoveFocus(int step) {
  int n = static_cast<int>(m_controls.size());
  int from = m_focus < 0 ? (step > 0 ? -1 : n) : m_focus;
  for (int i = 1; i <= n; ++i) {
    int at = ((from + step * i) % n + n) % n;
    if (CanFocus(at)) {
      m_focus = at;
      Changed();
      return;
    }
  }
}

int TerminalDialog::DefaultButton() const {
  for (int i = 0; i < static_cast<int>(m_controls.size()); ++i) {
    const ControlTemplate& t = m_controls[static_cast<size_t>(i)].tpl;
    if (t.cls == ControlClass::Button && (t.style & 0xF) == BS_DEFPUSHBUTTON) return i;
  }
  return -1;
}

void TerminalDialog::Press(int index, DialogHandler& handler) {
  if (index < 0) return;
  const ControlState& c = m_controls[static_cast<size_t>(index)];
  if (!c.visible || !c.enabled) return;
  handler.OnCommand(c.tpl.id, BN_CLICKED);
}

void TerminalDialog::Notify(int index, DialogHandler& handler) {
  const ControlTemplate& t = m_controls[static_cast<size_t>(index)].tpl;
  if (t.cls == ControlClass::ComboBox) handler.OnCommand(t.id, CBN_SELCHANGE);
  if (t.cls == ControlClass::ListBox && (t.style & LBS_NOTIFY)) handler.OnCommand(t.id, LBN_SELCHANGE);
}

void TerminalDialog::ChangeSelection(int index, int selection, DialogHandler& handler) {
  ControlState& c = m_controls[static_cast<size_t>(index)];
  if (selection < 0 || selection >= static_cast<int>(c.items.size()) || selection == c.curSel) return;
  c.curSel = selection;
  if (c.tpl.cls == ControlClass::ComboBox) c.text = c.items[static_cast<size_t>(selection)];
  ScrollIntoView(c);
  Changed();
  Notify(index, handler);
}

void TerminalDialog::RunMenuCommand(const MenuCommand& command, DialogHandler& handler) {
  Changed();
  if (!command.system) {
    handler.OnCommand(static_cast<int>(command.id), 0);
    return;
  }
  // Default processing of the system commands a terminal window has: Close cancels.
  if (!handler.OnSysCommand(command.id, 0) && command.id == SC_CLOSE) handler.OnCommand(IDCANCEL, BN_CLICKED);
}

// --- Drop-down lists ---------------------------------------------------------------

void TerminalDialog::OpenDropDown(int index) {
  const ControlState& c = m_controls[static_cast<size_t>(index)];
  m_dropped = index;
  m_dropHighlight = c.curSel;
  int rows = DropDownRows(c.tpl);
  m_dropTop = std::clamp(c.curSel - rows + 1, 0, std::max(static_cast<int>(c.items.size()) - rows, 0));
  Changed();
}

void TerminalDialog::CloseDropDown(bool pick, DialogHandler& handler) {
  int index = m_dropped, highlight = m_dropHighlight;
  m_dropped = -1;
  Changed();
  if (pick) ChangeSelection(index, highlight, handler);
}

void TerminalDialog::HandleDropKey(const KeyEvent& key, DialogHandler& handler) {
  const ControlState& c = m_controls[static_cast<size_t>(m_dropped)];
  int rows = DropDownRows(c.tpl), count = static_cast<int>(c.items.size());
  bool toggle = key.code == KeyCode::F4 || (key.alt && (key.code == KeyCode::Up || key.code == KeyCode::Down));
  if (toggle || key.code == KeyCode::Enter) {
    CloseDropDown(true, handler);
  } else if (key.code == KeyCode::Escape) {
    CloseDropDown(false, handler);
  } else if (IsListMove(key.code) || IsTypedLetter(key)) {
    int moved = IsTypedLetter(key) ? EntryStartingWith(c.items, m_dropHighlight, key.ch)
                                   : MovedSelection(key.code, m_dropHighlight, count, rows);
    if (moved < 0) return;
    m_dropHighlight = moved;
    if (moved < m_dropTop) m_dropTop = moved;
    if (moved >= m_dropTop + rows) m_dropTop = moved - rows + 1;
    Changed();
  }
}

// --- Keys --------------------------------------------------------------------------

void TerminalDialog::HandleMenuKey(const KeyEvent& key, DialogHandler& handler) {
  std::optional<MenuCommand> command = m_tracker.HandleKey(key);
  Changed();
  if (command) RunMenuCommand(*command, handler);
}

void TerminalDialog::HandleControlKey(const KeyEvent& key, DialogHandler& handler) {
  if (m_focus < 0) return;
  const ControlState& c = m_controls[static_cast<size_t>(m_focus)];
  if (!c.visible || !c.enabled) return;
  int count = static_cast<int>(c.items.size());
  switch (c.tpl.cls) {
    case ControlClass::Button:
      if (key.IsChar(' ')) Press(m_focus, handler);
      break;
    case ControlClass::ListBox:
      if (IsListMove(key.code))
        ChangeSelection(m_focus, MovedSelection(key.code, c.curSel, count, VisibleRows(c)), handler);
      else if (IsTypedLetter(key))
        ChangeSelection(m_focus, EntryStartingWith(c.items, c.curSel, key.ch), handler);
      break;
    case ControlClass::ComboBox:
      if (key.code == KeyCode::F4 || key.IsChar(' ') ||
          (key.alt && (key.code == KeyCode::Down || key.code == KeyCode::Up)))
        OpenDropDown(m_focus);
      else if (IsListMove(key.code))
        ChangeSelection(m_focus, MovedSelection(key.code, c.curSel, count, DropDownRows(c.tpl)), handler);
      else if (IsTypedLetter(key))
        ChangeSelection(m_focus, EntryStartingWith(c.items, c.curSel, key.ch), handler);
      break;
    default:
      break;
  }
}

void TerminalDialog::HandleKey(const KeyEvent& key, InputMode mode, DialogHandler& handler) {
  if (key.code == KeyCode::Click) return HandleClick(key, handler);
  if (key.code == KeyCode::WheelUp || key.code == KeyCode::WheelDown) return HandleWheel(key);
  if (m_tracker.Active()) return HandleMenuKey(key, handler);
  if (m_dropped >= 0) return HandleDropKey(key, handler);
  if (key.code == KeyCode::F10 && m_hasMenu) {
    m_tracker.OpenBar(m_menu, 0, true);
    Changed();
    return;
  }
  if (key.alt && key.code == KeyCode::Char) {
    if (key.ch == ' ' && HasSystemMenu()) {
      m_tracker.OpenSystem(m_systemMenu);
      Changed();
      return;
    }
    for (int i = 0; m_hasMenu && i < static_cast<int>(m_menu.items.size()); ++i) {
      if (Mnemonic(m_menu.items[static_cast<size_t>(i)].text) != Lower(key.ch)) continue;
      m_tracker.OpenBar(m_menu, i, true);
      Changed();
      if (!m_tracker.PopupOpen())
        if (std::optional<MenuCommand> command = m_tracker.Choose()) RunMenuCommand(*command, handler);
      return;
    }
  }
  if (mode == InputMode::Dialog) {
    switch (key.code) {
      case KeyCode::Tab: return MoveFocus(1);
      case KeyCode::BackTab: return MoveFocus(-1);
      case KeyCode::Enter:
        return Press(IsPushButton(m_focus) ? m_focus : DefaultButton(), handler);
      case KeyCode::Escape:
        return handler.OnCommand(IDCANCEL, BN_CLICKED);
      default:
        break;
    }
  }
  HandleControlKey(key, handler);
}

// --- Mouse -------------------------------------------------------------------------

void TerminalDialog::HandleClick(const KeyEvent& key, DialogHandler& handler) {
  int row = key.row, col = key.col;
  std::vector<CellRect> slots = BarSlots();
  auto slotAt = [&]() {
    for (int i = 0; i < static_cast<int>(slots.size()); ++i)
      if (slots[static_cast<size_t>(i)].Contains(row, col)) return i;
    return -1;
  };
  if (m_tracker.Active()) {
    CellRect box = PopupBox();
    if (m_tracker.PopupOpen() && box.Contains(row, col)) {
      m_tracker.HighlightItem(row - box.row - 1);
      if (m_tracker.Item() == row - box.row - 1)
        if (std::optional<MenuCommand> command = m_tracker.Choose()) return RunMenuCommand(*command, handler);
      return Changed();
    }
    int slot = slotAt();
    if (slot < 0 || slot == m_tracker.Top()) {
      m_tracker.Close();
      return Changed();
    }
    m_tracker.OpenBar(m_menu, slot, true);
  } else if (m_dropped >= 0) {
    CellRect box = DropDownRect();
    if (box.Contains(row, col) && row > box.row && row < box.Bottom() - 1) m_dropHighlight = m_dropTop + row - box.row - 1;
    return CloseDropDown(box.Contains(row, col), handler);
  } else if (HasSystemMenu() && row == Frame().row && col >= Frame().Right() - 4 && col < Frame().Right() - 1) {
    return RunMenuCommand(MenuCommand{true, SC_CLOSE}, handler);
  } else if (int slot = slotAt(); slot >= 0) {
    m_tracker.OpenBar(m_menu, slot, true);
  } else {
    for (int i = 0; i < static_cast<int>(m_controls.size()); ++i) {
      const ControlState& c = m_controls[static_cast<size_t>(i)];
      CellRect rect = ScreenRect(c);
      if (!c.visible || !c.enabled || !rect.Contains(row, col)) continue;
      if (c.tpl.cls == ControlClass::Static) continue;
      if (c.tpl.style & WS_TABSTOP) m_focus = i;
      Changed();
      if (c.tpl.cls == ControlClass::Button) return Press(i, handler);
      if (c.tpl.cls == ControlClass::ComboBox) return OpenDropDown(i);
      if (c.tpl.cls == ControlClass::ListBox) {
        int border = (c.tpl.style & WS_BORDER) ? 1 : 0;
        int line = row - rect.row - border;
        if (line >= 0 && line < VisibleRows(c)) ChangeSelection(i, c.topIndex + line, handler);
      }
      return;
    }
    return;
  }
  Changed();
  if (!m_tracker.PopupOpen())
    if (std::optional<MenuCommand> command = m_tracker.Choose()) RunMenuCommand(*command, handler);
}

void TerminalDialog::HandleWheel(const KeyEvent& key) {
  int step = key.code == KeyCode::WheelUp ? -1 : 1;
  if (m_dropped >= 0) {
    const ControlState& c = m_controls[static_cast<size_t>(m_dropped)];
    int rows = DropDownRows(c.tpl);
    m_dropTop = std::clamp(m_dropTop + step, 0, std::max(static_cast<int>(c.items.size()) - rows, 0));
    return Changed();
  }
  for (auto& c : m_controls) {
    if (c.tpl.cls != ControlClass::ListBox || !c.visible || !ScreenRect(c).Contains(key.row, key.col)) continue;
    c.topIndex = std::clamp(c.topIndex + step, 0, std::max(static_cast<int>(c.items.size()) - VisibleRows(c), 0));
    return Changed();
  }
}

}  // namespace morv::terminal
