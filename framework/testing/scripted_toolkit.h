#pragma once
// A toolkit for tests. Dialogs are held in memory, built from their templates; a
// test plays the operator through a script of user actions, answers message boxes
// from a queue and reads back every control, beep, box, caption and cursor change.
//
//   ScriptedToolkit toolkit;
//   toolkit.script = {ScriptedToolkit::Choose(IDC_FILE_LIST, 0), ScriptedToolkit::Click(IDOK)};
//   int result = dialog.DoModal();          // runs OnInitDialog, then the script
//   toolkit.windows[0]->Control(IDC_SELECTED_FILE).text ...

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/close_request.h"
#include "framework/testing/operator_key.h"
#include "framework/toolkit.h"

namespace morv {

/// One control of a scripted dialog.
struct ScriptedControl {
  int id = -1;
  ControlClass cls = ControlClass::Static;
  uint32_t style = 0;
  std::string text;
  bool enabled = true;
  bool visible = true;
  std::vector<std::string> entries;  ///< list and combo boxes
  int curSel = -1;
  int progressDone = 0;   ///< a progress bar's position
  int progressTotal = 0;  ///< a progress bar's range; 0 while hidden

  bool IsList() const { return cls == ControlClass::ListBox || cls == ControlClass::ComboBox; }
  /// Whether new entries go to their sorted place rather than to the end.
  bool Sorted() const;
  bool IsPushButton() const { return cls == ControlClass::Button; }
  bool IsDefaultButton() const;
  bool IsTabStop() const;
};

/// A system-menu item appended by the dialog (id 0 and no text for a separator).
struct SystemMenuItem {
  unsigned id = 0;
  std::string text;
  bool operator==(const SystemMenuItem&) const = default;
};

/// An open (or, after DoModal returned, a closed) scripted dialog.
class ScriptedWindow : public DialogWindow {
 public:
  ScriptedWindow(const DialogTemplate& dialog, const ProgramResources& resources,
                 std::vector<std::string>& faults);

  void EndDialog(int result) override;
  void SetWindowText(int id, const std::string& text) override;
  std::string GetWindowText(int id) const override;
  void EnableWindow(int id, bool enable) override;
  bool IsWindowEnabled(int id) const override;
  bool IsWindowVisible(int id) const override;
  void SetFocus(int id) override;
  int GetFocus() const override { return focus; }
  bool IsIconic() const override { return iconic; }
  void SetIcon(int iconId, bool big) override;
  void SetProgress(int id, int done, int total) override;
  void ResetContent(int id) override;
  int AddString(int id, const std::string& text) override;
  int SetCurSel(int id, int index) override;
  int GetCurSel(int id) const override;
  int GetCount(int id) const override;
  std::string GetLBText(int id, int index) const override;
  bool HasSystemMenu() const override { return hasSystemMenu; }
  void AppendSystemMenuSeparator() override;
  void AppendSystemMenuItem(unsigned id, const std::string& text) override;

  /// The control with `id`, or nullptr.
  ScriptedControl* Find(int id);
  const ScriptedControl* Find(int id) const;
  /// The control with `id`; a missing one is recorded as a fault and an empty
  /// control is returned.
  const ScriptedControl& Control(int id) const;
  /// Whether `commandId` is an item of the dialog's menu bar.
  bool HasMenuCommand(int commandId) const;
  /// Gives the focus to the first visible, enabled tab stop.
  void FocusFirstTabStop();

  const DialogTemplate& dialogTemplate;
  const ProgramResources& resources;
  std::string caption;
  std::vector<ScriptedControl> controls;  ///< template order, labels included
  std::vector<SystemMenuItem> systemMenu; ///< items the dialog appended
  bool hasSystemMenu = false;
  int bigIcon = 0;
  int smallIcon = 0;
  int focus = 0;
  bool iconic = false;
  bool ended = false;
  int result = 0;
  /// A text a control was given: its window text or a list entry.
  struct ShownText {
    int id;
    std::string text;
  };
  /// Every text the dialog gave its controls, in order.
  std::vector<ShownText> textsShown;
  /// Every (done, total) a progress bar was given, in order.
  std::vector<std::pair<int, int>> progressShown;

 private:
  ScriptedControl* Expect(int id, const char* operation);
  const ScriptedControl* Expect(int id, const char* operation) const;
  void Fault(const std::string& what) const { m_faults.push_back(what); }

  std::vector<std::string>& m_faults;
};

class ScriptedToolkit;

/// Something the operator does to the top dialog.
struct UserAction {
  std::string description;
  std::function<void(ScriptedToolkit&, ScriptedWindow&, DialogHandler&)> run;
  /// A key typed: one still pending when a message box opens is thrown away, and
  /// one still pending when the handler has returned reaches the dialog as `key`.
  bool typed = false;
  OperatorKey key = OperatorKey::Enter;
};

class ScriptedToolkit : public Toolkit {
 public:
  // User actions. Actions on hidden or disabled controls are ignored, as a real
  // operator could not perform them, and logged as "ignored ...".

