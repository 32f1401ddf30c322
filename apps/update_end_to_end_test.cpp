// The update end to end: the main dialog on the scripted toolkit, each program's own
// transport and selection half over the emulated devices, the drive chosen in the
// selectors as an operator chooses it, and the devices' own record of every command
// they received, checked byte for byte.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/package_writer.h"
#include "engine/update_history.h"
#include "engine/testing/region_combinations.h"
#include "engine/testing/update_fakes.h"
#include "platform/private_profile.h"
#include "platform/termination_close_request.h"
#include "platform/testing/recording_pass_through_system.h"
#include "sim/revision_stamp.h"
#include "sim/sim_pass_through_system.h"
#include "apps/aspi_stack.h"
#include "ui/drive_letters.h"
#include "ui/host_adapters.h"
#include "transport/pass_through_transport.h"
#include "ui/flash_dlg.h"
#include "ui/resource_ids.h"
#include "ui/resources.h"
#include "framework/testing/scripted_toolkit.h"
#include "framework/testing/scoped_config_home.h"
#include "framework/testing/temp_directory.h"
#include "ui/toolkit_feedback.h"

namespace morv {
namespace {

using Act = ScriptedToolkit;
using testing::RegionName;
using Cdb = std::vector<uint8_t>;
using Strings = std::vector<std::string>;

constexpr RegionSelection kAllRegions{true, true, true};
const Cdb kTestUnitReady{0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const Cdb kTestUnitReadyVU{0x00, 0x00, 0x00, 0x00, 0x00, 0xC0};
constexpr uint8_t kOpInquiry = 0x12;
constexpr uint8_t kOpWriteBuffer = 0x3B;
constexpr unsigned kQuestionSound = MB_ICONQUESTION;
const std::string kCustomizingCodeText =
    "Error!\n   The Drive Can not up-date,\n    because the customizing code is not corresponding.";

/// Picks the entry of selector `id` that reads `text`, as the operator does; an entry
/// that is not there fails the test.
UserAction ChooseEntry(int id, const std::string& text) {
  auto choose = [id, text](ScriptedToolkit& toolkit, ScriptedWindow& window, DialogHandler& handler) {
    const Strings& entries = window.Control(id).entries;
    const auto found = std::find(entries.begin(), entries.end(), text);
    if (found == entries.end()) {
      ADD_FAILURE() << "control " << id << " has no entry '" << text << "'";
      return;
    }
    Act::Choose(id, static_cast<int>(found - entries.begin())).run(toolkit, window, handler);
  };
  return {"choose '" + text + "'", choose};
}

// MorvantideNT as --simulate builds it (the emulated disk at C:, the MX-R4410 at E:,
// the other CD-ROM drive at G:, the pass-through transport and the drive-letter half),
// with a recorder between the transport and the system that lets a test act before
// each request.
struct ProgramNTRig {
  static constexpr ProgramKind kKind = ProgramKind::NT;
  static constexpr const char* kName = "MorvantideNT";
  static const ProgramResources& Resources() { return ResourcesNT(); }
  /// E:, the first drive discovery lists.
  static std::vector<UserAction> ChooseDrive() { return {ChooseEntry(IDC_DEVICE, "E:KESTREL MX-R4410        ")}; }
  static constexpr const char* kOtherDrive = "G:OTHERCO CD-ROM X1       ";

  explicit ProgramNTRig(Feedback&) {}
  SelectionFactory Selections() {
    return [this](CScsiDrive& drive, Feedback& feedback) {
      return std::make_unique<DriveLetterSelection>(drive, feedback, transport);
    };
  }
  /// Both CD/DVD drives gone before discovery: the device selector stays empty.
  void LeaveNoDriveSelected() {
    devices.drive->VanishAt(1);
    devices.cdrom->VanishAt(1);
  }
  sim::MxR4410& Drive() { return *devices.drive; }
  std::array<sim::StandardDevice*, 3> Devices() {
    return {devices.disk.get(), devices.drive.get(), devices.cdrom.get()};
  }

  sim::StandardDevices devices;
  sim::SimPassThroughSystem simulated{devices};
  RecordingPassThroughSystem system{simulated};
  PassThroughTransport transport{system};
};

// Morvantide4 as --simulate builds it: the emulated bus (host adapter 0 with the disk
// at target 0, the MX-R4410 at 2, the other CD-ROM drive at 5), requests completing on
// the bus's own thread while the transport pumps the dialog's messages, and the
// host-adapter half with its device-name tables and its profile in $XDG_CONFIG_HOME.
struct Program4Rig {
  static constexpr ProgramKind kKind = ProgramKind::Four;
  static constexpr const char* kName = "Morvantide4";
  static const ProgramResources& Resources() { return Resources4(); }
  static std::vector<UserAction> ChooseDrive() {
    return {ChooseEntry(IDC_HOST_ADAPTER, "0:SIMUL SCSI HOST"), ChooseEntry(IDC_DEVICE, "2:MX-R4410        ")};
  }
  static constexpr const char* kOtherDrive = "5:CD-ROM X1       ";

  explicit Program4Rig(Feedback& feedback) : stack(MakeAspiStack(true, feedback)), transport(*stack->transport) {}
  SelectionFactory Selections() {
    return [this](CScsiDrive& drive, Feedback& feedback) {
      return std::make_unique<HostAdapterSelection>(drive, feedback, transport, tables, profile);
    };
  }
  /// A remembered device position the refilled selector does not have (four devices
  /// are listed): the device selector is left without a selection.
  void LeaveNoDriveSelected() { ASSERT_TRUE(profile.WriteString("TargetID", "HA0 ", "5")); }
  sim::MxR4410& Drive() { return *stack->devices->drive; }
  std::array<sim::StandardDevice*, 3> Devices() {
    return {stack->devices->disk.get(), stack->devices->drive.get(), stack->devices->cdrom.get()};
  }

  std::unique_ptr<AspiStack> stack;
  AspiTransport& transport;
  DeviceNameTables tables;
  PrivateProfile profile{PrivateProfile::DefaultPath(kName)};
};

/// One package in a fresh current directory, the dialog, the drive chosen, and one
/// press of Update Start. What the devices received, the beeps and the cursor changes
/// are counted from the press on; the boxes from the dialog's start.
template <typename ProgramRig>
struct EndToEnd {
  /// `revision`, when given, is stamped into the image for the emulated drive to report.
  explicit EndToEnd(const RegionSelection& regions = kAllRegions, uint64_t seed = 9, const std::string& revision = "") {
    GenerateImage(seed, image);
    if (!revision.empty()) sim::StampRevision(image.data(), image.size(), revision);
    PackageDescription description;
    description.model = "MX-R4410";
    description.regions = regions;
    const std::string text = ParameterFileText(description, ImageChecksum(image));
    WriteFileBytes("R4410.OUC", text.data(), text.size());
    WriteFileBytes("R4410.bin", image.data(), image.size());
  }

  /// Chooses the drive and the package (unless told otherwise), runs `beforePress`,
  /// presses Update Start, runs `afterUpdate` and closes the dialog.
  void PressUpdateStart(bool chooseFile = true, bool chooseDrive = true) {
    dialog = std::make_unique<CFlashDlg>(toolkit, feedback, ProgramRig::Resources(), program.transport,
                                         program.Selections());
    dialog->m_clock = clock;
    dialog->m_history = history;
    if (chooseDrive)
      for (auto& action : ProgramRig::ChooseDrive()) toolkit.script.push_back(std::move(action));
    if (chooseFile) toolkit.script.push_back(Act::Choose(IDC_FILE_LIST, 0));
    toolkit.script.push_back(Act::Inspect([this](ScriptedWindow&) {
      auto devices = program.Devices();
      for (size_t i = 0; i < devices.size(); ++i) recordStart[i] = devices[i]->Record().size();
      beepStart = toolkit.beeps.size();
      cursorStart = toolkit.cursorChanges.size();
      if (beforePress) beforePress();
    }));
    toolkit.script.push_back(Act::Click(IDC_UPDATE_START));
    toolkit.script.push_back(Act::Inspect([this](ScriptedWindow& w) {
      status = w.Control(IDC_STATUS).text;
      restored = w.Control(IDC_UPDATE_START).enabled && w.Control(IDOK).enabled && !w.Control(IDC_ABORT).enabled &&
                 toolkit.cursor == CursorShape::Arrow;
    }));
    for (auto& action : afterUpdate) toolkit.script.push_back(std::move(action));
    dialog->DoModal();
  }

  /// What device `index` (0 disk, 1 MX-R4410, 2 other CD-ROM) received since the press.
  std::vector<sim::RecordedCommand> RecordOf(size_t index) const {
    const auto& record = program.Devices()[index]->Record();
    return {record.begin() + static_cast<ptrdiff_t>(recordStart[index]), record.end()};
  }
  std::vector<sim::RecordedCommand> Record() const { return RecordOf(1); }
  std::vector<Cdb> Cdbs() const {
    std::vector<Cdb> cdbs;
    for (const auto& command : Record()) cdbs.push_back(command.cdb);
    return cdbs;
  }
  Strings Boxes() const {
    Strings boxes;
    for (const auto& box : toolkit.boxes) boxes.push_back(box.text);
    return boxes;
  }
  std::vector<unsigned> Beeps() const {
    return {toolkit.beeps.begin() + static_cast<ptrdiff_t>(beepStart), toolkit.beeps.end()};
  }
  /// Pieces written so far: the update shows its cursor once at the start, once more
  /// before the vendor command and again after each piece written.
  size_t PiecesWritten() const {
    const size_t shown = toolkit.cursorChanges.size() - cursorStart;
    return shown < 2 ? 0 : shown - 2;
  }

  TempCurrentDirectory dir;
  ScopedConfigHome configHome{dir.Path()};
  FirmwareImage image;
  ScriptedToolkit toolkit;
  ToolkitFeedback feedback{toolkit, ProgramRig::Resources(), ProgramRig::kName};
  mutable ProgramRig program{feedback};
  testing::SteppingClock steppingClock;
  Clock* clock = &steppingClock;
  /// Where the dialog records the update; none unless a test sets it.
  UpdateHistory* history = nullptr;
  std::function<void()> beforePress;
  std::deque<UserAction> afterUpdate;
  /// Messages that queue themselves again while they wait.
  std::vector<std::shared_ptr<UserAction>> keepAlive;
  std::unique_ptr<CFlashDlg> dialog;
  std::array<size_t, 3> recordStart{};
  size_t beepStart = 0;
  size_t cursorStart = 0;
  std::string status;
  bool restored = false;
};

/// Checks that the drive's record since the press is the preparation, then the write
/// CDBs the notation `pieces` names, each carrying the image bytes it came from (and,
/// after a completed download, the INQUIRY for the new version), and that nothing
/// reached the other devices.
template <typename Run>
void ExpectDownload(const Run& run, const std::string& pieces) {
  auto record = run.Record();
  std::vector<Cdb> cdbs = run.Cdbs();
  // After a completed download the drive is asked for its new version: one INQUIRY, last.
  if (!cdbs.empty() && cdbs.back()[0] == kOpInquiry) {
    cdbs.pop_back();
    record.pop_back();
  }
  ASSERT_GE(cdbs.size(), 3u);
  EXPECT_EQ(cdbs[0], kTestUnitReady);
  EXPECT_EQ(cdbs[1], kTestUnitReady);  // the first one met the power-on unit attention
  EXPECT_EQ(cdbs[2], kTestUnitReadyVU);
  const std::vector<Cdb> writes(cdbs.begin() + 3, cdbs.end());
  EXPECT_EQ(testing::DescribeWrites(writes), pieces);
  for (size_t i = 3; i < record.size(); ++i) {
    const auto& command = record[i];
    ASSERT_EQ(command.cdb.size(), 10u);
    EXPECT_EQ(command.cdb[9], 0);
    EXPECT_EQ(command.direction, DataDirection::Out);
    const uint32_t length = testing::Field24(&command.cdb[6]);
    EXPECT_EQ(command.dataLength, length);
    const uint8_t* from = run.image.data() + testing::ImageOffsetOfWrite(command.cdb);
    EXPECT_EQ(command.data, std::vector<uint8_t>(from, from + length)) << "piece " << i - 3;
  }
  EXPECT_TRUE(run.RecordOf(0).empty()) << "the disk was sent something";
  EXPECT_TRUE(run.RecordOf(2).empty()) << "the other CD-ROM drive was sent something";
}

using NT = EndToEnd<ProgramNTRig>;
using Four = EndToEnd<Program4Rig>;

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
      // Commands 1-3 after the press prepare the drive; command 3 + 11 is the write
      // of block 10, in region 2.
      {"block 10 refused (24h/00h)",
       [](sim::MxR4410& d) { d.RefuseCommand(d.CommandCount() + 3 + 11, 0x05, 0x24, 0x00); },
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
    EXPECT_EQ(run.Cdbs(), std::vector<Cdb>(c.commands, kTestUnitReady));
    EXPECT_TRUE(run.RecordOf(0).empty());
    EXPECT_TRUE(run.RecordOf(2).empty());
    EXPECT_EQ(run.Boxes(), c.boxes);
    EXPECT_EQ(run.status, c.status);
    EXPECT_TRUE(run.restored);
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
          drive.m_hostAdapter,
          drive.m_targetId,
          drive.m_lun};
}

/// Queues a message that waits, pumped pass by pumped pass, until `written` pieces are
/// written, then delivers each of `actions` within the wait for the next piece and runs
/// `look` after each.
template <typename Run>
void DeliverDuringWrite(Run& run, size_t written, std::vector<UserAction> actions,
                        std::function<void(ScriptedWindow&)> look) {
  auto wait = std::make_shared<UserAction>();
  *wait = {"wait for write " + std::to_string(written + 1),
           [&run, written, actions = std::move(actions), look = std::move(look), weak = std::weak_ptr(wait)](
               ScriptedToolkit& toolkit, ScriptedWindow& window, DialogHandler& handler) {
             if (run.PiecesWritten() < written) {
               toolkit.pending.push_back(*weak.lock());
               return;
             }
             for (const auto& action : actions) {
               action.run(toolkit, window, handler);
               look(window);
             }
           }};
  run.toolkit.pending.push_back(*wait);
  run.keepAlive.push_back(wait);
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

// SIGTERM during Morvantide4's download (it pumps, so the dialog's loop is close by)
// is held until the update has ended: every piece is written and the completion
// reported, and only then is the dialog closed as the close box does, which writes
// the profile.
TEST(UpdateEndToEnd4, SigtermDuringTheDownloadClosesTheDialogOnceTheUpdateHasEnded) {
  TerminationCloseRequest closeRequest;
  Four run;
  run.toolkit.closeRequest = &closeRequest;
  bool requestedDuringTheUpdate = true;
  run.beforePress = [&] {
    DeliverDuringWrite(run, 7, {Act::Inspect([](ScriptedWindow&) { kill(getpid(), SIGTERM); })},
                       [&](ScriptedWindow&) { requestedDuringTheUpdate = closeRequest.Requested(); });
  };
  const std::string profilePath = PrivateProfile::DefaultPath(Program4Rig::kName);
  run.PressUpdateStart();
  EXPECT_FALSE(requestedDuringTheUpdate);
  ExpectDownload(run, testing::RegionCombinations().back().pieces);
  EXPECT_EQ(run.Boxes(), (Strings{"Firmware Update Execute ?", "Firmware Update Complete"}));
  const Strings events = run.toolkit.events;
  const auto complete = std::find_if(events.begin(), events.end(), [](const std::string& e) {
    return e.find("Firmware Update Complete") != std::string::npos && e.rfind("box", 0) == 0;
  });
  const auto close = std::find(events.begin(), events.end(), "close request");
  EXPECT_LT(complete, close) << "closed only after the update";
  EXPECT_EQ(run.toolkit.windows.at(0)->result, IDCANCEL);
  EXPECT_TRUE(std::filesystem::exists(profilePath)) << profilePath;
  EXPECT_EQ(TerminationCloseRequest::NotedSignal(), SIGTERM);
}

/// How a forked update ended: the marks it wrote, and its wait status.
struct SignalledChild {
  std::string marks;
  int status = 0;
};

/// Forks; the child runs `update` with the write end of a mark pipe and the read end
/// of a go pipe, and must wait on the go pipe after its `before`th mark. The parent
/// sends the child SIGTERM once `before` marks have arrived, lets it go on, and
/// collects the remaining marks and how it ended.
SignalledChild SigtermAfterMarks(size_t before, const std::function<void(int marks, int go)>& update) {
  int marks[2], go[2];
  if (pipe(marks) != 0 || pipe(go) != 0) {
    ADD_FAILURE() << "no pipes";
    return {};
  }
  pid_t child = fork();
  if (child == 0) {
    close(marks[0]);
    close(go[1]);
    update(marks[1], go[0]);
    (void)!write(marks[1], "x", 1);  // not reached: the held SIGTERM ends the process first
    _exit(0);
  }
  close(marks[1]);
  close(go[0]);
  SignalledChild ended;
  char c;
  while (ended.marks.size() < before && read(marks[0], &c, 1) == 1) ended.marks += c;
  kill(child, SIGTERM);
  (void)!write(go[1], "g", 1);
  close(go[1]);
  while (read(marks[0], &c, 1) == 1) ended.marks += c;
  close(marks[0]);
  waitpid(child, &ended.status, 0);
  return ended;
}

TEST(UpdateEndToEndNT, SigtermDuringTheDownloadTakesEffectAfterTheLastPiece) {
  const SignalledChild ended = SigtermAfterMarks(16, [](int marks, int go) {
    NT run;
    int writes = 0;
    run.program.system.beforeRequest = [&] {
      if (run.program.system.requests.back().spt.Cdb[0] != kOpWriteBuffer) return;
      char mark = 'w';
      (void)!write(marks, &mark, 1);
      // Halfway through, wait until the parent has sent its SIGTERM.
      if (++writes == 16) (void)!read(go, &mark, 1);
    };
    run.PressUpdateStart();
  });
  EXPECT_EQ(ended.marks, std::string(32, 'w'));
  EXPECT_TRUE(WIFSIGNALED(ended.status));
  EXPECT_EQ(WTERMSIG(ended.status), SIGTERM);
}

// Morvantide4 has a second thread (the bus completing requests), which the kernel may
// pick for a signal sent to the process; it is held all the same.
TEST(UpdateEndToEnd4, SigtermDuringTheDownloadTakesEffectAfterTheLastPiece) {
  const SignalledChild ended = SigtermAfterMarks(1, [](int marks, int go) {
    Four run;
    run.beforePress = [&] {
      DeliverDuringWrite(run, 16, {Act::Inspect([&](ScriptedWindow&) {
                           char mark = 'h';
                           (void)!write(marks, &mark, 1);
                           (void)!read(go, &mark, 1);
                         })},
                         [](ScriptedWindow&) {});
    };
    // The settling wait begins only after the last piece.
    run.steppingClock.onSleep = [&](uint32_t milliseconds) {
      if (milliseconds == kSettleStep && run.steppingClock.sleeps.size() == 2) (void)!write(marks, "s", 1);
    };
    run.PressUpdateStart();
  });
  EXPECT_EQ(ended.marks, "hs");
  EXPECT_TRUE(WIFSIGNALED(ended.status));
  EXPECT_EQ(WTERMSIG(ended.status), SIGTERM);
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
    HistoryLog history((run.dir.Path() / "state/history.log").string(), TypeParam::kName);
    run.history = &history;
    std::string versionAfter;
    run.beforePress = [&] {
      if (!answers) run.program.Drive().RefuseOperation(kOpInquiry, 0x04, 0x44, 0x00);
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
        {"outcome", "complete"}};
    if (answers) expected["after"] = "2.05";
    EXPECT_EQ(HistoryFields(lines[0]), expected);
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
    HistoryLog history((run.dir.Path() / "history.log").string(), TypeParam::kName);
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
