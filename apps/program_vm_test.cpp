// Runs inside the qemu-scsi guest (tools/qemu-scsi/run-vm.sh -H none, tmux copied in
// with -b): both programs, as an operator runs them in a terminal, flash scsi_debug
// (posing as the MX-R4410 with its identification padded with zero bytes) through
// the whole dialog, driven by keys. What the program's --trace says it sent is
// compared, command for command, with the CDBs scsi_debug logged (opts=1) in the
// kernel log, also while the program is stopped, continued and resized during slow
// commands, and with descriptor-format sense.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <scsi/sg.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <fstream>
#include <string>
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

/// What one run of a program through its dialog should do.
struct DialogCase {
  const char* what;
  Program program;
  std::array<bool, 3> regions;   ///< the package's region flags
  bool descriptorSense = false;  ///< scsi_debug dsense=1
  bool resetFirst = false;       ///< a device reset (unit attention 29/00) before the update
  bool disturb = false;          ///< slow commands, stopped, continued and resized meanwhile
  const char* outcome;           ///< the box the update ends with
};

/// The CDB of every command the trace says went to `device` (the drive letter, or
/// adapter:target:LUN), in the kernel log's form. Commands to addresses where no device
/// is, and requests the program refused itself, never reached scsi_debug.
std::vector<std::string> SentCommands(const std::string& traceFile, const std::string& device, int* writeBuffers) {
  std::vector<std::string> sent;
  std::ifstream trace(traceFile);
  for (std::string line; std::getline(trace, line);) {
    if (line.rfind(device + " ", 0) != 0 || line.find("refused code=") != std::string::npos) continue;
    const size_t space = line.find(' '), bar = line.find(" |");
    if (space == std::string::npos || bar == std::string::npos) continue;
    sent.push_back(line.substr(space + 1, bar - space - 1));
    if (sent.back().rfind("3B ", 0) == 0) ++*writeBuffers;
  }
  return sent;
}

/// The first scsi_debug sg node of the guest.
std::string ScsiDebugNode() {
  const char* node = std::getenv("QSH_SDEBUG_SG");
  return node ? node : "/dev/sg0";
}

/// Resets the device as the kernel's error handling would; scsi_debug then reports
/// "power on, reset or bus device reset occurred" (29/00) to the next command.
void ResetDevice() {
  const int fd = ::open(ScsiDebugNode().c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  int what = SG_SCSI_RESET_DEVICE;
  EXPECT_EQ(::ioctl(fd, SG_SCSI_RESET, &what), 0) << std::strerror(errno);
  ::close(fd);
}

class ProgramVm : public ::testing::TestWithParam<DialogCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::ifstream("/run/qsh/devices").good()) << "this test runs inside the qemu-scsi guest";
    // tmux insists on a UTF-8 locale; the guest has none installed, so it comes along.
    ::setenv("LOCPATH", (fs::current_path() / "locale").c_str(), 1);
    ::setenv("LC_ALL", "C.UTF-8", 1);
    char pattern[] = "/tmp/program-vm-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_dir = pattern;
  }
  void TearDown() override { fs::remove_all(m_dir); }

  void WritePackage(const std::array<bool, 3>& regions) {
    FirmwareImage image;
    GenerateImage(7, image);
    PackageDescription description;
    description.model = "MX-R4410";
    description.regions = regions;
    const std::string text = ParameterFileText(description, ImageChecksum(image));
    WriteFileBytes(m_dir + "/R4410A.OUC", text.data(), text.size());
    WriteFileBytes(m_dir + "/R4410A.bin", image.data(), image.size());
  }

  std::string m_dir;
};

