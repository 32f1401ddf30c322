// On Linux both programs reach drives through the sg nodes, which udev gives to
// group cdrom for CD/DVD drives; a new group takes effect at the next login.

#include "platform/no_drive_reason.h"

namespace morv {

const char* const kNoDriveAccessFix =
    "permission denied on the SCSI device nodes (/dev/sg*); add the user to group cdrom "
    "(sudo adduser $USER cdrom) and log in again, or run as root.";

}  // namespace morv
