#include "platform/terminal/menu_tracker.h"

#include <algorithm>
#include <cctype>

#include "platform/terminal/cell_layout.h"

namespace morv::terminal {
namespace {
const std::vector<MenuItem> kNoItems;

int Size(const std::vector<MenuItem>& items) { return static_cast<int>(items.size()); }

// The first entry at or after `from` in direction `step` that is no separator.
int Selectable(const std::vector<MenuItem>& items, int from, int step) {
  int n = Size(items);
  for (int i = 0; i < n; ++i) {
    int at = ((from + step * i) % n + n) % n;
    if (!items[static_cast<size_t>(at)].separator) return at;
  }
  return -1;
}
}  // namespace

const std::vector<MenuItem>& MenuTracker::PopupItems() const {
  if (m_kind == Kind::System) return *m_system;
  if (m_kind == Kind::Bar && m_popupOpen) return m_menu->items[static_cast<size_t>(m_top)].items;
  return kNoItems;
}

bool MenuTracker::IsPopup(int top) const { return !m_menu->items[static_cast<size_t>(top)].items.empty(); }

void MenuTracker::OpenBar(const MenuTemplate& menu, int top, bool openPopup) {
  if (menu.items.empty()) return;
  m_kind = Kind::Bar;
  m_menu = &menu;
  SetTop(std::clamp(top, 0, Size(menu.items) - 1), openPopup);
}

void MenuTracker::OpenSystem(const std::vector<MenuItem>& items) {
  if (items.empty()) return;
  m_kind = Kind::System;
  m_system = &items;
  m_item = Selectable(items, 0, 1);
}

void MenuTracker::Close() {
  m_kind = Kind::None;
  m_popupOpen = false;
  m_item = -1;
}

void MenuTracker::HighlightItem(int item) {
  const auto& items = PopupItems();
  if (item >= 0 && item < Size(items) && !items[static_cast<size_t>(item)].separator) m_item = item;
}

void MenuTracker::SetTop(int top, bool openPopup) {
  m_top = top;
  m_popupOpen = openPopup && IsPopup(top);
  m_item = m_popupOpen ? Selectable(PopupItems(), 0, 1) : -1;
}

void MenuTracker::MoveItem(int step) {
  const auto& items = PopupItems();
  if (items.empty()) return;
  int from = m_item < 0 ? (step > 0 ? 0 : Size(items) - 1) : m_item + step;
  m_item = Selectable(items, from, step);
}

std::optional<MenuCommand> MenuTracker::Finish(unsigned id) {
  bool system = m_kind == Kind::System;
  Close();
  return MenuCommand{system, id};
}

std::optional<MenuCommand> MenuTracker::Choose() {
  if (PopupOpen()) {
    const auto& items = PopupItems();
    if (m_item < 0 || m_item >= Size(items)) return std::nullopt;
    const MenuItem& item = items[static_cast<size_t>(m_item)];
    if (item.separator || !item.items.empty()) return std::nullopt;
    return Finish(static_cast<unsigned>(item.id));
  }
  if (m_kind != Kind::Bar) return std::nullopt;
  if (IsPopup(m_top)) {
    SetTop(m_top, true);
    return std::nullopt;
  }
  return Finish(static_cast<unsigned>(m_menu->items[static_cast<size_t>(m_top)].id));
}

std::optional<MenuCommand> MenuTracker::HandleKey(const KeyEvent& key) {
  if (!Active()) return std::nullopt;
  switch (key.code) {
    case KeyCode::Escape:
    case KeyCode::F10:
      Close();
      return std::nullopt;
    case KeyCode::Left:
    case KeyCode::Right:
      if (m_kind == Kind::Bar) {
        int n = Size(m_menu->items), step = key.code == KeyCode::Right ? 1 : -1;
        SetTop(((m_top + step) % n + n) % n, m_popupOpen);
      }
      return std::nullopt;
    case KeyCode::Down:
    case KeyCode::Up:
      if (PopupOpen())
        MoveItem(key.code == KeyCode::Down ? 1 : -1);
      else if (IsPopup(m_top)) {
        SetTop(m_top, true);
        if (key.code == KeyCode::Up) MoveItem(-1);
      }
      return std::nullopt;
    case KeyCode::Enter:
      return Choose();
    case KeyCode::Char: {
      char wanted = static_cast<char>(std::tolower(static_cast<unsigned char>(key.ch)));
      if (PopupOpen()) {
        const auto& items = PopupItems();
        for (int i = 0; i < Size(items); ++i) {
          const MenuItem& item = items[static_cast<size_t>(i)];
          if (!item.separator && Mnemonic(item.text) == wanted) {
            m_item = i;
            return Choose();
          }
        }
        return std::nullopt;
      }
      for (int i = 0; i < Size(m_menu->items); ++i)
        if (Mnemonic(m_menu->items[static_cast<size_t>(i)].text) == wanted) {
          m_top = i;
          return Choose();
        }
      return std::nullopt;
    }
    default:
      return std::nullopt;
  }
}

std::vector<CellRect> MenuBarSlots(const MenuTemplate& menu, int barCols) {
  std::vector<CellRect> slots(menu.items.size());
  int left = 0, right = barCols;
  for (size_t i = 0; i < menu.items.size(); ++i) {
    if (menu.items[i].helpJustified) continue;
    int cols = static_cast<int>(DisplayText(menu.items[i].text).size()) + 2;
    slots[i] = CellRect{0, left, 1, cols};
    left += cols;
  }
  for (size_t i = menu.items.size(); i-- > 0;) {
    if (!menu.items[i].helpJustified) continue;
    int cols = static_cast<int>(DisplayText(menu.items[i].text).size()) + 2;
    right = std::max(right - cols, left);
    slots[i] = CellRect{0, right, 1, cols};
  }
  return slots;
}

CellRect PopupRect(const std::vector<MenuItem>& items, int row, int col, int screenRows, int screenCols) {
  int width = 0;
  for (const auto& item : items) width = std::max(width, static_cast<int>(DisplayText(item.text).size()));
  CellRect rect{row, col, Size(items) + 2, width + 4};
  rect.col = std::max(std::min(rect.col, screenCols - rect.cols), 0);
  rect.row = std::max(std::min(rect.row, screenRows - rect.rows), 0);
  return rect;
}

}  // namespace morv::terminal
