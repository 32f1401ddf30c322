#include "apps/system_devices.h"
#include "platform/win32/aspi_drive_claims_win32.h"
#include "platform/win32/wnaspi32_manager.h"

namespace morv {

// WNASPI32 reports nothing of its own.
std::unique_ptr<AspiManager> MakeSystemAspiManager(const std::function<void(const std::string&)>&) {
  return std::make_unique<win32::WnAspi32Manager>();
}

// WNASPI32 keeps no claims: the update lock alone, kept for the whole process.
AspiDriveClaims& SystemAspiClaims(AspiManager&) {
  static win32::AspiDriveClaimsWin32 claims;
  return claims;
}

}  // namespace morv
