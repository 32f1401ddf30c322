#include "ui/toolkit_feedback.h"

#include <utility>

#include "ui/resource_ids.h"

namespace morv {

unsigned AfxMessageBoxType(unsigned type) {
  if ((type & MB_ICONMASK) != 0) return type;
  switch (type & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_YESNO:
      return type | MB_ICONEXCLAMATION;
    default:
      return type;
  }
}

ToolkitFeedback::ToolkitFeedback(Toolkit& toolkit, const ProgramResources& resources, std::string appTitle)
    : m_toolkit(toolkit), m_resources(resources), m_appTitle(std::move(appTitle)) {}

void ToolkitFeedback::PumpMessages() { m_toolkit.PumpOneMessage(); }

void ToolkitFeedback::PaintExposed() { m_toolkit.PaintExposed(); }

void ToolkitFeedback::MessageBeep(unsigned type) { m_toolkit.MessageBeep(type); }

int ToolkitFeedback::AfxMessageBox(const std::string& text, unsigned type, unsigned) {
  // There is no help file, so the help context has nothing to open.
  return m_toolkit.MessageBox(text, m_appTitle, AfxMessageBoxType(type));
}

int ToolkitFeedback::WindowMessageBox(const std::string& text, const std::string& caption, unsigned type) {
  return m_toolkit.MessageBox(text, caption, type);
}

std::string ToolkitFeedback::LoadString(unsigned id) const { return m_resources.LoadString(id); }

void ToolkitFeedback::BeginWaitCursor() { DoWaitCursor(1); }
void ToolkitFeedback::RestoreWaitCursor() { DoWaitCursor(0); }
void ToolkitFeedback::EndWaitCursor() { DoWaitCursor(-1); }

void ToolkitFeedback::DoWaitCursor(int delta) {
  m_waitCursorCount += delta;
  if (m_waitCursorCount > 0) {
    CursorShape previous = m_toolkit.GetCursor();
    m_toolkit.SetCursor(CursorShape::Wait);
    if (delta > 0 && m_waitCursorCount == 1) m_restoreCursor = previous;
  } else {
    m_waitCursorCount = 0;
    m_toolkit.SetCursor(m_restoreCursor);
  }
}

void ToolkitFeedback::SetStatusLine(const std::string& text) {
  if (m_mainWindow) m_mainWindow->SetWindowText(IDC_STATUS, text);
}

}  // namespace morv
