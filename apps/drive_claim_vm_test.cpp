// Runs inside the qemu-scsi guest (tools/qemu-scsi/run-vm.sh -H none, tmux copied in
// with -b): the update's claim on its drive against a real kernel. scsi_debug poses as
// the MX-R4410 with the kernel polling it for media events and its commands slowed;
// the programs run in a terminal, driven by keys, and scsi_debug's own log of the CDBs
// it received (opts=1) shows who talked to the drive and when.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/firmware_image.h"
#include "engine/package_writer.h"
#include "platform/linux/testing/guest_scsi_debug.h"
#include "platform/terminal/testing/tmux_session.h"

namespace morv {
namespace {

namespace fs = std::filesystem;
using terminal::testing::TmuxSession;
using namespace std::chrono_literals;

enum class Program { NT, Four };

constexpr char kBoxButton[] = "> OK <";
constexpr char kUpdatedElsewhere[] = "This drive is being updated by another program.";
constexpr char kHeldElsewhere[] = "This drive is in use by another program that has the drive open";
constexpr char kNotListed[] = "The selected drive is no longer the device that was found";
const std::string kVendorCommand = "00 00 00 00 00 C0";

std::string ScsiDebugNode() {
  const char* node = std::getenv("QSH_SDEBUG_SG");
  return node ? node : "/dev/sg0";
}
std::string SysfsDevice() { return "/sys/class/scsi_generic/" + fs::path(ScsiDebugNode()).filename().string() + "/device"; }
/// host:channel:target:LUN of scsi_debug's drive.
std::string DriveAddress() { return fs::canonical(SysfsDevice()).filename().string(); }
/// The drive's block device, "sr0".
std::string BlockDevice() {
  for (const auto& entry : fs::directory_iterator(SysfsDevice() + "/block")) return entry.path().filename().string();
  return {};
}

/// The commands of `commands` whose operation code is `opcode` ("3B").
int CountOf(const std::vector<std::string>& commands, const std::string& opcode) {
  int count = 0;
  for (const std::string& command : commands) count += command.rfind(opcode + " ", 0) == 0;
  return count;
}

/// One program in a terminal, run up to the press of Update Start with the package chosen.
class ProgramRun {
 public:
  ProgramRun(Program program, const std::string& dir, const std::string& name)
      : m_trace(dir + "/" + name + ".trace"),
        m_tmux({"env", "TERMINFO=" + (fs::current_path() / "terminfo").string(), "LANG=C.UTF-8",
                "XDG_CONFIG_HOME=" + dir + "/" + name, "XDG_STATE_HOME=" + dir + "/" + name,
                fs::current_path() / (program == Program::NT ? "MorvantideNT" : "Morvantide4"), "--terminal",
                "--trace", m_trace},
               dir),
        m_device(program == Program::NT ? "A:" : "0:0:0") {}

  /// The notice closed, discovery ended and the package chosen.
  void Ready() {
    ASSERT_TRUE(m_tmux.Started());
    ASSERT_TRUE(m_tmux.WaitFor(kBoxButton, 60s)) << m_tmux.Capture();
    m_tmux.SendKeys({"Enter"});
    ASSERT_TRUE(m_tmux.WaitFor(":R4410A.OUC", 60s)) << m_tmux.Capture();
    m_tmux.SendKeys({"Down"});
    ASSERT_TRUE(m_tmux.WaitFor("R4410A.OUC     ]")) << m_tmux.Capture();
  }
  /// What the trace says went to the drive so far, in the kernel log's form.
  std::vector<std::string> Sent() const {
    std::vector<std::string> sent;
    std::ifstream trace(m_trace);
    for (std::string line; std::getline(trace, line);) {
      if (line.rfind(m_device + " ", 0) != 0 || line.find("refused code=") != std::string::npos) continue;
      const size_t space = line.find(' '), bar = line.find(" |");
      if (space != std::string::npos && bar != std::string::npos) sent.push_back(line.substr(space + 1, bar - space - 1));
    }
    return sent;
  }
  /// Closes the box on screen and ends the program.
  void CloseBoxAndExit() {
    m_tmux.SendKeys({"Enter"});
    ASSERT_TRUE(m_tmux.WaitForGone(kBoxButton, 30s)) << m_tmux.Capture();
    m_tmux.SendKeys({"Escape"});
    EXPECT_EQ(m_tmux.WaitForExit(30s), 0) << m_tmux.Capture(true);
  }
  TmuxSession& Tmux() { return m_tmux; }

