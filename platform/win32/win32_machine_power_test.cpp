#include "platform/win32/win32_machine_power.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace morv::win32 {
namespace {

TEST(Win32MachinePower, ReadsThePowerStatus) {
  struct Case {
    const char* name;
    uint8_t acLine, flag, percent;
    PowerSupply supply;
  } cases[] = {
      {"a laptop on battery", 0, 2, 18, {true, 18}},
      {"a laptop charging", 1, 8, 10, {false, 10}},
      {"a desktop", 1, 128, 255, {false, std::nullopt}},
      {"on battery, charge unknown", 0, 255, 255, {true, std::nullopt}},
      {"line status unknown", 255, 1, 80, {false, 80}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PowerSupply supply = SupplyFromStatus(c.acLine, c.flag, c.percent);
    EXPECT_EQ(supply.onBattery, c.supply.onBattery);
    EXPECT_EQ(supply.batteryPercent, c.supply.batteryPercent);
  }
}

/// The thread's execution state, read without changing it.
EXECUTION_STATE CurrentState() { return SetThreadExecutionState(0) & (ES_CONTINUOUS | ES_SYSTEM_REQUIRED); }

TEST(Win32MachinePower, KeepsTheSystemRequiredWhileHeld) {
  std::vector<std::string> notes;
  {
    Win32MachinePower power([&](const std::string& line) { notes.push_back(line); });
    power.BeginKeepAwake();
    EXPECT_EQ(CurrentState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED));
    power.EndKeepAwake();
    EXPECT_EQ(CurrentState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
    power.BeginKeepAwake();
  }
  EXPECT_EQ(CurrentState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS)) << "ended with the object";
  EXPECT_TRUE(notes.empty());
}

}  // namespace
}  // namespace morv::win32
