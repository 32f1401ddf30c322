// The error texts each program's transport composes after a failed request, its
// target-status table, and the "Aspi Error" box Morvantide4 shows for request codes
// without a text of their own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/testing/recording_feedback.h"
#include "scsi/message_lookup.h"
#include "scsi/testing/fake_transport.h"
#include "transport/aspi_error_text.h"
#include "transport/pass_through_error_text.h"

namespace morv {
namespace {

struct Bench {
  /// A fake transport of `kind` that composes in that program's words.
  explicit Bench(ProgramKind kind) : transport(kind) {
    if (kind == ProgramKind::NT)
      transport.compose = PassThroughErrorText;
    else
      transport.compose = AspiErrorText;
  }
  FakeTransport transport;
  CScsiDrive drive{transport};
};

/// A request's outcome with the given status bytes and sense.
RequestOutcome Outcome(uint8_t code, uint8_t haStatus, uint8_t targetStatus, uint8_t key, uint8_t asc, uint8_t ascq,
                       uint8_t byte19 = 0) {
  RequestOutcome outcome;
  outcome.code = code;
  outcome.carried = true;
  outcome.haStatus = haStatus;
  outcome.targetStatus = targetStatus;
  outcome.sense[2] = key;
  outcome.sense[12] = asc;
  outcome.sense[13] = ascq;
  outcome.sense[19] = byte19;
  return outcome;
}

struct Case4 {
  const char* commandName;
  uint8_t code;
  uint8_t haStatus;
  uint8_t targetStatus;
  uint8_t senseKey, asc, ascq;
  std::string text;
  std::string box;  ///< the "Aspi Error" box, if one is shown
};

TEST(ComposeErrorTextTest, Morvantide4ComposesEveryCompletionCode) {
  const std::vector<Case4> cases = {
      {"TestUnitReadyVU", 0x04, 0x00, 0x02, 2, 0x3A, 0x00, "TestUnitReadyVU Status:Check Condition. 3A-00 (NOT READY)", ""},
      {"WriteBuffer", 0x04, 0x00, 0x02, 6, 0x29, 0x00, "WriteBuffer Status:Check Condition. 29-00 (UNIT ATTENTION)", ""},
      {"", 0x04, 0x00, 0x02, 0, 0x00, 0x00, " Status:Check Condition. 00-00 (NO SENSE)", ""},
      {"", 0x04, 0x00, 0x02, 5, 0x24, 0x90, " Status:Check Condition. 24-90 (ILLIGAL REQUEST)", ""},
      {"", 0x04, 0x11, 0x00, 0, 0, 0, " Status:Selection timeout.", ""},
      {"", 0x04, 0x11, 0x02, 2, 0x3A, 0x00, " Status:Selection timeout.", ""},
      {"", 0x04, 0x20, 0x00, 0, 0, 0, " Status:Unknown Ha status:20", ""},
      {"", 0x04, 0x00, 0x04, 0, 0, 0, " Status:Unknown Target status:04", ""},
      {"", 0x04, 0x00, 0x08, 0, 0, 0, " Status:Target Busy.", ""},
      {"", 0x04, 0x00, 0x18, 0, 0, 0, " Status:Request Conflict.", ""},
      {"", 0x04, 0x00, 0xA0, 0, 0, 0, " Status:Unknown Target status:A0", ""},
      {"", 0x04, 0x00, 0x00, 0, 0, 0, " Status:Scsi Error.", ""},
      {"", 0x00, 0, 0, 0, 0, 0, " Status : Aspi Timeout Error.", ""},
      {"Inquiry", 0x01, 0, 0, 0, 0, 0, "Inquiry Status :", ""},
      {"", 0x02, 0, 0, 0, 0, 0, " Status : Aborted.", ""},
      {"", 0x03, 0, 0, 0, 0, 0, " Status : Failed Abort.", ""},
      {"", 0x81, 0, 0, 0, 0, 0, " Status : Invalid Ha.", ""},
      {"", 0x82, 0, 0, 0, 0, 0, " Status : No Device.", ""},
      {"", 0xE0, 0, 0, 0, 0, 0, " Status : Invalid SRB.", ""},
      {"", 0xE4, 0, 0, 0, 0, 0, " Status : Faild Initailize.", ""},
      {"", 0xE5, 0, 0, 0, 0, 0, " Status : Aspi is busy.", ""},
      {"", 0xFD, 0, 0, 0, 0, 0, " Status : This target is executing now.", ""},
      {"", 0xFE, 0, 0, 0, 0, 0, " Status : Memory Allocation Error.", ""},
      {"", 0xFF, 0, 0, 0, 0, 0, " Status : Data Compare Error.", ""},
      {"", 0x80, 0, 0, 0, 0, 0, " Status : ASPI Error", "Aspi Error : Timeout."},
      {"Inquiry", 0xE6, 0, 0, 0, 0, 0, "Inquiry Status : ASPI Error", "Aspi Error : Buffer size is too big."},
      {"", 0x05, 0x11, 0x02, 0, 0, 0, " Status : ASPI Error", "Aspi Error : Timeout."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "code " << std::hex << int(c.code) << " ha " << int(c.haStatus) << " target "
                                    << int(c.targetStatus));
    EXPECT_EQ(AspiErrorText(Outcome(c.code, c.haStatus, c.targetStatus, c.senseKey, c.asc, c.ascq), c.commandName),
              c.text);
    // A code without words of its own is shown in the "Aspi Error" box by the caller.
    RecordingFeedback feedback;
    if (!AspiCodeHasText(c.code)) ShowAspiError(c.code, feedback);
    std::vector<std::string> expectedEvents;
    if (!c.box.empty()) expectedEvents = {"beep 00000030", "box 00000030 " + c.box};
    EXPECT_EQ(feedback.events, expectedEvents);
  }
}

struct CaseNT {
  const char* commandName;
  uint8_t targetStatus;
  uint8_t asc, ascq, byte19;
  std::string text;
};

TEST(ComposeErrorTextTest, MorvantideNTComposesFromTheTargetStatus) {
  const std::vector<CaseNT> cases = {
      {"TestUnitReadyVU", 0x02, 0x3A, 0x00, 0x00, "TestUnitReadyVU 3A-00 (00)"},
      {"WriteBuffer", 0x02, 0x24, 0x90, 0xA5, "WriteBuffer 24-90 (A5)"},
      {"", 0x02, 0xFF, 0x0F, 0xFF, " FF-0F (FF)"},
      {"TestUnitReadyVU", 0x08, 0, 0, 0, "TestUnitReadyVUTarget Busy."},
      {"", 0x04, 0, 0, 0, "Condition Met."},
      {"", 0x18, 0, 0, 0, "Reservation Conflict."},
      {"Inquiry", 0x01, 0, 0, 0, "InquiryUnknown Target status:01"},
      {"", 0xFF, 0, 0, 0, "Unknown Target status:FF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "target " << std::hex << int(c.targetStatus));
    EXPECT_EQ(PassThroughErrorText(Outcome(kCodeError, 0, c.targetStatus, 0x02, c.asc, c.ascq, c.byte19),
                                   c.commandName),
              c.text);
  }
}

TEST(ComposeErrorTextTest, CommandNameOpensEveryLaterFailureUntilACallerChangesIt) {
  for (ProgramKind kind : {ProgramKind::NT, ProgramKind::Four}) {
    SCOPED_TRACE(kind == ProgramKind::NT ? "NT" : "Four");
    Bench bench(kind);
    bench.drive.SetCommandName("TestUnitReadyVU");
    bench.transport.replies = {FakeTransport::CheckCondition(2, 0x3A, 0), {}, FakeTransport::CheckCondition(5, 0x24, 0)};
    uint8_t block[16] = {};
    bench.drive.SetBuffer(block, sizeof block);
    EXPECT_EQ(bench.drive.TestUnitReady(), kCodeError);
    EXPECT_EQ(bench.drive.GetErrorText().rfind("TestUnitReadyVU ", 0), 0u) << bench.drive.GetErrorText();
    EXPECT_EQ(bench.drive.Inquiry(16), kCodeDone);
    EXPECT_EQ(bench.drive.WriteBuffer(4, 0, 0, sizeof block), kCodeError);
    EXPECT_EQ(bench.drive.GetErrorText().rfind("TestUnitReadyVU ", 0), 0u) << bench.drive.GetErrorText();
    EXPECT_NE(bench.drive.GetErrorText().find("24-00"), std::string::npos) << bench.drive.GetErrorText();
  }
}

TEST(ComposeErrorTextTest, Morvantide4KeepsTheLastFailureAfterASuccess) {
  Bench bench(ProgramKind::Four);
  bench.transport.replies = {FakeTransport::CheckCondition(2, 0x3A, 0), {}};
  EXPECT_EQ(bench.drive.TestUnitReady(), kCodeError);
  const std::string failure = bench.drive.GetErrorText();
  EXPECT_EQ(failure, " Status:Check Condition. 3A-00 (NOT READY)");
  EXPECT_EQ(bench.drive.TestUnitReady(), kCodeDone);
  EXPECT_EQ(bench.drive.GetErrorText(), failure);
}

TEST(TargetStatusTablesTest, EachProgramNamesTheStatusBytesItsOwnWay) {
  ASSERT_EQ(kTargetStatusTableNT.size(), 9u);
  ASSERT_EQ(kTargetStatusTable4.size(), 4u);
  EXPECT_EQ(kTargetStatusTableNT.back().code, 0x00);
  EXPECT_EQ(kTargetStatusTable4.back().code, 0x00);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {TargetStatusText(0x02, kTargetStatusTableNT), "Check Condition."},
      {TargetStatusText(0x02, kTargetStatusTable4), "Check Condition."},
      {TargetStatusText(0x04, kTargetStatusTableNT), "Condition Met."},
      {TargetStatusText(0x04, kTargetStatusTable4), "Unknown Target status:04"},
      {TargetStatusText(0x18, kTargetStatusTableNT), "Reservation Conflict."},
      {TargetStatusText(0x18, kTargetStatusTable4), "Request Conflict."},
      {TargetStatusText(0x28, kTargetStatusTableNT), "Queue Full."},
      {TargetStatusText(0x0A, kTargetStatusTableNT), "Unknown Target status:0A"},
      {TargetStatusText(0x00, kTargetStatusTable4), "Unknown Target status:00"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(text, expected);
}

TEST(ShowAspiErrorTest, BeepsAndShowsTheRequestStatusText) {
  const std::vector<std::pair<uint8_t, std::string>> cases = {
      {0x02, "Aspi Error : Aborted."},          {0xE4, "Aspi Error : Faild Initailize."},
      {0xE5, "Aspi Error : ASPI is busy."},     {0xE6, "Aspi Error : Buffer size is too big."},
      {0x00, "Aspi Error : Timeout."},          {0x7F, "Aspi Error : Timeout."},
  };
  for (const auto& [code, text] : cases) {
    RecordingFeedback feedback;
    ShowAspiError(code, feedback);
    EXPECT_EQ(feedback.events, (std::vector<std::string>{"beep 00000030", "box 00000030 " + text}));
  }
}

}  // namespace
}  // namespace morv