  /// Clicks a push button.
  static UserAction Click(int id);
  /// Picks entry `index` of a list or combo box (selection change notification).
  static UserAction Choose(int id, int index);
  /// Chooses a menu-bar command.
  static UserAction Menu(int commandId);
  /// Chooses a system-menu command; unhandled ones get the default processing.
  static UserAction SysCommand(unsigned id);
  /// Presses a key while the dialog waits for input: the dialog manager sees it
  /// first (Tab moves the focus, Enter presses the focused push button or else the
  /// default button, Escape cancels); arrows move the focused list's selection.
  static UserAction Key(OperatorKey key);
  /// A key that arrives during a pumped wait: it reaches the focused control only.
  /// Still pending when a message box opens, it is typed ahead and thrown away.
  static UserAction KeyInWait(OperatorKey key);
  /// The keyboard repeating a key held down: a key that only moves (Tab, arrows)
  /// acts as Key does; any other presses nothing, as on every toolkit.
  static UserAction HeldKey(OperatorKey key);
  /// Presses Enter (Key(OperatorKey::Enter)).
  static UserAction Enter();
  /// Presses Escape (Key(OperatorKey::Escape)).
  static UserAction Escape();
  /// Moves the focus to a control, as a click or Tab would.
  static UserAction Focus(int id);
  /// Delivers a raw command, without the checks a real operator is bound by.
  static UserAction Notify(int id, int code);
  /// A close request from outside (SIGTERM, SIGHUP): RequestClose().
  static UserAction CloseFromOutside();
  /// Runs `look` against the top dialog (for checks in the middle of a script).
  static UserAction Inspect(std::function<void(ScriptedWindow&)> look);

  /// Run against the top dialog by DoModal after OnInitDialog, one at a time, until
  /// the dialog ends; a dialog still open when the script runs out ends with IDCANCEL.
  std::deque<UserAction> script;
  /// Delivered one per PumpOneMessage pass, to the top dialog. Keys typed in a wait
  /// and still here when the handler has returned go to the dialog first, as Key().
  std::deque<UserAction> pending;
  /// Answers of the next message boxes; when empty, the default (first) button.
  std::deque<int> answers;
  /// Keys pressed in the next message boxes, used before `answers`: Tab moves to the
  /// next button, Enter presses the focused one (the default button first), Escape
  /// answers only a box with a way out, and a repeat of a held key answers nothing;
  /// each box takes keys until one answers it. A box opening throws away the key
  /// actions still `pending` (typed ahead), logged "flushed <what>".
  std::deque<KeyStroke> boxKeys;

  struct Box {
    std::string text;
    std::string caption;
    unsigned type = 0;
  };
  std::vector<Box> boxes;
  std::vector<unsigned> beeps;
  std::vector<CursorShape> cursorChanges;
  /// Everything in order: "dialog <caption>", "end <caption> <result>",
  /// "beep FFFFFFFF", "box 00000030 <caption>: <text>", "cursor wait",
  /// "cursor arrow", "action <what>", "ignored <what>", "default-syscommand F060".
  std::vector<std::string> events;
  /// Every dialog built, in order; kept after it closes so tests can read it.
  std::vector<std::unique_ptr<ScriptedWindow>> windows;
  /// Misuse seen: operations on controls the dialog lacks, impossible box answers.
  std::vector<std::string> faults;
  int pumps = 0;
  /// PaintExposed passes.
  int paints = 0;
  /// Set by a test when another window uncovers the dialog; PaintExposed and every
  /// pump pass paint it and clear it.
  bool uncovered = false;
  CursorShape cursor = CursorShape::Arrow;

  /// Asks the program to close as the real toolkits do on a close request: from now
  /// on every message box is answered as if nobody were there, and each dialog gets
  /// IDCANCEL once (logged "close request") when its script would run next, that is
  /// once no handler of it is running.
  void RequestClose() { m_closeRequested = true; }
  /// Where real close requests come from, when a test wants them (a signal's):
  /// consulted where RequestClose() is.
  morv::CloseRequest* closeRequest = nullptr;

  int DoModal(const DialogTemplate& dialog, const ProgramResources& resources, DialogHandler& handler) override;
  int MessageBox(const std::string& text, const std::string& caption, unsigned type) override;
  void MessageBeep(unsigned type) override;
  CursorShape GetCursor() const override { return cursor; }
  void SetCursor(CursorShape shape) override;
  void PumpOneMessage() override;
  void PaintExposed() override;

  /// The dialog on top (the running one), or nullptr.
  ScriptedWindow* TopWindow() const { return m_stack.empty() ? nullptr : m_stack.back().window; }
  /// Events that start with `prefix`, in order.
  std::vector<std::string> EventsStartingWith(const std::string& prefix) const;

 private:
  struct Running {
    ScriptedWindow* window;
    DialogHandler* handler;
  };
  void Run(const UserAction& action);
  bool CloseRequested();

  std::vector<Running> m_stack;
  bool m_closeRequested = false;
};

}  // namespace morv
