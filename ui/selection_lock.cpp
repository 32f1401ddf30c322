#include "ui/selection_lock.h"

#include "framework/controls.h"
#include "framework/feedback.h"

namespace morv {

void SelectionLock::SetUpdateRunning(bool running) {
  m_held = running;
  m_positions.clear();
  if (!running) return;
  for (const CComboBox* selector : m_selectors) m_positions.push_back(selector->GetCurSel());
}

bool SelectionLock::Refuse() {
  if (!m_held) return false;
  m_feedback.MessageBeep(kSimpleBeep);
  // A position of CB_ERR clears the selection again, as it was.
  for (size_t i = 0; i < m_selectors.size(); ++i) m_selectors[i]->SetCurSel(m_positions[i]);
  return true;
}

}  // namespace morv
