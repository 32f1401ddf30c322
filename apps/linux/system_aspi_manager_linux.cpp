#include "platform/linux/aspi_linux_manager.h"
#include "apps/system_devices.h"

namespace morv {

std::unique_ptr<AspiManager> MakeSystemAspiManager() { return std::make_unique<linux_aspi::LinuxAspiManager>(); }

}  // namespace morv
