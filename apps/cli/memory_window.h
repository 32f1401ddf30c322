#pragma once
// A dialog window that exists only in memory: the selector controls the selection
// halves fill and read, without a toolkit. The command-line flasher lists and
// chooses drives through the very selection halves the dialogs use, over one of these.

#include <map>
#include <string>
#include <vector>

#include "framework/toolkit.h"

namespace morv {

class MemoryWindow : public DialogWindow {
 public:
  void EndDialog(int) override {}
  void SetWindowText(int id, const std::string& text) override { m_controls[id].text = text; }
  std::string GetWindowText(int id) const override;
  void EnableWindow(int id, bool enable) override { m_controls[id].enabled = enable; }
  bool IsWindowEnabled(int id) const override;
  bool IsWindowVisible(int) const override { return false; }
  void SetFocus(int) override {}
  int GetFocus() const override { return 0; }
  bool IsIconic() const override { return false; }
  void SetIcon(int, bool) override {}
  void SetProgress(int, int, int) override {}

  /// Entries are kept in the order added, as in the selectors, which are not sorted.
  void ResetContent(int id) override;
  int AddString(int id, const std::string& text) override;
  int SetCurSel(int id, int index) override;
  int GetCurSel(int id) const override;
  int GetCount(int id) const override;
  std::string GetLBText(int id, int index) const override;

  bool HasSystemMenu() const override { return false; }
  void AppendSystemMenuSeparator() override {}
  void AppendSystemMenuItem(unsigned, const std::string&) override {}

 private:
  struct Control {
    std::string text;
    bool enabled = true;
    std::vector<std::string> entries;
    int selected = CB_ERR;
  };
  const Control* Find(int id) const;

  std::map<int, Control> m_controls;
};

}  // namespace morv
