#pragma once
// The charge left in a machine's batteries, from what UPower says of each power
// device. UPower's composite DisplayDevice answers this directly where it is present;
// this is for the systems where it is not.

#include <cstdint>
#include <optional>
#include <vector>

namespace morv::upower {

/// UPower's device kinds that can feed the machine.
inline constexpr uint32_t kKindBattery = 2;
inline constexpr uint32_t kKindUps = 3;

/// What UPower reports of one device (org.freedesktop.UPower.Device).
struct DeviceReading {
  uint32_t type = 0;         ///< Type: the device kind
  bool powerSupply = false;  ///< PowerSupply: it feeds this machine (not a mouse's battery)
  bool present = false;      ///< IsPresent
  double percentage = 0;     ///< Percentage
  double energy = 0;         ///< Energy, Wh
  double energyFull = 0;     ///< EnergyFull, Wh
};

/// The charge of the present batteries and UPSes that feed the machine, weighted by
/// their capacity (by plain average where a capacity is unknown); none without such a
/// device.
std::optional<double> CombinedCharge(const std::vector<DeviceReading>& devices);

}  // namespace morv::upower
