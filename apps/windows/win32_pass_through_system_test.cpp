// The Windows pass-through where no drive answers (as under wine without one): the
// failure paths that reach the operator, through the transport.

#include <gtest/gtest.h>

#include "platform/win32/win32_pass_through_system.h"
#include "scsi/scsi_drive.h"
#include "transport/pass_through_transport.h"

namespace morv::win32 {
namespace {

TEST(Win32PassThrough, ALetterWithoutADeviceCannotBeOpened) {
  Win32PassThroughSystem system;
  EXPECT_EQ(system.Open('Q'), PassThroughSystem::kInvalidHandle);
  EXPECT_NE(system.LastError(), 0);
  PassThroughRecord record;
  EXPECT_FALSE(system.PassThroughDirect(7, record)) << "a handle that was never opened";
  EXPECT_EQ(system.LastError(), 6);  // ERROR_INVALID_HANDLE
}

TEST(Win32PassThrough, SystemTextsFitOrFail) {
  Win32PassThroughSystem system;
  std::string text;
  ASSERT_TRUE(system.MessageText(2, 80, text));  // ERROR_FILE_NOT_FOUND
  EXPECT_FALSE(text.empty());
  EXPECT_LT(text.size(), 80u);
  EXPECT_FALSE(system.MessageText(2, 4, text)) << "a text that does not fit is a failed lookup";
  EXPECT_NE(system.LastError(), 0);
}

TEST(Win32PassThrough, TransportReportsTheOpenFailureWithTheSystemsCode) {
  Win32PassThroughSystem system;
  PassThroughTransport transport(system);
  CScsiDrive drive(transport);
  transport.SetMaxTransfer('Q', 65536);
  drive.SetAddress(DriveAddress::Letter('Q'));
  uint8_t cdb[6] = {0x00, 0, 0, 0, 0, 0};
  EXPECT_EQ(drive.ExecRequest(cdb, 6, 7200), 4);
  EXPECT_EQ(drive.GetErrorText().rfind("Get Handle Error: ", 0), 0u) << drive.GetErrorText();
}

}  // namespace
}  // namespace morv::win32
