#include "platform/no_drive_reason.h"

namespace morv {

std::string NoDriveText(NoDriveReason reason) {
  if (reason == NoDriveReason::AccessDenied) return std::string("No drive can be opened: ") + kNoDriveAccessFix;
  return "No drive found: no SCSI CD/DVD device answers; connect the drive and scan again.";
}

}  // namespace morv
