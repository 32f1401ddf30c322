#pragma once
// Why discovery lists no drive the program can use, as the platform backends tell it
// (a device node this process may not open, a process without the rights the
// system's drive access needs), and the one line that tells the operator what to do.

#include <string>

namespace morv {

enum class NoDriveReason {
  NoDevice,      ///< no drive of the kinds kept answered
  AccessDenied,  ///< devices are there that this process may not open
};

/// The operator's line for `reason`, with the fix named.
std::string NoDriveText(NoDriveReason reason);

/// What keeps this process out of the devices, and the fix. Each operating system's
/// backend provides it: the rights come from a group on Linux, from an administrator
/// on Windows.
extern const char* const kNoDriveAccessFix;

}  // namespace morv
