#pragma once
// The feedback services over a real toolkit: what every handler reports through.

#include <string>

#include "framework/feedback.h"
#include "framework/resource_types.h"
#include "framework/toolkit.h"

namespace morv {

/// The type AfxMessageBox shows: the button sets OK, OK/Cancel, Yes/No/Cancel and
/// Yes/No asked for without an icon get the exclamation icon; every other type is
/// shown as given.
unsigned AfxMessageBoxType(unsigned type);

class ToolkitFeedback : public Feedback {
 public:
  /// `appTitle` is the caption of every framework box (the program file's base name).
  ToolkitFeedback(Toolkit& toolkit, const ProgramResources& resources, std::string appTitle);

  void PumpMessages() override;
  void MessageBeep(unsigned type) override;
  int AfxMessageBox(const std::string& text, unsigned type = MB_OK, unsigned helpContext = 0) override;
  int WindowMessageBox(const std::string& text, const std::string& caption, unsigned type) override;
  std::string LoadString(unsigned id) const override;

  void BeginWaitCursor() override;
  void RestoreWaitCursor() override;
  void EndWaitCursor() override;

  void SetStatusLine(const std::string& text) override;
  void PaintExposed() override;
  void SetMainWindow(DialogWindow* window) override { m_mainWindow = window; }

  /// The busy cursor's nesting count.
  int WaitCursorCount() const { return m_waitCursorCount; }

 private:
  /// Adds `delta` to the nesting count and shows the cursor the count asks for.
  void DoWaitCursor(int delta);

  Toolkit& m_toolkit;
  const ProgramResources& m_resources;
  std::string m_appTitle;
  DialogWindow* m_mainWindow = nullptr;
  int m_waitCursorCount = 0;
  /// The pointer that was showing when the count last rose from 0 to 1.
  CursorShape m_restoreCursor = CursorShape::Arrow;
};

}  // namespace morv
