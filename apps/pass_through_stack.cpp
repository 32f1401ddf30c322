#include "apps/pass_through_stack.h"

#include "apps/system_devices.h"
#include "sim/sim_pass_through_system.h"

namespace morv {

std::unique_ptr<PassThroughStack> MakePassThroughStack(bool simulate, CommandTrace* trace) {
  auto stack = std::make_unique<PassThroughStack>();
  if (simulate) {
    stack->devices.emplace();
    stack->system = std::make_unique<sim::SimPassThroughSystem>(*stack->devices);
  } else {
    stack->system = MakeSystemPassThrough();
  }
  stack->transport = std::make_unique<PassThroughTransport>(*stack->system, trace);
  return stack;
}

}  // namespace morv
