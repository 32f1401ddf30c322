#pragma once
// What a program learns when it claims a drive for an update, on every system: where
// the device sits, and why a claim was refused. A claim is the one update lock that
// both programs and every instance agree on for a device, together with whatever the
// system offers to keep other programs off the drive; it lasts from the package checks
// to the end of the update.

#include <string>

namespace morv {

/// Where a device sits, as the system names it.
struct DevicePlace {
  std::string node;     ///< the node the device is reached through: "/dev/sg3", "\\.\E:"
  std::string address;  ///< its place on its bus, "2:0:0:0" (host:channel:target:LUN); empty where not told
  bool operator==(const DevicePlace&) const = default;
};

/// How a claim ended.
enum class ClaimStatus {
  Claimed,           ///< the lock is taken and the drive held until it is released
  UpdatedElsewhere,  ///< another program (either program, any instance) holds the drive's update lock
  HeldElsewhere,     ///< the drive is mounted or held exclusively by another program
  Failed,            ///< the device could not be opened or locked
};

struct ClaimOutcome {
  ClaimStatus status = ClaimStatus::Failed;
  std::string holder;  ///< HeldElsewhere: what holds the drive ("a file system mounted on /media/cdrom")
  int error = 0;       ///< Failed: the system's error code
};

}  // namespace morv
