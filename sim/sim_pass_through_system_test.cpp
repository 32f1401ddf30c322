// The simulated pass-through system: which letter has which device, and how it
// treats requests the emulated devices never see.
#include "sim/sim_pass_through_system.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace morv::sim {
namespace {

PassThroughRecord Inquiry(uint8_t* buffer, uint32_t length) {
  PassThroughRecord record;
  record.spt.CdbLength = 6;
  const uint8_t cdb[6] = {0x12, 0, 0, 0, 0xFF, 0};
  std::copy_n(cdb, 6, record.spt.Cdb);
  record.spt.SenseInfoLength = 24;
  record.spt.DataIn = kDataUnspecified;
  record.spt.DataTransferLength = length;
  record.spt.DataBuffer = buffer;
  return record;
}

TEST(SimPassThroughSystem, StandardLettersAndNoNodeElsewhereAsOnTheRealSystem) {
  StandardDevices devices;
  SimPassThroughSystem system(devices);
  struct Case {
    char letter;
    int error;           ///< 0: opens
    const char* product;
  } cases[] = {
      {'C', 0, "VIRTUAL DISK    "}, {'E', 0, "MX-R4410        "}, {'g', 0, "CD-ROM X1       "},
      {'A', ENOENT, ""},          {'D', ENOENT, ""},          {'Z', ENOENT, ""},
      {'5', ENOENT, ""},
  };
  for (const Case& c : cases) {
    const PassThroughSystem::Handle handle = system.Open(c.letter);
    if (c.error != 0) {
      EXPECT_EQ(handle, PassThroughSystem::kInvalidHandle) << c.letter;
      EXPECT_EQ(system.LastError(), c.error) << c.letter;
      continue;
    }
    ASSERT_NE(handle, PassThroughSystem::kInvalidHandle) << c.letter;
    uint8_t data[256] = {};
    PassThroughRecord record = Inquiry(data, 255);
    ASSERT_TRUE(system.PassThroughDirect(handle, record)) << c.letter;
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data) + 16, 16), c.product) << c.letter;
    system.Close(handle);
  }
  std::string text;
  ASSERT_TRUE(system.MessageText(ENOENT, 80, text));
  EXPECT_EQ(text, "No such file or directory");
}

TEST(SimPassThroughSystem, RequestsTheDevicesNeverSee) {
  StandardDevices devices;
  SimPassThroughSystem system(devices);
  system.SetMaxTransfer('E', 16384);
  const PassThroughSystem::Handle handle = system.Open('E');
  uint8_t data[16385] = {};

  PassThroughRecord tooLong = Inquiry(data, 16385);
  EXPECT_FALSE(system.PassThroughDirect(handle, tooLong));
  EXPECT_EQ(system.LastError(), EINVAL);

  system.Close(handle);
  PassThroughRecord closed = Inquiry(data, 255);
  EXPECT_FALSE(system.PassThroughDirect(handle, closed));
  EXPECT_EQ(system.LastError(), EBADF);
  IoScsiCapabilities capabilities;
  EXPECT_FALSE(system.GetCapabilities(handle, capabilities));
  EXPECT_TRUE(devices.drive->Record().empty());
}

TEST(SimPassThroughSystem, SenseIsCutToTheLengthTheRecordHasRoomFor) {
  StandardDevices devices;
  SimPassThroughSystem system(devices);
  const PassThroughSystem::Handle handle = system.Open('E');
  PassThroughRecord record = Inquiry(nullptr, 0);
  record.spt.Cdb[0] = 0x00;  // TEST UNIT READY meets the power-on unit attention
  record.spt.SenseInfoLength = 12;
  ASSERT_TRUE(system.PassThroughDirect(handle, record));
  EXPECT_EQ(record.spt.ScsiStatus, 0x02);
  EXPECT_EQ(record.sense[2], 0x06);
  EXPECT_EQ(record.sense[12], 0x00) << "ASC lies past the 12 bytes asked for";
  system.Close(handle);
}

}  // namespace
}  // namespace morv::sim
