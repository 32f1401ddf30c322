#pragma once
// A windowed (GUI-subsystem) program started from a console gets no standard
// streams of its own: what it writes there goes nowhere.

namespace morv::win32 {

/// Connects standard output and standard error, each where it leads nowhere, to
/// the console of the process that started this one (if it has one); streams
/// redirected to a file or pipe are kept.
void ConnectStandardStreamsToStartingConsole();

/// While it lives, the process is detached from the console it attached to (if it
/// did): the system ends every process attached to a console when that console is
/// closed, whatever its handler answers, and Ctrl+C there would interrupt the
/// dialog. Output written meanwhile goes nowhere. At its end the process attaches
/// to the starting console again (if it is still there), for the closing lines.
class StartingConsoleSetAside {
 public:
  StartingConsoleSetAside();
  ~StartingConsoleSetAside();
  StartingConsoleSetAside(const StartingConsoleSetAside&) = delete;
  StartingConsoleSetAside& operator=(const StartingConsoleSetAside&) = delete;

 private:
  bool m_left = false;  ///< the process was attached and has left
};

}  // namespace morv::win32