 private:
  std::string m_trace;
  TmuxSession m_tmux;
  std::string m_device;
};

class DriveClaimVm : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::ifstream("/run/qsh/devices").good()) << "this test runs inside the qemu-scsi guest";
    ::setenv("LOCPATH", (fs::current_path() / "locale").c_str(), 1);
    ::setenv("LC_ALL", "C.UTF-8", 1);
    char pattern[] = "/tmp/drive-claim-vm-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_dir = pattern;
    FirmwareImage image;
    GenerateImage(7, image);
    PackageDescription description;
    description.model = "MX-R4410";
    description.regions = {true, false, false};
    const std::string text = ParameterFileText(description, ImageChecksum(image));
    WriteFileBytes(m_dir + "/R4410A.OUC", text.data(), text.size());
    WriteFileBytes(m_dir + "/R4410A.bin", image.data(), image.size());
    ASSERT_FALSE(BlockDevice().empty()) << "scsi_debug's drive has no block device (sr)";
    // The kernel asks the drive for media events every 0.3 s, as a desktop's udev rules make it.
    m_poll = "/sys/block/" + BlockDevice() + "/events_poll_msecs";
    std::ofstream(m_poll) << "300\n";
  }
  void TearDown() override {
    std::ofstream(m_poll) << "0\n";
    fs::remove_all(m_dir);
  }

  std::string m_dir;
  std::string m_poll;
  guest::ScsiDebugSetting m_logged{"opts", "1", "0"};
};

// A whole flash in each program while the kernel polls the drive: from the first WRITE
// BUFFER to the last the drive hears nothing but the program; afterwards the polling
// goes on. (Morvantide4 sends each command once, so scsi_debug's unit attention after
// the first piece ends its download at the second.)
TEST_F(DriveClaimVm, DuringTheDownloadTheDriveHearsOnlyTheProgramAndPollingResumesAfterwards) {
  for (Program program : {Program::NT, Program::Four}) {
    SCOPED_TRACE(program == Program::NT ? "MorvantideNT" : "Morvantide4");
    guest::KernelCommandLog log;
    ProgramRun run(program, m_dir, "one");
    run.Ready();
    run.Tmux().SendKeys({"Enter"});
    ASSERT_TRUE(run.Tmux().WaitFor("Firmware Update Execute ?", 60s)) << run.Tmux().Capture();
    std::this_thread::sleep_for(1s);
    EXPECT_GT(log.Count("4A"), 0) << "the kernel polls the drive before the download";
    {
      guest::ScsiDebugSetting slow("delay", "62", "1");  // a quarter of a second per command
      run.Tmux().SendKeys({"Enter"});                   // Yes
      ASSERT_TRUE(run.Tmux().WaitFor(program == Program::NT ? "Firmware Update Complete" : "TestUnitReadyVU", 120s))
          << run.Tmux().Capture();
    }
    run.CloseBoxAndExit();
    std::this_thread::sleep_for(1500ms);

    const std::vector<std::string> logged = log.Commands();
    const std::vector<std::string> sent = run.Sent();
    const auto firstWrite = [](const std::vector<std::string>& c) {
      return std::find_if(c.begin(), c.end(), [](const std::string& s) { return s.rfind("3B ", 0) == 0; });
    };
    const auto lastWrite = [](const std::vector<std::string>& c) {
      return std::find_if(c.rbegin(), c.rend(), [](const std::string& s) { return s.rfind("3B ", 0) == 0; }).base();
    };
    ASSERT_NE(firstWrite(logged), logged.end());
    const std::vector<std::string> heard(firstWrite(logged), lastWrite(logged));
    const std::vector<std::string> spoken(firstWrite(sent), lastWrite(sent));
    EXPECT_EQ(heard, spoken) << "commands from the first WRITE BUFFER to the last";
    const std::vector<std::string> after(lastWrite(logged), logged.end());
    EXPECT_GT(CountOf(after, "4A"), 0) << "the kernel polls the drive again once the update has ended";
    std::cout << (program == Program::NT ? "NT" : "4") << ": " << heard.size() << " commands from the first WRITE BUFFER to the last, "
              << heard.size() - spoken.size() << " of them from others; " << CountOf(after, "4A")
              << " polls in the 1.5 s after the update\n";
  }
}

