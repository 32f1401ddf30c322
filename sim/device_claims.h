#pragma once
// The update locks of emulated devices, one per device and shared by every emulated
// stack in the process: two stacks over the same devices agree on them as two
// programs on one machine agree on a real drive's lock.

#include <string>

#include "sim/emulated_device.h"

namespace morv::sim {

/// Takes the device's update lock; false when it is already taken.
bool TryClaimDevice(const EmulatedDevice& device);
/// Drops the device's update lock.
void ReleaseDevice(const EmulatedDevice& device);
/// The device's place on the emulated bus: "sim:N", a number no other device of the
/// process has, so a device put in another's place is told apart.
std::string EmulatedAddress(const EmulatedDevice& device);

}  // namespace morv::sim
