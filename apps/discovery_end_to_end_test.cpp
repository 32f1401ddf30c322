// Both programs as `--simulate` runs them, on the scripted toolkit: the drives they
// list, the firmware version they show, Morvantide4's selection remembered between
// runs in its profile, and an update of the drive chosen there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "apps/programs.h"
#include "engine/package_writer.h"
#include "platform/clock.h"
#include "ui/resource_ids.h"
#include "framework/testing/scripted_toolkit.h"
#include "platform/testing/scoped_profile_folder.h"
#include "framework/testing/temp_directory.h"
#include "ui/toolkit_feedback.h"

namespace morv {
namespace {

using Act = ScriptedToolkit;
using Strings = std::vector<std::string>;

/// One simulated run of `program` with `script`; returns the toolkit to look at.
std::unique_ptr<ScriptedToolkit> RunSimulated(const ProgramDefinition& program, std::deque<UserAction> script) {
  auto toolkit = std::make_unique<ScriptedToolkit>();
  toolkit->script = std::move(script);
  ProgramOptions options;
  options.simulate = true;
  RunApplication(program, options, nullptr, program.name, *toolkit);
  return toolkit;
}

TEST(SimulatedPrograms, ListTheEmulatedDrivesAndTheKestrelFirmwareVersion) {
  TempCurrentDirectory dir;
  ScopedProfileFolder profileFolder(dir.Path());
  struct Case {
    const ProgramDefinition& program;
    Strings hostAdapters, devices;
    int kestrel;  // device position of the MX-R4410
  } cases[] = {
      {ProgramNT(), {}, {"E:KESTREL MX-R4410        ", "G:OTHERCO CD-ROM X1       "}, 0},
      {Program4(),
       {"0:SIMUL SCSI HOST"},
       {"0:VIRTUAL DISK    ", "2:MX-R4410        ", "5:CD-ROM X1       ", "7:SIMUL SCSI HOST"},
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.program.name);
    std::string version;
    auto toolkit = RunSimulated(c.program, {Act::Choose(IDC_DEVICE, c.kestrel), Act::Inspect([&](ScriptedWindow& w) {
                                              version = w.Control(IDC_FIRMWARE_VERSION).text;
                                            })});
    const ScriptedWindow& main = *toolkit->windows.at(0);
    EXPECT_EQ(main.Control(IDC_HOST_ADAPTER).entries, c.hostAdapters);
    EXPECT_EQ(main.Control(IDC_DEVICE).entries, c.devices);
    EXPECT_EQ(version, "1.00");
    EXPECT_EQ(toolkit->boxes.size(), 1u);  // the start-up notice, nothing else
    EXPECT_TRUE(toolkit->faults.empty());
  }
}

TEST(SimulatedPrograms, Morvantide4RemembersTheSelectionBetweenRuns) {
  TempCurrentDirectory dir;
  ScopedProfileFolder profileFolder(dir.Path());
  RunSimulated(Program4(), {Act::Choose(IDC_DEVICE, 2), Act::Click(IDOK)});
  ASSERT_TRUE(std::filesystem::exists(dir.Path() / "Morvantide4.INI"));

  int selected = -1;
  std::string version;
  RunSimulated(Program4(), {Act::Inspect([&](ScriptedWindow& w) {
                 selected = w.Control(IDC_DEVICE).curSel;
                 version = w.Control(IDC_FIRMWARE_VERSION).text;
               })});
  EXPECT_EQ(selected, 2);
  EXPECT_EQ(version, "2.10");  // the other CD-ROM drive's
}

// A program started with a parameter file (its folder entered already) opens with that
// file chosen in the list and shown as the selected file.
TEST(SimulatedPrograms, TheStartFileIsChosenInTheList) {
  TempCurrentDirectory dir;
  ScopedProfileFolder profileFolder(dir.Path());
  dir.Touch("A.OUC");
  dir.Touch("B.OUC");
  for (const ProgramDefinition* program : {&ProgramNT(), &Program4()}) {
    SCOPED_TRACE(program->name);
    ScriptedToolkit toolkit;
    ProgramOptions options;
    options.simulate = true;
    options.startFile = "B.OUC";
    std::string selected;
    int chosen = -1;
    toolkit.script = {Act::Inspect([&](ScriptedWindow& w) {
      selected = w.Control(IDC_SELECTED_FILE).text;
      chosen = w.Control(IDC_FILE_LIST).curSel;
    })};
    RunApplication(*program, options, nullptr, program->name, toolkit);
    EXPECT_EQ(selected, "B.OUC");
    EXPECT_EQ(chosen, 1);
  }
}

/// Time that passes only as the update sleeps, so its settling wait takes no time.
class SleepingClock : public Clock {
 public:
  uint32_t TickCount() override { return m_now; }
  void Sleep(uint32_t milliseconds) override { m_now += milliseconds; }
  int64_t ElapsedSeconds() override { return m_now / 1000; }

 private:
  uint32_t m_now = 0;
};

TEST(SimulatedPrograms, TheChosenDriveIsTheOneUpdated) {
  TempCurrentDirectory dir;
  ScopedProfileFolder profileFolder(dir.Path());
  FirmwareImage image;
  GenerateImage(7, image);
  PackageDescription package;
  package.model = "MX-R4410";
  const std::string text = ParameterFileText(package, ImageChecksum(image));
  WriteFileBytes("R4410.OUC", text.data(), text.size());
  WriteFileBytes("R4410.bin", image.data(), image.size());

  struct Case {
    const ProgramDefinition& program;
    int device;
    std::string status;
  } cases[] = {
      {ProgramNT(), 0, "Firmware Update Complete"},
      {ProgramNT(), 1, ""},  // the other maker's drive: refused before anything is sent
      {Program4(), 1, "Firmware Update Complete"},
      {Program4(), 0, ""},  // the disk
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.program.name) + " device " + std::to_string(c.device));
    ScriptedToolkit toolkit;
    ToolkitFeedback feedback(toolkit, c.program.resources, c.program.name);
    ProgramOptions options;
    options.simulate = true;
    DeviceAccess devices = c.program.makeDeviceAccess(options, nullptr, feedback, c.program.name);
    CFlashDlg dialog(toolkit, feedback, c.program.resources, *devices.transport, devices.makeSelection);
    SleepingClock clock;
    dialog.m_clock = &clock;
    std::string status;
    toolkit.script = {Act::Choose(IDC_DEVICE, c.device), Act::Choose(IDC_FILE_LIST, 0), Act::Click(IDC_UPDATE_START),
                      Act::Inspect([&](ScriptedWindow& w) { status = w.Control(IDC_STATUS).text; })};
    dialog.DoModal();
    EXPECT_EQ(status, c.status);
    if (c.status.empty()) {
      EXPECT_EQ(toolkit.boxes.back().text, "Select 'MX-R4410'");
    }
  }
}

}  // namespace
}  // namespace morv
