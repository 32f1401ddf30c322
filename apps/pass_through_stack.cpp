#include "apps/pass_through_stack.h"

#include "apps/simulated_delay.h"
#include "apps/system_devices.h"
#include "sim/sim_pass_through_system.h"

namespace morv {

std::unique_ptr<PassThroughStack> MakePassThroughStack(bool simulate, CommandTrace* trace) {
  auto stack = std::make_unique<PassThroughStack>();
  if (simulate) {
    stack->devices.emplace();
    auto system = std::make_unique<sim::SimPassThroughSystem>(*stack->devices);
    if (const auto delay = SimulatedDelay()) system->SetDelay(*delay);
    stack->system = std::move(system);
  } else {
    stack->system = MakeSystemPassThrough();
  }
  stack->transport = std::make_unique<PassThroughTransport>(*stack->system, trace);
  return stack;
}

}  // namespace morv
