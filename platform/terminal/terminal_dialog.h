#pragma once
// One open dialog of the terminal toolkit: its controls' state (texts, enabling,
// list entries and selections, focus), the menu and drop-down list the operator may
// have open, and the keyboard and mouse handling of the desktop dialog manager.
// Nothing here draws or reads the terminal, so all of it runs in tests as it is.

#include <functional>
#include <string>
#include <vector>

#include "platform/terminal/canvas.h"
#include "platform/terminal/key_event.h"
#include "platform/terminal/menu_tracker.h"
#include "framework/toolkit.h"

namespace morv::terminal {

/// The run-time state of one control.
struct ControlState {
  ControlTemplate tpl;
  CellRect rect;             ///< cells relative to the client area
  std::string text;
  bool enabled = true;
  bool visible = true;
  std::vector<std::string> items;
  int curSel = -1;
  int topIndex = 0;          ///< first entry shown (list box, open drop-down)
  int done = 0, total = 0;   ///< a progress bar's position and range
};

/// Where a key comes from: the dialog's own modal loop (the dialog manager sees it
/// first: Tab, Enter and Escape act on the dialog), or one pass of the message pump
/// during a wait (the key reaches the focused control only).
enum class InputMode { Dialog, Pumped };

class TerminalDialog : public DialogWindow {
 public:
  TerminalDialog(const DialogTemplate& dialog, const ProgramResources& resources);

  // DialogWindow
  void EndDialog(int result) override;
  void SetWindowText(int id, const std::string& text) override;
  std::string GetWindowText(int id) const override;
  void EnableWindow(int id, bool enable) override;
  bool IsWindowEnabled(int id) const override;
  bool IsWindowVisible(int id) const override;
  void SetFocus(int id) override;
  int GetFocus() const override;
  bool IsIconic() const override { return false; }
  void SetIcon(int iconId, bool big) override;
  /// A terminal has no task bar entry to tell.
  void SetProgress(int id, int done, int total) override;
  void ResetContent(int id) override;
  int AddString(int id, const std::string& text) override;
  int SetCurSel(int id, int index) override;
  int GetCurSel(int id) const override;
  int GetCount(int id) const override;
  std::string GetLBText(int id, int index) const override;
  bool HasSystemMenu() const override;
  void AppendSystemMenuSeparator() override;
  void AppendSystemMenuItem(unsigned id, const std::string& text) override;

  /// Called after every change of what the dialog shows.
  void SetOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

  bool Ended() const { return m_ended; }
  int Result() const { return m_result; }

  /// Gives the focus to the first visible, enabled tab stop.
  void FocusFirstTabStop();
  /// Handles one key or mouse event; commands go to `handler`.
  void HandleKey(const KeyEvent& key, InputMode mode, DialogHandler& handler);

  // Geometry. The toolkit places the dialog on a screen of a given size; everything
  // else follows from there.
  void SetPlacement(int row, int col, int screenRows, int screenCols) {
    m_originRow = row, m_originCol = col, m_screenRows = screenRows, m_screenCols = screenCols;
  }
  /// The frame, in screen cells.
  CellRect Frame() const;
  /// The client area (where controls sit), in screen cells.
  CellRect Client() const;
  /// Size of the whole window, frame included.
  int OuterRows() const;
  int OuterCols() const;
  /// A control's cells on the screen.
  CellRect ScreenRect(const ControlState& control) const;
  /// The open drop-down list's box (rows 0 if none).
  CellRect DropDownRect() const;
  /// The open pop-up menu's box (rows 0 if none).
  CellRect PopupBox() const;
  /// The menu bar's top items, in screen cells (empty without a menu).
  std::vector<CellRect> BarSlots() const;

  // What the painter reads.
  const DialogTemplate& Template() const { return m_template; }
  const std::vector<ControlState>& Controls() const { return m_controls; }
  const MenuTemplate* Menu() const { return m_hasMenu ? &m_menu : nullptr; }
  const MenuTracker& Tracker() const { return m_tracker; }
  const IconResource* FindIcon(int id) const;
  /// Index of the focused control, or -1.
  int FocusIndex() const { return m_focus; }
  /// Index of the combo box whose list is open, or -1; its highlighted entry.
  int DroppedIndex() const { return m_dropped; }
  int DropHighlight() const { return m_dropHighlight; }
  int DropTop() const { return m_dropTop; }
  /// Rows of entries a list box shows.
  static int VisibleRows(const ControlState& list);
  /// The entry a focused list box marks (the selection, else its first shown entry).
  static int CaretIndex(const ControlState& list);

 private:
  ControlState* Find(int id);
  const ControlState* Find(int id) const;
  int IndexOf(const ControlState& control) const;
  void Changed();

  bool CanFocus(int index) const;
  bool IsPushButton(int index) const;
  void MoveFocus(int step);
  int DefaultButton() const;
  void Press(int index, DialogHandler& handler);
  void Notify(int index, DialogHandler& handler);
  void ChangeSelection(int index, int selection, DialogHandler& handler);
  void ScrollIntoView(ControlState& control);

  void HandleMenuKey(const KeyEvent& key, DialogHandler& handler);
  void HandleDropKey(const KeyEvent& key, DialogHandler& handler);
  void HandleControlKey(const KeyEvent& key, DialogHandler& handler);
  void HandleClick(const KeyEvent& key, DialogHandler& handler);
  void HandleWheel(const KeyEvent& key);
  void RunMenuCommand(const MenuCommand& command, DialogHandler& handler);
  void OpenDropDown(int index);
  void CloseDropDown(bool pick, DialogHandler& handler);

  DialogTemplate m_template;
  MenuTemplate m_menu;
  bool m_hasMenu = false;
  std::vector<IconResource> m_icons;
  std::vector<ControlState> m_controls;
  std::vector<MenuItem> m_systemMenu;
  MenuTracker m_tracker;
  std::function<void()> m_onChange;

  int m_focus = -1;
  int m_dropped = -1;
  int m_dropHighlight = -1;
  int m_dropTop = 0;
  int m_originRow = 0, m_originCol = 0;
  int m_screenRows = 0, m_screenCols = 0;
  bool m_ended = false;
  int m_result = 0;
};

/// Where a keyboard move in a list of `count` entries lands from `current` (-1: no
/// selection); `page` entries are shown at once. Returns -1 for an empty list.
int MovedSelection(KeyCode key, int current, int count, int page);
/// The next entry after `current` whose text starts with `c` (case-insensitive),
/// wrapping around; -1 when none does.
int EntryStartingWith(const std::vector<std::string>& items, int current, char c);

}  // namespace morv::terminal
