// The Linux manager over a prepared sysfs tree: everything it decides before a
// device would be involved. Real nodes are exercised in the qemu test.
#include "platform/linux/aspi_linux_manager.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/linux/aspi_linux_fake_sysfs.h"

namespace morv::linux_aspi {
namespace {

class LinuxAspiManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sysfs.AddNode("sg0", "0:0:0:0");
    sysfs.AddNode("sg1", "0:0:3:0");
    sysfs.AddNode("sg3", "1:0:0:0");
    sysfs.AddHost(0, "sym53c8xx\n", "7\n");
    sysfs.AddHost(1, "a_driver_name_longer_than_16\n", "6\n");
  }
  LinuxAspiManager::Paths Paths() const { return {sysfs.Root(), sysfs.Dev()}; }

  static SRB_ExecSCSICmd TestUnitReady(uint8_t ha, uint8_t target, AspiEvent& event) {
    SRB_ExecSCSICmd srb{};
    srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.SRB_HaId = ha;
    srb.SRB_Flags = SRB_EVENT_NOTIFY;
    srb.SRB_Target = target;
    srb.SRB_SenseLen = SENSE_LEN;
    srb.SRB_CDBLen = 6;
    srb.SRB_PostProc = &event;
    return srb;
  }

  FakeSysfs sysfs;
};

TEST_F(LinuxAspiManagerTest, SupportInfoCountsHostsWithNodes) {
  LinuxAspiManager manager(Paths());
  EXPECT_EQ(manager.GetASPI32SupportInfo(), 0x0102u);

  FakeSysfs empty;
  LinuxAspiManager none({empty.Root(), empty.Dev()});
  EXPECT_EQ(none.GetASPI32SupportInfo(), 0x0100u) << "no host: an empty list, not an error";
}

TEST_F(LinuxAspiManagerTest, AdapterInquiryNamesDriverAndOwnId) {
  LinuxAspiManager manager(Paths());
  struct Case {
    uint8_t ha;
    uint8_t status;
    std::string identifier;
    uint8_t id;
  };
  const Case cases[] = {
      {0, SS_COMP, "sym53c8xx", 7},
      {1, SS_COMP, "a_driver_name_lo", 6},
      {2, SS_INVALID_HA, "", 0},
  };
  for (const auto& c : cases) {
    SRB_HAInquiry srb{};
    srb.SRB_Cmd = SC_HA_INQUIRY;
    srb.SRB_HaId = c.ha;
    EXPECT_EQ(manager.SendASPI32Command(&srb), c.status);
    EXPECT_EQ(srb.SRB_Status, c.status) << "final when the call returns";
    if (c.status != SS_COMP) continue;
    EXPECT_EQ(srb.HA_Count, 2);
    EXPECT_EQ(srb.HA_SCSI_ID, c.id);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(srb.HA_Identifier), 16).c_str(), c.identifier);
  }
}

TEST_F(LinuxAspiManagerTest, RequestsThatCannotBeSentCompleteAtOnceWithTheirEvent) {
  // A node whose permissions keep this user out: a read-only sysfs file refuses a
  // read-write open with EACCES even to root.
  sysfs.AddNode("sg2", "0:0:4:0");
  std::filesystem::create_symlink("/sys/kernel/uevent_seqnum", sysfs.Dev() / "sg2");
  LinuxAspiManager manager(Paths());
  struct Case {
    const char* name;
    uint8_t ha, target, cdbLength;
    uint8_t status, haStat;
    bool accessDenied;  // afterwards
  };
  const Case cases[] = {
      {"empty target ID", 0, 1, 6, SS_ERR, HASTAT_SEL_TO, false},
      // sysfs names a node for 0:0:3:0, but there is no /dev node behind it
      {"node missing", 0, 3, 6, SS_ERR, HASTAT_SEL_TO, false},
      {"adapter beyond the list", 2, 0, 6, SS_INVALID_HA, HASTAT_OK, false},
      {"CDB too long", 0, 0, 17, SS_INVALID_SRB, HASTAT_OK, false},
      {"node this user may not open", 0, 4, 6, SS_ERR, HASTAT_SEL_TO, true},
  };
  for (const auto& c : cases) {
    auto event = AspiEvent::Create();
    SRB_ExecSCSICmd srb = TestUnitReady(c.ha, c.target, *event);
    srb.SRB_CDBLen = c.cdbLength;
    EXPECT_EQ(manager.SendASPI32Command(&srb), c.status) << c.name;
    EXPECT_EQ(LoadSrbStatus(srb.SRB_Status), c.status) << c.name;
    EXPECT_EQ(srb.SRB_HaStat, c.haStat) << c.name;
    EXPECT_TRUE(event->Wait(0)) << c.name;
    EXPECT_EQ(manager.AccessDenied(), c.accessDenied) << c.name;
  }
}

TEST_F(LinuxAspiManagerTest, AbortOfAnUnknownBlockFailsAndOtherCommandsAreRefused) {
  LinuxAspiManager manager(Paths());
  SRB_ExecSCSICmd never{};
  SRB_Abort abort{};
  abort.SRB_Cmd = SC_ABORT_SRB;
  abort.SRB_ToAbort = &never;
  EXPECT_EQ(manager.SendASPI32Command(&abort), SS_ABORT_FAIL);

  SRB_Abort reset{};
  reset.SRB_Cmd = SC_RESET_DEV;
  EXPECT_EQ(manager.SendASPI32Command(&reset), SS_INVALID_CMD);
  EXPECT_EQ(reset.SRB_Status, SS_INVALID_CMD);
}

// A signal sent to the process must reach the program's own thread: a terminal
// toolkit's handlers (resize, stop) and the hold on termination signals expect to
// run there. With the program's thread blocking it, the signal has to stay pending
// rather than run its handler on the manager's thread.
TEST_F(LinuxAspiManagerTest, CompletionThreadTakesNoSignal) {
  static std::atomic<int> handled{0};
  struct sigaction action = {}, previous;
  action.sa_handler = [](int) { ++handled; };
  sigemptyset(&action.sa_mask);
  sigaction(SIGUSR1, &action, &previous);
  LinuxAspiManager manager(Paths());
  sigset_t usr1, mask;
  sigemptyset(&usr1);
  sigaddset(&usr1, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &usr1, &mask);

  kill(getpid(), SIGUSR1);
  for (int i = 0; i < 20 && handled == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(handled, 0) << "the handler ran on the manager's thread";
  sigset_t pending;
  sigpending(&pending);
  EXPECT_TRUE(sigismember(&pending, SIGUSR1));

  const timespec none{};
  sigtimedwait(&usr1, nullptr, &none);  // take it, so unblocking delivers nothing
  pthread_sigmask(SIG_SETMASK, &mask, nullptr);
  sigaction(SIGUSR1, &previous, nullptr);
}

}  // namespace
}  // namespace morv::linux_aspi
