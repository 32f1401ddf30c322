#pragma once
// How Morvantide4 reaches its drives, built in one call: the Linux ASPI manager
// over the SCSI hosts, or with `simulate` the emulated bus (disk at ID 0, MX-R4410
// at ID 2, other CD-ROM at ID 5), and the ASPI transport over it, tracing every
// request as "0:2:0 ..." when a trace is given.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/aspi_drive_claims.h"
#include "platform/aspi_manager.h"
#include "sim/standard_devices.h"
#include "transport/aspi_transport.h"

namespace morv {

class CommandTrace;
class WaitFeedback;

/// Members in this order, so the transport goes before the manager it uses, and the
/// manager before the devices it runs.
struct AspiStack {
  std::optional<sim::StandardDevices> devices;  ///< the emulated devices when simulated
  std::unique_ptr<AspiManager> manager;
  AspiDriveClaims* claims = nullptr;  ///< the manager's drive claims, living as long as it
  std::unique_ptr<AspiTransport> transport;
};

/// `feedback` (pumped while requests wait) and `trace` (may be null) must outlive
/// the stack. The system's manager reports what it cannot use to `report`.
std::unique_ptr<AspiStack> MakeAspiStack(bool simulate, WaitFeedback& feedback, CommandTrace* trace = nullptr,
                                         const std::function<void(const std::string&)>& report = {});

}  // namespace morv
