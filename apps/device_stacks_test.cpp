// Both programs' device stacks as --simulate wires them: MorvantideNT's transport
// over the emulated drives, and Morvantide4's requests through the real transport to
// the emulated bus, whose thread completes them while the wait pumps the messages.
#include "apps/aspi_stack.h"
#include "apps/pass_through_stack.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/sim_aspi_manager.h"
#include "transport/aspi_test_support.h"
#include "framework/testing/recording_feedback.h"
#include "scsi/scsi_drive.h"

namespace morv {
namespace {

TEST(PassThroughStack, SimulatedStackReachesTheEmulatedDrivesThroughTheTransport) {
  auto stack = MakePassThroughStack(true);
  ASSERT_TRUE(stack->devices.has_value());
  CScsiDrive drive(*stack->transport);
  stack->transport->SetMaxTransfer('E', 255);
  drive.SetAddress(DriveAddress::Letter('E'));
  std::vector<uint8_t> inquiry(256, 0);
  drive.SetBuffer(inquiry.data(), 255);
  ASSERT_EQ(drive.Inquiry(255), kCodeDone);
  EXPECT_EQ(std::string(inquiry.begin() + 16, inquiry.begin() + 32), "MX-R4410        ");
  EXPECT_EQ(stack->devices->drive->Record().size(), 1u);
}


class AspiStackTest : public ::testing::Test {
 protected:
  AspiStackTest() {
    feedback.onPump = [this] {
      ++pumps;
      if (onPump) onPump();
    };
  }
  void Address(uint8_t target) { drive.SetAddress(DriveAddress::Target(0, target, 0)); }

  RecordingFeedback feedback;
  long pumps = 0;
  std::function<void()> onPump;
  std::unique_ptr<AspiStack> stack = MakeAspiStack(true, feedback);
  CScsiDrive drive{*stack->transport};
};

TEST_F(AspiStackTest, BusListsItsAdapterAndDevicesByTargetId) {
  ASSERT_EQ(stack->transport->AspiSupportInfo(), SS_COMP);
  EXPECT_EQ(stack->transport->HostAdapterCount(), 1);
  HostAdapterIdentity adapter;
  ASSERT_EQ(stack->transport->InquireHostAdapter(0, adapter), SS_COMP);
  EXPECT_EQ(adapter.identifier, "SIMUL SCSI HOST");
  EXPECT_EQ(adapter.scsiId, 7);

  const struct {
    uint8_t target;
    uint8_t code;
    const char* product;
  } cases[] = {
      {0, kCodeDone, "VIRTUAL DISK    "}, {2, kCodeDone, "MX-R4410        "}, {5, kCodeDone, "CD-ROM X1       "},
      {3, kCodeError, "                "}, {7, kCodeError, "                "},
  };
  for (const auto& c : cases) {
    Address(c.target);
    std::string product;
    EXPECT_EQ(drive.InquireProductId(product), c.code) << int(c.target);
    EXPECT_EQ(product, c.product);
    if (c.code != kCodeDone) {
      EXPECT_EQ(drive.HaStatus(), HASTAT_SEL_TO);
      EXPECT_EQ(drive.GetErrorText(), " Status:Selection timeout.");
    }
  }
  EXPECT_GT(pumps, 0) << "the waits pumped the dialog's messages";
  ASSERT_EQ(stack->devices->drive->Record().size(), 1u);
  EXPECT_EQ(stack->devices->drive->Record()[0].cdb[0], 0x12);
}

TEST_F(AspiStackTest, UnitAttentionIsReportedNotRepeated) {
  Address(2);
  drive.SetCommandName("TestUnitReadyVU");
  EXPECT_EQ(drive.TestUnitReady(), kCodeError);
  EXPECT_EQ(drive.GetErrorText(), "TestUnitReadyVU Status:Check Condition. 29-00 (UNIT ATTENTION)");
  EXPECT_EQ(stack->devices->drive->Record().size(), 1u);
  EXPECT_EQ(drive.TestUnitReady(), kCodeError);
  EXPECT_EQ(drive.GetErrorText(), "TestUnitReadyVU Status:Check Condition. 3A-00 (NOT READY)");
}

TEST_F(AspiStackTest, DownloadReachesTheDriveWithItsData) {
  Address(2);
  drive.TestUnitReady();  // takes the power-on unit attention
  std::vector<uint8_t> piece(16384);
  for (size_t i = 0; i < piece.size(); ++i) piece[i] = static_cast<uint8_t>(i * 7);
  drive.SetBuffer(piece.data(), static_cast<uint32_t>(piece.size()));
  ASSERT_EQ(drive.WriteBuffer(4, 3, 0, 16384), kCodeDone) << drive.GetErrorText();
  const auto& record = stack->devices->drive->Record().back();
  EXPECT_EQ(record.direction, DataDirection::Out);
  EXPECT_EQ(record.data, piece);
  EXPECT_TRUE(std::equal(piece.begin(), piece.end(), stack->devices->drive->Downloaded().begin() + 3 * 16384));
}

TEST_F(AspiStackTest, NestedRequestsWhileTheBusIsBusy) {
  Address(2);
  std::vector<uint8_t> nested;
  onPump = [&] {
    if (!nested.empty()) return;
    nested.push_back(0);  // once
    std::string product;
    nested[0] = drive.InquireProductId(product);  // same target: refused, not sent
    Address(0);
    nested.push_back(drive.InquireProductId(product));
    nested.push_back(product == "VIRTUAL DISK    ");
  };
  EXPECT_EQ(drive.TestUnitReady(), kCodeError);  // the drive's power-on unit attention
  EXPECT_EQ(nested, (std::vector<uint8_t>{kCodeTargetBusy, kCodeDone, 1}));
  EXPECT_EQ(stack->devices->drive->Record().size(), 1u) << "only the outer request reached the drive";
  EXPECT_FALSE(stack->transport->TargetBusy(0, 2));
  EXPECT_FALSE(stack->transport->TargetBusy(0, 0));
}

TEST_F(AspiStackTest, RequestTheBusNeverCompletesIsAbortedAtTheLimit) {
  sim::StandardDevices devices;
  sim::SimAspiManager bus(devices);
  SteppingClock clock;
  clock.step = 1;
  AspiTransport transport(bus, feedback, clock);
  CScsiDrive slow(transport);
  slow.SetAddress(DriveAddress::Target(0, 2, 0));
  bus.SetNeverComplete(2, true);
  EXPECT_EQ(slow.TestUnitReady(), kCodePending);
  EXPECT_EQ(slow.GetErrorText(), " Status : Aspi Timeout Error.");
  EXPECT_EQ(bus.PendingCount(), 0u) << "aborted";
  EXPECT_TRUE(devices.drive->Record().empty());

  bus.SetNeverComplete(2, false);
  clock.step = 0;
  EXPECT_EQ(slow.TestUnitReady(), kCodeError) << "the target takes requests again";
  EXPECT_EQ(devices.drive->Record().size(), 1u);
}

TEST(AspiStack, TracesEveryRequestWithItsAddress) {
  TraceFile trace;
  RecordingFeedback feedback;
  auto stack = MakeAspiStack(true, feedback, trace.Trace());
  CScsiDrive drive(*stack->transport);
  drive.SetAddress(DriveAddress::Target(0, 2, 0));
  drive.TestUnitReady();
  EXPECT_EQ(trace.Lines(), std::vector<std::string>{"0:2:0 00 00 00 00 00 00 | len=0 none | status=02 sense=06/29/00 | TEST UNIT READY"});
}

}  // namespace
}  // namespace morv
