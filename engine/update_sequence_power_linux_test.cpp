// The update over the Linux power backend, against python3-dbusmock's logind and
// UPower on a private system bus: what logind and the drive see at each step.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/testing/update_rig.h"
#include "engine/update_sequence.h"
#include "platform/linux/logind_machine_power.h"
#include "platform/linux/testing/private_system_bus.h"

namespace morv {
namespace {

using testing::PrivateSystemBus;
using testing::UpdateRig;
using Strings = std::vector<std::string>;

/// One update of every region with the program's own power backend on `bus`.
struct PoweredUpdate {
  explicit PoweredUpdate(ProgramKind kind = ProgramKind::NT) : rig(kind) {
    rig.machinePower = &power;
    rig.transport.onRequest = [this](const TransportRequest&) {
      // logind's list as each command goes out; the WRITE BUFFERs are what must not be cut off.
      inhibitorsAtCommands.push_back(bus.Inhibitors());
    };
  }
  PrivateSystemBus bus;
  UpdateRig rig;
  Strings notes;
  LogindMachinePower power{"MorvantideNT", [this](const std::string& line) { notes.push_back(line); }};
  std::vector<Strings> inhibitorsAtCommands;
};

TEST(UpdatePowerLinux, TheInhibitorIsHeldForTheDownloadAndDroppedOnEveryRoadOut) {
  struct Case {
    const char* name;
    size_t goodWrites;  ///< the writes before a refused one; all when past the plan
    UpdateOutcome outcome;
  } cases[] = {{"completed", 1000, UpdateOutcome::Completed}, {"refused piece", 5, UpdateOutcome::WriteRefused}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PoweredUpdate update;
    ASSERT_TRUE(update.bus.StartTemplate("logind", "org.freedesktop.login1"));
    ASSERT_TRUE(update.bus.StartTemplate("upower", "org.freedesktop.UPower"));
    if (c.goodWrites < 1000) {
      update.rig.transport.replies.assign(2 + c.goodWrites, FakeTransport::Reply{});
      update.rig.transport.replies.push_back(FakeTransport::CheckCondition(5, 0x24, 0));
    }
    EXPECT_EQ(update.rig.Run(), c.outcome);
    ASSERT_GE(update.inhibitorsAtCommands.size(), 3u);
    EXPECT_EQ(update.inhibitorsAtCommands[0], Strings{}) << "TEST UNIT READY before the question";
    // The lock's fields are the backend's own test; here: ours, in block mode, one.
    for (size_t i = 1; i < update.inhibitorsAtCommands.size(); ++i) {
      ASSERT_EQ(update.inhibitorsAtCommands[i].size(), 1u) << "command " << i;
      EXPECT_NE(update.inhibitorsAtCommands[i][0].find("|MorvantideNT|"), std::string::npos);
      EXPECT_TRUE(update.inhibitorsAtCommands[i][0].ends_with("|block"));
    }
    EXPECT_EQ(update.bus.InhibitorsOnce(0), Strings{});
    EXPECT_EQ(update.notes, Strings{});
  }
}

TEST(UpdatePowerLinux, ALowBatteryIsRefusedBeforeAnythingReachesTheDrive) {
  PoweredUpdate update;
  ASSERT_TRUE(update.bus.StartTemplate("logind", "org.freedesktop.login1"));
  ASSERT_TRUE(update.bus.StartTemplate("upower", "org.freedesktop.UPower", R"({"OnBattery": true})"));
  ASSERT_TRUE(update.bus.SetDisplayBattery(12.5));
  EXPECT_EQ(update.rig.Run(), UpdateOutcome::BatteryLow);
  EXPECT_TRUE(update.rig.transport.sent.empty());
  EXPECT_EQ(update.rig.feedback.EventsStartingWith("box"),
            Strings{"box 00000000 The computer is running on battery with 12 % left, too little to update a "
                    "drive's firmware safely.\nPlug in the power supply, then press Update Start again."});
  EXPECT_EQ(update.notes, Strings{});
}

// Servers and rescue systems: the flash goes on, and the notes say what was not done.
TEST(UpdatePowerLinux, WithoutASystemBusTheFlashCompletes) {
  PoweredUpdate update;
  ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/system_bus_socket", 1);
  EXPECT_EQ(update.rig.Run(), UpdateOutcome::Completed);
  EXPECT_EQ(update.rig.Writes().size(), 32u);
  EXPECT_EQ(update.notes, (Strings{"power: battery not checked: no system bus (No such file or directory)",
                                   "power: sleep and power-off not held off: no system bus (No such file or directory)"}));
}

}  // namespace
}  // namespace morv
