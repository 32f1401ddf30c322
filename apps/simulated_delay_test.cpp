#include "apps/simulated_delay.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

TEST(SimulatedDelay, OnlyPlainMillisecondsUpToAMinuteAreTaken) {
  using std::chrono::milliseconds;
  const struct {
    const char* text;
    std::optional<milliseconds> delay;
  } cases[] = {
      {nullptr, std::nullopt}, {"", std::nullopt},       {"100", milliseconds(100)}, {"0", milliseconds(0)},
      {"60000", milliseconds(60000)}, {"60001", std::nullopt}, {"-5", std::nullopt},  {" 5", std::nullopt},
      {"5ms", std::nullopt},  {"99999999999999999999", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(SimulatedDelayFrom(c.text), c.delay) << (c.text ? c.text : "(none)");
}

}  // namespace
}  // namespace morv
