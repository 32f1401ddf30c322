#include "apps/system_power.h"
#include "platform/linux/logind_machine_power.h"

#include <utility>

namespace morv {

std::unique_ptr<MachinePower> MakeSystemMachinePower(const std::string& programName, PowerNote note) {
  return std::make_unique<LogindMachinePower>(programName, std::move(note));
}

}  // namespace morv
