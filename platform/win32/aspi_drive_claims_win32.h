#pragma once
// Morvantide4's drive claims on Windows. WNASPI32 has no way to keep other programs
// off a drive, nor to tell where a target sits beyond its adapter, ID and LUN: a
// claim is the update lock alone (platform/win32/drive_update_lock.h), named after
// adapter:0:target:LUN, which is MorvantideNT's port:path:target:LUN where the ASPI
// manager numbers its adapters as the system numbers its SCSI ports.

#include <map>
#include <memory>
#include <string>

#include "platform/aspi_drive_claims.h"
#include "platform/win32/drive_update_lock.h"

namespace morv::win32 {

class AspiDriveClaimsWin32 : public AspiDriveClaims {
 public:
  /// No node name; "adapter:0:target:LUN".
  DevicePlace PlaceOf(uint8_t adapter, uint8_t target, uint8_t lun) override;
  /// Takes the update lock of that address.
  ClaimOutcome Claim(uint8_t adapter, uint8_t target, uint8_t lun) override;
  /// Releases it.
  void Release(uint8_t adapter, uint8_t target, uint8_t lun) override;

 private:
  std::map<std::string, std::unique_ptr<DriveUpdateLock>> m_locks;
};

}  // namespace morv::win32
