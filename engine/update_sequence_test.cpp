#include "engine/update_sequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/sha256.h"
#include "engine/testing/region_combinations.h"
#include "engine/testing/update_fakes.h"
#include "engine/testing/update_rig.h"
#include "scsi/testing/fake_transport.h"
#include "framework/testing/recording_feedback.h"

namespace morv {
namespace {

using testing::RegionCombinations;
using testing::RegionName;
using testing::UpdateRig;
using Events = std::vector<std::string>;
using Cdb = std::vector<uint8_t>;

constexpr ProgramKind kKinds[] = {ProgramKind::NT, ProgramKind::Four};
constexpr RegionSelection kAllRegions{true, true, true};
const Cdb kTestUnitReady{0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const Cdb kTestUnitReadyVU{0x00, 0x00, 0x00, 0x00, 0x00, 0xC0};
const std::string kCustomizingCode =
    "Error!\n   The Drive Can not up-date,\n    because the customizing code is not corresponding.";

const char* KindName(ProgramKind kind) { return kind == ProgramKind::NT ? "MorvantideNT" : "Morvantide4"; }

std::vector<Cdb> Repeat(const Cdb& cdb, size_t times) { return std::vector<Cdb>(times, cdb); }

TEST(UpdateSequence, EveryRegionCombinationSendsItsPiecesWithTheImageBytes) {
  for (ProgramKind kind : kKinds) {
    for (const auto& c : RegionCombinations()) {
      SCOPED_TRACE(std::string(KindName(kind)) + " " + RegionName(c.regions));
      UpdateRig rig(kind, c.regions);
      EXPECT_EQ(rig.Run(), UpdateOutcome::Completed);

      const auto cdbs = rig.Cdbs();
      ASSERT_GE(cdbs.size(), 2u);
      EXPECT_EQ(cdbs[0], kTestUnitReady);
      EXPECT_EQ(cdbs[1], kTestUnitReadyVU);
      EXPECT_EQ(testing::DescribeWrites(rig.Writes()), c.pieces);

      // Last, the drive is asked for its new version.
      EXPECT_EQ(cdbs.back(), (Cdb{0x12, 0, 0, 0, 0xFF, 0}));
      const uint8_t* transferBuffer = nullptr;
      for (size_t i = 2; i + 1 < cdbs.size(); ++i) {
        const auto& sent = rig.transport.sent[i];
        EXPECT_EQ(sent.timeout, kCommandTimeout);
        const uint32_t length = testing::Field24(&sent.cdb[6]);
        EXPECT_EQ(sent.dataLength, length);
        const uint8_t* from = rig.package.image.data() + testing::ImageOffsetOfWrite(sent.cdb);
        EXPECT_EQ(rig.data[i], std::vector<uint8_t>(from, from + length)) << "piece " << i - 2;
        // Always the one transfer buffer, never a pointer into the image.
        if (!transferBuffer) transferBuffer = sent.data;
        EXPECT_EQ(sent.data, transferBuffer);
      }
      EXPECT_EQ(rig.feedback.statusLine, kUpdateCompleteText);
      EXPECT_EQ(rig.clock.sleeps, (std::vector<uint32_t>{10, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100,
                                                         100, 100, 100, 100, 100, 100, 100, 100, 100}));
      EXPECT_TRUE(rig.lockedDuringCommands);
      EXPECT_TRUE(rig.Restored());
    }
  }
}

TEST(UpdateSequence, CursorAndMessagesOfACompleteUpdate) {
  const Events prepare{"cursor begin", "status ", "cursor restore", "beep 00000020",
                       "box 00000004 Firmware Update Execute ?", "status Firmware Update Executing ",
                       "cursor restore"};
  // The settling wait, then the busy cursor again while the drive is asked for its
  // new version, which the history line holds before the completion box shows.
  const Events complete{"cursor restore", "cursor restore", "beep 00000020", "status Firmware Update Complete",
                        "box 00000000 Firmware Update Complete", "cursor end"};
  struct Case {
    RegionSelection regions;
    Events afterWrites;  // between the vendor command and the settling wait
  } cases[] = {
      {{true, false, false}, Events(4, "cursor restore")},
      {{false, false, true}, {}},  // region 3 sends its two pieces with nothing in between
      {{true, false, true}, Events(4, "cursor restore")},
      {{false, false, false}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(RegionName(c.regions));
    UpdateRig rig(ProgramKind::NT, c.regions);
    rig.Run();
    Events expected = prepare;
    expected.insert(expected.end(), c.afterWrites.begin(), c.afterWrites.end());
    expected.insert(expected.end(), complete.begin(), complete.end());
    EXPECT_EQ(rig.feedback.events, expected);
  }
}

FakeTransport::Reply RefusedBeforeTheDevice() {
  FakeTransport::Reply reply;
  reply.code = kCodeNoDevice;
  reply.reachedDevice = false;
  return reply;
}

TEST(UpdateSequence, UnitAttentionIsClearedBeforeTheQuestion) {
  using R = FakeTransport::Reply;
  struct Case {
    const char* name;
    ProgramKind kind;
    std::vector<R> replies;
    size_t testUnitReadies;
  } cases[] = {
      // MorvantideNT's Execute6 repeats on UNIT ATTENTION itself; Morvantide4's loop does.
      {"power on, NT", ProgramKind::NT, {FakeTransport::CheckCondition(6, 0x29, 0)}, 2},
      {"power on, 4", ProgramKind::Four, {FakeTransport::CheckCondition(6, 0x29, 0)}, 2},
      {"ready change under NOT READY, NT", ProgramKind::NT, {FakeTransport::CheckCondition(2, 0x28, 0)}, 2},
      {"ready change twice, 4", ProgramKind::Four,
       {FakeTransport::CheckCondition(6, 0x28, 0), FakeTransport::CheckCondition(6, 0x29, 0)}, 3},
      {"not ready, no attention", ProgramKind::Four, {FakeTransport::CheckCondition(2, 0x04, 0x01)}, 1},
      {"refused before the device", ProgramKind::Four, {RefusedBeforeTheDevice()}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateRig rig(c.kind, {true, false, false});
    rig.transport.replies.assign(c.replies.begin(), c.replies.end());
    rig.feedback.answers = {IDNO};
    EXPECT_EQ(rig.Run(), UpdateOutcome::Declined);
    EXPECT_EQ(rig.Cdbs(), Repeat(kTestUnitReady, c.testUnitReadies));
    // The TEST UNIT READY outcome is never reported: the question is the only box.
    EXPECT_EQ(rig.BoxesAndStatus(),
              (Events{"status ", "beep 00000020", "box 00000004 Firmware Update Execute ?"}));
    EXPECT_EQ(rig.feedback.statusLine, "");
    EXPECT_TRUE(rig.Restored());
  }
}

TEST(UpdateSequence, UnitAttentionThatNeverClearsEndsTheUpdateBeforeTheQuestion) {
  struct Case {
    size_t attentions;  // consecutive TEST UNIT READY answers with ASC 28h
    size_t testUnitReadies;
    UpdateOutcome outcome;
  } cases[] = {
      {kMaxTestUnitReadyRounds - 1, kMaxTestUnitReadyRounds, UpdateOutcome::Completed},
      {kMaxTestUnitReadyRounds, kMaxTestUnitReadyRounds, UpdateOutcome::DriveNotReady},
      {kMaxTestUnitReadyRounds + 5, kMaxTestUnitReadyRounds, UpdateOutcome::DriveNotReady},
  };
  for (ProgramKind kind : kKinds) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(KindName(kind)) + " " + std::to_string(c.attentions));
      UpdateRig rig(kind, {true, false, false});
      rig.drive.SetCommandName("Inquiry");
      // Under NOT READY, so that MorvantideNT's own repeat on UNIT ATTENTION stays out of it.
      rig.transport.replies.assign(c.attentions, FakeTransport::CheckCondition(2, 0x28, 0));
      EXPECT_EQ(rig.Run(), c.outcome);
      const auto cdbs = rig.Cdbs();
      EXPECT_EQ(std::vector<Cdb>(cdbs.begin(), cdbs.begin() + c.testUnitReadies),
                Repeat(kTestUnitReady, c.testUnitReadies));
      if (c.outcome == UpdateOutcome::DriveNotReady) {
        EXPECT_EQ(cdbs.size(), c.testUnitReadies);
        // The last TEST UNIT READY's error text, opened by the name set before the update.
        EXPECT_EQ(rig.drive.GetErrorText().rfind("Inquiry ", 0), 0u);
        EXPECT_EQ(rig.BoxesAndStatus(),
                  (Events{"status ", "beep FFFFFFFF", "box 00000000 " + rig.drive.GetErrorText()}));
      }
      EXPECT_TRUE(rig.Restored());
    }
  }
}

TEST(UpdateSequence, NoAtTheQuestionSendsNothingMoreAndSaysNothing) {
  for (ProgramKind kind : kKinds) {
    SCOPED_TRACE(KindName(kind));
    UpdateRig rig(kind);
    rig.feedback.answers = {IDNO};
    EXPECT_EQ(rig.Run(), UpdateOutcome::Declined);
    EXPECT_EQ(rig.Cdbs(), Repeat(kTestUnitReady, 1));
    EXPECT_EQ(rig.feedback.events, (Events{"cursor begin", "status ", "cursor restore", "beep 00000020",
                                           "box 00000004 Firmware Update Execute ?", "cursor end"}));
    EXPECT_EQ(rig.clock.sleeps, std::vector<uint32_t>{10});
    EXPECT_TRUE(rig.Restored());
  }
}

TEST(UpdateSequence, TheDriveIsClaimedBeforeItIsAddressedAndGivenUpOnEveryRoadOut) {
  for (ProgramKind kind : kKinds) {
    SCOPED_TRACE(KindName(kind));
    UpdateRig completed(kind);
    EXPECT_EQ(completed.Run(), UpdateOutcome::Completed);
    EXPECT_EQ(completed.selection.calls,
              (std::vector<std::string>{"running", "description", "claim", "address", "release", "stopped"}));
    UpdateRig declined(kind);
    declined.feedback.answers = {IDNO};
    EXPECT_EQ(declined.Run(), UpdateOutcome::Declined);
    EXPECT_EQ(declined.selection.calls,
              (std::vector<std::string>{"running", "description", "claim", "address", "release", "stopped"}));

    // Refused: the selection's text in a box after the beep, nothing sent, nothing to give up.
    UpdateRig refused(kind);
    refused.selection.claimRefusal = "held elsewhere";
    EXPECT_EQ(refused.Run(), UpdateOutcome::DriveRefused);
    EXPECT_TRUE(refused.transport.sent.empty());
    EXPECT_EQ(refused.feedback.EventsStartingWith("b"), (Events{"beep FFFFFFFF", "box 00000000 held elsewhere"}));
    EXPECT_EQ(refused.selection.calls, (std::vector<std::string>{"running", "description", "claim", "stopped"}));
    EXPECT_TRUE(refused.Restored());
  }
}

TEST(UpdateSequence, RefusedVendorCommandIsShownUnlessTheDiscIsMissingAndTheDownloadGoesOn) {
  struct Case {
    const char* name;
    uint8_t key, asc;
    bool shown;
  } cases[] = {
      {"medium not present", 2, 0x3A, false},
      {"illegal request", 5, 0x20, true},
      {"hardware error", 4, 0x44, true},
  };
  for (ProgramKind kind : kKinds) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(KindName(kind)) + " " + c.name);
      UpdateRig rig(kind, {false, false, true});
      rig.transport.replies = {FakeTransport::Reply{}, FakeTransport::CheckCondition(c.key, c.asc, 0)};
      EXPECT_EQ(rig.Run(), UpdateOutcome::Completed);
      EXPECT_EQ(testing::DescribeWrites(rig.Writes()), "30b *31");
      Events expected{"status ", "beep 00000020", "box 00000004 Firmware Update Execute ?",
                      "status Firmware Update Executing "};
      // The drive object's error text of the refusal, opened by the vendor command's name.
      const Events errorBox = rig.feedback.EventsStartingWith("box 00000000 TestUnitReadyVU ");
      ASSERT_EQ(errorBox.size(), c.shown ? 1u : 0u);
      if (c.shown) {
        expected.push_back("beep FFFFFFFF");
        expected.push_back(errorBox[0]);
      }
      for (const char* e : {"beep 00000020", "status Firmware Update Complete", "box 00000000 Firmware Update Complete"})
        expected.push_back(e);
      EXPECT_EQ(rig.BoxesAndStatus(), expected);
    }
  }
}

