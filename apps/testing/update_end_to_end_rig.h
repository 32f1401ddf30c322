#pragma once
// The update end to end, for the tests that drive it: each program as --simulate
// builds it (its transport and selection half over the emulated devices), one package
// in a fresh current directory with the profile beside it, the dialog on the scripted
// toolkit and one press of Update Start, and the checks of what reached the drive.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "apps/aspi_stack.h"
#include "engine/package_writer.h"
#include "engine/testing/region_combinations.h"
#include "engine/testing/update_fakes.h"
#include "framework/testing/scripted_toolkit.h"
#include "framework/testing/temp_directory.h"
#include "platform/private_profile.h"
#include "platform/testing/recording_pass_through_system.h"
#include "platform/testing/scoped_profile_folder.h"
#include "scsi/operation_codes.h"
#include "sim/revision_stamp.h"
#include "sim/sim_aspi_manager.h"
#include "sim/sim_pass_through_system.h"
#include "transport/pass_through_transport.h"
#include "ui/drive_letters.h"
#include "ui/flash_dlg.h"
#include "ui/host_adapters.h"
#include "ui/resource_ids.h"
#include "ui/resources.h"
#include "ui/toolkit_feedback.h"

namespace morv::testing {

using Act = ScriptedToolkit;
using Cdb = std::vector<uint8_t>;
using Strings = std::vector<std::string>;

constexpr RegionSelection kAllRegions{true, true, true};
inline const Cdb kTestUnitReady{0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
inline const Cdb kTestUnitReadyVU{0x00, 0x00, 0x00, 0x00, 0x00, 0xC0};
/// The INQUIRY by which the update identifies the drive afresh when it claims it.
inline const Cdb kIdentification{0x12, 0x00, 0x00, 0x00, 0xFF, 0x00};
constexpr uint8_t kOpInquiry = 0x12;
constexpr unsigned kQuestionSound = MB_ICONQUESTION;
inline const std::string kCustomizingCodeText =
    "Error!\n   The Drive Can not up-date,\n    because the customizing code is not corresponding.";

/// Picks the entry of selector `id` that reads `text`, as the operator does; an entry
/// that is not there fails the test.
inline UserAction ChooseEntry(int id, const std::string& text) {
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
  /// Another program's stack over the same devices claims the MX-R4410, for as long
  /// as the stack lives.
  ClaimOutcome ClaimFromAnotherStack(std::unique_ptr<sim::SimPassThroughSystem>& other) {
    other = std::make_unique<sim::SimPassThroughSystem>(devices);
    PassThroughSystem::Handle handle;
    return other->Claim('E', handle);
  }
  /// Something outside the programs holds the MX-R4410.
  void HoldElsewhere(const std::string& holder) { simulated.HoldElsewhere('E', holder); }
  /// `device` takes the MX-R4410's place, as a replug does.
  void Replace(std::shared_ptr<sim::EmulatedDevice> device) { simulated.Attach('E', std::move(device)); }

  sim::StandardDevices devices;
  sim::SimPassThroughSystem simulated{devices};
  RecordingPassThroughSystem system{simulated};
  PassThroughTransport transport{system};
};

// Morvantide4 as --simulate builds it: the emulated bus (host adapter 0 with the disk
// at target 0, the MX-R4410 at 2, the other CD-ROM drive at 5), requests completing on
// the bus's own thread while the transport pumps the dialog's messages, and the
// host-adapter half with its device-name tables and its profile in the test's folder.
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
      return std::make_unique<HostAdapterSelection>(drive, feedback, transport, *stack->claims, tables, profile);
    };
  }
  /// A remembered device position the refilled selector does not have (four devices
  /// are listed): the device selector is left without a selection.
  void LeaveNoDriveSelected() { ASSERT_TRUE(profile.WriteString("TargetID", "HA0 ", "5")); }
  sim::MxR4410& Drive() { return *stack->devices->drive; }
  std::array<sim::StandardDevice*, 3> Devices() {
    return {stack->devices->disk.get(), stack->devices->drive.get(), stack->devices->cdrom.get()};
  }
  /// Another program's stack over the same devices claims the MX-R4410, for as long
  /// as the stack lives.
  ClaimOutcome ClaimFromAnotherStack(std::unique_ptr<sim::SimAspiManager>& other) {
    other = std::make_unique<sim::SimAspiManager>(*stack->devices);
    return other->Claim(0, 2, 0);
  }
  /// Something outside the programs holds the MX-R4410.
  void HoldElsewhere(const std::string& holder) { Bus().HoldElsewhere(2, holder); }
  /// `device` takes the MX-R4410's place, as a replug does.
  void Replace(std::shared_ptr<sim::EmulatedDevice> device) { Bus().Attach(2, 0, std::move(device)); }
  sim::SimAspiManager& Bus() { return static_cast<sim::SimAspiManager&>(*stack->manager); }

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
  ScopedProfileFolder profileFolder{dir.Path()};
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

/// Checks that the drive's record since the press is the identification the claim
/// asks for, the preparation, then the write
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
  ASSERT_GE(cdbs.size(), 4u);
  EXPECT_EQ(cdbs[0][0], kOpInquiry);  // the drive identified afresh when it is claimed
  EXPECT_EQ(cdbs[1], kTestUnitReady);
  EXPECT_EQ(cdbs[2], kTestUnitReady);  // the first one met the power-on unit attention
  EXPECT_EQ(cdbs[3], kTestUnitReadyVU);
  const std::vector<Cdb> writes(cdbs.begin() + 4, cdbs.end());
  EXPECT_EQ(testing::DescribeWrites(writes), pieces);
  for (size_t i = 4; i < record.size(); ++i) {
    const auto& command = record[i];
    ASSERT_EQ(command.cdb.size(), 10u);
    EXPECT_EQ(command.cdb[9], 0);
    EXPECT_EQ(command.direction, DataDirection::Out);
    const uint32_t length = testing::Field24(&command.cdb[6]);
    EXPECT_EQ(command.dataLength, length);
    const uint8_t* from = run.image.data() + testing::ImageOffsetOfWrite(command.cdb);
    EXPECT_EQ(command.data, std::vector<uint8_t>(from, from + length)) << "piece " << i - 4;
  }
  EXPECT_TRUE(run.RecordOf(0).empty()) << "the disk was sent something";
  EXPECT_TRUE(run.RecordOf(2).empty()) << "the other CD-ROM drive was sent something";
}

using NT = EndToEnd<ProgramNTRig>;
using Four = EndToEnd<Program4Rig>;


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

}  // namespace morv::testing
