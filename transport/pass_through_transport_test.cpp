// PassThroughTransport over the simulated system and the emulated drives: what goes
// into the request record, the transport's own refusals and texts, and the UNIT
// ATTENTION repeat of the drive object end to end.
#include "transport/pass_through_transport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/testing/recording_pass_through_system.h"
#include "sim/sim_pass_through_system.h"
#include "transport/command_trace.h"
#include "framework/testing/recording_feedback.h"
#include "scsi/scsi_drive.h"

namespace morv {
namespace {

class PassThroughTransportTest : public ::testing::Test {
 protected:
  PassThroughTransportTest() { Select('E'); }
  void TearDown() override { EXPECT_EQ(system.openHandles, 0) << "a handle was left open"; }

  // Addresses the drive object to `letter`, whose drive takes `maxTransfer` bytes.
  void Select(char letter, uint32_t maxTransfer = 65536) {
    transport.SetMaxTransfer(letter, maxTransfer);
    drive.SetAddress(DriveAddress::Letter(letter));
  }
  // Sends the power-on unit attention of the emulated drive out of the way.
  void ClearPowerOnAttention() { devices.drive->Execute({{0x00, 0, 0, 0, 0, 0}, nullptr, 0, DataDirection::None}); }
  uint8_t Tur() {
    uint8_t cdb[6] = {0x00, 0, 0, 0, 0, 0};
    return drive.ExecRequest(cdb, 6, kCommandTimeout);
  }

