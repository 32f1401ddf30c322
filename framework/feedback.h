#pragma once
// The feedback services every handler reports through: one pass of the message
// pump, beeps, framework message boxes, the busy cursor and the status line.
// ToolkitFeedback implements them over a Toolkit; tests use RecordingFeedback.

#include <string>

#include "framework/wait_feedback.h"
#include "framework/win32_types.h"

namespace morv {

class DialogWindow;

/// Help context meaning "the string ID itself" for BeepMessageBoxId.
inline constexpr unsigned kHelpContextFromStringId = 0xFFFFFFFFu;
/// Framework string "Insufficient memory to perform operation.".
inline constexpr unsigned kStringNoMemory = 61706;

class Feedback : public WaitFeedback {
 public:
  /// The dialog's own message box with an explicit caption; `type` used as given.
  virtual int WindowMessageBox(const std::string& text, const std::string& caption, unsigned type) = 0;
  /// The program's string resource `id`, or the empty text.
  virtual std::string LoadString(unsigned id) const = 0;

  virtual void BeginWaitCursor() = 0;
  virtual void RestoreWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;

  /// Replaces the status line's text.
  virtual void SetStatusLine(const std::string& text) = 0;
  /// Paints what the windows need painted, processing no input (Toolkit::PaintExposed):
  /// for the waits that process no messages.
  virtual void PaintExposed() = 0;
  /// The application's main window, whose status line SetStatusLine writes: the main
  /// dialog while it runs, nullptr before and after.
  virtual void SetMainWindow(DialogWindow* window) { (void)window; }

  /// BeepMessageBox with the text of string resource `stringId`; a help context of
  /// kHelpContextFromStringId stands for `stringId` itself.
  int BeepMessageBoxId(unsigned stringId, unsigned type, unsigned extraStyle = 0,
                       unsigned helpContext = kHelpContextFromStringId) {
    if (helpContext == kHelpContextFromStringId) helpContext = stringId;
    return BeepMessageBox(LoadString(stringId), type, extraStyle, helpContext);
  }
};

}  // namespace morv
