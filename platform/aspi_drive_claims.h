#pragma once
// Morvantide4's claims of drives addressed by host adapter, target ID and LUN, as its
// update takes them (platform/drive_claim.h). The ASPI manager has no such call, so
// this sits beside it: on Linux the manager itself keeps the claims, since its
// descriptors carry the requests; sim/ keeps them on the emulated bus; on Windows
// only the lock can be had (a named mutex), as WNASPI32 offers no way to keep other
// programs off a drive.

#include <cstdint>

#include "platform/drive_claim.h"

namespace morv {

class AspiDriveClaims {
 public:
  virtual ~AspiDriveClaims() = default;
  /// Where the device at adapter/target/LUN sits now; empty fields for what the
  /// system cannot tell, or when no device is there.
  virtual DevicePlace PlaceOf(uint8_t adapter, uint8_t target, uint8_t lun) = 0;
  /// Claims the device at adapter/target/LUN for an update. Until Release, requests
  /// to that address reach only the device claimed, and fail once it has gone.
  virtual ClaimOutcome Claim(uint8_t adapter, uint8_t target, uint8_t lun) = 0;
  /// Ends the claim of that address, if there is one.
  virtual void Release(uint8_t adapter, uint8_t target, uint8_t lun) = 0;
};

}  // namespace morv
