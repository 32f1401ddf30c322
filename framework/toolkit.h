#pragma once
// The user-interface toolkit the dialog logic is written against. Three
// implementations exist: Qt widgets, a terminal (ncurses) and a scripted one for
// tests. The dialog, the feedback services and every handler use only this.
//
// The model is the classic desktop dialog: a modal dialog built from a template,
// controls addressed by ID, list and combo boxes with Win32 semantics, commands
// delivered to the dialog's handler, modal message boxes, beeps and a cursor.

#include <string>

#include "framework/resource_types.h"
#include "framework/win32_types.h"

namespace morv {

enum class CursorShape { Arrow, Wait };

/// The controls of one open dialog, addressed by control ID.
class DialogWindow {
 public:
  virtual ~DialogWindow() = default;

  /// Ends the modal run with `result` once the running handler has returned.
  virtual void EndDialog(int result) = 0;

  /// Replaces the text of a control (edit, static, button).
  virtual void SetWindowText(int id, const std::string& text) = 0;
  /// The text of a control.
  virtual std::string GetWindowText(int id) const = 0;
  /// Enables or disables a control.
  virtual void EnableWindow(int id, bool enable) = 0;
  /// Whether a control is enabled.
  virtual bool IsWindowEnabled(int id) const = 0;
  /// Whether a control is visible (hidden controls are never shown).
  virtual bool IsWindowVisible(int id) const = 0;
  /// Gives the keyboard focus to a control.
  virtual void SetFocus(int id) = 0;
  /// The control holding the keyboard focus, or 0.
  virtual int GetFocus() const = 0;
  /// Whether the dialog is minimised.
  virtual bool IsIconic() const = 0;
  /// Sets the window icon (big or small) from an icon resource.
  virtual void SetIcon(int iconId, bool big) = 0;
  /// Shows progress bar `id` filled to `done` of `total` (and the window's task bar
  /// entry with it, where the desktop has one); a `total` of 0 hides both again. Like
  /// every change of a control it is on the screen when the call returns, inside a
  /// handler too, and nothing queued is processed for it.
  virtual void SetProgress(int id, int done, int total) = 0;

  // List boxes and combo boxes. Sorted controls (LBS_SORT, CBS_SORT) insert at the
  // position InsertionIndex (framework/list_order.h) gives; the others append. Selections
  // made through these calls send no notification, as on the desktop.

  /// Removes every entry (and the selection).
  virtual void ResetContent(int id) = 0;
  /// Adds an entry; returns its position.
  virtual int AddString(int id, const std::string& text) = 0;
  /// Selects position `index`; returns it, or CB_ERR/LB_ERR (and no selection)
  /// when there is no such entry; -1 clears the selection and returns CB_ERR.
  virtual int SetCurSel(int id, int index) = 0;
  /// The selected position, or CB_ERR/LB_ERR.
  virtual int GetCurSel(int id) const = 0;
  /// Number of entries.
  virtual int GetCount(int id) const = 0;
  /// Text of entry `index`; empty when there is none.
  virtual std::string GetLBText(int id, int index) const = 0;

  /// Whether the window has a system menu to append to.
  virtual bool HasSystemMenu() const = 0;
  /// Appends a separator to the system menu.
  virtual void AppendSystemMenuSeparator() = 0;
  /// Appends a command item to the system menu; choosing it sends OnSysCommand(id).
  virtual void AppendSystemMenuItem(unsigned id, const std::string& text) = 0;
};

/// A running dialog's window procedure: what the toolkit delivers to it.
class DialogHandler {
 public:
  virtual ~DialogHandler() = default;
  /// Controls exist; `window` stays valid until the modal run ends.
  /// Returns true when the toolkit should give the focus to the first tab stop.
  virtual bool OnInitDialog(DialogWindow& window) = 0;
  /// A command: a control notification (`id`, `code`), a menu command (code 0),
  /// Enter (the default button's ID, BN_CLICKED), Escape or the close box
  /// (IDCANCEL, BN_CLICKED).
  virtual void OnCommand(int id, int code) = 0;
  /// A system-menu command; returns false to ask for the default processing.
  virtual bool OnSysCommand(unsigned id, long param) = 0;
};

/// A whole toolkit.
class Toolkit {
 public:
  virtual ~Toolkit() = default;
  /// Builds the dialog from `dialog` (its menu and icons from `resources`), delivers
  /// OnInitDialog, runs it modally until EndDialog and returns the result.
  virtual int DoModal(const DialogTemplate& dialog, const ProgramResources& resources,
                      DialogHandler& handler) = 0;
  /// Shows a modal message box over the active dialog; `type` carries the button set
  /// and icon bits exactly as given (no icon is added here). Returns IDOK, IDYES, ...
  virtual int MessageBox(const std::string& text, const std::string& caption, unsigned type) = 0;
  /// Plays the sound of `type` (kSimpleBeep, MB_ICONQUESTION, ...).
  virtual void MessageBeep(unsigned type) = 0;
  /// The pointer shape now showing.
  virtual CursorShape GetCursor() const = 0;
  /// Shows a pointer shape.
  virtual void SetCursor(CursorShape shape) = 0;
  /// One pass of the message pump: dispatches at most one pending message (where the
  /// toolkit can tell messages apart) and returns at once when none is pending.
  virtual void PumpOneMessage() = 0;
  /// Paints the open windows where they need it (what another window uncovered, a
  /// changed screen size) and returns at once, dispatching no input: keys and clicks
  /// stay queued for the dialog once its handler has returned. For the waits of a
  /// handler that processes no messages.
  virtual void PaintExposed() = 0;
};

}  // namespace morv
