#pragma once
// The Qt 6 Widgets toolkit: dialogs from templates, message boxes, beeps, the busy
// cursor and the message pump. Needs a QApplication.

#include <memory>
#include <vector>

#include "framework/close_request.h"
#include "framework/toolkit.h"

class QSocketNotifier;

namespace morv::qt {

class QtDialogWindow;
class HeldKeyFilter;

class QtToolkit : public Toolkit {
 public:
  /// With `closeRequest`, a close request from outside (its wake descriptor, watched
  /// by the event loop) answers an open message box as if nobody were there
  /// (MessageBoxUnansweredResult) and reaches every open dialog as the close box does
  /// (IDCANCEL) once no handler of it runs: one that comes during a handler or a
  /// pumped wait is held until the handler has returned. Boxes and dialogs opened
  /// afterwards are answered and closed the same way. Needs the QApplication.
  /// While its dialogs and boxes run, auto-repeated keys answer no box and press no
  /// button, and a box takes no key typed before it was shown (deliberate_keys.h).
  explicit QtToolkit(CloseRequest* closeRequest = nullptr);
  ~QtToolkit() override;
  QtToolkit(const QtToolkit&) = delete;
  QtToolkit& operator=(const QtToolkit&) = delete;

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
  /// Qt takes in what the display uncovered only while it processes its queue,
  /// which would deliver input too: the running dialog is painted whole instead.
  void PaintExposed() override;

 private:
  /// Acts on a close request, when one has come.
  void OnWake();
  /// Keeps the held-key filter on the application while a modal run lasts.
  class ModalRun;

  CloseRequest* m_closeRequest;
  std::unique_ptr<HeldKeyFilter> m_heldKeys;
  std::unique_ptr<QSocketNotifier> m_wake;
  std::vector<QtDialogWindow*> m_open;  ///< running dialogs, the top one last
  int m_modalRuns = 0;                  ///< dialogs and boxes running, nested
  bool m_closing = false;
};

}  // namespace morv::qt