TEST(UpdateSequence, RefusedWriteEndsTheDownloadAtThatPiece) {
  struct Case {
    const char* name;
    RegionSelection regions;
    size_t goodWrites;  // writes that pass before the refused one
    std::string sent;
  } cases[] = {
      {"first piece", kAllRegions, 0, "0"},
      {"in region 2", kAllRegions, 10, testing::BlockRun(0, 9) + "10"},
      {"last piece of region 2", {false, true, true}, 26, testing::BlockRun(4, 29) + "30"},
      {"saving piece", {true, false, false}, 3, "0 1 2 *3"},
  };
  for (ProgramKind kind : kKinds) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(KindName(kind)) + " " + c.name);
      UpdateRig rig(kind, c.regions);
      rig.transport.replies.assign(2 + c.goodWrites, FakeTransport::Reply{});
      rig.transport.replies.push_back(FakeTransport::CheckCondition(5, 0x24, 0x90));
      EXPECT_EQ(rig.Run(), UpdateOutcome::WriteRefused);
      EXPECT_EQ(testing::DescribeWrites(rig.Writes()), c.sent);
      const Events tail(rig.feedback.events.end() - 3, rig.feedback.events.end());
      EXPECT_EQ(tail, (Events{"beep FFFFFFFF", "box 00000000 write failure: " + rig.drive.GetErrorText(), "cursor end"}));
      EXPECT_EQ(rig.drive.GetErrorText().rfind("TestUnitReadyVU", 0), 0u);
      EXPECT_EQ(rig.feedback.statusLine, kUpdateExecutingText);
      EXPECT_EQ(rig.clock.sleeps, std::vector<uint32_t>{10});  // no settling wait
      EXPECT_TRUE(rig.Restored());
    }
  }
}

