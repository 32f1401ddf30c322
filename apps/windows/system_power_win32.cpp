#include "apps/system_power.h"
#include "platform/win32/win32_machine_power.h"

#include <utility>

namespace morv {

std::unique_ptr<MachinePower> MakeSystemMachinePower(const std::string&, PowerNote note) {
  return std::make_unique<win32::Win32MachinePower>(std::move(note));
}

}  // namespace morv
