// The Linux backend against python3-dbusmock's logind and UPower on a private system bus.

#include "platform/linux/logind_machine_power.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/linux/testing/private_system_bus.h"

namespace morv {
namespace {

using testing::PrivateSystemBus;
using Notes = std::vector<std::string>;

constexpr const char* kInhibitor =
    "sleep:shutdown:idle:handle-lid-switch:handle-power-key:handle-suspend-key|MorvantideNT|"
    "A drive's firmware is being written. Ending now would leave the drive unusable.|block";

struct Machine {
  PrivateSystemBus bus;
  Notes notes;
  LogindMachinePower power{"MorvantideNT", [this](const std::string& line) { notes.push_back(line); }};
};

TEST(LogindMachinePower, ReadsTheSupplyFromUPower) {
  struct Case {
    const char* name;
    const char* parameters;  ///< UPower's, or none for a bus without UPower
    std::function<bool(PrivateSystemBus&)> setUp;
    PowerSupply supply;
    Notes notes;
  } cases[] = {
      {"no UPower on the bus", nullptr, nullptr, {false, std::nullopt},
       {"power: battery not checked: The name org.freedesktop.UPower was not provided by any .service files"}},
      {"a desktop on mains", "{}", nullptr, {false, std::nullopt}, {}},
      {"mains with a charging laptop battery", "{}", [](PrivateSystemBus& b) { return b.SetDisplayBattery(10); },
       {false, std::nullopt}, {}},
      {"on battery: the display device", R"({"OnBattery": true})",
       [](PrivateSystemBus& b) { return b.SetDisplayBattery(18); }, {true, 18}, {}},
      {"on battery without a display device: the batteries", R"({"OnBattery": true})",
       [](PrivateSystemBus& b) { return b.AddDischargingBattery("BAT0", 10) && b.AddDischargingBattery("BAT1", 50); },
       {true, 30}, {}},
      {"on battery, no battery known", R"({"OnBattery": true})", nullptr, {true, std::nullopt},
       {"power: on battery, charge not known: UPower knows no battery"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Machine machine;
    ASSERT_TRUE(machine.bus.Started());
    if (c.parameters) {
      ASSERT_TRUE(machine.bus.StartTemplate("upower", "org.freedesktop.UPower", c.parameters));
    }
    if (c.setUp) {
      ASSERT_TRUE(c.setUp(machine.bus));
    }
    const PowerSupply supply = machine.power.Supply();
    EXPECT_EQ(supply.onBattery, c.supply.onBattery);
    EXPECT_EQ(supply.batteryPercent, c.supply.batteryPercent);
    EXPECT_EQ(machine.notes, c.notes);
  }
}

TEST(LogindMachinePower, HoldsAnInhibitorLockWhileKeptAwake) {
  Machine machine;
  ASSERT_TRUE(machine.bus.StartTemplate("logind", "org.freedesktop.login1"));
  machine.power.BeginKeepAwake();
  machine.power.BeginKeepAwake();  // still one lock
  EXPECT_EQ(machine.bus.Inhibitors(), std::vector<std::string>{kInhibitor});
  machine.power.EndKeepAwake();
  EXPECT_EQ(machine.bus.InhibitorsOnce(0), std::vector<std::string>{});
  machine.power.BeginKeepAwake();
  EXPECT_EQ(machine.bus.Inhibitors().size(), 1u);
  EXPECT_EQ(machine.notes, Notes{});
}

TEST(LogindMachinePower, GoesOnWithoutTheServicesAndSaysSo) {
  Machine machine;
  machine.power.BeginKeepAwake();
  machine.power.EndKeepAwake();
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/system_bus_socket", 1);
  machine.power.BeginKeepAwake();
  EXPECT_EQ(machine.power.Supply().onBattery, false);
  EXPECT_EQ(machine.notes,
            (Notes{"power: sleep and power-off not held off: The name org.freedesktop.login1 was not provided by any "
                   ".service files",
                   "power: sleep and power-off not held off: no system bus (No such file or directory)",
                   "power: battery not checked: no system bus (No such file or directory)"}));
}

}  // namespace
}  // namespace morv
