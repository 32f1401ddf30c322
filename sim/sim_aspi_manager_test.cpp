#include "sim/sim_aspi_manager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace morv::sim {
namespace {

/// A device that answers every command with one scripted result and notes the
/// thread it ran on.
class ScriptedDevice : public EmulatedDevice {
 public:
  DeviceResult answer;
  bool present = true;
  std::thread::id ranOn;

  DeviceResult Execute(const DeviceCommand& command) override {
    ranOn = std::this_thread::get_id();
    m_record.push_back({command.cdb, command.dataLength, command.direction, {}, answer.status, answer.sense});
    return answer;
  }
  const std::vector<RecordedCommand>& Record() const override { return m_record; }
  bool Present() const override { return present; }

 private:
  std::vector<RecordedCommand> m_record;
};

struct Request {
  std::shared_ptr<AspiEvent> event = AspiEvent::Create();
  uint8_t data[36] = {};
  SRB_ExecSCSICmd srb{};

  Request(uint8_t ha, uint8_t target, uint8_t opcode = 0x12, uint32_t length = 36) {
    srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.SRB_HaId = ha;
    srb.SRB_Flags = SRB_EVENT_NOTIFY;
    srb.SRB_Target = target;
    srb.SRB_BufLen = length;
    srb.SRB_BufPointer = data;
    srb.SRB_SenseLen = SENSE_LEN;
    srb.SRB_CDBLen = 6;
    srb.SRB_PostProc = event.get();
    srb.CDBByte[0] = opcode;
    srb.CDBByte[4] = static_cast<uint8_t>(length);
  }
  bool WaitDone() { return event->Wait(10000); }
};

TEST(SimAspiManager, OneAdapterWithItsNameAndOwnId) {
  SimAspiManager manager;
  EXPECT_EQ(manager.GetASPI32SupportInfo(), 0x0101u);
  SRB_HAInquiry srb{};
  srb.SRB_Cmd = SC_HA_INQUIRY;
  EXPECT_EQ(manager.SendASPI32Command(&srb), SS_COMP);
  EXPECT_EQ(srb.HA_Count, 1);
  EXPECT_EQ(srb.HA_SCSI_ID, 7);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(srb.HA_Identifier), 16), std::string("SIMUL SCSI HOST\0", 16));
  srb.SRB_HaId = 1;
  EXPECT_EQ(manager.SendASPI32Command(&srb), SS_INVALID_HA);
}

TEST(SimAspiManager, CompletesLaterOnItsOwnThread) {
  auto drive = std::make_shared<ScriptedDevice>();
  SimAspiManager manager(std::chrono::milliseconds(1));
  manager.Attach(2, 0, drive);
  Request request(0, 2);
  EXPECT_EQ(manager.SendASPI32Command(&request.srb), SS_PENDING);
  ASSERT_TRUE(request.WaitDone());
  EXPECT_EQ(LoadSrbStatus(request.srb.SRB_Status), SS_COMP);
  EXPECT_NE(drive->ranOn, std::this_thread::get_id());
  ASSERT_EQ(drive->Record().size(), 1u);
  EXPECT_EQ(drive->Record()[0].cdb, (std::vector<uint8_t>{0x12, 0, 0, 0, 36, 0}));
  EXPECT_EQ(drive->Record()[0].direction, DataDirection::In);
  EXPECT_EQ(drive->Record()[0].dataLength, 36u);
}

// Asked to, the bus completes each request before SendASPI32Command returns, on the
// caller's thread; a target set never to complete still waits for its abort.
TEST(SimAspiManager, CompletesAtOnceWhenAsked) {
  auto drive = std::make_shared<ScriptedDevice>();
  auto failing = std::make_shared<ScriptedDevice>();
  failing->answer = {0x02, FixedSense(0x05, 0x24, 0x90)};
  SimAspiManager manager(std::chrono::seconds(60));
  manager.SetCompleteAtOnce(true);
  manager.Attach(2, 0, drive);
  manager.Attach(3, 0, failing);
  manager.SetNeverComplete(4, true);
  manager.Attach(4, 0, std::make_shared<ScriptedDevice>());

  Request good(0, 2), refused(0, 3), absent(0, 5), stuck(0, 4);
  EXPECT_EQ(manager.SendASPI32Command(&good.srb), SS_COMP);
  EXPECT_TRUE(good.event->Wait(0));
  EXPECT_EQ(drive->ranOn, std::this_thread::get_id());
  EXPECT_EQ(manager.SendASPI32Command(&refused.srb), SS_ERR);
  EXPECT_EQ(refused.srb.SenseArea[13], 0x90);
  EXPECT_EQ(manager.SendASPI32Command(&absent.srb), SS_ERR);
  EXPECT_EQ(absent.srb.SRB_HaStat, HASTAT_SEL_TO);
  EXPECT_EQ(manager.SendASPI32Command(&stuck.srb), SS_PENDING);
  EXPECT_EQ(manager.PendingCount(), 1u);
  SRB_Abort abort{};
  abort.SRB_Cmd = SC_ABORT_SRB;
  abort.SRB_ToAbort = &stuck.srb;
  EXPECT_EQ(manager.SendASPI32Command(&abort), SS_COMP);
}

