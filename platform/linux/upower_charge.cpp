#include "platform/linux/upower_charge.h"

namespace morv::upower {

std::optional<double> CombinedCharge(const std::vector<DeviceReading>& devices) {
  double energy = 0, energyFull = 0, percentages = 0;
  int count = 0;
  bool capacitiesKnown = true;
  for (const DeviceReading& device : devices) {
    if (!device.present || !device.powerSupply || (device.type != kKindBattery && device.type != kKindUps)) continue;
    ++count;
    percentages += device.percentage;
    energy += device.energy;
    energyFull += device.energyFull;
    capacitiesKnown &= device.energyFull > 0;
  }
  if (count == 0) return std::nullopt;
  // Two batteries of different sizes drain one after the other: what is left is their
  // energy together, not the mean of their percentages.
  return capacitiesKnown ? 100.0 * energy / energyFull : percentages / count;
}

}  // namespace morv::upower
