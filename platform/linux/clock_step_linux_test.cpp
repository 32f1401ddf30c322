// The programs' clock against a step of the calendar: a time service or an operator
// setting the clock two hours forward while a command is out. The calendar read by
// time() here jumps two hours at every read; the time limits must not see it.
#include <gtest/gtest.h>

#include <ctime>

#include "platform/clock.h"

namespace {
time_t g_calendar = 1'800'000'000;
}  // namespace

// Takes the place of the C library's calendar for this test program.
extern "C" time_t time(time_t* out) {
  g_calendar += 2 * 60 * 60;
  if (out != nullptr) *out = g_calendar;
  return g_calendar;
}

namespace morv {
namespace {

TEST(ClockStep, ElapsedSecondsIgnoreACalendarStep) {
  Clock& clock = SystemClock();
  const int64_t start = clock.ElapsedSeconds();
  const int64_t later = clock.ElapsedSeconds();
  EXPECT_GE(later, start);
  EXPECT_LT(later - start, 2);
}

}  // namespace
}  // namespace morv
