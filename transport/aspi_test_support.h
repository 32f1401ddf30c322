#pragma once
// For tests of the ASPI transport: a calendar clock that moves only when it is
// read, so time limits of any length pass without waiting.

#include <cstdint>

#include "platform/clock.h"

namespace morv {

/// Each read of the calendar clock advances it by `step` seconds; Sleep only counts.
class SteppingClock : public Clock {
 public:
  int64_t now = 1'000'000;
  int64_t step = 0;
  int sleeps = 0;
  uint32_t TickCount() override { return 0; }
  void Sleep(uint32_t) override { ++sleeps; }
  int64_t CalendarSeconds() override {
    const int64_t value = now;
    now += step;
    return value;
  }
};

}  // namespace morv
