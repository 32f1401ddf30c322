#include "platform/linux/aspi_linux_manager.h"
#include "apps/system_devices.h"

namespace morv {

std::unique_ptr<AspiManager> MakeSystemAspiManager() { return std::make_unique<linux_aspi::LinuxAspiManager>(); }

// The manager keeps the claims itself: its descriptors carry the requests.
AspiDriveClaims& SystemAspiClaims(AspiManager& manager) { return static_cast<linux_aspi::LinuxAspiManager&>(manager); }

}  // namespace morv
