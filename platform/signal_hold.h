#pragma once
// Holding every signal that ends or stops a process from outside while work runs
// that must not be cut off halfway, such as a firmware download: a drive left with
// half its microcode does not start again. A held signal is not lost; it takes
// effect, with the disposition it had before, when the hold ends. SIGKILL and
// SIGSTOP cannot be held; the fault signals (SIGSEGV, SIGBUS, SIGFPE, SIGILL,
// SIGTRAP, SIGSYS, SIGABRT) are the program's own and are not held either.

#include <pthread.h>
#include <signal.h>

#include <vector>

namespace morv {

class TerminationSignalHold {
 public:
  /// Blocks the held signals in the calling thread (inside a hold the thread already
  /// has, a hold costs nothing and ends with the outermost). Where another thread of the
  /// process receives one meanwhile, it is passed on to the calling thread, so it
  /// stays held there too.
  TerminationSignalHold();
  /// Restores the earlier dispositions and signal mask; a signal that arrived during
  /// the hold is delivered now (and may end or stop the process here).
  ~TerminationSignalHold();
  TerminationSignalHold(const TerminationSignalHold&) = delete;
  TerminationSignalHold& operator=(const TerminationSignalHold&) = delete;

  /// The signals a hold holds: those whose default action ends or stops the process
  /// and that come from outside (the terminal, a shell, a timer, a resource limit,
  /// a broken pipe), the real-time signals among them.
  static const std::vector<int>& Signals();
  /// Whether a hold exists now, in any thread.
  static bool Active();

 private:
  sigset_t m_previousMask;
  std::vector<struct sigaction> m_previousActions;
  std::vector<bool> m_forwarding;
  pthread_t m_previousHolder;
  bool m_nested = false;  ///< inside a hold of the same thread: changes nothing
};

}  // namespace morv