TEST(UpdateSequence, PackageFailuresSendNothing) {
  struct Case {
    const char* name;
    std::function<void(UpdateRig&)> spoil;
    std::string box;
  } cases[] = {
      {"no file chosen", [](UpdateRig& r) { r.parameterFile.clear(); }, "Set File Name"},
      {"parameter file missing", [](UpdateRig& r) { r.parameterFile = r.package.dir.Path("NONE.OUC"); },
       "File Read Error!(0)\nNo such file or directory"},
      {"image missing", [](UpdateRig& r) { std::remove(r.package.dir.Path("PKG.bin").c_str()); },
       "File Read Error!(11)\nNo such file or directory"},
      {"wrong version",
       [](UpdateRig& r) { r.package.dir.Write("PKG.OUC", "MorvantideParameterFile Ver.3.00\nMX-R4410\n"); },
       "Parameter file version unmatch"},
      {"other drive", [](UpdateRig& r) { r.selection.description = "E: OTHERCO CDROM-2000"; }, "Select 'MX-R4410'"},
      {"no device selected", [](UpdateRig& r) { r.selection.description.reset(); }, "Select 'MX-R4410'"},
      {"image changed", [](UpdateRig& r) { r.package.image[77] ^= 1; r.package.dir.Write("PKG.bin", r.package.image); },
       "File CheckSum Error "},
  };
  for (ProgramKind kind : kKinds) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(KindName(kind)) + " " + c.name);
      UpdateRig rig(kind);
      c.spoil(rig);
      EXPECT_EQ(rig.Run(), UpdateOutcome::PackageRejected);
      EXPECT_TRUE(rig.transport.sent.empty());
      EXPECT_EQ(rig.feedback.EventsStartingWith("box"), Events{"box 00000000 " + c.box});
      EXPECT_EQ(rig.selection.calls, (std::vector<std::string>{"running", "description", "stopped"}));
      EXPECT_TRUE(rig.clock.sleeps.empty());
      EXPECT_TRUE(rig.Restored());
    }
  }
}

