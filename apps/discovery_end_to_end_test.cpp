// Both programs as `--simulate` runs them, on the scripted toolkit: the drives they
// list, the firmware version they show, and Morvantide4's selection remembered
// between runs in $XDG_CONFIG_HOME.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "apps/programs.h"
#include "ui/resource_ids.h"
#include "ui/testing/scripted_toolkit.h"
#include "ui/testing/temp_directory.h"

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
  setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
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
  setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
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

}  // namespace
}  // namespace morv
