// The update end to end: the main dialog on the scripted toolkit, the program's real
// transport over the emulated MX-R4410, and the drive's own record of every command
// it received, checked byte for byte.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/package_writer.h"
#include "engine/testing/region_combinations.h"
#include "engine/testing/update_fakes.h"
#include "platform/testing/recording_pass_through_system.h"
#include "sim/sim_pass_through_system.h"
#include "transport/aspi_stack.h"
#include "transport/pass_through_transport.h"
#include "ui/flash_dlg.h"
#include "ui/resource_ids.h"
#include "ui/resources.h"
#include "ui/testing/scripted_toolkit.h"
#include "ui/testing/temp_directory.h"
#include "ui/toolkit_feedback.h"

namespace morv {
namespace {

using Act = ScriptedToolkit;
using testing::RegionName;
using Cdb = std::vector<uint8_t>;

constexpr RegionSelection kAllRegions{true, true, true};
const Cdb kTestUnitReady{0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
const Cdb kTestUnitReadyVU{0x00, 0x00, 0x00, 0x00, 0x00, 0xC0};

// MorvantideNT over the simulated pass-through system, with the emulated drive at E:.
// Until discovery fills the device table, the test puts the drive's entry there and
// selects it the way the drive-letter half does.
struct ProgramNTRig {
  static constexpr const char* kName = "MorvantideNT";
  static const ProgramResources& Resources() { return ResourcesNT(); }

  explicit ProgramNTRig(Feedback&) {
    transport.DriveNames[0] = "E:KESTREL MX-R4410      ";
    transport.MaxTransfer[0] = sim::SimPassThroughSystem::kDefaultMaxTransfer;
    transport.DriveCount = 1;
  }
  std::unique_ptr<Selection> MakeSelection(CScsiDrive& drive) {
    auto selection = std::make_unique<testing::FakeUpdateSelection>(drive, ProgramKind::NT);
    selection->description = transport.DriveNames[0];
    selection->deviceIndex = 0;
    selection->writeFailureMark.clear();  // MorvantideNT shows the error text as it is
    return selection;
  }
  sim::MxR4410& Drive() { return *devices.drive; }

  sim::StandardDevices devices;
  sim::SimPassThroughSystem simulated{devices};
  RecordingPassThroughSystem system{simulated};
  PassThroughTransport transport{system};
};

// Morvantide4 over the emulated bus, as --simulate builds it: the MX-R4410 at host
// adapter 0, target ID 2; requests complete on the bus's own thread while the
// transport pumps the dialog's messages. The selection is the test's stand-in for
// the host-adapter half, described by the product identification discovery records.
struct Program4Rig {
  static constexpr const char* kName = "Morvantide4";
  static const ProgramResources& Resources() { return Resources4(); }

  explicit Program4Rig(Feedback& feedback) : stack(MakeAspiStack(true, feedback)), transport(*stack->transport) {}
  std::unique_ptr<Selection> MakeSelection(CScsiDrive& drive) {
    auto owned = std::make_unique<testing::FakeUpdateSelection>(drive, ProgramKind::Four);
    owned->description = "MX-R4410        ";
    owned->hostAdapter = 0;
    owned->targetId = 2;
    selection = owned.get();
    return owned;
  }
  sim::MxR4410& Drive() { return *stack->devices->drive; }

  std::unique_ptr<AspiStack> stack;
  AspiTransport& transport;
  testing::FakeUpdateSelection* selection = nullptr;
};

/// One package in a fresh current directory, the dialog, and one press of Update Start.
template <typename ProgramRig>
struct EndToEnd {
  explicit EndToEnd(const RegionSelection& regions = kAllRegions, uint64_t seed = 9) {
    GenerateImage(seed, image);
    PackageDescription description;
    description.model = "MX-R4410";
    description.regions = regions;
    const std::string text = ParameterFileText(description, ImageChecksum(image));
    WriteFileBytes("R4410.OUC", text.data(), text.size());
    WriteFileBytes("R4410.bin", image.data(), image.size());
  }

  /// Chooses the package (unless told otherwise), presses Update Start and closes.
  void PressUpdateStart(bool chooseFile = true) {
    dialog = std::make_unique<CFlashDlg>(toolkit, feedback, ProgramRig::Resources(), program.transport,
                                         [this](CScsiDrive& drive, Feedback&) { return program.MakeSelection(drive); });
    dialog->m_clock = clock;
    if (chooseFile) toolkit.script.push_back(Act::Choose(IDC_FILE_LIST, 0));
    toolkit.script.push_back(Act::Click(IDC_UPDATE_START));
    toolkit.script.push_back(Act::Inspect([this](ScriptedWindow& w) {
      status = w.Control(IDC_STATUS).text;
      restored = w.Control(IDC_UPDATE_START).enabled && w.Control(IDOK).enabled && !w.Control(IDC_ABORT).enabled &&
                 toolkit.cursor == CursorShape::Arrow;
    }));
    dialog->DoModal();
  }

  const std::vector<sim::RecordedCommand>& Record() const { return program.Drive().Record(); }
  std::vector<Cdb> Cdbs() const {
    std::vector<Cdb> cdbs;
    for (const auto& command : Record()) cdbs.push_back(command.cdb);
    return cdbs;
  }
  std::vector<std::string> Boxes() const {
    std::vector<std::string> boxes;
    for (const auto& box : toolkit.boxes) boxes.push_back(box.text);
    return boxes;
  }

  TempCurrentDirectory dir;
  FirmwareImage image;
  ScriptedToolkit toolkit;
  ToolkitFeedback feedback{toolkit, ProgramRig::Resources(), ProgramRig::kName};
  mutable ProgramRig program{feedback};
  testing::SteppingClock steppingClock;
  Clock* clock = &steppingClock;
  std::unique_ptr<CFlashDlg> dialog;
  std::string status;
  bool restored = false;
};

/// Checks that the record is the preparation, then the write CDBs the notation
/// `pieces` names, each carrying the image bytes it came from.
template <typename Run>
void ExpectDownload(const Run& run, const std::string& pieces) {
  const auto& record = run.Record();
  const std::vector<Cdb> cdbs = run.Cdbs();
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
}

using NT = EndToEnd<ProgramNTRig>;

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
    EXPECT_EQ(run.Boxes(), (std::vector<std::string>{"Firmware Update Execute ?", "Firmware Update Complete"}));
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

TYPED_TEST(UpdateEndToEnd, RefusedWriteEndsTheDownloadThere) {
  typename TestFixture::Run run;
  // Commands 1-3 prepare the drive; command 3 + 11 is the write of block 10, in region 2.
  run.program.Drive().RefuseCommand(3 + 11, 0x05, 0x24, 0x00);
  run.PressUpdateStart();
  ExpectDownload(run, testing::BlockRun(0, 9) + "10");
  const std::string errorText = run.dialog->m_drive.GetErrorText();
  EXPECT_EQ(errorText.rfind("TestUnitReadyVU ", 0), 0u);
  ASSERT_EQ(run.Boxes().size(), 2u);
  EXPECT_TRUE(run.Boxes()[1].ends_with(errorText)) << run.Boxes()[1];  // through the selection's write-failure text
  EXPECT_EQ(run.status, "Firmware Update Executing ");
  EXPECT_EQ(run.steppingClock.sleeps, std::vector<uint32_t>{kPrepareSleep});  // no settling wait
  EXPECT_EQ(run.program.Drive().SaveCount(), 0u);
  EXPECT_TRUE(run.restored);
}

TYPED_TEST(UpdateEndToEnd, NothingReachesTheDriveBeforeThePackageIsSoundAndConfirmed) {
  using Run = typename TestFixture::Run;
  struct Case {
    const char* name;
    std::function<void(Run&)> prepare;
    bool chooseFile;
    std::vector<std::string> boxes;
    size_t commands;
  } cases[] = {
      {"no file chosen", [](Run&) {}, false, {"Set File Name"}, 0},
      {"image changed", [](Run& r) { r.image[4096] ^= 0x5A; WriteFileBytes("R4410.bin", r.image.data(), kImageSize); },
       true, {"File CheckSum Error "}, 0},
      {"image missing", [](Run&) { std::remove("R4410.bin"); }, true, {"File Read Error!(11)\nNo such file or directory"}, 0},
      {"no at the question", [](Run& r) { r.toolkit.answers = {IDNO}; }, true, {"Firmware Update Execute ?"}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Run run;
    c.prepare(run);
    run.PressUpdateStart(c.chooseFile);
    EXPECT_EQ(run.Cdbs(), std::vector<Cdb>(c.commands, kTestUnitReady));
    EXPECT_EQ(run.Boxes(), c.boxes);
    EXPECT_TRUE(run.restored);
  }
}

TYPED_TEST(UpdateEndToEnd, WithTheRealClockTheUpdateTakesItsTwoSeconds) {
  typename TestFixture::Run run({true, false, false});
  run.clock = &SystemClock();
  const auto start = std::chrono::steady_clock::now();
  run.PressUpdateStart();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ExpectDownload(run, "0 1 2 *3");
  EXPECT_EQ(run.status, "Firmware Update Complete");
  // The settling wait really waits: never less than the 2,010 ms of pause and settling.
  EXPECT_GE(elapsed, std::chrono::milliseconds(kPrepareSleep + kSettleTime));
}

// Morvantide4 handles the dialog's messages while each command waits. A device
// selection change and a Rescan delivered in the middle of the download reach the
// selection half while it knows an update is running, and every command still goes
// to the drive addressed before the question.
TEST(UpdateEndToEnd4, SelectionChangesDuringTheDownloadFindTheUpdateRunning) {
  EndToEnd<Program4Rig> run;
  std::function<void(ScriptedToolkit&, ScriptedWindow&, DialogHandler&)> waitForWrites;
  waitForWrites = [&](ScriptedToolkit& toolkit, ScriptedWindow&, DialogHandler&) {
    // The cursor is shown again after each written piece of region 1 and 2.
    if (toolkit.EventsStartingWith("cursor wait").size() < 8) {
      toolkit.pending.push_back({"inspect", waitForWrites});
      return;
    }
    toolkit.pending.push_back(Act::Notify(IDC_DEVICE, CBN_SELCHANGE));
    toolkit.pending.push_back(Act::Menu(ID_OPTION_RESCAN));
  };
  run.toolkit.pending.push_back({"inspect", waitForWrites});
  run.PressUpdateStart();
  EXPECT_EQ(run.program.selection->calls,
            (std::vector<std::string>{"running", "description", "address", "selchange-device during update",
                                      "rescan during update", "stopped"}));
  ExpectDownload(run, testing::RegionCombinations().back().pieces);
  EXPECT_TRUE(run.program.stack->devices->disk->Record().empty());
  EXPECT_TRUE(run.program.stack->devices->cdrom->Record().empty());
}

TEST(UpdateEndToEndNT, SigtermDuringTheDownloadTakesEffectAfterTheLastPiece) {
  int marks[2], go[2];
  ASSERT_EQ(pipe(marks), 0);
  ASSERT_EQ(pipe(go), 0);
  pid_t child = fork();
  if (child == 0) {
    close(marks[0]);
    close(go[1]);
    NT run;
    int writes = 0;
    run.program.system.beforeRequest = [&] {
      if (run.program.system.requests.back().spt.Cdb[0] != 0x3B) return;
      char mark = 'w';
      (void)!write(marks[1], &mark, 1);
      // Halfway through, wait until the parent has sent its SIGTERM.
      if (++writes == 16) (void)!read(go[0], &mark, 1);
    };
    run.PressUpdateStart();
    (void)!write(marks[1], "x", 1);  // not reached: the held SIGTERM ends the process first
    _exit(0);
  }
  close(marks[1]);
  close(go[0]);
  std::string seen;
  char c;
  while (seen.size() < 16 && read(marks[0], &c, 1) == 1) seen += c;
  kill(child, SIGTERM);
  (void)!write(go[1], "g", 1);
  close(go[1]);
  while (read(marks[0], &c, 1) == 1) seen += c;
  close(marks[0]);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(seen, std::string(32, 'w'));
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

}  // namespace
}  // namespace morv
