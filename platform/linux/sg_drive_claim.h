#pragma once
// The update claim of a drive reached through an sg node, shared by both Linux
// backends (MorvantideNT's pass-through and Morvantide4's ASPI manager):
//  - the lock is flock() on the sg node's descriptor: every program that opens the
//    node, by drive letter or by host/target/LUN, opens the same inode, so one lock
//    serves both; it belongs to the open descriptor, so a program that dies leaves
//    no lock behind;
//  - holding that descriptor keeps the node's number from being given to another
//    device, and requests sent through it fail (ENODEV) once the device has gone;
//  - the block device of the same SCSI device (srN, found through sysfs) is opened
//    for exclusive writing without waiting for a medium: the kernel then stops
//    polling the drive for media events, and nobody can mount it. A drive that is
//    mounted or already held that way is refused.

#include <filesystem>
#include <string>

#include "platform/drive_claim.h"

namespace morv::sg {

/// Where sysfs, the device nodes and the mount table are (tests point them elsewhere).
struct ClaimPaths {
  std::filesystem::path sysfs = "/sys";
  std::filesystem::path dev = "/dev";
  std::filesystem::path mountinfo = "/proc/self/mountinfo";
};

/// The node an sg descriptor was opened on and host:channel:target:LUN of its device,
/// as the sg driver tells it (SG_GET_SCSI_ID); empty fields for what cannot be told.
DevicePlace SgPlaceOf(int sgFd);
/// The block device ("sr0") of the SCSI device behind sg node `sgName` ("sg3");
/// empty when the device has none.
std::string BlockDeviceOf(const std::filesystem::path& sysfs, const std::string& sgName);
/// What holds the block device numbered `majorMinor` ("11:0"), read from a mount
/// table in /proc/PID/mountinfo form: the first mount point of that device, else
/// another program that has the drive open for itself.
std::string HolderText(const std::string& mountinfo, const std::string& majorMinor);

/// Takes the update lock on the open sg node `sgFd` and holds the drive's block
/// device; on Claimed `blockFd` is that device's descriptor (-1 when the device has
/// no block device). Nothing is sent to the drive.
ClaimOutcome ClaimSgDevice(int sgFd, const ClaimPaths& paths, int& blockFd);
/// Closes `blockFd` (when not -1) and drops the lock on `sgFd`, which stays open.
void ReleaseSgDevice(int sgFd, int blockFd);

}  // namespace morv::sg
