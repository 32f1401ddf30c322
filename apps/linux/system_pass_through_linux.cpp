#include "platform/linux/sg_pass_through_system.h"
#include "apps/system_devices.h"

namespace morv {

std::unique_ptr<PassThroughSystem> MakeSystemPassThrough() { return std::make_unique<sg::SgPassThroughSystem>(); }

}  // namespace morv
