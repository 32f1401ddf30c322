#include "scsi/scsi_drive.h"

#include <gtest/gtest.h>

#include "scsi/testing/fake_transport.h"

namespace morv {
namespace {

/// INQUIRY data with `version` from byte 32 and the rest zero.
std::vector<uint8_t> WithVersion(const std::string& version) {
  std::vector<uint8_t> data(96, 0);
  std::copy(version.begin(), version.end(), data.begin() + 32);
  return data;
}

TEST(FirmwareVersion, SeventeenBytesFromByte32UpToTheFirstZero) {
  struct Case {
    std::string bytes;  // from byte 32
    std::string shown;
  } cases[] = {
      {"1.00", "1.00"},                                         // byte 36 zero
      {"1.00 2001/02/03 XYZ", "1.00 2001/02/03 X"},             // bytes 32 to 48, never 49
      {std::string("1.0\0 junk", 9), "1.0"},
      {"", ""},
      // Control characters and bytes outside ASCII never reach the dialog.
      {"1.0\x1B[2J\x07", "1.0 [2J "},
      {"\xFF\x80" "1.00\t\n", "  1.00  "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    FakeTransport transport;
    CScsiDrive drive(transport);
    FakeTransport::Reply reply;
    reply.dataIn = WithVersion(c.bytes);
    transport.replies.push_back(reply);
    std::string version = "earlier";
    EXPECT_EQ(drive.InquireFirmwareVersion(version), kCodeDone);
    EXPECT_EQ(version, c.shown);
    ASSERT_EQ(transport.sent.size(), 1u);
    EXPECT_EQ(transport.sent[0].cdb, (std::vector<uint8_t>{0x12, 0, 0, 0, 0xFF, 0}));
    EXPECT_EQ(transport.sent[0].dataLength, 255u);
    EXPECT_FALSE(drive.UsesBuffer(transport.sent[0].data));  // the call's buffer is gone
  }
}

TEST(FirmwareVersion, AFailedInquiryLeavesTheTextAlone) {
  FakeTransport transport;
  CScsiDrive drive(transport);
  transport.replies.push_back(FakeTransport::CheckCondition(0x05, 0x24, 0x00));
  transport.replies.back().dataIn = WithVersion("9.99");
  std::string version = "1.00";
  EXPECT_EQ(drive.InquireFirmwareVersion(version), kCodeError);
  EXPECT_EQ(version, "1.00");
  EXPECT_FALSE(drive.UsesBuffer(transport.sent[0].data));
}

}  // namespace
}  // namespace morv
