// On Windows a standard user opens no drive: raw drive access (\\.\X:, and the ASPI
// manager, which uses it) needs an administrator.

#include "platform/no_drive_reason.h"

namespace morv {

const char* const kNoDriveAccessFix =
    "raw drive access (\\\\.\\X:) needs an administrator; right-click the program and choose Run as "
    "administrator.";

}  // namespace morv
