#include "apps/system_devices.h"
#include "platform/win32/win32_pass_through_system.h"

namespace morv {

std::unique_ptr<PassThroughSystem> MakeSystemPassThrough() {
  return std::make_unique<win32::Win32PassThroughSystem>();
}

}  // namespace morv
