#include "ui/flash_app.h"

#include <utility>

namespace morv {

CFlashApp::CFlashApp(Toolkit& toolkit, Feedback& feedback, const ProgramResources& resources, Transport& transport,
                     SelectionFactory makeSelection)
    : m_toolkit(toolkit), m_feedback(feedback), m_resources(resources), m_transport(transport),
      m_makeSelection(std::move(makeSelection)) {}

void CFlashApp::InitInstance() {
  // The notice is information, not an error: no beep before it, and its answer
  // does not matter.
  m_feedback.AfxMessageBox(m_resources.notice, MB_OK | MB_ICONEXCLAMATION, 0);
  CFlashDlg dialog(m_toolkit, m_feedback, m_resources, m_transport, m_makeSelection);
  dialog.SetStartFile(m_startFile);
  dialog.m_history = m_history;
  dialog.m_power = m_power;
  dialog.DoModal();
}

}  // namespace morv
