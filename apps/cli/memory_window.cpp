#include "apps/cli/memory_window.h"

namespace morv {

const MemoryWindow::Control* MemoryWindow::Find(int id) const {
  const auto it = m_controls.find(id);
  return it == m_controls.end() ? nullptr : &it->second;
}

std::string MemoryWindow::GetWindowText(int id) const {
  const Control* control = Find(id);
  return control ? control->text : std::string();
}

bool MemoryWindow::IsWindowEnabled(int id) const {
  const Control* control = Find(id);
  return !control || control->enabled;
}

void MemoryWindow::ResetContent(int id) {
  m_controls[id].entries.clear();
  m_controls[id].selected = CB_ERR;
}

int MemoryWindow::AddString(int id, const std::string& text) {
  auto& entries = m_controls[id].entries;
  entries.push_back(text);
  return static_cast<int>(entries.size()) - 1;
}

int MemoryWindow::SetCurSel(int id, int index) {
  Control& control = m_controls[id];
  control.selected = index >= 0 && index < static_cast<int>(control.entries.size()) ? index : CB_ERR;
  return control.selected;
}

int MemoryWindow::GetCurSel(int id) const {
  const Control* control = Find(id);
  return control ? control->selected : CB_ERR;
}

int MemoryWindow::GetCount(int id) const {
  const Control* control = Find(id);
  return control ? static_cast<int>(control->entries.size()) : 0;
}

std::string MemoryWindow::GetLBText(int id, int index) const {
  const Control* control = Find(id);
  if (!control || index < 0 || index >= static_cast<int>(control->entries.size())) return {};
  return control->entries[index];
}

}  // namespace morv
