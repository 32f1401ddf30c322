// AspiTransport against a scripted manager on the test's own thread: the manager
// completes a request when the test says so, typically from inside a pumped pass,
// and the calendar clock moves only when the transport reads it.
#include "transport/aspi_transport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "transport/aspi_test_support.h"
#include "framework/testing/recording_feedback.h"
#include "scsi/scsi_drive.h"

namespace morv {
namespace {

/// Blocks full of garbage (the transport must clear them), events that can fail.
class TestResources : public AspiRequestResources {
 public:
  bool failBlock = false;
  bool failEvent = false;
  std::weak_ptr<AspiEvent> lastEvent;
  std::unique_ptr<SRB_ExecSCSICmd> AllocateBlock() override {
    if (failBlock) return nullptr;
    auto block = std::make_unique<SRB_ExecSCSICmd>();
    std::memset(block.get(), 0xA5, sizeof *block);
    return block;
  }
  std::shared_ptr<AspiEvent> CreateEvent() override {
    if (failEvent) return nullptr;
    auto event = AspiEvent::Create();
    lastEvent = event;
    return event;
  }
};

/// A manager that keeps every request pending until Complete, or completes it at
/// once with `outcome` when `atOnce` is set.
class ScriptedManager : public AspiManager {
 public:
  struct Outcome {
    uint8_t status = SS_COMP;
    uint8_t haStat = 0;
    uint8_t targStat = 0;
    std::vector<uint8_t> sense;
  };
  uint32_t supportInfo = 0x0102;
  int supportCalls = 0;
  bool atOnce = true;
  Outcome outcome;
  bool honourAbort = true;
  bool answerOnAbort = false;  ///< the answer turns up as the abort comes: finished, abort fails
  std::vector<SRB_ExecSCSICmd> sent;         ///< copies as the manager got them
  std::vector<SRB_ExecSCSICmd*> pending;     ///< blocks not completed yet
  std::vector<SRB_Abort> aborts;
  std::vector<uint8_t> answerData;            ///< written into the data buffer on completion
  std::vector<std::vector<uint8_t>> dataSeen; ///< the data buffer of each request as it was sent
  /// Adapter inquiries: answered with this status and identity; SS_PENDING never ends.
  uint8_t inquiryStatus = SS_COMP;
  uint8_t inquiryId = 7;
  std::string inquiryName = "scsi_debug";
  std::vector<SRB_HAInquiry> inquiries;

  uint32_t GetASPI32SupportInfo() override {
    ++supportCalls;
    return supportInfo;
  }
  uint32_t SendASPI32Command(void* srb) override {
    switch (static_cast<uint8_t*>(srb)[0]) {
      case SC_HA_INQUIRY: {
        auto& inquiry = *static_cast<SRB_HAInquiry*>(srb);
        inquiries.push_back(inquiry);
        if (inquiryStatus == SS_PENDING) return SS_PENDING;
        inquiry.HA_SCSI_ID = inquiryId;
        std::memcpy(inquiry.HA_Identifier, inquiryName.data(), std::min<size_t>(inquiryName.size(), 16));
        StoreSrbStatus(inquiry.SRB_Status, inquiryStatus);
        return inquiryStatus;
      }
      case SC_EXEC_SCSI_CMD: {
        auto& block = *static_cast<SRB_ExecSCSICmd*>(srb);
        sent.push_back(block);
        dataSeen.emplace_back(block.SRB_BufPointer, block.SRB_BufPointer + block.SRB_BufLen);
        if (atOnce)
          Finish(block);
        else
          pending.push_back(&block);
        return SS_PENDING;
      }
      case SC_ABORT_SRB: {
        auto& abort = *static_cast<SRB_Abort*>(srb);
        aborts.push_back(abort);
        if (!honourAbort) return SS_ABORT_FAIL;
        if (answerOnAbort && !pending.empty()) {
          Complete();
          return SS_ABORT_FAIL;
        }
        for (auto it = pending.begin(); it != pending.end(); ++it) {
          if (*it != abort.SRB_ToAbort) continue;
          CompleteExecBlock(**it, SS_ABORTED, 0, 0);
          pending.erase(it);
          return SS_COMP;
        }
        return SS_ABORT_FAIL;
      }
    }
    return SS_INVALID_CMD;
  }
  /// Completes the oldest pending request with `outcome`.
  void Complete() {
    ASSERT_FALSE(pending.empty());
    SRB_ExecSCSICmd* block = pending.front();
    pending.erase(pending.begin());
    Finish(*block);
  }
  void Finish(SRB_ExecSCSICmd& block) {
    std::copy_n(answerData.begin(), std::min<size_t>(answerData.size(), block.SRB_BufLen), block.SRB_BufPointer);
    CompleteExecBlock(block, outcome.status, outcome.haStat, outcome.targStat, outcome.sense.data(),
                      outcome.sense.size());
  }
};

std::vector<uint8_t> Sense(uint8_t key, uint8_t asc, uint8_t ascq) {
  std::vector<uint8_t> sense(16, 0);
  sense[0] = 0x70, sense[2] = key, sense[7] = 10, sense[12] = asc, sense[13] = ascq;
  sense[14] = 0xEE, sense[15] = 0xEE;  // beyond the 14 bytes the program keeps
  return sense;
}

class AspiTransportTest : public ::testing::Test {
 public:
  AspiTransportTest() { feedback.recordPumps = true; }