TEST(UpdateSequence, AbortFlagIsClearedAtTheStartAndTestedOnceBeforeTheDrive) {
  struct Case {
    const char* name;
    bool setBeforeStart;
    bool setDuringPause;
    UpdateOutcome outcome;
  } cases[] = {
      {"left over from before", true, false, UpdateOutcome::Completed},
      {"set before the drive is addressed", false, true, UpdateOutcome::AbortedByUser},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateRig rig(ProgramKind::Four, {true, false, false});
    rig.controls.abortRequested = c.setBeforeStart;
    if (c.setDuringPause) rig.clock.onSleep = [&rig](uint32_t) { rig.controls.abortRequested = true; };
    EXPECT_EQ(rig.Run(), c.outcome);
    if (c.outcome == UpdateOutcome::AbortedByUser) {
      EXPECT_TRUE(rig.transport.sent.empty());
      EXPECT_EQ(rig.BoxesAndStatus(),
                (Events{"status ", "beep FFFFFFFF", "status Abort By User", "box 00000000 Abort By User"}));
    }
    EXPECT_TRUE(rig.Restored());
  }
}

TEST(UpdateSequence, FailedAllocationIsReportedAndTheDialogRestored) {
  UpdateRig rig(ProgramKind::Four);
  rig.transport.onRequest = [](const TransportRequest& request) {
    if (request.dataLength == kBlockSize) throw std::bad_alloc();
  };
  EXPECT_EQ(rig.Run(), UpdateOutcome::NoMemory);
  const Events tail(rig.feedback.events.end() - 3, rig.feedback.events.end());
  EXPECT_EQ(tail, (Events{"beep 00000010", "box 00000010 Insufficient memory to perform operation.", "cursor end"}));
  EXPECT_EQ(rig.Writes().size(), 1u);
  EXPECT_TRUE(rig.Restored());
}

