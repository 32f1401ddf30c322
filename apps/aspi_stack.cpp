#include "apps/aspi_stack.h"

#include "apps/simulated_delay.h"
#include "apps/system_devices.h"
#include "sim/sim_aspi_manager.h"

namespace morv {

std::unique_ptr<AspiStack> MakeAspiStack(bool simulate, WaitFeedback& feedback, CommandTrace* trace,
                                         const std::function<void(const std::string&)>& report) {
  auto stack = std::make_unique<AspiStack>();
  if (simulate) {
    stack->devices.emplace();
    const auto delay = SimulatedDelay();
    auto manager = std::make_unique<sim::SimAspiManager>(
        *stack->devices, delay ? std::chrono::microseconds(*delay) : sim::SimAspiManager::kDefaultDelay);
    stack->claims = manager.get();
    stack->manager = std::move(manager);
  } else {
    stack->manager = MakeSystemAspiManager(report);
    stack->claims = &SystemAspiClaims(*stack->manager);
  }
  stack->transport =
      std::make_unique<AspiTransport>(*stack->manager, feedback, SystemClock(), HeapRequestResources(), trace);
  return stack;
}

}  // namespace morv
