#pragma once
// The controls of one running Win32 dialog, addressed by control ID, as the dialog
// logic sees them (ui/toolkit.h).

#include "platform/win32/windows_names.h"

#include <map>
#include <memory>

#include "framework/toolkit.h"

namespace morv::win32 {

class TaskbarProgress;

class Win32DialogWindow : public DialogWindow {
 public:
  /// `dialog` tells list boxes from combo boxes and gives the program's icons.
  Win32DialogWindow(HWND window, const DialogTemplate& dialog, const ProgramResources& resources);
  ~Win32DialogWindow() override;

  void EndDialog(int result) override;
  /// A read-only field keeps the whole text it is given and answers with it; it
  /// shows it whole while it has the focus, otherwise shortened in the middle to
  /// fit (a one-line field would cut it at its edge, a centred one break it at a
  /// hyphen).
  void SetWindowText(int id, const std::string& text) override;
  std::string GetWindowText(int id) const override;
  /// Told of control `id`'s notification `code` (WM_COMMAND): a read-only field
  /// that gains or loses the focus shows its whole or its fitting text.
  void FieldNotice(int id, int code);
  /// The system takes the focus from a control it disables and gives it to nobody,
  /// which leaves the keyboard dead (keys reach no control, Enter presses nothing).
  /// Meanwhile GetFocus says 0, as the system does; enabled again, the control gets
  /// the focus back, unless some window took it or SetFocus moved it meanwhile.
  void EnableWindow(int id, bool enable) override;
  bool IsWindowEnabled(int id) const override;
  bool IsWindowVisible(int id) const override;
  void SetFocus(int id) override;
  int GetFocus() const override;
  bool IsIconic() const override;
  void SetIcon(int iconId, bool big) override;
  /// The system's progress bar, painted at once; the dialog's task bar button
  /// shows the same where the shell offers it.
  void SetProgress(int id, int done, int total) override;

  /// Sorted controls insert at InsertionIndex (the same order in every toolkit);
  /// the system's own sorting is not used.
  void ResetContent(int id) override;
  int AddString(int id, const std::string& text) override;
  int SetCurSel(int id, int index) override;
  int GetCurSel(int id) const override;
  int GetCount(int id) const override;
  std::string GetLBText(int id, int index) const override;

  bool HasSystemMenu() const override;
  void AppendSystemMenuSeparator() override;
  void AppendSystemMenuItem(unsigned id, const std::string& text) override;

  /// The system icon for an icon resource, made on first use and kept with the
  /// window; pictures are drawn for 96 DPI and stretched for a higher `dpi`.
  HICON Icon(int iconId, unsigned dpi = 96);

 private:
  /// The control's template, or null.
  const ControlTemplate* Control(int id) const;
  bool IsCombo(int id) const;
  bool IsReadOnlyField(int id) const;
  /// Puts read-only field `id`'s whole or fitting text into the control.
  void ShowField(int id);
  HWND Item(int id) const { return GetDlgItem(m_window, id); }

  HWND m_window;
  const DialogTemplate& m_dialog;
  const ProgramResources& m_resources;
  std::map<std::pair<int, unsigned>, HICON> m_icons;  ///< by resource and DPI
  std::unique_ptr<TaskbarProgress> m_taskbar;  ///< made on first use
  std::map<int, std::string> m_wholeTexts;  ///< read-only fields' texts as given
  int m_disabledWithFocus = 0;  ///< the control disabled while it had the focus, until enabled
};

}  // namespace morv::win32
