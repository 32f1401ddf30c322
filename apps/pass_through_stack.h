#pragma once
// How MorvantideNT reaches its drives, built in one call: the Linux sg driver, or
// with `simulate` the emulated disk (C:), MX-R4410 (E:) and other CD-ROM (G:), and
// the pass-through transport over it, tracing every request when a trace is given.

#include <memory>
#include <optional>

#include "platform/pass_through_system.h"
#include "sim/standard_devices.h"
#include "transport/pass_through_transport.h"

namespace morv {

class CommandTrace;

struct PassThroughStack {
  std::optional<sim::StandardDevices> devices;  ///< the emulated devices when simulated
  std::unique_ptr<PassThroughSystem> system;
  std::unique_ptr<PassThroughTransport> transport;
};

/// `trace` may be null; it must outlive the stack.
std::unique_ptr<PassThroughStack> MakePassThroughStack(bool simulate, CommandTrace* trace = nullptr);

}  // namespace morv
