// The update end to end: the main dialog on the scripted toolkit, each program's own
// transport and selection half over the emulated devices, the drive chosen in the
// selectors as an operator chooses it, and the devices' own record of every command
// they received, checked byte for byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "apps/testing/update_end_to_end_rig.h"
#include "engine/line_escape.h"
#include "engine/sha256.h"
#include "engine/update_history.h"
#include "platform/clock.h"
#include "scsi/scsi_drive.h"

namespace morv {
namespace {

using namespace testing;

template <typename ProgramRig>
class UpdateEndToEnd : public ::testing::Test {
 protected:
  using Run = EndToEnd<ProgramRig>;
};
using Programs = ::testing::Types<ProgramNTRig, Program4Rig>;
TYPED_TEST_SUITE(UpdateEndToEnd, Programs);

TYPED_TEST(UpdateEndToEnd, EveryRegionCombinationReachesTheDriveByteForByte) {
  for (const auto& c : testing::RegionCombinations()) {
    SCOPED_TRACE(RegionName(c.regions));
    typename TestFixture::Run run(c.regions);
    run.PressUpdateStart();
    ExpectDownload(run, c.pieces);
    EXPECT_EQ(run.Boxes(), (Strings{"Firmware Update Execute ?", "Firmware Update Complete"}));
    EXPECT_EQ(run.Beeps(), (std::vector<unsigned>{kQuestionSound, kQuestionSound}));
    EXPECT_EQ(run.status, "Firmware Update Complete");
    EXPECT_TRUE(run.restored);
    // What the drive saved: the selected regions of the image, nothing else.
    const auto& saved = run.program.Drive().Saved();
    for (int r = 0; r < 3; ++r) {
      const ImageRegion region = kImageRegions[r];
      const bool written = std::equal(run.image.data() + region.offset,
                                      run.image.data() + region.offset + region.length, saved.begin() + region.offset);
      EXPECT_EQ(written, c.regions[r]) << "region " << r + 1;
    }
  }
}

// A refused piece ends the download there: no further piece, no settling wait, no
// completion, and the status line keeps its text. A drive whose customizing code
// does not fit the firmware refuses with ASC 24h / ASCQ 90h, which Morvantide4 reports
// in its own words; MorvantideNT, and Morvantide4 for any other code, show the
// drive's error text, opened by the vendor command's name.
TYPED_TEST(UpdateEndToEnd, ARefusedWriteEndsTheDownloadThere) {
  using Run = typename TestFixture::Run;
  struct Case {
    const char* name;
    std::function<void(sim::MxR4410&)> refuse;
    std::string pieces;
    std::string ntShows, fourShows;
  } cases[] = {
      // Commands 1-4 after the press identify and prepare the drive; command 4 + 11 is
      // the write of block 10, in region 2.
      {"block 10 refused (24h/00h)",
       [](sim::MxR4410& d) { d.RefuseCommand(d.CommandCount() + 4 + 11, 0x05, 0x24, 0x00); },
       testing::BlockRun(0, 9) + "10", "TestUnitReadyVU 24-00 (00)",
       "TestUnitReadyVU Status:Check Condition. 24-00 (ILLIGAL REQUEST)"},
      {"customizing code (24h/90h)", [](sim::MxR4410& d) { d.RefuseCustomizingCode(); }, "0",
       "TestUnitReadyVU 24-90 (00)", kCustomizingCodeText},
      {"another qualifier (24h/91h)", [](sim::MxR4410& d) { d.RefuseOperation(kOpWriteBuffer, 0x05, 0x24, 0x91); },
       "0", "TestUnitReadyVU 24-91 (00)", "TestUnitReadyVU Status:Check Condition. 24-91 (ILLIGAL REQUEST)"},
      {"another code (26h/90h)", [](sim::MxR4410& d) { d.RefuseOperation(kOpWriteBuffer, 0x05, 0x26, 0x90); }, "0",
       "TestUnitReadyVU 26-90 (00)", "TestUnitReadyVU Status:Check Condition. 26-90 (ILLIGAL REQUEST)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Run run;
    run.beforePress = [&] { c.refuse(run.program.Drive()); };
    run.PressUpdateStart();
    ExpectDownload(run, c.pieces);
    const std::string errorText = run.dialog->m_drive.GetErrorText();
    EXPECT_EQ(errorText.rfind("TestUnitReadyVU ", 0), 0u) << errorText;
    EXPECT_EQ(run.Boxes(),
              (Strings{"Firmware Update Execute ?", TypeParam::kKind == ProgramKind::NT ? c.ntShows : c.fourShows}));
    EXPECT_EQ(run.Beeps(), (std::vector<unsigned>{kQuestionSound, kSimpleBeep}));
    EXPECT_EQ(run.status, "Firmware Update Executing ");
    EXPECT_EQ(run.steppingClock.sleeps, std::vector<uint32_t>{kPrepareSleep});  // no settling wait
    EXPECT_EQ(run.program.Drive().SaveCount(), 0u);
    EXPECT_TRUE(run.restored);
  }
}

TYPED_TEST(UpdateEndToEnd, NothingReachesTheDriveBeforeThePackageIsSoundAndConfirmed) {
  using Run = typename TestFixture::Run;
  struct Case {
    const char* name;
    std::function<void(Run&)> prepare;
    bool chooseFile, chooseDrive;
    Strings boxes;
    std::string status;  // only a file error is written there
    size_t commands;
  } cases[] = {
      {"no file chosen", [](Run&) {}, false, true, {"Set File Name"}, "", 0},
      {"image changed", [](Run& r) { r.image[4096] ^= 0x5A; WriteFileBytes("R4410.bin", r.image.data(), kImageSize); },
       true, true, {"File CheckSum Error "}, "", 0},
      {"image missing", [](Run&) { std::remove("R4410.bin"); }, true, true,
       {"File Read Error!(11)\nNo such file or directory"}, "File Read Error!(11)\nNo such file or directory", 0},
      {"no drive selected", [](Run& r) { r.program.LeaveNoDriveSelected(); }, true, false, {"Select 'MX-R4410'"}, "",
       0},
      {"no at the question", [](Run& r) { r.toolkit.answers = {IDNO}; }, true, true, {"Firmware Update Execute ?"}, "",
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Run run;
    c.prepare(run);
    run.PressUpdateStart(c.chooseFile, c.chooseDrive);
    // Past the package checks the drive is identified afresh, then made ready.
    std::vector<Cdb> expected(c.commands, kTestUnitReady);
    if (c.commands > 0) expected.insert(expected.begin(), kIdentification);
    EXPECT_EQ(run.Cdbs(), expected);
    EXPECT_TRUE(run.RecordOf(0).empty());
    EXPECT_TRUE(run.RecordOf(2).empty());
    EXPECT_EQ(run.Boxes(), c.boxes);
    EXPECT_EQ(run.status, c.status);
    EXPECT_TRUE(run.restored);
  }
}

/// Runs `act` once, while the download waits for the answer to its third piece.
template <typename Run>
void DuringTheDownload(Run& run, std::function<void()> act) {
  if constexpr (decltype(Run::program)::kKind == ProgramKind::NT) {
    run.program.system.beforeRequest = [&run, act, writes = 0]() mutable {
      if (run.program.system.requests.back().spt.Cdb[0] == kOpWriteBuffer && ++writes == 3) act();
    };
  } else {
    DeliverDuringWrite(run, 2, {Act::Inspect([act](ScriptedWindow&) { act(); })}, [](ScriptedWindow&) {});
  }
}

// Update Start claims the drive before anything is sent: a drive another program's
// stack has claimed, one held elsewhere, or another device in its place is refused
// with a box and hears nothing; a second program that wants the drive during the
// download is refused, and the first completes every piece.
TYPED_TEST(UpdateEndToEnd, TheDriveIsOursAloneFromTheChecksToTheEnd) {
  using Run = typename TestFixture::Run;
  using Other = std::conditional_t<TypeParam::kKind == ProgramKind::NT, sim::SimPassThroughSystem, sim::SimAspiManager>;
  const std::string updatedElsewhere =
      "This drive is being updated by another program.\nWait until that update has ended; do not start another one "
      "meanwhile.";
  {
    SCOPED_TRACE("claimed by another program");
    Run run;
    std::unique_ptr<Other> other;
    run.beforePress = [&] { EXPECT_EQ(run.program.ClaimFromAnotherStack(other).status, ClaimStatus::Claimed); };
    run.PressUpdateStart();
    EXPECT_EQ(run.Boxes(), Strings{updatedElsewhere});
    EXPECT_TRUE(run.Record().empty());
    EXPECT_TRUE(run.restored);
  }
  {
    SCOPED_TRACE("held elsewhere");
    Run run;
    run.beforePress = [&] { run.program.HoldElsewhere("a disc mounted on /media/disc"); };
    run.PressUpdateStart();
    EXPECT_EQ(run.Boxes(), Strings{"This drive is in use by a disc mounted on /media/disc.\nUnmount or eject the disc, "
                                   "or close the program that uses the drive, then press Update Start again."});
    EXPECT_TRUE(run.Record().empty());
  }
  {
    SCOPED_TRACE("another device in its place since the scan");
    Run run;
    auto newcomer = std::make_shared<sim::Disk>();
    run.beforePress = [&] { run.program.Replace(newcomer); };
    run.PressUpdateStart();
    ASSERT_EQ(run.Boxes().size(), 1u);
    EXPECT_NE(run.Boxes()[0].find("no longer the device"), std::string::npos) << run.Boxes()[0];
    EXPECT_TRUE(run.Record().empty());
    for (const auto& command : newcomer->Record()) EXPECT_EQ(command.cdb[0], kOpInquiry);
  }
  {
    SCOPED_TRACE("a second program during the download");
    Run run;
    std::unique_ptr<Other> other;
    ClaimOutcome second;
    DuringTheDownload(run, [&] { second = run.program.ClaimFromAnotherStack(other); });
    run.PressUpdateStart();
    EXPECT_EQ(second.status, ClaimStatus::UpdatedElsewhere);
    ExpectDownload(run, testing::BlockRun(0, 29) + "30 *31");
    EXPECT_EQ(run.Boxes(), (Strings{"Firmware Update Execute ?", "Firmware Update Complete"}));
    other.reset();
    // Once the update has ended the drive is free again.
    EXPECT_EQ(run.program.ClaimFromAnotherStack(other).status, ClaimStatus::Claimed);
  }
  {
    SCOPED_TRACE("another device in its place between two pieces");
    Run run;
    auto newcomer = std::make_shared<sim::Disk>();
    DuringTheDownload(run, [&] {
      run.program.Drive().VanishAt(run.program.Drive().CommandCount() + 1);
      run.program.Replace(newcomer);
    });
    run.PressUpdateStart();
    ASSERT_EQ(run.Boxes().size(), 2u);
    EXPECT_NE(run.Boxes()[1], "Firmware Update Complete");
    EXPECT_TRUE(newcomer->Record().empty()) << "the newcomer was sent something";
    EXPECT_EQ(run.program.Drive().SaveCount(), 0u);
  }
}

TYPED_TEST(UpdateEndToEnd, WithTheRealClockTheUpdateTakesItsTwoSeconds) {
  typename TestFixture::Run run({true, false, false});
  run.clock = &SystemClock();
  std::chrono::steady_clock::time_point start;
  run.beforePress = [&] { start = std::chrono::steady_clock::now(); };
  run.PressUpdateStart();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ExpectDownload(run, "0 1 2 *3");
  EXPECT_EQ(run.status, "Firmware Update Complete");
  // The settling wait really waits: never less than the 2,010 ms of pause and settling.
  EXPECT_GE(elapsed, std::chrono::milliseconds(kPrepareSleep + kSettleTime));
}

// The dialog's progress bar: shown at the confirmation, moved on by each piece the
// drive takes, filled by the settling wait as its last stretch and hidden once the
// update has ended. The settling wait paints the window at every step, and a key
// pressed meanwhile waits: no message is processed.
TYPED_TEST(UpdateEndToEnd, TheProgressBarFollowsTheDownloadAndTheSettlingWaitPaints) {
  typename TestFixture::Run run({true, false, false});
  ScriptedToolkit& toolkit = run.toolkit;
  std::vector<bool> paintedWithTheKeyWaiting;
  bool barShown = false;
  run.steppingClock.onSleep = [&](uint32_t milliseconds) {
    if (milliseconds != kSettleStep) return;
    if (toolkit.pending.empty()) {
      barShown = toolkit.TopWindow()->Control(IDC_PROGRESS).visible;
      toolkit.pending.push_back(Act::KeyInWait(OperatorKey::Down));
    } else {
      paintedWithTheKeyWaiting.push_back(!toolkit.uncovered && toolkit.pending.size() == 1);
    }
    toolkit.uncovered = true;  // a window dragged across the dialog
  };
  run.PressUpdateStart();
  ExpectDownload(run, "0 1 2 *3");
  std::vector<std::pair<int, int>> expected{{0, 1000}, {225, 1000}, {450, 1000}, {675, 1000}, {900, 1000}};
  for (int step = 0; step <= 20; ++step) expected.emplace_back(900 + 5 * step, 1000);
  expected.emplace_back(0, 0);
  EXPECT_EQ(toolkit.windows[0]->progressShown, expected);
  EXPECT_TRUE(barShown);
  EXPECT_EQ(paintedWithTheKeyWaiting, std::vector<bool>(kSettleTime / kSettleStep - 1, true));
}

// After an update the drive object keeps the vendor command's name, so the error text
// of the next failed command opens with it; Morvantide4 shows that text when a
// firmware version cannot be read, MorvantideNT only beeps.
TYPED_TEST(UpdateEndToEnd, ALaterFailureIsReportedUnderTheVendorCommandName) {
  typename TestFixture::Run run({true, false, false});
  sim::StandardDevice& other = *run.program.Devices()[2];
  run.afterUpdate.push_back(Act::Inspect([&](ScriptedWindow&) {
    run.beepStart = run.toolkit.beeps.size();
    other.RefuseOperation(kOpInquiry, 0x05, 0x24, 0x00);
  }));
  run.afterUpdate.push_back(ChooseEntry(IDC_DEVICE, TypeParam::kOtherDrive));
  run.PressUpdateStart();
  const std::string errorText = run.dialog->m_drive.GetErrorText();
  EXPECT_EQ(errorText.rfind("TestUnitReadyVU ", 0), 0u) << errorText;
  EXPECT_EQ(run.Beeps(), std::vector<unsigned>{kSimpleBeep});
  Strings boxes{"Firmware Update Execute ?", "Firmware Update Complete"};
  if (TypeParam::kKind == ProgramKind::Four) boxes.push_back(errorText);
  EXPECT_EQ(run.Boxes(), boxes);
}

/// The selectors, the fields the selection half writes and the drive object's
/// address, as they stand at one moment.
struct DialogState {
  int hostAdapter, device, lun;
  std::string status, firmwareVersion;
  uint8_t addressedAdapter, addressedTarget, addressedLun;
  bool operator==(const DialogState&) const = default;
};
std::ostream& operator<<(std::ostream& out, const DialogState& s) {
  return out << "selectors " << s.hostAdapter << "/" << s.device << "/" << s.lun << ", status '" << s.status
             << "', version '" << s.firmwareVersion << "', drive object at " << int{s.addressedAdapter} << ":"
             << int{s.addressedTarget} << ":" << int{s.addressedLun};
}
DialogState StateOf(const ScriptedWindow& w, const CScsiDrive& drive) {
  return {w.Control(IDC_HOST_ADAPTER).curSel,
          w.Control(IDC_DEVICE).curSel,
          w.Control(IDC_LUN).curSel,
          w.Control(IDC_STATUS).text,
          w.Control(IDC_FIRMWARE_VERSION).text,
          drive.Address().hostAdapter,
          drive.Address().targetId,
          drive.Address().lun};
}

// Morvantide4 handles the dialog's messages while each command waits, so the operator
// can pick another device or adapter, or ask for a rescan, in the middle of the
// download. Each is refused with the simple beep and leaves the selectors, the drive
// object and every device as they were; the update goes on to its end, and afterwards
// the selectors work as before.
TEST(UpdateEndToEnd4, SelectionChangesDuringTheDownloadAreRefused) {
  Four run;
  const DialogState during{0, 1, 0, "Firmware Update Executing ", "1.00", 0, 2, 0};
  const std::vector<UserAction> changes{
      Act::Choose(IDC_DEVICE, 0),           // the disk
      Act::Choose(IDC_DEVICE, 3),           // the adapter's own entry
      Act::Choose(IDC_HOST_ADAPTER, 0),     // the one adapter, chosen again
      Act::Menu(ID_OPTION_RESCAN),
      Act::Notify(IDC_LUN, CBN_SELCHANGE),  // the hidden LUN selector
  };
  std::vector<DialogState> seen;
  std::vector<size_t> written;
  std::vector<bool> targetBusy;
  run.beforePress = [&] {
    DeliverDuringWrite(run, 7, changes, [&](ScriptedWindow& w) {
      seen.push_back(StateOf(w, run.dialog->m_drive));
      written.push_back(run.PiecesWritten());
      targetBusy.push_back(run.program.transport.TargetBusy(0, 2));
    });
  };
  // What the update sent, checked before the disk is chosen below.
  run.afterUpdate.push_back(
      Act::Inspect([&](ScriptedWindow&) { ExpectDownload(run, testing::RegionCombinations().back().pieces); }));
  // Afterwards the disk can be chosen, and is addressed and asked for its version.
  DialogState after{};
  run.afterUpdate.push_back(Act::Choose(IDC_DEVICE, 0));
  run.afterUpdate.push_back(Act::Inspect([&](ScriptedWindow& w) { after = StateOf(w, run.dialog->m_drive); }));
  run.PressUpdateStart();

  EXPECT_EQ(seen, std::vector<DialogState>(changes.size(), during));
  EXPECT_EQ(written, std::vector<size_t>(changes.size(), 7));  // all while the eighth piece was on its way
  EXPECT_EQ(targetBusy, std::vector<bool>(changes.size(), true));
  EXPECT_EQ(run.Boxes(), (Strings{"Firmware Update Execute ?", "Firmware Update Complete"}));
  std::vector<unsigned> beeps{kQuestionSound};
  beeps.insert(beeps.end(), changes.size(), kSimpleBeep);
  beeps.push_back(kQuestionSound);
  EXPECT_EQ(run.Beeps(), beeps);
  EXPECT_EQ(run.status, "Firmware Update Complete");
  EXPECT_TRUE(run.restored);

  EXPECT_EQ(after, (DialogState{0, 0, 0, "", "1.00", 0, 0, 0}));
  ASSERT_EQ(run.RecordOf(0).size(), 1u);  // the disk's firmware version, after the update
  EXPECT_EQ(run.RecordOf(0)[0].cdb[0], kOpInquiry);
  EXPECT_EQ(run.Beeps().size(), beeps.size());
}

// Closing the dialog while Morvantide4 pumps during the download ends it only once the
// update has run to its end: every piece written, the completion reported.
TEST(UpdateEndToEnd4, ClosingTheDialogDuringTheDownloadWaitsForTheUpdate) {
  for (const UserAction& close : {Act::Escape(), Act::SysCommand(SC_CLOSE)}) {
    SCOPED_TRACE(close.description);
    Four run;
    bool endedDuringTheWrite = false;
    run.beforePress = [&] {
      DeliverDuringWrite(run, 7, {close}, [&](ScriptedWindow& w) { endedDuringTheWrite = w.ended; });
    };
    run.PressUpdateStart();
    EXPECT_TRUE(endedDuringTheWrite);
    ExpectDownload(run, testing::RegionCombinations().back().pieces);
    EXPECT_EQ(run.Boxes(), (Strings{"Firmware Update Execute ?", "Firmware Update Complete"}));
    const ScriptedWindow& window = *run.toolkit.windows.at(0);
    EXPECT_EQ(window.result, IDCANCEL);
    EXPECT_EQ(window.Control(IDC_STATUS).text, "Firmware Update Complete");
    EXPECT_EQ(run.toolkit.cursor, CursorShape::Arrow);
  }
}

}  // namespace
}  // namespace morv

namespace morv {
namespace {

/// The history log's lines.
Strings HistoryLines(const std::string& path) {
  std::ifstream in(path);
  Strings lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

/// "key=value" fields of a history line, the time left out.
std::map<std::string, std::string> HistoryFields(const std::string& line) {
  std::map<std::string, std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) {
    const size_t equals = field.find('=');
    if (field.rfind("time=", 0) != 0) fields[field.substr(0, equals)] = field.substr(equals + 1);
  }
  return fields;
}

// The demo's promise: the drive shows 1.00 (the line's "before"), takes the package
// stamped 2.05, and once
// "Firmware Update Complete" has been dismissed the field shows what the drive now
// reports. A drive that does not answer that inquiry changes nothing and shows nothing.
// Either way the history holds one line for the update.
TYPED_TEST(UpdateEndToEnd, TheVersionAfterTheFlashIsShownAndRecorded) {
  using Run = typename TestFixture::Run;
  const bool nt = TypeParam::kKind == ProgramKind::NT;
  for (const bool answers : {true, false}) {
    SCOPED_TRACE(answers ? "the drive answers" : "the drive does not answer the inquiry");
    Run run(kAllRegions, 9, "2.05");
    HistoryLog history((run.dir.Path() / "state/history.log").string(), TypeParam::kName, DriveKind::Emulated);
    run.history = &history;
    std::string versionAfter;
    run.beforePress = [&] {
      // The INQUIRY after the 4 commands that identify and prepare the drive and the 32 pieces.
      if (!answers) run.program.Drive().RefuseCommand(run.program.Drive().CommandCount() + 4 + 32 + 1, 0x04, 0x44, 0x00);
    };
    run.afterUpdate.push_back(Act::Inspect([&](ScriptedWindow& w) { versionAfter = w.Control(IDC_FIRMWARE_VERSION).text; }));
    run.PressUpdateStart();
    EXPECT_EQ(versionAfter, answers ? "2.05" : "1.00");
    EXPECT_EQ(run.Boxes(), (Strings{"Firmware Update Execute ?", "Firmware Update Complete"}));
    EXPECT_EQ(run.Beeps(), (std::vector<unsigned>{kQuestionSound, kQuestionSound}));
    EXPECT_TRUE(run.restored);
    // The inquiry is the last command, after the saving piece.
    const auto cdbs = run.Cdbs();
    ASSERT_FALSE(cdbs.empty());
    EXPECT_EQ(cdbs.back()[0], kOpInquiry);
    EXPECT_EQ(cdbs[cdbs.size() - 2][0], kOpWriteBuffer);

    EXPECT_TRUE(history.Failures().empty());
    const Strings lines = HistoryLines(history.Path());
    ASSERT_EQ(lines.size(), 1u);
    auto expected = std::map<std::string, std::string>{
        {"program", TypeParam::kName}, {"drive", nt ? "E:" : "0:2:0"},
        {"identification", nt ? "KESTREL MX-R4410" : "MX-R4410"}, {"before", "1.00"}, {"file", "R4410.OUC"},
        {"checksum", std::to_string(ImageChecksum(run.image))}, {"regions", "1,2,3"}, {"answer", "Yes"},
        {"outcome", "complete"}, {"kind", "emulated"},
        {"package", EscapedForLine((std::filesystem::absolute(run.dir.Path()) / "R4410.OUC").lexically_normal().string())},
        {"sha256", Sha256Hex(run.image.data(), run.image.size())}, {"node", EscapedForLine(nt ? R"(\\.\E:)" : "sim:0:2:0")}};
    if (answers) expected["after"] = "2.05";
    // Paths as the log escapes them: a Windows path's backslashes are doubled.
    auto fields = HistoryFields(lines[0]);
    // The emulated bus numbers its devices as the process made them.
    EXPECT_TRUE(fields["scsi"].starts_with("sim:")) << fields["scsi"];
    fields.erase("scsi");
    EXPECT_EQ(fields, expected);
  }
}

// No at the question and a refused piece are recorded too; the line names what the
// operator saw.
TYPED_TEST(UpdateEndToEnd, DeclinedAndRefusedUpdatesAreRecorded) {
  using Run = typename TestFixture::Run;
  struct Case {
    const char* name;
    std::function<void(Run&)> arrange;
    std::string answer;
  } cases[] = {
      {"No", [](Run& r) { r.toolkit.answers = {IDNO}; }, "No"},
      {"refused piece",
       [](Run& r) { r.beforePress = [&r] { r.program.Drive().RefuseOperation(kOpWriteBuffer, 0x05, 0x26, 0x00); }; },
       "Yes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Run run;
    HistoryLog history((run.dir.Path() / "history.log").string(), TypeParam::kName, DriveKind::Emulated);
    run.history = &history;
    c.arrange(run);
    run.PressUpdateStart();
    const Strings lines = HistoryLines(history.Path());
    ASSERT_EQ(lines.size(), 1u);
    const auto fields = HistoryFields(lines[0]);
    EXPECT_EQ(fields.at("answer"), c.answer);
    const Strings boxes = run.Boxes();
    // What the line says happened: declined, or the text of the last box shown.
    EXPECT_EQ(fields.at("outcome"), c.answer == "No" ? "declined" : boxes.back());
    EXPECT_EQ(fields.count("after"), 0u);
  }
}

// A parameter file named at start is chosen in the list and shown as the selected file,
// as if the operator had clicked it, in both programs; a name the list does not hold
// chooses nothing.
TYPED_TEST(UpdateEndToEnd, AStartFileIsChosenAsIfClicked) {
  using Run = typename TestFixture::Run;
  for (const std::string& start : {std::string("R4410.OUC"), std::string("OTHER.OUC"), std::string("gone.OUC")}) {
    SCOPED_TRACE(start);
    Run run;
    run.dir.Touch("OTHER.OUC");
    run.dialog = std::make_unique<CFlashDlg>(run.toolkit, run.feedback, TypeParam::Resources(), run.program.transport,
                                             run.program.Selections());
    run.dialog->SetStartFile(start);
    std::string selected;
    int chosen = -2;
    Strings list;
    run.toolkit.script.push_back(Act::Inspect([&](ScriptedWindow& w) {
      selected = w.Control(IDC_SELECTED_FILE).text;
      chosen = w.Control(IDC_FILE_LIST).curSel;
      list = w.Control(IDC_FILE_LIST).entries;
    }));
    run.dialog->DoModal();
    const bool listed = start != "gone.OUC";
    EXPECT_EQ(selected, listed ? start : "");
    ASSERT_EQ(list, (Strings{"OTHER.OUC", "R4410.OUC"}));
    EXPECT_EQ(chosen, listed ? static_cast<int>(std::find(list.begin(), list.end(), start) - list.begin()) : -1);
  }
}

}  // namespace
}  // namespace morv
