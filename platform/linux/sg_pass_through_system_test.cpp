// The backend's calls where no sg device is needed: paths that name no drive, files
// that are no sg node, malformed records and the message texts.
#include "platform/linux/sg_pass_through_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace morv::sg {
namespace {

TEST(SgPassThroughSystem, OpenFailsWithErrnoForWhatIsNoDriveLetter) {
  SgPassThroughSystem system;
  for (const char letter : {'5', '@', '[', '\0'}) {
    EXPECT_EQ(system.Open(letter), PassThroughSystem::kInvalidHandle) << int{letter};
    EXPECT_EQ(system.LastError(), ENOENT) << int{letter};
  }
}

class SgOnNonSgFile : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_GE(m_fd = ::open("/dev/null", O_RDWR), 0); }
  void TearDown() override { ::close(m_fd); }
  SgPassThroughSystem m_system;
  int m_fd = -1;
};

TEST_F(SgOnNonSgFile, RequestsAndCapabilitiesFailWithErrno) {
  PassThroughRecord record;
  record.spt.CdbLength = 6;
  record.spt.Cdb[0] = 0x00;
  EXPECT_FALSE(m_system.PassThroughDirect(m_fd, record));
  EXPECT_EQ(m_system.LastError(), ENOTTY);
  EXPECT_EQ(record.spt.ScsiStatus, 0);

  IoScsiCapabilities capabilities;
  EXPECT_FALSE(m_system.GetCapabilities(m_fd, capabilities));
  EXPECT_EQ(m_system.LastError(), ENOTTY);
}

TEST_F(SgOnNonSgFile, MalformedRecordsAreRefusedBeforeTheIoctl) {
  uint8_t buffer[16] = {};
  struct Case {
    const char* what;
    uint8_t cdbLength, senseLength, dataIn;
    uint32_t length;
    uint8_t* data;
  } cases[] = {
      {"no CDB", 0, 24, kDataUnspecified, 0, nullptr},
      {"CDB longer than 16", 17, 24, kDataUnspecified, 0, nullptr},
      {"data without buffer", 6, 24, kDataIn, 16, nullptr},
      {"unknown direction", 6, 24, 3, 16, buffer},
      {"sense longer than the area", 6, 33, kDataIn, 16, buffer},
  };
  for (const Case& c : cases) {
    PassThroughRecord record;
    record.spt.CdbLength = c.cdbLength;
    record.spt.SenseInfoLength = c.senseLength;
    record.spt.DataIn = c.dataIn;
    record.spt.DataTransferLength = c.length;
    record.spt.DataBuffer = c.data;
    EXPECT_FALSE(m_system.PassThroughDirect(m_fd, record)) << c.what;
    EXPECT_EQ(m_system.LastError(), EINVAL) << c.what;
  }
}

TEST(SgPassThroughSystem, MessageTextIsStrerrorWhenItFits) {
  SgPassThroughSystem system;
  const std::string noEntry = std::strerror(ENOENT);
  struct Case {
    int code;
    size_t bufferSize;
    bool found;
    int error;
  } cases[] = {
      {ENOENT, 80, true, 0},
      {ENOENT, noEntry.size() + 1, true, 0},
      {ENOENT, noEntry.size(), false, ERANGE},
      {0x7FFF, 80, false, EINVAL},
      {-1, 80, false, EINVAL},
  };
  for (const Case& c : cases) {
    std::string text = "untouched";
    EXPECT_EQ(system.MessageText(c.code, c.bufferSize, text), c.found) << c.code << " " << c.bufferSize;
    if (c.found) {
      EXPECT_EQ(text, std::strerror(c.code));
    } else {
      EXPECT_EQ(text, "untouched");
      EXPECT_EQ(system.LastError(), c.error);
    }
  }
}

}  // namespace
}  // namespace morv::sg
