#pragma once
// The Qt 6 Widgets toolkit: dialogs from templates, message boxes, beeps, the busy
// cursor and the message pump. Needs a QApplication.

#include "framework/toolkit.h"

namespace morv::qt {

class QtToolkit : public Toolkit {
 public:
  int DoModal(const DialogTemplate& dialog, const ProgramResources& resources, DialogHandler& handler) override;
  /// Inside a handler, the dialog is painted anew as soon as the box has closed.
  int MessageBox(const std::string& text, const std::string& caption, unsigned type) override;
  /// Every sound type is the one system beep here.
  void MessageBeep(unsigned type) override;
  CursorShape GetCursor() const override;
  /// Wait sets the application's override cursor, which stays until Arrow lifts it.
  /// Inside a handler the running dialog is painted anew.
  void SetCursor(CursorShape shape) override;
  /// Qt takes no single message off its queue: one pass processes what is pending
  /// now and returns without waiting. Keys reach the focused control only.
  void PumpOneMessage() override;
};

}  // namespace morv::qt
