#include "platform/linux/upower_charge.h"

#include <gtest/gtest.h>

namespace morv::upower {
namespace {

DeviceReading Battery(double percentage, double energyFull) {
  return {kKindBattery, true, true, percentage, percentage * energyFull / 100, energyFull};
}

TEST(UPowerCharge, CountsTheDevicesThatFeedTheMachine) {
  DeviceReading mouse = Battery(5, 1);
  mouse.powerSupply = false;
  DeviceReading emptyBay = Battery(0, 50);
  emptyBay.present = false;
  DeviceReading lineCord{1, true, true, 0, 0, 0};
  DeviceReading ups = Battery(40, 0);
  ups.type = kKindUps;
  struct Case {
    const char* name;
    std::vector<DeviceReading> devices;
    std::optional<double> charge;
  } cases[] = {
      {"nothing", {}, std::nullopt},
      {"only a mouse, a line cord and an empty bay", {mouse, lineCord, emptyBay}, std::nullopt},
      {"one battery", {Battery(18, 50), mouse}, 18},
      // 10 Wh of 80 and 10 Wh of 20: 20 of 100 left, not the mean of 12.5 and 50.
      {"two batteries by their energy", {Battery(12.5, 80), Battery(50, 20)}, 20},
      {"a capacity unknown: the mean", {Battery(10, 50), ups}, 25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<double> charge = CombinedCharge(c.devices);
    ASSERT_EQ(charge.has_value(), c.charge.has_value());
    if (charge) {
      EXPECT_DOUBLE_EQ(*charge, *c.charge);
    }
  }
}

}  // namespace
}  // namespace morv::upower