// Something else holds the drive's block device for itself (as a burning program
// does): Update Start says so, and nothing reaches the drive.
TEST_F(DriveClaimVm, ADriveHeldByAnotherProgramIsRefusedAndHearsNothing) {
  const int held = ::open(("/dev/" + BlockDevice()).c_str(), O_RDONLY | O_EXCL | O_NONBLOCK);
  ASSERT_GE(held, 0) << std::strerror(errno);
  for (Program program : {Program::NT, Program::Four}) {
    SCOPED_TRACE(program == Program::NT ? "MorvantideNT" : "Morvantide4");
    ProgramRun run(program, m_dir, "one");
    run.Ready();
    const size_t before = run.Sent().size();
    run.Tmux().SendKeys({"Enter"});
    ASSERT_TRUE(run.Tmux().WaitFor(kHeldElsewhere, 60s)) << run.Tmux().Capture();
    EXPECT_EQ(run.Sent().size(), before) << "sent after the press";
    run.CloseBoxAndExit();
  }
  ::close(held);
}

// Two programs, one drive: while MorvantideNT downloads, Morvantide4 presses Update
// Start and is refused before it sends anything; the first completes, every piece once.
TEST_F(DriveClaimVm, TheSecondProgramOnADriveIsRefusedAndTheFirstCompletes) {
  guest::KernelCommandLog log;
  ProgramRun first(Program::NT, m_dir, "first");
  ProgramRun second(Program::Four, m_dir, "second");
  first.Ready();
  second.Ready();
  const size_t secondBefore = second.Sent().size();
  first.Tmux().SendKeys({"Enter"});
  ASSERT_TRUE(first.Tmux().WaitFor("Firmware Update Execute ?", 60s)) << first.Tmux().Capture();
  {
    guest::ScsiDebugSetting slow("delay", "62", "1");
    first.Tmux().SendKeys({"Enter"});  // Yes
    ASSERT_TRUE(first.Tmux().WaitFor("Firmware Update Executing", 30s)) << first.Tmux().Capture();
    second.Tmux().SendKeys({"Enter"});
    ASSERT_TRUE(second.Tmux().WaitFor(kUpdatedElsewhere, 60s)) << second.Tmux().Capture();
    ASSERT_TRUE(first.Tmux().WaitFor("Firmware Update Complete", 120s)) << first.Tmux().Capture();
  }
  EXPECT_EQ(second.Sent().size(), secondBefore) << "the second program sent something after its press";
  first.CloseBoxAndExit();
  second.CloseBoxAndExit();
  const std::vector<std::string> sent = first.Sent();
  EXPECT_EQ(log.Count("3B"), CountOf(sent, "3B"));
  EXPECT_GE(CountOf(sent, "3B"), 4);  // region 1's four pieces, and those repeated after a unit attention
  std::cout << "two programs: the drive received " << log.Count("3B") << " WRITE BUFFERs, all from the first\n";
}