TEST(UpdateSequence, LaterErrorTextsOpenWithTheVendorCommandName) {
  UpdateRig rig(ProgramKind::NT, {true, false, false});
  rig.drive.SetCommandName("Inquiry");
  ASSERT_EQ(rig.Run(), UpdateOutcome::Completed);
  rig.transport.replies = {FakeTransport::CheckCondition(2, 0x3A, 0)};
  rig.drive.TestUnitReady();
  EXPECT_EQ(rig.drive.GetErrorText().rfind("TestUnitReadyVU ", 0), 0u) << rig.drive.GetErrorText();
}

TEST(UpdateSequence, SettlingWaitRunsTwoSecondsByTheTickCountAcrossItsWrap) {
  struct Case {
    const char* name;
    uint32_t start;
    std::optional<uint32_t> advancePerSleep;
    size_t settleSleeps;
  } cases[] = {
      {"exact steps", 1000, std::nullopt, 20},
      {"counter wraps during the wait", 0xFFFFFF00u, std::nullopt, 20},
      {"sleeps that run long", 0, 150, 14},
      {"sleeps that run short", 0xFFFFFFF0u, 30, 67},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UpdateRig rig(ProgramKind::NT, {false, false, false});
    rig.clock.now = c.start;
    rig.clock.advancePerSleep = c.advancePerSleep;
    rig.feedback.recordPumps = true;
    ASSERT_EQ(rig.Run(), UpdateOutcome::Completed);
    EXPECT_EQ(rig.clock.sleeps.size(), 1 + c.settleSleeps);
    EXPECT_EQ(rig.clock.sleeps.front(), kPrepareSleep);
    EXPECT_TRUE(rig.feedback.EventsStartingWith("pump").empty());
  }
}

