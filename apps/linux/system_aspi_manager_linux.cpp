#include "platform/linux/aspi_linux_manager.h"
#include "apps/system_devices.h"

namespace morv {

std::unique_ptr<AspiManager> MakeSystemAspiManager(const std::function<void(const std::string&)>& report) {
  return std::make_unique<linux_aspi::LinuxAspiManager>(linux_aspi::LinuxAspiManager::Paths{}, report);
}

// The manager keeps the claims itself: its descriptors carry the requests.
AspiDriveClaims& SystemAspiClaims(AspiManager& manager) { return static_cast<linux_aspi::LinuxAspiManager&>(manager); }

}  // namespace morv