TEST(SimAspiManager, OutcomesByTarget) {
  auto good = std::make_shared<ScriptedDevice>();
  auto failing = std::make_shared<ScriptedDevice>();
  auto vanished = std::make_shared<ScriptedDevice>();
  auto describing = std::make_shared<ScriptedDevice>();
  failing->answer = {0x02, FixedSense(0x05, 0x24, 0x90)};
  vanished->present = false;
  describing->answer = {0x02, {0x72, 0x06, 0x28, 0x00, 0, 0, 0, 0}};  // descriptor format
  SimAspiManager manager(std::chrono::microseconds(0));
  manager.Attach(0, 0, good);
  manager.Attach(2, 0, failing);
  manager.Attach(5, 0, vanished);
  manager.Attach(3, 0, describing);

  struct Case {
    const char* name;
    uint8_t ha, target;
    uint8_t status, haStat, targStat, senseKey, asc, ascq;
  };
  const Case cases[] = {
      {"good", 0, 0, SS_COMP, 0, 0, 0, 0, 0},
      {"check condition", 0, 2, SS_ERR, 0, 0x02, 0x05, 0x24, 0x90},
      {"descriptor sense read as fixed", 0, 3, SS_ERR, 0, 0x02, 0x06, 0x28, 0x00},
      {"adapter's own ID", 0, 7, SS_ERR, HASTAT_SEL_TO, 0, 0, 0, 0},
      {"vanished device", 0, 5, SS_ERR, HASTAT_SEL_TO, 0, 0, 0, 0},
      {"no such adapter", 1, 0, SS_INVALID_HA, 0, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    Request request(c.ha, c.target);
    manager.SendASPI32Command(&request.srb);
    ASSERT_TRUE(request.WaitDone()) << c.name;
    EXPECT_EQ(LoadSrbStatus(request.srb.SRB_Status), c.status) << c.name;
    EXPECT_EQ(request.srb.SRB_HaStat, c.haStat) << c.name;
    EXPECT_EQ(request.srb.SRB_TargStat, c.targStat) << c.name;
    EXPECT_EQ(request.srb.SenseArea[2], c.senseKey) << c.name;
    EXPECT_EQ(request.srb.SenseArea[12], c.asc) << c.name;
    EXPECT_EQ(request.srb.SenseArea[13], c.ascq) << c.name;
  }
  EXPECT_TRUE(vanished->Record().empty());
}

TEST(SimAspiManager, NeverCompletingRequestEndsOnlyByAbort) {
  auto drive = std::make_shared<ScriptedDevice>();
  auto disk = std::make_shared<ScriptedDevice>();
  SimAspiManager manager(std::chrono::microseconds(0));
  manager.Attach(2, 0, drive);
  manager.Attach(0, 0, disk);
  manager.SetNeverComplete(2, true);

  Request stuck(0, 2);
  EXPECT_EQ(manager.SendASPI32Command(&stuck.srb), SS_PENDING);
  Request later(0, 0);  // sent after, due after: done means the stuck one was passed over
  manager.SendASPI32Command(&later.srb);
  ASSERT_TRUE(later.WaitDone());
  EXPECT_EQ(LoadSrbStatus(stuck.srb.SRB_Status), SS_PENDING);
  EXPECT_FALSE(stuck.event->Wait(0));
  EXPECT_EQ(manager.PendingCount(), 1u);

  SRB_Abort abort{};
  abort.SRB_Cmd = SC_ABORT_SRB;
  abort.SRB_ToAbort = &stuck.srb;
  EXPECT_EQ(manager.SendASPI32Command(&abort), SS_COMP);
  EXPECT_EQ(LoadSrbStatus(stuck.srb.SRB_Status), SS_ABORTED);
  EXPECT_TRUE(stuck.event->Wait(0));
  EXPECT_EQ(manager.PendingCount(), 0u);
  EXPECT_EQ(manager.SendASPI32Command(&abort), SS_ABORT_FAIL);
  EXPECT_TRUE(drive->Record().empty());

  manager.SetNeverComplete(2, false);
  Request next(0, 2);
  manager.SendASPI32Command(&next.srb);
  ASSERT_TRUE(next.WaitDone());
  EXPECT_EQ(LoadSrbStatus(next.srb.SRB_Status), SS_COMP);
}

}  // namespace
}  // namespace morv::sim