// After the completion box the drive is asked again and its new version shown; a drive
// that does not answer changes nothing and shows nothing, for the flash has succeeded.
TEST(UpdateSequence, TheNewVersionIsAskedForOnlyAfterACompletedUpdate) {
  // After the settling wait and before the completion box, with the busy cursor.
  for (ProgramKind kind : kKinds) {
    for (const bool answers : {true, false}) {
      SCOPED_TRACE(std::string(KindName(kind)) + (answers ? " answers" : " does not answer"));
      UpdateRig rig(kind, {true, false, false});
      if (!answers) rig.transport.inquiryReply = FakeTransport::CheckCondition(0x02, 0x3A, 0x00);
      EXPECT_EQ(rig.Run(), UpdateOutcome::Completed);
      EXPECT_EQ(rig.Inquiries(), 1u);
      EXPECT_EQ(rig.selection.firmwareVersion, answers ? "2.00" : "1.10");
      const Events tail(rig.feedback.events.end() - 5, rig.feedback.events.end());
      EXPECT_EQ(tail, (Events{"cursor restore", "beep 00000020", "status Firmware Update Complete",
                              "box 00000000 Firmware Update Complete", "cursor end"}));
      EXPECT_TRUE(rig.Restored());
    }
  }
  for (const UpdateOutcome outcome : {UpdateOutcome::Declined, UpdateOutcome::WriteRefused}) {
    UpdateRig rig(ProgramKind::NT);
    if (outcome == UpdateOutcome::Declined) rig.feedback.answers = {IDNO};
    else rig.transport.replies = {FakeTransport::Reply{}, FakeTransport::Reply{}, FakeTransport::CheckCondition(5, 0x24, 0)};
    EXPECT_EQ(rig.Run(), outcome);
    EXPECT_EQ(rig.Inquiries(), 0u);
  }
}

