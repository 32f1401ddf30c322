#pragma once
// Time as the programs use it: a millisecond tick count, sleeping, and the calendar
// clock in whole seconds. Injectable so that tests never wait for real.

#include <cstdint>

namespace morv {

class Clock {
 public:
  virtual ~Clock() = default;
  /// Milliseconds since an arbitrary start; wraps around like a 32-bit counter.
  virtual uint32_t TickCount() = 0;
  /// Suspends the thread for `milliseconds`.
  virtual void Sleep(uint32_t milliseconds) = 0;
  /// Calendar time in whole seconds.
  virtual int64_t CalendarSeconds() = 0;
};

/// The real clock of this machine.
Clock& SystemClock();

}  // namespace morv
