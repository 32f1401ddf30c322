// The parts of the sg claim that need no SCSI device: what holds a drive, its block
// device in sysfs, and the update lock between two descriptors of one node. The
// block device's exclusive hold is tested against a real kernel (apps/program_vm_test).
#include "platform/linux/sg_drive_claim.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "platform/linux/aspi_linux_fake_sysfs.h"

namespace morv::sg {
namespace {

TEST(SgDriveClaim, HolderIsTheMountPointOfTheBlockDeviceOrAnotherProgram) {
  const std::string mounts =
      "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
      "40 22 11:0 / /media/op/DISC ro,nosuid shared:20 - iso9660 /dev/sr0 ro\n"
      "41 22 11:0 / /mnt/again ro shared:21 - iso9660 /dev/sr0 ro\n";
  const struct {
    const char* device;
    const char* holder;
  } cases[] = {
      {"11:0", "a disc mounted on /media/op/DISC"},
      {"11:1", "another program that has the drive open for itself (a disc-burning program, for example)"},
      {"", "another program that has the drive open for itself (a disc-burning program, for example)"},
  };
  for (const auto& c : cases) EXPECT_EQ(HolderText(mounts, c.device), c.holder) << c.device;
}

TEST(SgDriveClaim, BlockDeviceIsFoundBesideTheSgNode) {
  linux_aspi::FakeSysfs sysfs;
  sysfs.AddNode("sg1", "1:0:0:0");
  sysfs.AddNode("sg2", "2:0:0:0");
  std::filesystem::create_directories(sysfs.Root() / "devices" / "1:0:0:0" / "block" / "sr0");
  EXPECT_EQ(BlockDeviceOf(sysfs.Root(), "sg1"), "sr0");
  EXPECT_EQ(BlockDeviceOf(sysfs.Root(), "sg2"), "");  // a device without a block device
  EXPECT_EQ(BlockDeviceOf(sysfs.Root(), "sg9"), "");
}

TEST(SgDriveClaim, TheLockIsOnTheNodeSoASecondDescriptorIsRefusedUntilReleaseOrClose) {
  linux_aspi::FakeSysfs sysfs;
  const std::string node = (sysfs.Dev() / "sg0").string();
  std::ofstream(node).put('\0');
  const ClaimPaths paths{sysfs.Root(), sysfs.Dev(), "/dev/null"};
  const int first = ::open(node.c_str(), O_RDWR), second = ::open(node.c_str(), O_RDWR);
  ASSERT_GE(first, 0);
  ASSERT_GE(second, 0);
  int blockFd = 0;
  EXPECT_EQ(ClaimSgDevice(first, paths, blockFd).status, ClaimStatus::Claimed);
  EXPECT_EQ(blockFd, -1);  // no block device in this tree: nothing more to hold
  EXPECT_EQ(ClaimSgDevice(second, paths, blockFd).status, ClaimStatus::UpdatedElsewhere);
  ReleaseSgDevice(first, -1);
  EXPECT_EQ(ClaimSgDevice(second, paths, blockFd).status, ClaimStatus::Claimed);
  // A program that dies leaves no lock: closing the descriptor drops it.
  ::close(second);
  EXPECT_EQ(ClaimSgDevice(first, paths, blockFd).status, ClaimStatus::Claimed);
  ::close(first);
}

}  // namespace
}  // namespace morv::sg