// One record for every update that reached the question, none for one that did not.
TEST(UpdateSequence, EveryUpdateThatReachedTheQuestionIsRecorded) {
  struct Case {
    const char* name;
    std::function<void(UpdateRig&)> arrange;
    bool recorded;
    bool confirmed;
    std::string outcome;  // "*" stands for the write failure text shown
    std::optional<std::string> after;
    std::string failedPiece;  // and the failed command WRITE BUFFER; empty: none failed
  } cases[] = {
      {"completed", [](UpdateRig&) {}, true, true, "complete", "2.00", ""},
      {"completed, no answer after",
       [](UpdateRig& r) { r.transport.inquiryReply = FakeTransport::CheckCondition(0x02, 0x3A, 0x00); }, true, true,
       "complete", std::nullopt, ""},
      {"No at the question", [](UpdateRig& r) { r.feedback.answers = {IDNO}; }, true, false, "declined", std::nullopt,
       ""},
      {"first piece refused",
       [](UpdateRig& r) {
         r.transport.replies = {FakeTransport::Reply{}, FakeTransport::Reply{}, FakeTransport::CheckCondition(5, 0x24, 0x90)};
       },
       true, true, "*", std::nullopt, "1/6 buffer 0 offset 0 length 16384"},
      {"fifth piece refused (second half of block 30)",
       [](UpdateRig& r) {
         r.transport.replies = {FakeTransport::Reply{}, FakeTransport::Reply{}, {}, {}, {}, {},
                                FakeTransport::CheckCondition(5, 0x24, 0)};
       },
       true, true, "*", std::nullopt, "5/6 buffer 30 offset 8192 length 8192"},
      {"package rejected", [](UpdateRig& r) { r.parameterFile = "missing.OUC"; }, false, false, "", {}, ""},
      {"no memory during the download",
       [](UpdateRig& r) {
         r.transport.onRequest = [](const TransportRequest& request) {
           if (request.dataLength == kBlockSize) throw std::bad_alloc();
         };
       },
       true, true, "Insufficient memory to perform operation.", std::nullopt, ""},
  };
  for (ProgramKind kind : kKinds) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(KindName(kind)) + " " + c.name);
      UpdateRig rig(kind, {true, false, true});
      c.arrange(rig);
      // Written as soon as the outcome is known: before any box after the question,
      // which a lost display or a hung-up terminal may keep from ever closing.
      size_t boxesBeforeTheLine = 0;
      rig.history.onAppend = [&rig, &boxesBeforeTheLine] {
        boxesBeforeTheLine = rig.feedback.EventsStartingWith("box").size();
      };
      const auto before = std::chrono::system_clock::now();
      rig.Run();
      ASSERT_EQ(rig.history.records.size(), c.recorded ? 1u : 0u);
      if (!c.recorded) continue;
      EXPECT_EQ(boxesBeforeTheLine, 1u);  // the question
      const UpdateRecord& record = rig.history.records[0];
      EXPECT_GE(record.time, before);
      EXPECT_EQ(record.driveAddress, "F:");
      EXPECT_EQ(record.identification, "KESTREL MX-R4410");
      EXPECT_EQ(record.versionBefore, "1.10");
      EXPECT_EQ(record.parameterFile, rig.package.path);
      EXPECT_EQ(record.checksumField, std::to_string(ImageChecksum(rig.package.image)));
      EXPECT_EQ(record.regions, "1,3");
      EXPECT_EQ(record.confirmed, c.confirmed);
      EXPECT_EQ(record.outcome, c.outcome == "*" ? "write failure: " + rig.drive.GetErrorText() : c.outcome);
      EXPECT_EQ(record.versionAfter, c.after);
      // Which package went to which device, and where it failed.
      EXPECT_EQ(record.packagePath, std::filesystem::absolute(rig.package.path).lexically_normal().string());
      EXPECT_EQ(record.imageSha256, Sha256Hex(rig.package.image.data(), rig.package.image.size()));
      EXPECT_EQ(record.node, "/dev/sg5");
      EXPECT_EQ(record.scsiAddress, "1:0:4:0");
      EXPECT_EQ(record.failedCommand, c.failedPiece.empty() ? "" : "WRITE BUFFER");
      EXPECT_EQ(record.failedPiece, c.failedPiece);
    }
  }
}