/// The part of the kernel's command log that the update sent: `traceFile`'s commands
/// to `device` are checked against `received`: the discovery's as the log's first
/// commands, the update's (from its identification, the last INQUIRY before the first
/// TEST UNIT READY, to its end) as one unbroken run after them. The update's claim
/// opens the drive's block device and the kernel checks the medium then, and again
/// when it is let go: those commands of its own fall outside the run, and none of them
/// may be a WRITE BUFFER or the drive's vendor command.
std::vector<std::string> ReceivedUpdate(const std::string& traceFile, const std::string& device,
                                        const std::vector<std::string>& received, const char* what) {
  int writeBuffers = 0;
  const std::vector<std::string> sent = SentCommands(traceFile, device, &writeBuffers);
  const auto firstTur = std::find(sent.begin(), sent.end(), "00 00 00 00 00 00");
  const auto claimed = std::find(std::make_reverse_iterator(firstTur), sent.rend(), "12 00 00 00 FF 00").base() - 1;
  const std::vector<std::string> discovery(sent.begin(), claimed), update(claimed, sent.end());
  EXPECT_GE(received.size(), sent.size());
  if (received.size() < discovery.size()) return {};
  EXPECT_EQ(std::vector<std::string>(received.begin(), received.begin() + discovery.size()), discovery)
      << what << ": the drive's command log and the program's trace, up to the claim";
  const auto run = std::search(received.begin() + discovery.size(), received.end(), update.begin(), update.end());
  EXPECT_NE(run, received.end()) << what << ": the update's commands in one run, as the trace has them";
  if (run == received.end()) return {};
  std::vector<std::string> kernel(received.begin() + discovery.size(), run);
  kernel.insert(kernel.end(), run + update.size(), received.end());
  for (const std::string& command : kernel) EXPECT_TRUE(command.rfind("3B ", 0) != 0 && command != "00 00 00 00 00 C0") << command;
  std::cout << what << ": " << sent.size() << " commands, " << writeBuffers << " WRITE BUFFERs sent and received, "
            << kernel.size() << " media checks of the kernel when the claim opened and closed the block device\n";
  return std::vector<std::string>(run, run + update.size());
}

/// Runs the case's program through its dialog in tmux, the package selected and the
/// update confirmed, until the box it ends with is closed and the program has exited.
void FlashThroughDialog(const DialogCase& c, const std::string& dir, const std::string& trace) {
  const std::string program = fs::current_path() / (c.program == Program::NT ? "MorvantideNT" : "Morvantide4");
  const std::string pidFile = dir + "/pid";
  // The shell notes the program's process id, so that the test can stop and signal it.
  const std::string terminfo = fs::current_path() / "terminfo";
  TmuxSession tmux({"env", "TERMINFO=" + terminfo, "LANG=C.UTF-8", "XDG_CONFIG_HOME=" + dir, "sh", "-c",
                    "echo $$ > " + pidFile + "; exec \"$0\" --terminal --trace " + trace, program},
                   dir);
  ASSERT_TRUE(tmux.Started());
  constexpr char kBoxButton[] = "> OK <";  // the start-up notice and every OK box
  ASSERT_TRUE(tmux.WaitFor(kBoxButton, 60s)) << tmux.Capture();
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitFor(":R4410A.OUC", 60s)) << tmux.Capture();  // discovery has ended
  const std::string listed = c.program == Program::NT ? "A:KESTREL MX-R4410" : "0:MX-R4410";
  EXPECT_NE(tmux.Capture().find(listed), std::string::npos) << "zero-padded identification\n" << tmux.Capture();
  tmux.SendKeys({"Down"});
  ASSERT_TRUE(tmux.WaitFor("R4410A.OUC     ]")) << tmux.Capture();
  tmux.SendKeys({"Enter"});  // Update Start, the default button
  ASSERT_TRUE(tmux.WaitFor("Firmware Update Execute ?", 60s)) << tmux.Capture();
  {
    std::optional<guest::ScsiDebugSetting> slow;
    std::optional<guest::Disturber> disturber;
    if (c.disturb) {
      pid_t pid = 0;
      std::ifstream(pidFile) >> pid;
      ASSERT_GT(pid, 0);
      slow.emplace("delay", "125", "1");  // half a second per command
      disturber.emplace(std::vector<guest::SignalStep>{{700, SIGSTOP},
                                                       {400, SIGCONT},
                                                       {300, SIGWINCH},
                                                       {600, SIGTSTP},
                                                       {400, SIGCONT},
                                                       {500, SIGSTOP},
                                                       {100, SIGWINCH},
                                                       {300, SIGCONT},
                                                       {400, SIGCHLD}},
                        pid);
    }
    tmux.SendKeys({"Enter"});  // Yes
    if (c.disturb) {
      std::this_thread::sleep_for(1500ms);
      tmux.Resize(30, 100);  // the terminal itself resized: SIGWINCH from tmux
    }
    ASSERT_TRUE(tmux.WaitFor(c.outcome, 120s)) << tmux.Capture();
    ASSERT_TRUE(tmux.WaitFor(kBoxButton)) << tmux.Capture();
  }
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitForGone(kBoxButton, 30s)) << tmux.Capture();
  tmux.SendKeys({"Escape"});
  EXPECT_EQ(tmux.WaitForExit(30s), 0) << tmux.Capture(true);
}

