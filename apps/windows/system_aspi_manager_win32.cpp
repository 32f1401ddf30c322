#include "apps/system_devices.h"
#include "platform/win32/wnaspi32_manager.h"

namespace morv {

std::unique_ptr<AspiManager> MakeSystemAspiManager() { return std::make_unique<win32::WnAspi32Manager>(); }

}  // namespace morv
