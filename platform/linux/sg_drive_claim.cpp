#include "platform/linux/sg_drive_claim.h"

#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

namespace morv::sg {
namespace {

std::string ReadLine(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

DevicePlace SgPlaceOf(int sgFd) {
  DevicePlace place;
  std::error_code error;
  place.node = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(sgFd), error).string();
  sg_scsi_id id{};
  if (::ioctl(sgFd, SG_GET_SCSI_ID, &id) == 0)
    place.address = std::to_string(id.host_no) + ":" + std::to_string(id.channel) + ":" +
                    std::to_string(id.scsi_id) + ":" + std::to_string(id.lun);
  return place;
}

std::string BlockDeviceOf(const std::filesystem::path& sysfs, const std::string& sgName) {
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator(sysfs / "class" / "scsi_generic" / sgName / "device" / "block", error))
    return entry.path().filename().string();
  return {};
}

std::string HolderText(const std::string& mountinfo, const std::string& majorMinor) {
  // Each line: mount ID, parent ID, major:minor, root, mount point, ...
  std::istringstream lines(mountinfo);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string id, parent, device, root, mountPoint;
    if (fields >> id >> parent >> device >> root >> mountPoint && device == majorMinor)
      return "a disc mounted on " + mountPoint;
  }
  return "another program that has the drive open for itself (a disc-burning program, for example)";
}

ClaimOutcome ClaimSgDevice(int sgFd, const ClaimPaths& paths, int& blockFd) {
  blockFd = -1;
  if (::flock(sgFd, LOCK_EX | LOCK_NB) < 0)
    return errno == EWOULDBLOCK ? ClaimOutcome{ClaimStatus::UpdatedElsewhere, {}, 0}
                                : ClaimOutcome{ClaimStatus::Failed, {}, errno};
  const std::string block =
      BlockDeviceOf(paths.sysfs, std::filesystem::path(SgPlaceOf(sgFd).node).filename().string());
  if (block.empty()) return {ClaimStatus::Claimed, {}, 0};
  // O_NONBLOCK: no medium is needed. Exclusive and for writing: the kernel stops
  // polling the drive for media events while this is open, and nobody can mount it.
  blockFd = ::open((paths.dev / block).c_str(), O_RDWR | O_EXCL | O_NONBLOCK | O_CLOEXEC);
  if (blockFd >= 0) return {ClaimStatus::Claimed, {}, 0};
  const int error = errno;
  ::flock(sgFd, LOCK_UN);
  if (error == EBUSY)
    return {ClaimStatus::HeldElsewhere,
            HolderText(ReadAll(paths.mountinfo), ReadLine(paths.sysfs / "class" / "block" / block / "dev")), 0};
  return {ClaimStatus::Failed, {}, error};
}

void ReleaseSgDevice(int sgFd, int blockFd) {
  if (blockFd >= 0) ::close(blockFd);
  ::flock(sgFd, LOCK_UN);
}

}  // namespace morv::sg
