#pragma once
// Holding the signals that end a process from outside (SIGINT, SIGTERM, SIGHUP) while
// work runs that must not be cut off halfway, such as a firmware download: a drive
// left with half its microcode does not start again. A held signal is not lost; it
// takes effect, with the disposition it had before, when the hold ends.

#include <pthread.h>
#include <signal.h>

#include <array>

namespace morv {

class TerminationSignalHold {
 public:
  /// Blocks SIGINT, SIGTERM and SIGHUP in the calling thread. Where another thread of
  /// the process receives one meanwhile, it is passed on to the calling thread, so it
  /// stays held there too.
  TerminationSignalHold();
  /// Restores the earlier dispositions and signal mask; a signal that arrived during
  /// the hold is delivered now (and may end the process here).
  ~TerminationSignalHold();
  TerminationSignalHold(const TerminationSignalHold&) = delete;
  TerminationSignalHold& operator=(const TerminationSignalHold&) = delete;

  /// The signals a hold holds.
  static constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};

 private:
  sigset_t m_previousMask;
  std::array<struct sigaction, kSignals.size()> m_previousActions;
  std::array<bool, kSignals.size()> m_forwarding{};
  pthread_t m_previousHolder;
};

}  // namespace morv
