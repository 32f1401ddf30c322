// Runs inside the qemu-scsi guest (tools/qemu-scsi/run-vm.sh) and drives the
// kernel's real SCSI targets through the Linux ASPI manager and AspiTransport:
// qemu's LSI adapter (host 0) with a disk at ID 0, an empty CD-ROM at ID 3 and a
// look-alike of our drive at ID 5, and scsi_debug (host 1) posing as the MX-R4410.
#include <gtest/gtest.h>

#include <sched.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/aspi_linux_manager.h"
#include "transport/aspi_test_support.h"
#include "transport/aspi_transport.h"
#include "framework/testing/recording_feedback.h"
#include "scsi/scsi_drive.h"

namespace morv {
namespace {

/// scsi_debug answers every command `jiffies` late while this lives.
class SlowScsiDebug {
 public:
  explicit SlowScsiDebug(int jiffies) { Write(jiffies); }
  ~SlowScsiDebug() {
    // scsi_debug takes no new delay while it holds a command: wait for that to end.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!Write(1) && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  /// Whether scsi_debug holds no command now: it refuses a new delay while it does.
  static bool Idle() {
    const int now = Current();
    return Write(now + 1) && Write(now);
  }

 private:
  static bool Write(int jiffies) {
    std::ofstream file("/sys/bus/pseudo/drivers/scsi_debug/delay");
    file << jiffies << '\n';
    file.close();
    return !file.fail();
  }
  static int Current() {
    int jiffies = 1;
    std::ifstream("/sys/bus/pseudo/drivers/scsi_debug/delay") >> jiffies;
    return jiffies;
  }
};

/// An INQUIRY text field as the kernel shows it: up to a zero byte (scsi_debug
/// pads with zeros), without trailing blanks.
std::string Field(const uint8_t* bytes, size_t length) {
  std::string text(reinterpret_cast<const char*>(bytes), length);
  text.erase(std::min(text.find('\0'), text.size()));
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

class AspiVm : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::ifstream("/run/qsh/devices").good()) << "this test runs inside the qemu-scsi guest";
    feedback.onPump = [this] { ++pumps; };
    clock.step = 1;
    limitedDrive.SetAddress(DriveAddress::Target(1, 0, 0));
  }
  void Address(uint8_t hostAdapter, uint8_t target, uint8_t lun = 0) {
    drive.SetAddress(DriveAddress::Target(hostAdapter, target, lun));
  }

