#pragma once
// A program running in a real pseudo-terminal for end-to-end tests: a private tmux
// server (its own socket, so tests never touch an operator's sessions) runs one
// command in an 80x24 window; the test types with SendKeys and reads the screen with
// Capture. Every wait is bounded, and the server is killed when the session ends,
// whether the test passed or not.

#include <chrono>
#include <string>
#include <vector>

namespace morv::terminal::testing {

/// Runs `argv` (no shell, at most ten seconds), returns its exit status and, when
/// `captureOutput`, its standard output.
struct CommandResult {
  int status = -1;
  std::string output;
};
CommandResult RunCommand(const std::vector<std::string>& argv, bool captureOutput = false);

class TmuxSession {
 public:
  /// Starts `command` (argv) in `directory`, in a rows x cols window.
  TmuxSession(const std::vector<std::string>& command, const std::string& directory, int rows = 24, int cols = 80);
  ~TmuxSession();
  TmuxSession(const TmuxSession&) = delete;
  TmuxSession& operator=(const TmuxSession&) = delete;

  /// Whether the server and its window came up.
  bool Started() const { return m_started; }
  /// Types keys in tmux's names ("Down", "Enter", "M-a", "Escape", or literal text),
  /// at a person's pace: not before kOperatorPause has passed since the screen last
  /// showed what a test waited for, or since the keys sent last. (The dialog takes a
  /// key that presses or answers only when it is not the same key again at once,
  /// nor the first moment of a box.) The keys of one call come together.
  void SendKeys(const std::vector<std::string>& keys);
  /// Changes the window's size, as an operator resizing the terminal would.
  void Resize(int rows, int cols);
  /// The visible screen, one line per row; with `withHistory` also the lines that
  /// have scrolled off the top.
  std::string Capture(bool withHistory = false);
  /// Waits until the screen shows `text`; false when `limit` passes first.
  bool WaitFor(const std::string& text, std::chrono::milliseconds limit = kDefaultLimit);
  /// Waits until the screen no longer shows `text`.
  bool WaitForGone(const std::string& text, std::chrono::milliseconds limit = kDefaultLimit);
  /// Waits until the program has ended; its exit status, or -1 when it has not.
  int WaitForExit(std::chrono::milliseconds limit = kDefaultLimit);

  static constexpr std::chrono::milliseconds kDefaultLimit{15000};
  static constexpr std::chrono::milliseconds kOperatorPause{300};

 private:
  std::vector<std::string> Tmux(std::vector<std::string> args) const;
  std::string m_socket;
  std::string m_config;
  std::string m_statusFile;
  bool m_started = false;
  std::chrono::steady_clock::time_point m_lastAction{};
};

}  // namespace morv::terminal::testing
