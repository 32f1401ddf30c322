#pragma once
// What a command's wait and its own error box need of the feedback services: one
// pass of the message pump, a beep and a framework message box. Transports take
// this much and no more; Feedback (framework/feedback.h) provides it.

#include <string>

#include "framework/win32_types.h"

namespace morv {

class WaitFeedback {
 public:
  virtual ~WaitFeedback() = default;

  /// One pass of the message pump: at most one waiting message, no waiting.
  virtual void PumpMessages() = 0;
  /// Plays the sound of `type` (kSimpleBeep, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONHAND).
  virtual void MessageBeep(unsigned type) = 0;
  /// Framework message box: caption is the program file's base name; the button sets
  /// OK, OK/Cancel, Yes/No/Cancel and Yes/No without an icon get the exclamation icon.
  /// Returns the button pressed.
  virtual int AfxMessageBox(const std::string& text, unsigned type = MB_OK, unsigned helpContext = 0) = 0;

  /// Beep of `type`, then AfxMessageBox(text, type | extraStyle, helpContext).
  int BeepMessageBox(const std::string& text, unsigned type, unsigned extraStyle = 0, unsigned helpContext = 0) {
    MessageBeep(type);
    return AfxMessageBox(text, type | extraStyle, helpContext);
  }
};

}  // namespace morv