  linux_aspi::LinuxAspiManager manager;
  RecordingFeedback feedback;
  long pumps = 0;
  AspiTransport transport{manager, feedback};
  CScsiDrive drive{transport};
  // A second transport to scsi_debug whose clock steps a second per reading, so a
  // time limit runs out after that many polling passes.
  SteppingClock clock;
  AspiTransport limited{manager, feedback, clock};
  CScsiDrive limitedDrive{limited};
};

TEST_F(AspiVm, HostsAreAdaptersInHostOrderWithDriverNamesAndOwnIds) {
  ASSERT_EQ(transport.AspiSupportInfo(), SS_COMP);
  EXPECT_EQ(transport.HostAdapterCount(), 2);
  const struct {
    uint8_t adapter;
    const char* identifier;
    uint8_t ownId;
  } cases[] = {{0, "sym53c8xx", 7}, {1, "scsi_debug", 7}};
  for (const auto& c : cases) {
    HostAdapterIdentity identity;
    EXPECT_EQ(transport.InquireHostAdapter(c.adapter, identity), SS_COMP);
    EXPECT_EQ(identity.identifier, c.identifier);
    EXPECT_EQ(identity.scsiId, c.ownId) << c.identifier;
  }
  HostAdapterIdentity none;
  EXPECT_EQ(transport.InquireHostAdapter(2, none), SS_INVALID_HA);
}

TEST_F(AspiVm, InquiryReachesEveryDeviceByAdapterTargetAndLun) {
  const struct {
    uint8_t adapter, target;
    uint8_t type;
    const char *vendor, *product, *revision;
  } cases[] = {
      {0, 0, 0, "QEMU", "QEMU HARDDISK", "2.5+"},
      {0, 3, 5, "QEMU", "QEMU CD-ROM", "2.5+"},
      {0, 5, 5, "KESTREL", "MX-R4410", "0.99"},
      {1, 0, 5, "KESTREL", "MX-R4410", "1.00"},
  };
  for (const auto& c : cases) {
    Address(c.adapter, c.target);
    uint8_t data[36] = {};
    drive.SetBuffer(data, sizeof data);
    ASSERT_EQ(drive.Inquiry(sizeof data), kCodeDone) << drive.GetErrorText();
    EXPECT_EQ(data[0] & 0x1F, c.type) << c.product;
    EXPECT_EQ(Field(data + 8, 8), c.vendor);
    EXPECT_EQ(Field(data + 16, 16), c.product);
    EXPECT_EQ(Field(data + 32, 4), c.revision) << c.product;
  }
}

TEST_F(AspiVm, EmptyTargetAnswersWithSelectionTimeout) {
  const struct {
    uint8_t adapter, target, lun;
  } cases[] = {{0, 1, 0}, {0, 6, 0}, {0, 7, 0}, {0, 0, 1}, {1, 1, 0}};
  for (const auto& c : cases) {
    Address(c.adapter, c.target, c.lun);
    drive.SetCommandName("TestUnitReady");
    EXPECT_EQ(drive.TestUnitReady(), kCodeError);
    EXPECT_EQ(drive.HaStatus(), HASTAT_SEL_TO);
    EXPECT_EQ(drive.GetErrorText(), "TestUnitReady Status:Selection timeout.");
  }
}

TEST_F(AspiVm, CompletionIsSignalledThroughTheEventWhileTheLoopPumps) {
  SlowScsiDebug slow(50);

  auto event = AspiEvent::Create();
  SRB_ExecSCSICmd srb{};
  srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
  srb.SRB_HaId = 1;
  srb.SRB_Flags = SRB_EVENT_NOTIFY;
  srb.SRB_SenseLen = SENSE_LEN;
  srb.SRB_CDBLen = 6;
  srb.SRB_PostProc = event.get();
  EXPECT_EQ(manager.SendASPI32Command(&srb), SS_PENDING);
  EXPECT_EQ(LoadSrbStatus(srb.SRB_Status), SS_PENDING);
  ASSERT_TRUE(event->Wait(30000));
  EXPECT_EQ(LoadSrbStatus(srb.SRB_Status), SS_COMP);

  Address(1, 0);
  EXPECT_EQ(drive.TestUnitReady(), kCodeDone) << drive.GetErrorText();
  EXPECT_GT(pumps, 10) << "the dialog's messages were pumped while the command was out";
}

TEST_F(AspiVm, CommandStillWithTheKernelAtTheLimitIsAbortedAndTheTargetWorksAfter) {
  uint8_t testUnitReady[6] = {0, 0, 0, 0, 0, 0};
  {
    SlowScsiDebug slow(250);
    EXPECT_EQ(limitedDrive.ExecRequest(testUnitReady, 6, kProductIdTimeout), kCodePending);
    EXPECT_EQ(limitedDrive.GetErrorText(), " Status : Aspi Timeout Error.");
    EXPECT_EQ(limited.HeldBlockCount(), 0u) << "the manager let the block go";
  }
  // The clock stands still now: under emulation the kernel may take longer than any
  // number of polling passes, and the point is only that the target is free again.
  clock.step = 0;
  EXPECT_EQ(limitedDrive.TestUnitReady(), kCodeDone) << limitedDrive.GetErrorText();
}

// The sg driver cannot take a command back: the abort waits for its answer, up
// to a bound, so the program sends nothing more while the drive still works on it.
TEST_F(AspiVm, CommandGivenUpOnIsNoLongerWithTheDriveWhenTheTimeOutIsReported) {
  const uint8_t testUnitReady[6] = {};
  struct Case {
    std::chrono::milliseconds wait;
    bool answeredFirst;
  };
  for (const Case& c : {Case{linux_aspi::LinuxAspiManager::kLateAnswerWait, true},
                        Case{std::chrono::milliseconds(100), false}}) {
    SCOPED_TRACE(c.wait.count());
    manager.SetLateAnswerWait(c.wait);
    clock.step = 1;
    SlowScsiDebug slow(500);  // 2 s
    EXPECT_EQ(limitedDrive.ExecRequest(testUnitReady, 6, kProductIdTimeout), kCodePending);
    EXPECT_EQ(limitedDrive.GetErrorText(), " Status : Aspi Timeout Error.");
    EXPECT_EQ(SlowScsiDebug::Idle(), c.answeredFirst) << "scsi_debug still held the command";
  }
}

TEST_F(AspiVm, DataInAnsweredAfterTheAbortNeverReachesTheCallersBuffer) {
  // READ CAPACITY(10): data-in that scsi_debug delays (it answers INQUIRY at once).
  const uint8_t readCapacity[10] = {0x25};
  std::vector<uint8_t> abandoned(8, 0xEE), later(8, 0);
  {
    SlowScsiDebug slow(100);
    limitedDrive.SetBuffer(abandoned.data(), 8);
    EXPECT_EQ(limitedDrive.ExecRequest(readCapacity, 10, kProductIdTimeout), kCodePending);
    // Sent after the abandoned one with the same delay, so answered after it.
    clock.step = 0;
    limitedDrive.SetBuffer(later.data(), 8);
    EXPECT_EQ(limitedDrive.ExecRequest(readCapacity, 10, kProductIdTimeout), kCodeDone) << limitedDrive.GetErrorText();
  }
  // 16 MiB of 2048-byte blocks: last block 8191.
  EXPECT_EQ(later, (std::vector<uint8_t>{0x00, 0x00, 0x1F, 0xFF, 0x00, 0x00, 0x08, 0x00}));
  EXPECT_EQ(abandoned, std::vector<uint8_t>(8, 0xEE)) << "the late answer went to the manager's buffer only";
}

// Stands in for a process stopped beyond its time limit: at the first pump the
// test's thread takes the one processor (real-time, spinning) until the answer is
// surely with the kernel, so the manager's thread cannot read it before the limit.
TEST_F(AspiVm, AnswerThatCameWhileTheProgramCouldNotRunIsTheOutcomeAtTheLimit) {
  bool held = false;
  feedback.onPump = [&] {
    if (held) return;
    held = true;
    const sched_param realTime{.sched_priority = 1};
    ASSERT_EQ(sched_setscheduler(0, SCHED_FIFO, &realTime), 0);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    while (std::chrono::steady_clock::now() < until) {
    }
  };
  const uint8_t testUnitReady[6] = {};
  uint8_t code;
  {
    SlowScsiDebug slow(25);  // 100 ms
    code = limitedDrive.ExecRequest(testUnitReady, 6, 1);
    const sched_param normal{.sched_priority = 0};
    sched_setscheduler(0, SCHED_OTHER, &normal);
  }
  EXPECT_TRUE(held);
  EXPECT_EQ(code, kCodeDone) << "not a time-out: the drive had answered; " << limitedDrive.GetErrorText();
}

}  // namespace
}  // namespace morv
