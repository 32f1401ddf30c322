#include "platform/win32/aspi_drive_claims_win32.h"

namespace morv::win32 {

DevicePlace AspiDriveClaimsWin32::PlaceOf(uint8_t adapter, uint8_t target, uint8_t lun) {
  return {{}, std::to_string(adapter) + ":0:" + std::to_string(target) + ":" + std::to_string(lun)};
}

ClaimOutcome AspiDriveClaimsWin32::Claim(uint8_t adapter, uint8_t target, uint8_t lun) {
  const std::string address = PlaceOf(adapter, target, lun).address;
  auto lock = std::make_unique<DriveUpdateLock>();
  const ClaimOutcome outcome = lock->Take(address);
  if (outcome.status == ClaimStatus::Claimed) m_locks[address] = std::move(lock);
  return outcome;
}

void AspiDriveClaimsWin32::Release(uint8_t adapter, uint8_t target, uint8_t lun) {
  m_locks.erase(PlaceOf(adapter, target, lun).address);
}

}  // namespace morv::win32
