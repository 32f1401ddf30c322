// End-to-end tests through a real pseudo-terminal: the ncurses backend with the
// sample dialog, and both programs, each run by a private tmux server at 80x24.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "platform/terminal/testing/tmux_session.h"

namespace morv::terminal::testing {
namespace {

namespace fs = std::filesystem;

// A fresh directory for one test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "morvantide-pty-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempDir() {
    std::error_code ignored;
    if (!m_path.empty()) fs::remove_all(m_path, ignored);
  }
  const std::string& Path() const { return m_path; }
  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(fs::path(m_path) / name) << content;
  }

 private:
  std::string m_path;
};

// The environment of a console without a desktop.
std::vector<std::string> Console(const std::string& home, std::vector<std::string> command) {
  std::vector<std::string> argv{"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "LANG=C.UTF-8", "XDG_CONFIG_HOME=" + home};
  argv.insert(argv.end(), command.begin(), command.end());
  return argv;
}

TEST(SampleInPty, KeysReachTheDialogThroughARealTerminal) {
  TempDir dir;
  TmuxSession tmux(Console(dir.Path(), {SAMPLE_PROGRAM}), dir.Path());
  ASSERT_TRUE(tmux.Started());
  ASSERT_TRUE(tmux.WaitFor("- Sample notice, first line.")) << tmux.Capture();
  EXPECT_NE(tmux.Capture().find("┌─ sample "), std::string::npos) << "UTF-8 frame";
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitFor("Sample Flasher 1.0")) << tmux.Capture();

  // Down selects the first file and the handler copies it into the field.
  tmux.SendKeys({"Down"});
  ASSERT_TRUE(tmux.WaitFor("[       A.OUC        ]")) << tmux.Capture();
  // Alt-Down opens the drive selector, Down and Enter pick the second drive.
  tmux.SendKeys({"Tab", "Tab", "Tab", "M-Down"});
  ASSERT_TRUE(tmux.WaitFor("│E: SECOND")) << tmux.Capture();
  tmux.SendKeys({"Down", "Enter"});
  ASSERT_TRUE(tmux.WaitFor("[device E: SECOND")) << tmux.Capture();
  // F10 opens the Option menu; Escape closes it without ending the program.
  tmux.SendKeys({"F10"});
  ASSERT_TRUE(tmux.WaitFor("│ Rescan │")) << tmux.Capture();
  tmux.SendKeys({"Escape"});
  ASSERT_TRUE(tmux.WaitForGone("│ Rescan │")) << tmux.Capture();
  // Enter presses Update Start: its output line is held back while the dialog runs.
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitFor("Sample done")) << tmux.Capture();
  EXPECT_NE(tmux.Capture().find(" Busy "), std::string::npos);
  EXPECT_EQ(tmux.Capture().find("F_CSum"), std::string::npos);
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitForGone("Sample done")) << tmux.Capture();
  // Alt-A opens the about box, Enter closes it, Escape ends the program.
  tmux.SendKeys({"M-a"});
  ASSERT_TRUE(tmux.WaitFor("About Sample")) << tmux.Capture();
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitForGone("About Sample")) << tmux.Capture();
  tmux.SendKeys({"Escape"});
  EXPECT_EQ(tmux.WaitForExit(), 0) << tmux.Capture();
  std::string after = tmux.Capture(true);
  EXPECT_EQ(after.find("Sample Flasher"), std::string::npos) << "screen given back";
  EXPECT_NE(after.find("F_CSum= 1234"), std::string::npos) << after;
  EXPECT_NE(after.find("result 2"), std::string::npos) << after;
}

TEST(SampleInPty, TheTerminalIsRestoredWhenTheProgramIsKilled) {
  for (const char* signal : {"TERM", "HUP", "INT"}) {
    TempDir dir;
    std::string pidFile = dir.Path() + "/pid";
    // The shell reports how the program ended and the terminal's modes afterwards.
    std::string script = std::string(SAMPLE_PROGRAM) + " & echo $! > " + pidFile +
                         "; wait $!; echo status=$?; stty -a | tr ' ' '\\n' | grep -x -e -icanon -e -echo -e icanon -e echo";
    TmuxSession tmux(Console(dir.Path(), {"sh", "-c", script}), dir.Path());
    ASSERT_TRUE(tmux.Started());
    ASSERT_TRUE(tmux.WaitFor("- Sample notice, first line.")) << tmux.Capture();
    std::string pid;
    std::ifstream(pidFile) >> pid;
    ASSERT_FALSE(pid.empty());
    RunCommand({"kill", std::string("-") + signal, pid});
    ASSERT_TRUE(tmux.WaitFor("status=")) << signal << "\n" << tmux.Capture();
    ASSERT_TRUE(tmux.WaitFor("echo")) << signal << "\n" << tmux.Capture();
    std::string after = tmux.Capture(true);
    EXPECT_EQ(after.find("Sample notice"), std::string::npos) << signal << ": screen given back\n" << after;
    EXPECT_NE(after.find("status=" + std::to_string(128 + (signal[0] == 'T' ? 15 : signal[0] == 'H' ? 1 : 2))),
              std::string::npos)
        << signal << ": ended by the signal\n" << after;
    EXPECT_NE(after.find("\nicanon\n"), std::string::npos) << signal << "\n" << after;
    EXPECT_NE(after.find("\necho\n"), std::string::npos) << signal << "\n" << after;
    EXPECT_EQ(after.find("-icanon"), std::string::npos) << signal;
  }
}

TEST(SampleInPty, ATooSmallTerminalSaysHowLargeItMustBeAndRedrawsWhenResized) {
  TempDir dir;
  TmuxSession tmux(Console(dir.Path(), {SAMPLE_PROGRAM}), dir.Path(), 15, 50);
  ASSERT_TRUE(tmux.Started());
  ASSERT_TRUE(tmux.WaitFor("- Sample notice, first line.")) << tmux.Capture();
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitFor("Terminal too small: needs 56x20, is 50x15")) << tmux.Capture();
  tmux.Resize(24, 80);
  ASSERT_TRUE(tmux.WaitFor("Sample Flasher 1.0")) << tmux.Capture();
  tmux.SendKeys({"Escape"});
  EXPECT_EQ(tmux.WaitForExit(), 0) << tmux.Capture();
}

}  // namespace
}  // namespace morv::terminal::testing