  sim::StandardDevices devices;
  sim::SimPassThroughSystem simulated{devices};
  RecordingPassThroughSystem system{simulated};
  PassThroughTransport transport{system};
  RecordingFeedback feedback;
  CScsiDrive drive{transport};
};

TEST_F(PassThroughTransportTest, RecordCarriesTheSystemsFixedValues) {
  std::vector<uint8_t> block(16384, 0xA5), inquiry(256, 0);
  struct Case {
    const char* what;
    std::function<void()> send;
    std::vector<uint8_t> cdb;
    uint8_t dataIn;
    uint32_t length;
    uint8_t* data;
  } cases[] = {
      {"WRITE BUFFER", [&] { drive.SetBuffer(block.data(), 16384); drive.WriteBuffer(5, 0x1F, 0, 0x4000); },
       {0x3B, 0x05, 0x1F, 0, 0, 0, 0x00, 0x40, 0x00, 0x00}, kDataOut, 16384, block.data()},
      {"INQUIRY", [&] { drive.SetBuffer(inquiry.data(), 255); drive.Inquiry(255); },
       {0x12, 0, 0, 0, 0xFF, 0}, kDataUnspecified, 255, inquiry.data()},
      {"TEST UNIT READY", [&] { drive.TestUnitReady(); }, {0, 0, 0, 0, 0, 0}, kDataUnspecified, 0, nullptr},
      {"vendor TEST UNIT READY", [&] { drive.Execute6(CScsiDrive::TestUnitReadyVU(), kCommandTimeout); },
       {0, 0, 0, 0, 0, 0xC0}, kDataUnspecified, 0, nullptr},
      {"INQUIRY to LUN 5", [&] { drive.SetAddress({'E', 0, 0, 5}); drive.SetBuffer(inquiry.data(), 255); drive.Inquiry(255); },
       {0x12, 0xA0, 0, 0, 0xFF, 0}, kDataUnspecified, 255, inquiry.data()},
  };
  for (const Case& c : cases) {
    ClearPowerOnAttention();
    system.requests.clear();
    Select('E');
    c.send();
    ASSERT_EQ(system.requests.size(), 1u) << c.what;
    const ScsiPassThroughDirect& spt = system.requests[0].spt;
    // The published sizes: 44 and 48 with 4-byte pointers, 56 and 60 with 8-byte ones.
    EXPECT_EQ(spt.Length, sizeof(void*) == 4 ? 44 : 56) << c.what;
    EXPECT_EQ(spt.ScsiStatus, 0) << c.what;
    EXPECT_EQ(spt.PathId, 0) << c.what;
    EXPECT_EQ(spt.TargetId, 1) << c.what;
    EXPECT_EQ(spt.Lun, 0) << c.what;
    EXPECT_EQ(spt.CdbLength, c.cdb.size()) << c.what;
    EXPECT_EQ(spt.SenseInfoLength, 24) << c.what;
    EXPECT_EQ(spt.DataIn, c.dataIn) << c.what;
    EXPECT_EQ(spt.DataTransferLength, c.length) << c.what;
    EXPECT_EQ(spt.TimeOutValue, 200u) << c.what;
    EXPECT_EQ(spt.DataBuffer, c.data) << c.what;
    EXPECT_EQ(spt.SenseInfoOffset, sizeof(void*) == 4 ? 48u : 60u) << c.what;
    std::vector<uint8_t> cdb16 = c.cdb;
    cdb16.resize(16, 0);
    EXPECT_EQ(std::vector<uint8_t>(spt.Cdb, spt.Cdb + 16), cdb16) << c.what;
    for (uint8_t byte : system.requests[0].sense) EXPECT_EQ(byte, 0) << c.what;
  }
}

TEST_F(PassThroughTransportTest, SystemAlwaysGetsTwoHundredSeconds) {
  ClearPowerOnAttention();
  uint8_t cdb[6] = {0x00, 0, 0, 0, 0, 0};
  for (int32_t limit : {7200, 10, 0, -1, 200, 2147483647}) drive.ExecRequest(cdb, 6, limit);
  ASSERT_EQ(system.requests.size(), 6u);
  for (const PassThroughRecord& record : system.requests) EXPECT_EQ(record.spt.TimeOutValue, 200u);
}

TEST_F(PassThroughTransportTest, MaxTransferBoundary) {
  std::vector<uint8_t> block(16385, 0);
  struct Case {
    uint32_t maxTransfer, length;
    uint8_t code;
    const char* text;
  } cases[] = {
      {16384, 16384, kCodeDone, ""},
      {16384, 16385, kCodeBufferTooBig, "Buffer Too Big"},
      {0, 16384, kCodeBufferTooBig, "Buffer Too Big"},
      {0, 0, kCodeDone, ""},
  };
  ClearPowerOnAttention();
  for (const Case& c : cases) {
    Select('E', c.maxTransfer);
    system.opened.clear();
    drive.SetBuffer(block.data(), c.length);
    EXPECT_EQ(drive.WriteBuffer(4, 0, 0, c.length), c.code) << c.maxTransfer << " " << c.length;
    EXPECT_EQ(drive.GetErrorText(), c.text);
    EXPECT_EQ(system.opened.size(), c.code == kCodeDone ? 1u : 0u) << "refused before opening";
    EXPECT_FALSE(transport.DriveInUse('E'));
    // The refusal left the drive usable: the next request is not "Inuse".
    EXPECT_EQ(drive.TestUnitReady(), kCodeError);
    EXPECT_EQ(drive.TargetStatus(), 0x02);
  }
}

TEST_F(PassThroughTransportTest, RequestToADriveInUseIsRefusedWithoutBeingSent) {
  ClearPowerOnAttention();
  uint8_t nestedCode = 0;
  std::string nestedText;
  bool nested = false;
  system.beforeRequest = [&] {
    if (std::exchange(nested, true)) return;
    nestedCode = Tur();
    nestedText = drive.GetErrorText();
  };
  std::vector<uint8_t> inquiry(256, 0);
  drive.SetBuffer(inquiry.data(), 255);
  EXPECT_EQ(drive.Inquiry(255), kCodeDone);
  EXPECT_EQ(nestedCode, kCodeTargetBusy);
  EXPECT_EQ(nestedText, "Inuse");
  EXPECT_EQ(system.opened.size(), 1u);
  ASSERT_EQ(devices.drive->Record().size(), 2u);  // the cleared attention and the INQUIRY
  EXPECT_EQ(devices.drive->Record()[1].cdb[0], 0x12);
  EXPECT_FALSE(transport.DriveInUse('E'));

  // Another letter is another drive: E's mark does not refuse it.
  nested = false;
  system.beforeRequest = [&] {
    if (std::exchange(nested, true)) return;
    drive.SetAddress(DriveAddress::Letter('F'));
    nestedCode = drive.TestUnitReady();
    nestedText = drive.GetErrorText();
    drive.SetAddress(DriveAddress::Letter('E'));
  };
  EXPECT_EQ(Tur(), kCodeError);
  EXPECT_EQ(nestedCode, kCodeError);
  EXPECT_EQ(nestedText.rfind("Get Handle Error: ", 0), 0u) << nestedText;
}

TEST_F(PassThroughTransportTest, OpenFailureTextCarriesTheErrorCodeAndSystemText) {
  const std::string noDevice = std::to_string(ENOENT);
  struct Case {
    const char* what;
    std::function<void()> setUp;
    std::string text;
  } cases[] = {
      {"letter without a drive", [] {}, "Get Handle Error: " + noDevice + "\nNo such file or directory\n"},
      {"no message for the code", [&] { simulated.SetMessageText(ENOENT, ""); },
       "Get Handle Error: " + noDevice + "\nFormat message failed.  Error: " + std::to_string(EINVAL) + "\n"},
      {"message of 79 characters fits", [&] { simulated.SetMessageText(ENOENT, std::string(79, 'x')); },
       "Get Handle Error: " + noDevice + "\n" + std::string(79, 'x') + "\n"},
      {"message of 80 characters does not", [&] { simulated.SetMessageText(ENOENT, std::string(80, 'x')); },
       "Get Handle Error: " + noDevice + "\nFormat message failed.  Error: " + std::to_string(ERANGE) + "\n"},
  };
  for (const Case& c : cases) {
    sim::SimPassThroughSystem fresh;
    simulated = std::move(fresh);
    c.setUp();
    Select('F');
    EXPECT_EQ(Tur(), kCodeError) << c.what;
    EXPECT_EQ(drive.GetErrorText(), c.text) << c.what;
    EXPECT_FALSE(transport.DriveInUse('E'));
  }
}

TEST_F(PassThroughTransportTest, FailedCallTextAndClosedHandle) {
  simulated.FailPassThrough(EIO);
  EXPECT_EQ(Tur(), kCodeError);
  EXPECT_EQ(drive.GetErrorText(), "Error opening . Error: " + std::to_string(EIO) + "\nInput/output error\n");
  EXPECT_TRUE(devices.drive->Record().empty());
  EXPECT_FALSE(transport.DriveInUse('E'));
}

// A claimed drive is opened once: its requests go through the claimed handle, so a
// device put behind the letter afterwards hears none, and the one that went away
// fails them with the system's error.
TEST_F(PassThroughTransportTest, AClaimedDriveKeepsItsHandleUntilReleased) {
  ClearPowerOnAttention();
  std::string failure;
  ASSERT_EQ(transport.ClaimDrive('E', failure).status, ClaimStatus::Claimed);
  EXPECT_EQ(transport.ClaimedPlace().node, "\\\\.\\E:");
  auto newcomer = std::make_shared<sim::Disk>();
  simulated.Attach('E', newcomer);
  Tur();  // NOT READY without a disc, from the claimed drive
  EXPECT_EQ(devices.drive->Record().size(), 2u);
  devices.drive->VanishAt(devices.drive->CommandCount() + 1);
  EXPECT_EQ(Tur(), kCodeError);
  EXPECT_EQ(drive.GetErrorText(), "Error opening . Error: " + std::to_string(ENODEV) + "\nNo such device\n");
  EXPECT_TRUE(newcomer->Record().empty());
  EXPECT_EQ(system.opened, std::vector<char>{'E'});
  EXPECT_EQ(system.openHandles, 1);
  transport.ReleaseDrive();
  Tur();  // the letter's device again, opened afresh
  EXPECT_FALSE(newcomer->Record().empty());
}

TEST_F(PassThroughTransportTest, UnusualRequestsFailWithoutHarm) {
  struct Case {
    const char* what;
    char letter;
    uint8_t cdbLength;
    std::string text;
  } cases[] = {
      {"no such letter", '[', 6, "Drive letter 91 out of range\n"},
      {"CDB longer than 16", 'E', 17, "Error opening . Error: " + std::to_string(EINVAL) + "\nInvalid argument\n"},
      {"empty CDB", 'E', 0, "Error opening . Error: " + std::to_string(EINVAL) + "\nInvalid argument\n"},
  };
  uint8_t cdb[32] = {};
  for (const Case& c : cases) {
    drive.SetAddress(DriveAddress::Letter(c.letter));
    EXPECT_EQ(drive.ExecRequest(cdb, c.cdbLength, kCommandTimeout), kCodeError) << c.what;
    EXPECT_EQ(drive.GetErrorText(), c.text) << c.what;
  }
  EXPECT_TRUE(devices.drive->Record().empty());
}

TEST_F(PassThroughTransportTest, CompletedRequestsSetStatusSenseAndText) {
  ClearPowerOnAttention();
  drive.SetCommandName("TestUnitReadyVU");
  EXPECT_EQ(drive.Execute6(CScsiDrive::TestUnitReadyVU(), kCommandTimeout), kCodeError);
  EXPECT_EQ(drive.TargetStatus(), 0x02);
  EXPECT_EQ(drive.HaStatus(), 0);
  EXPECT_EQ(drive.SenseKey(), 0x02);
  EXPECT_EQ(drive.Asc(), 0x3A);
  EXPECT_EQ(drive.GetErrorText(), "TestUnitReadyVU 3A-00 (00)");

  devices.drive->SetBusy(true);
  EXPECT_EQ(Tur(), kCodeError);
  EXPECT_EQ(drive.TargetStatus(), 0x08);
  EXPECT_EQ(drive.GetErrorText(), "TestUnitReadyVUTarget Busy.");
  for (uint8_t byte : drive.Sense()) EXPECT_EQ(byte, 0) << "a busy target returns no sense";

  devices.drive->SetBusy(false);
  std::vector<uint8_t> inquiry(256, 0);
  drive.SetBuffer(inquiry.data(), 255);
  EXPECT_EQ(drive.Inquiry(255), kCodeDone);
  EXPECT_EQ(drive.GetErrorText(), "");
  EXPECT_EQ(drive.TargetStatus(), 0);
  EXPECT_EQ(std::string(inquiry.begin() + 8, inquiry.begin() + 32), "KESTREL MX-R4410        ");
}

TEST_F(PassThroughTransportTest, QueryMaxTransferIsClampedToTheLimit) {
  struct Case {
    uint32_t reported, result;
  } cases[] = {{16u << 20, 131072}, {131073, 131072}, {131072, 131072}, {65536, 65536}, {0, 0}};
  for (const Case& c : cases) {
    simulated.SetMaxTransfer('E', c.reported);
    EXPECT_EQ(transport.QueryMaxTransfer('E'), c.result) << c.reported;
  }
  EXPECT_TRUE(devices.drive->Record().empty()) << "the query sends no command";

  EXPECT_EQ(transport.QueryMaxTransfer('F'), 0u);  // no drive at F:
}

TEST_F(PassThroughTransportTest, UnitAttentionIsRepeatedThroughTheTransport) {
  std::vector<uint8_t> block(16384, 0x3C);
  drive.SetBuffer(block.data(), 16384);
  EXPECT_EQ(drive.WriteBuffer(4, 7, 0, 16384), kCodeDone);
  const auto& record = devices.drive->Record();
  ASSERT_EQ(record.size(), 2u);
  EXPECT_EQ(record[0].sense, sim::FixedSense(0x06, 0x29, 0x00));
  EXPECT_EQ(record[1].status, 0x00);
  EXPECT_EQ(record[1].data, block);
  EXPECT_EQ(devices.drive->Downloaded()[7 * 16384], 0x3C);

  // The save resets the drive: the next command meets a unit attention and is sent again.
  EXPECT_EQ(drive.WriteBuffer(5, 8, 0, 16384), kCodeDone);
  EXPECT_EQ(drive.TestUnitReady(), kCodeError);
  ASSERT_EQ(record.size(), 5u);
  EXPECT_EQ(record[3].sense, sim::FixedSense(0x06, 0x29, 0x00));
  EXPECT_EQ(drive.Asc(), 0x3A);
  EXPECT_EQ(devices.drive->SaveCount(), 1u);
}

TEST_F(PassThroughTransportTest, RefusalBeforeTheDeviceLeavesNoStaleUnitAttention) {
  struct Case {
    const char* what;
    std::function<void()> breakIt;
    uint8_t code;
  } cases[] = {
      {"too big", [&] { transport.SetMaxTransfer('E', 0); }, kCodeBufferTooBig},
      {"drive vanished", [&] { devices.drive->VanishAt(devices.drive->CommandCount() + 1); }, kCodeError},
      {"call failed", [&] { simulated.FailPassThrough(EIO, 1000); }, kCodeError},
  };
  std::vector<uint8_t> inquiry(256, 0);
  for (const Case& c : cases) {
    devices.drive->RefuseCommand(devices.drive->CommandCount() + 1, 0x06, 0x29, 0x00);
    EXPECT_EQ(Tur(), kCodeError) << c.what;  // one attempt, no repeat: stale unit attention
    ASSERT_EQ(drive.SenseKey(), 0x06) << c.what;
    c.breakIt();
    system.opened.clear();
    drive.SetBuffer(inquiry.data(), 255);
    EXPECT_EQ(drive.Inquiry(255), c.code) << c.what;
    EXPECT_LE(system.opened.size(), 1u) << c.what << ": sent once, not repeated";
    EXPECT_FALSE(drive.UnitAttentionReported()) << c.what;
    EXPECT_EQ(drive.SenseKey(), 0) << c.what;
    for (uint8_t byte : drive.Sense()) EXPECT_EQ(byte, 0) << c.what;
    EXPECT_EQ(drive.TargetStatus(), 0x02) << c.what << ": status of the last completed request";

    transport.SetMaxTransfer('E', 65536);
    devices.drive->VanishAt(0);
    simulated.FailPassThrough(0, 0);
  }
}

TEST(PassThroughTransportTrace, OneLinePerRequestWithDeviceCdbAndOutcome) {
  const std::string path = ::testing::TempDir() + "pass_through_trace.txt";
  std::remove(path.c_str());
  std::string error;
  auto trace = CommandTrace::Open(path, error);
  ASSERT_NE(trace, nullptr) << error;

  sim::StandardDevices devices;
  devices.drive->RefuseCustomizingCode();
  sim::SimPassThroughSystem system(devices);
  PassThroughTransport transport(system, trace.get());
  RecordingFeedback feedback;
  CScsiDrive drive(transport);
  transport.SetMaxTransfer('E', 16384);
  drive.SetAddress(DriveAddress::Letter('E'));
  std::vector<uint8_t> block(16385, 0);

  drive.SetBuffer(block.data(), 16384);
  drive.WriteBuffer(5, 0x1F, 0, 0x4000);   // unit attention, then the customizing-code refusal
  drive.SetBuffer(block.data(), 16385);
  drive.WriteBuffer(4, 0, 0, 16385);       // too big
  drive.SetAddress(DriveAddress::Letter('F'));
  drive.TestUnitReady();                   // no drive at F:
  trace.reset();

  std::ifstream file(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  const std::vector<std::string> expected = {
      "E: 3B 05 1F 00 00 00 00 40 00 00 | len=16384 out | status=02 sense=06/29/00 | WRITE BUFFER",
      "E: 3B 05 1F 00 00 00 00 40 00 00 | len=16384 out | status=02 sense=05/24/90 | WRITE BUFFER",
      "E: 3B 04 00 00 00 00 00 40 01 00 | len=16385 out | refused code=E6 Buffer Too Big | WRITE BUFFER",
      "F: 00 00 00 00 00 00 | len=0 none | refused code=04 Get Handle Error: " + std::to_string(ENOENT) +
          " No such file or directory | TEST UNIT READY",
  };
  EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace morv