TEST_P(ProgramVm, FlashesThroughTheDialogAndTheDriveReceivesExactlyWhatWasSent) {
  const DialogCase& c = GetParam();
  WritePackage(c.regions);
  const std::string trace = m_dir + "/trace.txt";
  guest::ScsiDebugSetting logged("opts", "1", "0");
  guest::ScsiDebugSetting sense("dsense", c.descriptorSense ? "1" : "0", "0");
  if (c.resetFirst) ResetDevice();
  guest::KernelCommandLog log;
  ASSERT_TRUE(log.Open());
  FlashThroughDialog(c, m_dir, trace);
  if (HasFatalFailure()) return;
  ReceivedUpdate(trace, c.program == Program::NT ? "A:" : "0:0:0", log.Commands(), c.what);
}

// scsi_debug raises unit attentions after every downloaded piece (29/02 and 3F/01
// after mode 4). MorvantideNT repeats a command on a unit attention, so it flashes
// every piece; Morvantide4 sends each command once, so a plan of more than one piece
// ends at the second with the drive's unit attention, and a package without
// regions runs the rest of the sequence to completion.
const DialogCase kCases[] = {
    {"NT, region 1", Program::NT, {true, false, false}, false, false, false, "Firmware Update Complete"},
    {"4, no region", Program::Four, {false, false, false}, false, false, false, "Firmware Update Complete"},
    {"4, region 3 ends at the unit attention", Program::Four, {false, false, true}, false, false, false,
     "TestUnitReadyVU"},
    {"NT, region 1, stopped, continued, resized", Program::NT, {true, false, false}, false, false, true,
     "Firmware Update Complete"},
    {"4, region 3, stopped, continued, resized", Program::Four, {false, false, true}, false, false, true,
     "TestUnitReadyVU"},
    {"NT, region 1, descriptor sense", Program::NT, {true, false, false}, true, false, false,
     "Firmware Update Complete"},
    {"4, no region, descriptor sense after a reset", Program::Four, {false, false, false}, true, true, false,
     "Firmware Update Complete"},
};
INSTANTIATE_TEST_SUITE_P(Dialog, ProgramVm, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<DialogCase>& info) {
                           std::string name;
                           for (const char* p = info.param.what; *p; ++p)
                             if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                           return name;
                         });

// `morvantide flash` sends the drive, command for command, what MorvantideNT's dialog
// sends for the same package on the same drive: the kernel's logs of the two updates
// (each from its identification to its end, as the program's trace locates it) are
// equal, WRITE BUFFERs and the unit attentions' repeats included.
TEST_F(ProgramVm, TheCommandLineFlasherSendsTheDrivesWhatTheDialogSends) {
  const DialogCase& c = kCases[0];
  WritePackage(c.regions);
  guest::ScsiDebugSetting logged("opts", "1", "0");
  const std::string dialogTrace = m_dir + "/dialog.trace", cliTrace = m_dir + "/cli.trace";
  std::vector<std::string> dialog, cli;
  {
    guest::KernelCommandLog log;
    ASSERT_TRUE(log.Open());
    FlashThroughDialog(c, m_dir, dialogTrace);
    if (HasFatalFailure()) return;
    dialog = ReceivedUpdate(dialogTrace, "A:", log.Commands(), "dialog");
  }
  {
    guest::KernelCommandLog log;
    ASSERT_TRUE(log.Open());
    const std::string command = "XDG_STATE_HOME=" + m_dir + " ./morvantide flash " + m_dir +
                                "/R4410A.OUC --drive A: --yes --trace " + cliTrace + " </dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    cli = ReceivedUpdate(cliTrace, "A:", log.Commands(), "morvantide flash");
  }
  ASSERT_FALSE(dialog.empty());
  EXPECT_EQ(cli, dialog) << "the kernel's log of the command-line flash and of the dialog's";
}

}  // namespace
}  // namespace morv
