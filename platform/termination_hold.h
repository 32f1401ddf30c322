#pragma once
// Keeps the process from being ended from outside while work runs that must not be
// cut off halfway, such as a firmware download: a drive left with half its microcode
// does not start again. On Linux the termination signals are held (and take effect
// when the hold ends); on Windows logoff and shutdown are refused with a reason the
// system shows, and console interrupts are ignored, while the hold lasts.

#include <memory>

namespace morv {

class TerminationHold {
 public:
  /// Begins the hold for the calling thread.
  TerminationHold();
  /// Ends it; what was held back takes effect now where the system keeps it.
  ~TerminationHold();
  TerminationHold(const TerminationHold&) = delete;
  TerminationHold& operator=(const TerminationHold&) = delete;

 private:
  struct State;
  std::unique_ptr<State> m_state;
};

}  // namespace morv
