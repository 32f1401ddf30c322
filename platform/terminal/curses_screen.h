#pragma once
// The real terminal, through ncurses. It takes the terminal over on first use and
// gives it back on every way out: when closed or destroyed, at exit(), on SIGTERM,
// SIGHUP, SIGINT, SIGQUIT and the fatal signals, and when std::terminate runs.
// While it owns the terminal, anything the program writes to standard output is
// held back and written out once the terminal is restored, so it cannot garble the
// screen. Ctrl-C and Ctrl-Z are plain keys here (ignored): a stray keystroke must
// not cut a firmware download short.

#include <memory>
#include <stdexcept>

#include "platform/terminal/terminal_screen.h"

namespace morv::terminal {

/// Raised when there is no terminal to take over (no tty, unknown terminal type).
class TerminalUnavailable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class CursesScreen : public TerminalScreen {
 public:
  CursesScreen();
  ~CursesScreen() override;
  CursesScreen(const CursesScreen&) = delete;
  CursesScreen& operator=(const CursesScreen&) = delete;

  /// Takes the terminal over now (otherwise done on first use); throws
  /// TerminalUnavailable when that is impossible.
  void Open();
  /// Gives the terminal back and writes out what standard output held back.
  void Close();
  /// Waits for input and for `fd` alike: ReadKey returns Wake once `fd` is
  /// readable (it does not read it). -1 stops watching.
  void WakeOn(int fd);
  /// Whether the terminal went away (hung up) while a termination hold was active,
  /// that is, during an update.
  bool GoneDuringHold() const;

  int Rows() override;
  int Cols() override;
  void Present(const Canvas& canvas) override;
  std::optional<KeyEvent> ReadKey(bool wait) override;
  void Bell() override;
  /// flushinp(): what the terminal and ncurses hold unread is dropped.
  void FlushInput() override;
  /// The monotonic clock.
  long long NowMs() override;

  /// What the screen keeps of the terminal; defined where ncurses is visible.
  struct State;

 private:
  std::unique_ptr<State> m_state;
};

}  // namespace morv::terminal
