#pragma once
// Time as the programs use it: a millisecond tick count, sleeping, and whole seconds
// for long time limits. Every duration is measured on a clock that setting the
// calendar (by hand, or a time service stepping it) does not move. Injectable so
// that tests never wait for real.

#include <cstdint>

namespace morv {

class Clock {
 public:
  virtual ~Clock() = default;
  /// Milliseconds since an arbitrary start; wraps around like a 32-bit counter.
  virtual uint32_t TickCount() = 0;
  /// Suspends the thread for `milliseconds`.
  virtual void Sleep(uint32_t milliseconds) = 0;
  /// Whole seconds since an arbitrary start, on a clock the calendar does not move.
  virtual int64_t ElapsedSeconds() = 0;
};

/// The real clock of this machine.
Clock& SystemClock();

}  // namespace morv