// From the confirmation to the end of the download, and released before the closing
// box, so a box nobody answers does not keep the machine up.
TEST(UpdateSequence, KeepsTheMachineAwakeForTheDownloadOnly) {
  struct Case {
    const char* name;
    std::function<void(UpdateRig&)> arrange;
    UpdateOutcome outcome;
    bool releasedBeforeTheLastBox;
  } cases[] = {
      {"completed", [](UpdateRig&) {}, UpdateOutcome::Completed, true},
      {"vendor command refused, download goes on",
       [](UpdateRig& r) { r.transport.replies = {FakeTransport::Reply{}, FakeTransport::CheckCondition(5, 0x24, 0)}; },
       UpdateOutcome::Completed, true},
      {"refused piece",
       [](UpdateRig& r) {
         r.transport.replies = {FakeTransport::Reply{}, FakeTransport::Reply{}, FakeTransport::CheckCondition(5, 0x24, 0)};
       },
       UpdateOutcome::WriteRefused, true},
      {"no memory during the download",
       [](UpdateRig& r) {
         r.transport.onRequest = [&r](const TransportRequest& request) {
           r.awakeDuringCommands.push_back(r.power.held);
           if (request.dataLength == kBlockSize) throw std::bad_alloc();
         };
       },
       UpdateOutcome::NoMemory, false},
  };
  for (ProgramKind kind : kKinds) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(KindName(kind)) + " " + c.name);
      UpdateRig rig(kind);
      c.arrange(rig);
      size_t eventsAtRelease = 0;
      rig.power.onChange = [&] {
        if (!rig.power.held) eventsAtRelease = rig.feedback.events.size();
      };
      EXPECT_EQ(rig.Run(), c.outcome);
      // TEST UNIT READY before the question; every command after it with the machine held.
      ASSERT_GE(rig.awakeDuringCommands.size(), 3u);
      EXPECT_FALSE(rig.awakeDuringCommands[0]);
      EXPECT_EQ(std::vector<bool>(rig.awakeDuringCommands.begin() + 1, rig.awakeDuringCommands.end()),
                std::vector<bool>(rig.awakeDuringCommands.size() - 1, true));
      EXPECT_EQ(rig.power.holdsTaken, 1);
      EXPECT_FALSE(rig.power.held);
      if (c.releasedBeforeTheLastBox) {
        const auto lastBeep = std::find_if(rig.feedback.events.rbegin(), rig.feedback.events.rend(),
                                           [](const std::string& e) { return e.rfind("beep", 0) == 0; });
        EXPECT_EQ(eventsAtRelease, static_cast<size_t>(rig.feedback.events.rend() - lastBeep - 1));
      }
    }
  }
  UpdateRig declined(ProgramKind::NT);
  declined.feedback.answers = {IDNO};
  EXPECT_EQ(declined.Run(), UpdateOutcome::Declined);
  EXPECT_EQ(declined.power.holdsTaken, 0);
}

TEST(UpdateSequence, ALowBatteryIsRefusedBeforeTheDriveIsAddressed) {
  struct Case {
    const char* name;
    PowerSupply supply;
    const char* refusal;  // none: the update goes on
  } cases[] = {
      {"on battery below the minimum", {true, 24.9},
       "The computer is running on battery with 24 % left, too little to update a drive's firmware safely.\n"
       "Plug in the power supply, then press Update Start again."},
      {"on battery at the minimum", {true, 25}, nullptr},
      {"on battery, charge not known", {true, std::nullopt}, nullptr},
      {"on mains with a low battery charging", {false, 5}, nullptr},
  };
  for (ProgramKind kind : kKinds) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(KindName(kind)) + " " + c.name);
      UpdateRig rig(kind);
      rig.power.supply = c.supply;
      const UpdateOutcome outcome = rig.Run();
      EXPECT_EQ(rig.power.supplyReads, 1);
      EXPECT_TRUE(rig.Restored());
      if (!c.refusal) {
        EXPECT_EQ(outcome, UpdateOutcome::Completed);
        continue;
      }
      EXPECT_EQ(outcome, UpdateOutcome::BatteryLow);
      EXPECT_TRUE(rig.transport.sent.empty());
      EXPECT_EQ(rig.BoxesAndStatus(), (Events{"status ", "beep FFFFFFFF", std::string("box 00000000 ") + c.refusal}));
      EXPECT_EQ(rig.power.holdsTaken, 0);
      EXPECT_TRUE(rig.history.records.empty());
    }
  }
}

TEST(UpdateSequence, RegionsAreNamedForTheHistory) {
  EXPECT_EQ(RegionsText({true, true, true}), "1,2,3");
  EXPECT_EQ(RegionsText({false, true, false}), "2");
  EXPECT_EQ(RegionsText({true, false, true}), "1,3");
  EXPECT_EQ(RegionsText({false, false, false}), "none");
}

}  // namespace
}  // namespace morv
