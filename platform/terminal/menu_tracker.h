#pragma once
// The menu bar and the system menu of a terminal dialog while the operator works in
// them: which top item is highlighted, whether its pop-up is open, which entry is
// highlighted there. Keys move through it as on the desktop; choosing an entry
// closes the menu and hands back the command.

#include <optional>
#include <vector>

#include "platform/terminal/canvas.h"
#include "platform/terminal/key_event.h"
#include "framework/resource_types.h"

namespace morv::terminal {

struct MenuCommand {
  bool system = false;  ///< chosen from the system menu (OnSysCommand), else a menu command
  unsigned id = 0;
};

class MenuTracker {
 public:
  bool Active() const { return m_kind != Kind::None; }
  bool InSystemMenu() const { return m_kind == Kind::System; }
  /// The highlighted top item of the menu bar, or -1.
  int Top() const { return m_kind == Kind::Bar ? m_top : -1; }
  /// Whether a pop-up (or the system menu) is showing.
  bool PopupOpen() const { return m_kind == Kind::System || (m_kind == Kind::Bar && m_popupOpen); }
  /// The highlighted entry of the open pop-up, or -1.
  int Item() const { return PopupOpen() ? m_item : -1; }
  /// The entries of the open pop-up (empty when none is open).
  const std::vector<MenuItem>& PopupItems() const;

  /// Enters the menu bar at `top`, with its pop-up open when `openPopup`.
  void OpenBar(const MenuTemplate& menu, int top, bool openPopup);
  /// Opens the system menu with `items`.
  void OpenSystem(const std::vector<MenuItem>& items);
  /// Leaves the menu.
  void Close();
  /// Highlights entry `item` of the open pop-up (mouse); separators are refused.
  void HighlightItem(int item);

  /// A key while the menu is active; returns the command when one was chosen.
  std::optional<MenuCommand> HandleKey(const KeyEvent& key);
  /// Chooses the highlighted entry or top item; returns its command, if it has one.
  std::optional<MenuCommand> Choose();

 private:
  enum class Kind { None, Bar, System };
  bool IsPopup(int top) const;
  void SetTop(int top, bool openPopup);
  void MoveItem(int step);
  std::optional<MenuCommand> Finish(unsigned id);

  Kind m_kind = Kind::None;
  const MenuTemplate* m_menu = nullptr;
  const std::vector<MenuItem>* m_system = nullptr;
  int m_top = 0;
  bool m_popupOpen = false;
  int m_item = -1;
};

/// Columns (relative to the bar's first cell) of each top item of `menu` on a bar
/// `barCols` wide: items from the left, help-justified ones at the right end.
std::vector<CellRect> MenuBarSlots(const MenuTemplate& menu, int barCols);
/// The box of a pop-up with `items` hanging from (row, col), kept on a screen of
/// `screenRows` x `screenCols`.
CellRect PopupRect(const std::vector<MenuItem>& items, int row, int col, int screenRows, int screenCols);

}  // namespace morv::terminal