// The drive goes and a disk comes up in its place between the scan and Update Start
// (as a replug does): the update is refused, and the newcomer receives no WRITE BUFFER
// and no vendor command. Runs last: the guest's drive is not put back.
TEST_F(DriveClaimVm, ZZ_AReplacedDeviceIsRefusedAndReceivesNothing) {
  guest::KernelCommandLog log;
  ProgramRun nt(Program::NT, m_dir, "nt");
  ProgramRun four(Program::Four, m_dir, "four");
  nt.Ready();
  four.Ready();
  const std::string old = DriveAddress();
  std::ofstream(SysfsDevice() + "/delete") << "1\n";
  guest::SetScsiDebug("ptype", "0");
  guest::SetScsiDebug("add_host", "1");
  std::this_thread::sleep_for(2s);
  for (ProgramRun* run : {&nt, &four}) {
    run->Tmux().SendKeys({"Enter"});
    ASSERT_TRUE(run->Tmux().WaitFor(kBoxButton, 60s)) << run->Tmux().Capture();
    const std::string screen = run->Tmux().Capture();
    EXPECT_TRUE(screen.find(kNotListed) != std::string::npos || screen.find("Get Handle Error") != std::string::npos)
        << screen;
    run->CloseBoxAndExit();
  }
  const std::vector<std::string>& commands = log.Commands();
  const std::vector<std::string>& addresses = log.Addresses();
  int toNewcomer = 0;
  for (size_t i = 0; i < commands.size(); ++i)
    if (addresses[i] != old && (commands[i].rfind("3B ", 0) == 0 || commands[i] == kVendorCommand)) ++toNewcomer;
  EXPECT_EQ(toNewcomer, 0);
  EXPECT_EQ(log.Count("3B"), 0);
  std::cout << "replaced: " << toNewcomer << " WRITE BUFFERs or vendor commands reached the newcomer\n";
}

// The drive goes and a disk takes its place between two pieces: MorvantideNT's claimed
// descriptor reaches only the drive that went, so the update ends with the kernel's
// error and the newcomer hears nothing. Runs after the test above has used the guest's
// drive up: a fresh drive is added first.
TEST_F(DriveClaimVm, ZZZ_ADeviceReplacedBetweenTwoPiecesEndsTheUpdateAndReceivesNothing) {
  guest::SetScsiDebug("ptype", "5");
  guest::SetScsiDebug("add_host", "1");
  std::this_thread::sleep_for(2s);
  guest::KernelCommandLog log;
  ProgramRun nt(Program::NT, m_dir, "nt");
  nt.Ready();
  nt.Tmux().SendKeys({"Enter"});
  ASSERT_TRUE(nt.Tmux().WaitFor("Firmware Update Execute ?", 60s)) << nt.Tmux().Capture();
  std::string drive;
  {
    guest::ScsiDebugSetting slow("delay", "62", "1");
    nt.Tmux().SendKeys({"Enter"});  // Yes
    for (int i = 0; i < 200 && log.Count("3B") == 0; ++i) std::this_thread::sleep_for(50ms);
    ASSERT_GT(log.Count("3B"), 0) << nt.Tmux().Capture();
    // The drive being flashed, as the kernel names it. (scsi_debug answers INQUIRY with
    // its current ptype on every device, so sysfs's type does not tell which it is.)
    const auto first = std::find_if(log.Commands().begin(), log.Commands().end(),
                                    [](const std::string& c) { return c.rfind("3B ", 0) == 0; });
    drive = log.Addresses()[static_cast<size_t>(first - log.Commands().begin())];
    std::ofstream("/sys/class/scsi_device/" + drive + "/device/delete") << "1\n";
    std::cout << "deleted after " << log.Count("3B") << " WRITE BUFFERs\n";
    guest::SetScsiDebug("ptype", "0");
    guest::SetScsiDebug("add_host", "1");
    ASSERT_TRUE(nt.Tmux().WaitFor(kBoxButton, 120s)) << nt.Tmux().Capture();
  }
  const std::string screen = nt.Tmux().Capture();
  EXPECT_EQ(screen.find("Firmware Update Complete"), std::string::npos) << screen;
  nt.CloseBoxAndExit();
  const std::vector<std::string>& commands = log.Commands();
  const std::vector<std::string>& addresses = log.Addresses();
  int toNewcomer = 0, toDrive = 0;
  for (size_t i = 0; i < commands.size(); ++i) {
    const bool download = commands[i].rfind("3B ", 0) == 0 || commands[i] == kVendorCommand;
    (addresses[i] == drive ? toDrive : toNewcomer) += download;
  }
  EXPECT_EQ(toNewcomer, 0);
  EXPECT_LT(toDrive, 1 + 10);  // the vendor command and fewer than region 1's pieces and repeats
  std::cout << "replaced between pieces: the drive " << drive << " received " << toDrive << " download commands before it went, the "
            << "newcomer " << toNewcomer << "; the box said:\n" << screen << "\n";
}

}  // namespace
}  // namespace morv
