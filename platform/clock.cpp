#include "platform/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace morv {
namespace {

class RealClock : public Clock {
 public:
  uint32_t TickCount() override {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
  }
  void Sleep(uint32_t milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
  int64_t CalendarSeconds() override { return static_cast<int64_t>(std::time(nullptr)); }
};

}  // namespace

Clock& SystemClock() {
  static RealClock clock;
  return clock;
}

}  // namespace morv
