#pragma once
// The operating system's own ways to real drives, one backend per system:
// apps/linux/ (the sg driver) and apps/windows/ (DeviceIoControl, WNASPI32).
// Each program links only the one it uses.

#include <memory>

#include "platform/aspi_drive_claims.h"
#include "platform/aspi_manager.h"
#include "platform/pass_through_system.h"

#include <functional>
#include <string>

namespace morv {

/// MorvantideNT's pass-through to the drives behind drive letters.
std::unique_ptr<PassThroughSystem> MakeSystemPassThrough();
/// Morvantide4's ASPI manager over the system's host adapters; what it cannot use
/// goes to `report`, one line each.
std::unique_ptr<AspiManager> MakeSystemAspiManager(const std::function<void(const std::string&)>& report);
/// The drive claims that go with a manager MakeSystemAspiManager made; they live as
/// long as the manager.
AspiDriveClaims& SystemAspiClaims(AspiManager& manager);

}  // namespace morv
