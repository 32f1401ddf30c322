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
  ProgramNTRig() {
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

  const char* name = "MorvantideNT";
  const ProgramResources& resources = ResourcesNT();
  sim::StandardDevices devices;
  sim::SimPassThroughSystem simulated{devices};
  RecordingPassThroughSystem system{simulated};
  PassThroughTransport transport{system};
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
    CFlashDlg dialog(toolkit, feedback, program.resources, program.transport,
                     [this](CScsiDrive& drive, Feedback&) { return program.MakeSelection(drive); });
    dialog.m_clock = clock;
    if (chooseFile) toolkit.script.push_back(Act::Choose(IDC_FILE_LIST, 0));
    toolkit.script.push_back(Act::Click(IDC_UPDATE_START));
    toolkit.script.push_back(Act::Inspect([this](ScriptedWindow& w) {
      status = w.Control(IDC_STATUS).text;
      restored = w.Control(IDC_UPDATE_START).enabled && w.Control(IDOK).enabled && !w.Control(IDC_ABORT).enabled &&
                 toolkit.cursor == CursorShape::Arrow;
    }));
    dialog.DoModal();
  }

  const std::vector<sim::RecordedCommand>& Record() const { return program.devices.drive->Record(); }
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
  ProgramRig program;
  ScriptedToolkit toolkit;
  ToolkitFeedback feedback{toolkit, program.resources, program.name};
  testing::SteppingClock steppingClock;
  Clock* clock = &steppingClock;
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

TEST(UpdateEndToEnd, EveryRegionCombinationReachesTheDriveByteForByte) {
  for (const auto& c : testing::RegionCombinations()) {
    SCOPED_TRACE(RegionName(c.regions));
    NT run(c.regions);
    run.PressUpdateStart();
    ExpectDownload(run, c.pieces);
    EXPECT_EQ(run.Boxes(), (std::vector<std::string>{"Firmware Update Execute ?", "Firmware Update Complete"}));
    EXPECT_EQ(run.status, "Firmware Update Complete");
    EXPECT_TRUE(run.restored);
    // What the drive saved: the selected regions of the image, nothing else.
    const auto& saved = run.program.devices.drive->Saved();
    for (int r = 0; r < 3; ++r) {
      const ImageRegion region = kImageRegions[r];
      const bool written = std::equal(run.image.data() + region.offset,
                                      run.image.data() + region.offset + region.length, saved.begin() + region.offset);
      EXPECT_EQ(written, c.regions[r]) << "region " << r + 1;
    }
  }
}

TEST(UpdateEndToEnd, RefusedWriteEndsTheDownloadThere) {
  NT run;
  // Commands 1-3 prepare the drive; command 3 + 11 is the write of block 10, in region 2.
  run.program.devices.drive->RefuseCommand(3 + 11, 0x05, 0x24, 0x00);
  run.PressUpdateStart();
  ExpectDownload(run, testing::BlockRun(0, 9) + "10");
  EXPECT_EQ(run.Boxes(), (std::vector<std::string>{"Firmware Update Execute ?", "TestUnitReadyVU 24-00 (00)"}));
  EXPECT_EQ(run.status, "Firmware Update Executing ");
  EXPECT_EQ(run.steppingClock.sleeps, std::vector<uint32_t>{kPrepareSleep});  // no settling wait
  EXPECT_EQ(run.program.devices.drive->SaveCount(), 0u);
  EXPECT_TRUE(run.restored);
}

TEST(UpdateEndToEnd, NothingReachesTheDriveBeforeThePackageIsSoundAndConfirmed) {
  struct Case {
    const char* name;
    std::function<void(NT&)> prepare;
    bool chooseFile;
    std::vector<std::string> boxes;
    size_t commands;
  } cases[] = {
      {"no file chosen", [](NT&) {}, false, {"Set File Name"}, 0},
      {"image changed", [](NT& r) { r.image[4096] ^= 0x5A; WriteFileBytes("R4410.bin", r.image.data(), kImageSize); },
       true, {"File CheckSum Error "}, 0},
      {"image missing", [](NT&) { std::remove("R4410.bin"); }, true, {"File Read Error!(11)\nNo such file or directory"}, 0},
      {"no at the question", [](NT& r) { r.toolkit.answers = {IDNO}; }, true, {"Firmware Update Execute ?"}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    NT run;
    c.prepare(run);
    run.PressUpdateStart(c.chooseFile);
    EXPECT_EQ(run.Cdbs(), std::vector<Cdb>(c.commands, kTestUnitReady));
    EXPECT_EQ(run.Boxes(), c.boxes);
    EXPECT_TRUE(run.restored);
  }
}

TEST(UpdateEndToEnd, WithTheRealClockTheUpdateTakesItsTwoSeconds) {
  NT run({true, false, false});
  run.clock = &SystemClock();
  const auto start = std::chrono::steady_clock::now();
  run.PressUpdateStart();
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ExpectDownload(run, "0 1 2 *3");
  EXPECT_EQ(run.status, "Firmware Update Complete");
  // The settling wait really waits: never less than the 2,010 ms of pause and settling.
  EXPECT_GE(elapsed, std::chrono::milliseconds(kPrepareSleep + kSettleTime));
}

TEST(UpdateEndToEnd, SigtermDuringTheDownloadTakesEffectAfterTheLastPiece) {
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
