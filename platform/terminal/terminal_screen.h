#pragma once
// The terminal as the toolkit needs it: its size, showing a painted canvas, input
// events and the bell. CursesScreen is the real one; tests use ScriptedScreen.

#include <optional>

#include "platform/terminal/canvas.h"
#include "platform/terminal/key_event.h"

namespace morv::terminal {

class TerminalScreen {
 public:
  virtual ~TerminalScreen() = default;
  /// Rows of the terminal now.
  virtual int Rows() = 0;
  /// Columns of the terminal now.
  virtual int Cols() = 0;
  /// Shows `canvas` (painted at the size Rows() x Cols() returned).
  virtual void Present(const Canvas& canvas) = 0;
  /// The next input event; with `wait` blocks until one comes, else returns nullopt
  /// at once when none is pending. Once the terminal is gone every call returns Closed.
  virtual std::optional<KeyEvent> ReadKey(bool wait) = 0;
  /// Rings the terminal bell.
  virtual void Bell() = 0;
  /// Throws away the input typed so far and not yet read (type-ahead).
  virtual void FlushInput() = 0;
  /// Milliseconds on a clock that only goes forward (a scripted screen's stands
  /// at the time the last event read was typed).
  virtual long long NowMs() = 0;
};

}  // namespace morv::terminal