  uint8_t Inquiry(uint8_t target, int32_t limit = kCommandTimeout, uint8_t adapter = 0) {
    drive.SetAddress(DriveAddress::Target(adapter, target, 0));
    drive.SetBuffer(data, 36);
    uint8_t cdb[6] = {0x12, 0, 0, 0, 36, 0};
    return drive.ExecRequest(cdb, 6, limit);
  }
  size_t Pumps() const { return feedback.EventsStartingWith("pump").size(); }

  ScriptedManager manager;
  RecordingFeedback feedback;
  SteppingClock clock;
  TestResources resources;
  AspiTransport transport{manager, feedback, clock, resources};
  CScsiDrive drive{transport};
  uint8_t data[36] = {};
};

TEST_F(AspiTransportTest, SupportInfoIsAskedOnceAndBoundsTheAdapterCount) {
  struct Case {
    uint32_t value;
    uint8_t status;
    int count;
  };
  const Case cases[] = {
      {0x0102, 1, 2}, {0x0100, 1, 0}, {0x0108, 1, 8}, {0x010C, 1, 8}, {0xE802, 0xE8, 0}, {0x0002, 0, 0},
  };
  for (const auto& c : cases) {
    ScriptedManager asked;
    asked.supportInfo = c.value;
    AspiTransport fresh(asked, feedback, clock, resources);
    EXPECT_EQ(fresh.AspiSupportInfo(), c.status) << std::hex << c.value;
    EXPECT_EQ(fresh.HostAdapterCount(), c.count) << std::hex << c.value;
    EXPECT_EQ(fresh.AspiSupportInfo(), c.status);
    EXPECT_EQ(fresh.HostAdapterCount(), c.count);
    EXPECT_EQ(asked.supportCalls, 1) << "the manager is asked once";
  }
}

TEST_F(AspiTransportTest, RequestBlockCarriesTheDrivesRequestAndNoDirection) {
  drive.SetAddress(DriveAddress::Target(1, 2, 3));
  drive.SetBuffer(data, 36);
  uint8_t cdb[10] = {0x12, 0x01, 0, 0, 36, 0, 0, 0, 0, 0};
  EXPECT_EQ(drive.Execute10(cdb, kCommandTimeout), kCodeDone);

  ASSERT_EQ(manager.sent.size(), 1u);
  const SRB_ExecSCSICmd& b = manager.sent[0];
  EXPECT_EQ(b.SRB_Cmd, SC_EXEC_SCSI_CMD);
  EXPECT_EQ(b.SRB_Status, SS_PENDING);
  EXPECT_EQ(b.SRB_HaId, 1);
  EXPECT_EQ(b.SRB_Flags, SRB_EVENT_NOTIFY);
  EXPECT_EQ(b.SRB_Target, 2);
  EXPECT_EQ(b.SRB_Lun, 3);
  EXPECT_EQ(b.SRB_BufLen, 36u);
  EXPECT_EQ(b.SRB_SenseLen, 14);
  EXPECT_EQ(b.SRB_CDBLen, 10);
  const void* postProc = b.SRB_PostProc;  // a packed field: read it by value
  EXPECT_NE(postProc, nullptr);
  EXPECT_EQ(b.CDBByte[1], 0x61) << "LUN merged by the command layer and copied unchanged";
  EXPECT_EQ(std::vector<uint8_t>(b.CDBByte, b.CDBByte + 10), std::vector<uint8_t>(cdb, cdb + 10));
  // Everything else stays zero.
  EXPECT_EQ(b.SRB_Hdr_Rsvd, 0u);
  EXPECT_EQ(b.SRB_Rsvd1, 0);
  const void* rsvd2 = b.SRB_Rsvd2;
  EXPECT_EQ(rsvd2, nullptr);
  EXPECT_EQ(std::vector<uint8_t>(b.SRB_Rsvd3, b.SRB_Rsvd3 + 16), std::vector<uint8_t>(16, 0));
  EXPECT_EQ(std::vector<uint8_t>(b.CDBByte + 10, b.CDBByte + 16), std::vector<uint8_t>(6, 0));
  EXPECT_EQ(b.SRB_HaStat, 0);
  EXPECT_EQ(b.SRB_TargStat, 0);

  // A request of length 0 says so and hands the buffer pointer on as it stands.
  drive.SetBuffer(data, 0);
  uint8_t tur[6] = {0, 0, 0, 0, 0, 0};
  drive.ExecRequest(tur, 6, kCommandTimeout);
  EXPECT_EQ(manager.sent[1].SRB_BufLen, 0u);
  const uint8_t* unchangedPointer = manager.sent[1].SRB_BufPointer;
  EXPECT_EQ(unchangedPointer, data);

  // Data moves through a buffer of the request's own: out as the caller's bytes, in
  // back into the caller's buffer.
  manager.answerData.assign(36, 0x5A);
  uint8_t writeBuffer[10] = {0x3B, 0x04, 0, 0, 0, 0, 0, 0, 4, 0};
  const uint8_t payload[4] = {1, 2, 3, 4};
  std::memcpy(data, payload, sizeof payload);
  drive.SetBuffer(data, 4);
  EXPECT_EQ(drive.Execute10(writeBuffer, kCommandTimeout), kCodeDone);
  EXPECT_EQ(manager.dataSeen[2], std::vector<uint8_t>(payload, payload + 4));
  EXPECT_EQ(std::vector<uint8_t>(data, data + 4), std::vector<uint8_t>(payload, payload + 4)) << "data-out comes not back";
  drive.SetBuffer(data, 36);
  EXPECT_EQ(drive.Execute10(cdb, kCommandTimeout), kCodeDone);
  const uint8_t* bouncePointer = manager.sent[3].SRB_BufPointer;
  EXPECT_NE(bouncePointer, data);
  EXPECT_EQ(std::vector<uint8_t>(data, data + 36), manager.answerData);
}

TEST_F(AspiTransportTest, CopiesTheOutcomeBackAndComposesEveryFailure) {
  struct Case {
    const char* name;
    ScriptedManager::Outcome outcome;
    uint8_t code;
    std::string text;  // after the command name; empty: the earlier text stays
    std::string box;   // "Aspi Error" box, if any
  };
  const Case cases[] = {
      {"done", {SS_COMP, 0, 0, {}}, 1, "", ""},
      {"check condition", {SS_ERR, 0, 0x02, Sense(2, 0x3A, 0)}, 4, " Status:Check Condition. 3A-00 (NOT READY)", ""},
      {"selection timeout", {SS_ERR, 0x11, 0, {}}, 4, " Status:Selection timeout.", ""},
      {"aborted", {SS_ABORTED, 0, 0, {}}, 2, " Status : Aborted.", ""},
      {"invalid adapter", {SS_INVALID_HA, 0, 0, {}}, 0x81, " Status : Invalid Ha.", ""},
      {"code without text", {0x80, 0, 0, {}}, 0x80, " Status : ASPI Error", "Aspi Error : Timeout."},
      {"buffer too big", {SS_BUFFER_TO_BIG, 0, 0, {}}, 0xE6, " Status : ASPI Error",
       "Aspi Error : Buffer size is too big."},
  };
  for (const auto& c : cases) {
    drive.SetCommandName("earlier");
    manager.outcome = {SS_ABORTED, 0, 0, {}};
    Inquiry(2);  // an earlier failure and its text
    feedback.events.clear();
    drive.SetCommandName("TestUnitReadyVU");
    manager.outcome = c.outcome;
    EXPECT_EQ(Inquiry(2), c.code) << c.name;
    EXPECT_EQ(drive.GetErrorText(), c.text.empty() ? "earlier Status : Aborted." : "TestUnitReadyVU" + c.text)
        << c.name;
    EXPECT_EQ(drive.HaStatus(), c.outcome.haStat) << c.name;
    EXPECT_EQ(drive.TargetStatus(), c.outcome.targStat) << c.name;
    std::vector<uint8_t> kept = c.outcome.sense;
    kept.resize(20, 0);
    std::fill(kept.begin() + 14, kept.end(), 0);
    EXPECT_EQ(std::vector<uint8_t>(drive.Sense().begin(), drive.Sense().end()), kept) << c.name;
    auto boxes = feedback.EventsStartingWith("box ");
    if (c.box.empty()) {
      EXPECT_TRUE(boxes.empty()) << c.name;
    } else {
      ASSERT_EQ(boxes.size(), 1u) << c.name;
      EXPECT_EQ(boxes[0], "box 00000030 " + c.box) << c.name;
      EXPECT_EQ(feedback.EventsStartingWith("beep"), std::vector<std::string>{"beep 00000030"}) << c.name;
    }
  }
}

TEST_F(AspiTransportTest, WaitPumpsUntilTheEventWithoutSleeping) {
  manager.atOnce = false;
  int passes = 0;
  feedback.onPump = [&] {
    if (++passes == 3) manager.Complete();
  };
  EXPECT_EQ(Inquiry(2), kCodeDone);
  EXPECT_EQ(Pumps(), 3u) << "one message per pass, and the third pass saw the event";
  EXPECT_EQ(clock.sleeps, 0);
  EXPECT_FALSE(transport.TargetBusy(0, 2));
  EXPECT_TRUE(resources.lastEvent.expired()) << "the event lives for one request";
}

TEST_F(AspiTransportTest, RequestThatNeverCompletesEndsAtTheLimitAbortedAndFreesTheTarget) {
  for (int32_t limit : {10, 7200}) {
    manager.atOnce = false;
    manager.aborts.clear();
    feedback.events.clear();
    clock.step = 1;
    EXPECT_EQ(Inquiry(2, limit), kCodePending) << limit;
    EXPECT_EQ(Pumps(), static_cast<size_t>(limit)) << "whole seconds: the limit-th reading ends it";
    EXPECT_EQ(drive.GetErrorText(), " Status : Aspi Timeout Error.");
    EXPECT_EQ(drive.HaStatus(), 0);
    ASSERT_EQ(manager.aborts.size(), 1u);
    EXPECT_EQ(manager.aborts[0].SRB_HaId, 0);
    EXPECT_TRUE(manager.pending.empty()) << "the manager gave the block up";
    EXPECT_EQ(transport.HeldBlockCount(), 0u);
    EXPECT_FALSE(transport.TargetBusy(0, 2));

    manager.atOnce = true;
    manager.outcome = {};
    EXPECT_EQ(Inquiry(2, limit), kCodeDone) << "the target works again";
  }
}

TEST_F(AspiTransportTest, AnswerTheManagerFindsWhileAbortingIsTheOutcome) {
  manager.atOnce = false;
  manager.answerOnAbort = true;
  manager.outcome = {SS_ERR, 0, 2, Sense(6, 0x29, 0)};
  clock.step = 1;
  EXPECT_EQ(Inquiry(2, 10), SS_ERR);
  EXPECT_EQ(manager.aborts.size(), 1u);
  EXPECT_EQ(drive.TargetStatus(), 2);
  EXPECT_EQ(drive.SenseKey(), 6);
  EXPECT_NE(drive.GetErrorText(), " Status : Aspi Timeout Error.");
  EXPECT_EQ(transport.HeldBlockCount(), 0u);
}

TEST_F(AspiTransportTest, BlockTheManagerKeepsAfterAFailedAbortIsHeldUntilItFinishes) {
  manager.atOnce = false;
  manager.honourAbort = false;
  clock.step = 1;
  EXPECT_EQ(Inquiry(2, 10), kCodePending);
  EXPECT_EQ(transport.HeldBlockCount(), 1u);
  EXPECT_FALSE(transport.TargetBusy(0, 2));

  // The manager finishes late and writes into the held block and its data buffer
  // (ASan would see freed ones), never into the caller's buffer, whose stack frame
  // may have gone; the next request lets the held one go.
  std::memset(data, 0x11, sizeof data);
  manager.outcome = {SS_COMP, 0, 0, {}};
  manager.answerData.assign(36, 0xEE);
  manager.Complete();
  EXPECT_EQ(std::vector<uint8_t>(data, data + 36), std::vector<uint8_t>(36, 0x11));
  manager.answerData.clear();
  manager.atOnce = true;
  EXPECT_EQ(Inquiry(2), kCodeDone);
  EXPECT_EQ(transport.HeldBlockCount(), 0u);
}

TEST_F(AspiTransportTest, NestedRequestsDuringThePumpedWait) {
  manager.atOnce = false;
  std::vector<uint8_t> nestedCodes;
  std::vector<std::string> nestedTexts;
  bool inHandler = false;
  feedback.onPump = [&] {
    if (inHandler) return;
    if (!nestedCodes.empty()) return manager.Complete();  // the outer request, a pass later
    // A handler readdresses the one drive object and sends, first to the target
    // that is waiting, then to another one.
    inHandler = true;
    manager.atOnce = true;
    nestedCodes.push_back(Inquiry(2));
    nestedTexts.push_back(drive.GetErrorText());
    EXPECT_TRUE(transport.TargetBusy(0, 2)) << "the running request's mark is untouched";
    nestedCodes.push_back(Inquiry(5));
    manager.atOnce = false;
    inHandler = false;
  };
  EXPECT_EQ(Inquiry(2), kCodeDone);
  EXPECT_EQ(nestedCodes, (std::vector<uint8_t>{kCodeTargetBusy, kCodeDone}));
  EXPECT_EQ(nestedTexts[0], " Status : This target is executing now.");
  ASSERT_EQ(manager.sent.size(), 2u) << "the refused request was not sent";
  EXPECT_EQ(manager.sent[0].SRB_Target, 2);
  EXPECT_EQ(manager.sent[1].SRB_Target, 5);
  EXPECT_FALSE(transport.TargetBusy(0, 2)) << "the outer request clears its own mark";
  EXPECT_FALSE(transport.TargetBusy(0, 5));
}

TEST_F(AspiTransportTest, RefusalsSendNothingAndLeaveNoMark) {
  struct Case {
    const char* name;
    void (*arrange)(AspiTransportTest&);
    uint8_t cdbLength;
    uint8_t code;
    std::string text;
  };
  const Case cases[] = {
      {"no event", [](AspiTransportTest& t) { t.resources.failEvent = true; }, 6, kCodeTargetBusy,
       " Status : This target is executing now."},
      {"no memory", [](AspiTransportTest& t) { t.resources.failBlock = true; }, 6, kCodeNoMemory,
       " Status : Memory Allocation Error."},
      {"adapter 8", [](AspiTransportTest& t) { t.drive.SetAddress(DriveAddress::Target(8, 2, 0)); }, 6,
       kCodeInvalidHa,
       " Status : Invalid Ha."},
      {"CDB of 17 bytes", [](AspiTransportTest&) {}, 17, kCodeInvalidSrb, " Status : Invalid SRB."},
  };
  for (const auto& c : cases) {
    resources = TestResources{};
    // An earlier request that the drive answered with a unit attention.
    manager.outcome = {SS_ERR, 0x11, 0x02, Sense(6, 0x29, 0)};
    Inquiry(2);
    const size_t sent = manager.sent.size();
    c.arrange(*this);
    drive.SetBuffer(data, 36);
    uint8_t cdb[20] = {0x12};
    EXPECT_EQ(drive.ExecRequest(cdb, c.cdbLength, kCommandTimeout), c.code) << c.name;
    EXPECT_EQ(drive.GetErrorText(), c.text) << c.name;
    EXPECT_EQ(manager.sent.size(), sent) << c.name;
    EXPECT_FALSE(drive.UnitAttentionReported()) << c.name;
    EXPECT_EQ(drive.SenseKey(), 0) << c.name << ": no stale sense";
    EXPECT_EQ(drive.HaStatus(), 0x11) << c.name;
    EXPECT_EQ(drive.TargetStatus(), 0x02) << c.name;
    EXPECT_TRUE(resources.lastEvent.expired()) << c.name << ": the event is released";
    EXPECT_FALSE(transport.TargetBusy(drive.Address().hostAdapter, 2)) << c.name;
  }
  const size_t sent = manager.sent.size();
  drive.SetAddress(DriveAddress::Target(0, 8, 0));
  uint8_t cdb[6] = {0x12};
  EXPECT_EQ(drive.ExecRequest(cdb, 6, kCommandTimeout), kCodeNoDevice);
  EXPECT_EQ(manager.sent.size(), sent);
}

TEST_F(AspiTransportTest, AdapterInquiryReadsIdentifierAndWaitsAtMostTenSeconds) {
  struct Case {
    uint8_t status;
    std::string name;  // as the manager writes it into the 16 bytes
    uint8_t expectedStatus;
    std::string expectedName;
  };
  const Case cases[] = {
      {SS_COMP, "scsi_debug", 1, "scsi_debug"},
      {SS_COMP, "0123456789ABCDEF", 1, "0123456789ABCDEF"},  // no zero byte: 16 characters
      {SS_COMP, std::string("ab\0cd", 5), 1, "ab"},
      {SS_INVALID_HA, "", SS_INVALID_HA, "unchanged"},
      {SS_PENDING, "", 0, "unchanged"},
  };
  clock.step = 1;
  for (const auto& c : cases) {
    feedback.events.clear();
    manager.inquiryStatus = c.status;
    manager.inquiryName = c.name;
    HostAdapterIdentity identity{3, "unchanged"};
    EXPECT_EQ(transport.InquireHostAdapter(1, identity), c.expectedStatus);
    EXPECT_EQ(identity.identifier, c.expectedName);
    EXPECT_EQ(identity.scsiId, c.expectedStatus == 1 ? 7 : 3);
    EXPECT_EQ(Pumps(), c.status == SS_PENDING ? 10u : 1u);
    const SRB_HAInquiry& sent = manager.inquiries.back();
    EXPECT_EQ(sent.SRB_Cmd, SC_HA_INQUIRY);
    EXPECT_EQ(sent.SRB_HaId, 1);
    EXPECT_EQ(sent.SRB_Flags, 0);
  }
}

TEST_F(AspiTransportTest, TraceNamesAddressCommandAndOutcome) {
  TraceFile trace;
  ASSERT_TRUE(trace.Trace()) << trace.Error();
  AspiTransport traced(manager, feedback, clock, resources, trace.Trace());
  CScsiDrive tracedDrive(traced);
  tracedDrive.SetAddress(DriveAddress::Target(0, 2, 0));
  tracedDrive.SetBuffer(data, 36);
  uint8_t cdb[6] = {0x12, 0, 0, 0, 36, 0};

  manager.outcome = {SS_COMP, 0, 0, {}};
  tracedDrive.ExecRequest(cdb, 6, 10);
  manager.outcome = {SS_ERR, 0, 2, Sense(5, 0x24, 0)};
  tracedDrive.ExecRequest(cdb, 6, 10);
  manager.outcome = {SS_ERR, 0x11, 0, {}};
  tracedDrive.ExecRequest(cdb, 6, 10);
  resources.failBlock = true;
  tracedDrive.ExecRequest(cdb, 6, 10);
  resources.failBlock = false;
  manager.atOnce = false;
  clock.step = 1;
  tracedDrive.ExecRequest(cdb, 6, 10);

  EXPECT_EQ(trace.Lines(), (std::vector<std::string>{
                       "0:2:0 12 00 00 00 24 00 | len=36 in | status=00 | INQUIRY",
                       "0:2:0 12 00 00 00 24 00 | len=36 in | status=02 sense=05/24/00 | INQUIRY",
                       "0:2:0 12 00 00 00 24 00 | len=36 in | status=00 ha=11 | INQUIRY",
                       "0:2:0 12 00 00 00 24 00 | len=36 in | refused code=FE | INQUIRY",
                       "0:2:0 12 00 00 00 24 00 | len=36 in | code=00 status=00 | INQUIRY",
                   }));
}

TEST_F(AspiTransportTest, TraceShowsTheRequestAsSentWhateverAHandlerChangesMeanwhile) {
  TraceFile trace;
  AspiTransport traced(manager, feedback, clock, resources, trace.Trace());
  CScsiDrive tracedDrive(traced);
  tracedDrive.SetAddress(DriveAddress::Target(0, 2, 0));
  tracedDrive.SetBuffer(data, 36);
  uint8_t cdb[6] = {0x12, 0, 0, 0, 36, 0};
  manager.atOnce = false;
  feedback.onPump = [&] {
    tracedDrive.SetAddress(DriveAddress::Target(0, 5, 0));  // a handler readdresses the drive and reuses the template
    tracedDrive.SetBuffer(nullptr, 0);
    cdb[0] = 0x00;
    manager.Complete();
  };
  EXPECT_EQ(tracedDrive.ExecRequest(cdb, 6, 10), kCodeDone);
  EXPECT_EQ(trace.Lines(), std::vector<std::string>{"0:2:0 12 00 00 00 24 00 | len=36 in | status=00 | INQUIRY"});
}

}  // namespace
}  // namespace morv
