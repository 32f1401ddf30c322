#pragma once
// What the toolkit conformance suite needs of one toolkit besides the Toolkit
// interface itself: a way to play the operator (keys, mouse clicks) while a dialog
// or a message box waits for input, and what a box shows. Each toolkit has one
// driver; the suite runs the same cases against every driver.

#include <functional>
#include <string>
#include <vector>

#include "framework/testing/operator_key.h"
#include "framework/toolkit.h"

namespace morv::conformance {

/// One thing the operator does, or a look at the dialog, while it waits for input.
struct OperatorStep {
  enum class Kind { Press, Click, Look };
  Kind kind = Kind::Look;
  KeyStroke key = OperatorKey::Enter;
  int id = 0;
  std::function<void(DialogWindow&)> look;

  /// Presses a key on the keyboard.
  static OperatorStep Press(OperatorKey key) { return {Kind::Press, key, 0, {}}; }
  /// The keyboard repeats a key that is held down.
  static OperatorStep Held(OperatorKey key) { return {Kind::Press, KeyStroke::Held(key), 0, {}}; }
  /// Clicks a control with the mouse.
  static OperatorStep Click(int id) { return {Kind::Click, OperatorKey::Enter, id, {}}; }
  /// Runs `look` against the open dialog.
  static OperatorStep Look(std::function<void(DialogWindow&)> look) {
    return {Kind::Look, OperatorKey::Enter, 0, std::move(look)};
  }
};

/// What a message box showed, and how it was answered.
struct BoxSeen {
  int result = 0;
  std::vector<int> buttons;  ///< the results of its buttons, ascending
  int defaultButton = 0;     ///< the result of the button Enter presses first
  bool captionWhole = false; ///< the caption is shown without being cut
};

class ToolkitDriver {
 public:
  virtual ~ToolkitDriver() = default;
  /// The toolkit under test.
  virtual Toolkit& Get() = 0;
  /// Runs `dialog` modally with `handler`. Once it waits for the operator the
  /// steps run in order, each after the one before has been handled; a dialog
  /// still open after the last step is ended with IDCANCEL. Returns the result.
  virtual int Run(const DialogTemplate& dialog, const ProgramResources& resources, DialogHandler& handler,
                  std::vector<OperatorStep> steps) = 0;
  /// The operator presses `key` while a handler works: it is pending for the
  /// next pass of the message pump, or typed ahead of the next message box.
  virtual void KeyDuringWait(OperatorKey key) = 0;
  /// While a handler works, the running dialog needs painting again as when a window
  /// that covered it goes away (in a terminal: the screen changes its size).
  virtual void Uncover() = 0;
  /// Whether the dialog has been painted since Uncover.
  virtual bool Repainted() = 0;
  /// Shows a message box and presses `keys` in turn until one answers it.
  virtual BoxSeen ShowBox(const std::string& text, const std::string& caption, unsigned type,
                          std::vector<KeyStroke> keys) = 0;
};

/// Passes everything on to `inner` and keeps the window the toolkit gave it.
class WindowCatcher : public DialogHandler {
 public:
  explicit WindowCatcher(DialogHandler& inner) : m_inner(inner) {}
  DialogWindow* window = nullptr;

  bool OnInitDialog(DialogWindow& w) override {
    window = &w;
    return m_inner.OnInitDialog(w);
  }
  void OnCommand(int id, int code) override { m_inner.OnCommand(id, code); }
  bool OnSysCommand(unsigned id, long param) override { return m_inner.OnSysCommand(id, param); }

 private:
  DialogHandler& m_inner;
};

}  // namespace morv::conformance
