// End-to-end tests through a real pseudo-terminal: the ncurses backend with the
// sample dialog, and both programs, each run by a private tmux server at 80x24.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

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
  // Enter presses Update Start: its output and error lines are held back while the
  // dialog runs.
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitFor("Sample done")) << tmux.Capture();
  EXPECT_NE(tmux.Capture().find(" Busy "), std::string::npos);
  EXPECT_EQ(tmux.Capture().find("F_CSum"), std::string::npos);
  EXPECT_EQ(tmux.Capture().find("standard error"), std::string::npos);
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
  EXPECT_NE(after.find("sample: a note on standard error"), std::string::npos) << after;
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
    ASSERT_EQ(tmux.WaitForExit(), 0) << signal << "\n" << tmux.Capture(true);
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

// The line of `screen` that contains `text`, or empty.
std::string LineWith(const std::string& screen, const std::string& text) {
  size_t at = screen.find(text);
  if (at == std::string::npos) return std::string();
  size_t start = screen.rfind('\n', at);
  start = start == std::string::npos ? 0 : start + 1;
  return screen.substr(start, screen.find('\n', at) - start);
}

struct ProgramCase {
  const char* path;
  const char* name;
  const char* noticeLine;
  const char* caption;
  const char* fileLabel;
  const char* aboutCaption;
  const char* firstDevice;  ///< the emulated device selected at start
};

// The programs run against the emulated drives, so what they list does not depend
// on the SCSI devices of the machine running the test.
const ProgramCase kPrograms[] = {
    {MORVANTIDE_NT, "MorvantideNT", "- This is a program for the KESTREL DVD-RAM MX-R4410.",
     "Morvantide NT for KESTREL MX-R4410 ver.1.0.0", "Selected File", "Morvantide NT", "E:KESTREL MX-R4410"},
    {MORVANTIDE_4, "Morvantide4", "- Morvantide4 requires that \"Auto insert notification\" and \"DMA\" are",
     "Morvantide4  for KESTREL MX-R441X Ver4.1.0", "File Name", "Morvantide 4", "0:VIRTUAL DISK"},
};

// Both programs without a display: the notice, the main dialog, a parameter file
// chosen with Down, the about box, and Escape to end, all in an 80x24 terminal.
TEST(ProgramsInPty, TheWholeDialogWorksWithTheKeyboardAlone) {
  for (const ProgramCase& program : kPrograms) {
    SCOPED_TRACE(program.name);
    TempDir dir;
    dir.Write("R4410A.OUC", "MorvantideParameterFile Ver.4.00\n");
    dir.Write("notes.txt", "not a parameter file\n");
    TmuxSession tmux(Console(dir.Path(), {"env", "-u", "QT_QPA_PLATFORM", program.path, "--simulate"}), dir.Path());
    ASSERT_TRUE(tmux.Started());

    ASSERT_TRUE(tmux.WaitFor(program.noticeLine)) << tmux.Capture();
    EXPECT_NE(tmux.Capture().find(std::string("┌─ ") + program.name + " ─"), std::string::npos) << tmux.Capture();
    tmux.SendKeys({"Enter"});

    ASSERT_TRUE(tmux.WaitFor(std::string("┌─ ") + program.caption + " ─")) << tmux.Capture();
    // Initialisation has ended once the file list holds the focus (":", nothing chosen): Morvantide4
    // draws its dialog while it still probes the bus, and keys typed meanwhile reach
    // whichever control has the focus then.
    ASSERT_TRUE(tmux.WaitFor(":R4410A.OUC")) << tmux.Capture();
    std::string screen = tmux.Capture();
    EXPECT_NE(screen.find(program.firstDevice), std::string::npos) << screen;
    std::string menuBar = LineWith(screen, "Option");
    EXPECT_NE(menuBar.find("│ Option "), std::string::npos) << menuBar;
    EXPECT_NE(menuBar.find(" About │"), std::string::npos) << menuBar;
    EXPECT_EQ(screen.find("notes.txt"), std::string::npos);
    EXPECT_EQ(screen.find("Abort"), std::string::npos) << "hidden controls are not drawn";

    // The file list has the focus: Down selects the file, and its name appears in
    // the field below the label.
    tmux.SendKeys({"Down"});
    ASSERT_TRUE(tmux.WaitFor("[     R4410A.OUC     ]")) << tmux.Capture();
    screen = tmux.Capture();
    size_t label = screen.find(program.fileLabel);
    ASSERT_NE(label, std::string::npos);
    EXPECT_EQ(screen.find("[     R4410A.OUC     ]"), screen.find("[     R4410A.OUC     ]", label));
    std::cout << program.name << " main dialog (capture-pane):\n" << screen << std::endl;

    tmux.SendKeys({"M-a"});
    ASSERT_TRUE(tmux.WaitFor("KESTREL DVD-RAM Drive")) << tmux.Capture();
    EXPECT_NE(tmux.Capture().find(std::string("─ ") + program.aboutCaption + " ─"), std::string::npos);
    tmux.SendKeys({"Enter"});
    ASSERT_TRUE(tmux.WaitForGone("KESTREL DVD-RAM Drive")) << tmux.Capture();

    tmux.SendKeys({"Escape"});
    EXPECT_EQ(tmux.WaitForExit(), 0) << tmux.Capture();
    EXPECT_EQ(tmux.Capture(true).find(program.caption), std::string::npos) << "screen given back";
  }
}

// --terminal draws in the terminal even where a display is set.
TEST(ProgramsInPty, TerminalOptionWinsOverADisplay) {
  for (const ProgramCase& program : kPrograms) {
    SCOPED_TRACE(program.name);
    TempDir dir;
    dir.Write("R4410A.OUC", "MorvantideParameterFile Ver.4.00\n");
    TmuxSession tmux({"env", "DISPLAY=:99", "LANG=C.UTF-8", "XDG_CONFIG_HOME=" + dir.Path(), program.path,
                      "--terminal", "--simulate"},
                     dir.Path());
    ASSERT_TRUE(tmux.Started());
    ASSERT_TRUE(tmux.WaitFor(program.noticeLine)) << tmux.Capture();
    tmux.SendKeys({"Enter"});
    ASSERT_TRUE(tmux.WaitFor(program.caption)) << tmux.Capture();
    ASSERT_TRUE(tmux.WaitFor(":R4410A.OUC")) << tmux.Capture();  // initialisation has ended
    tmux.SendKeys({"Escape"});
    EXPECT_EQ(tmux.WaitForExit(), 0) << tmux.Capture();
  }
}

// Without a display, a terminal the dialog cannot be drawn in gets one clear line
// and exit status 1, whether its type is unknown or known to lack cursor moves.
TEST(ProgramsInPty, ATerminalThatCannotMoveTheCursorIsRefusedInOneLine) {
  for (const char* term : {"dumb", "no-such-terminal"}) {
    SCOPED_TRACE(term);
    TempDir dir;
    TmuxSession tmux({"env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
                      std::string("TERM=") + term, kPrograms[0].path, "--simulate"},
                     dir.Path());
    ASSERT_TRUE(tmux.Started());
    EXPECT_EQ(tmux.WaitForExit(), 1) << tmux.Capture();
    // The line is longer than the window: its end names the terminal.
    EXPECT_NE(tmux.Capture(true).find(std::string("terminal (TERM=") + term + ")"), std::string::npos)
        << tmux.Capture(true);
  }
}

// A display that is named but cannot be opened (a stale DISPLAY over SSH) leaves
// the dialog to the terminal, as no display at all does.
TEST(ProgramsInPty, AnUnreachableDisplayLeavesTheDialogToTheTerminal) {
  for (const ProgramCase& program : kPrograms) {
    SCOPED_TRACE(program.name);
    TempDir dir;
    TmuxSession tmux({"env", "-u", "QT_QPA_PLATFORM", "-u", "WAYLAND_DISPLAY", "DISPLAY=:97", "LANG=C.UTF-8",
                      "XDG_CONFIG_HOME=" + dir.Path(), program.path, "--simulate"},
                     dir.Path());
    ASSERT_TRUE(tmux.Started());
    ASSERT_TRUE(tmux.WaitFor(program.noticeLine)) << tmux.Capture();
    tmux.SendKeys({"Enter"});
    ASSERT_TRUE(tmux.WaitFor(program.caption)) << tmux.Capture();
    // Escape during the start-up scan's pumped waits is not the dialog's: wait until
    // the drive's version is shown, the end of initialisation.
    ASSERT_TRUE(tmux.WaitFor("[1.00 ")) << tmux.Capture();
    tmux.SendKeys({"Escape"});
    EXPECT_EQ(tmux.WaitForExit(), 0) << tmux.Capture();
  }
}

// SIGTERM and SIGHUP close the dialog as the close box does, at the notice box or
// in the main dialog: the program writes its profile, gives the terminal back and
// then ends by the signal, so whoever sent it sees it took effect.
TEST(ProgramsInPty, TerminationSignalsCloseTheDialogAndKeepTheProfile) {
  struct Where {
    const char* name;
    bool pastTheNotice;
  };
  for (const ProgramCase& program : kPrograms) {
    for (const char* signal : {"TERM", "HUP"}) {
      for (Where where : {Where{"notice", false}, Where{"main dialog", true}}) {
        SCOPED_TRACE(std::string(program.name) + " SIG" + signal + " at the " + where.name);
        TempDir dir;
        dir.Write("R4410A.OUC", "MorvantideParameterFile Ver.4.00\n");
        std::string pidFile = dir.Path() + "/pid";
        std::string script = std::string(program.path) + " --simulate --terminal & echo $! > " + pidFile +
                             "; wait $!; echo status=$?; stty -a | tr ' ' '\\n' | grep -x -e -icanon -e icanon";
        TmuxSession tmux(Console(dir.Path(), {"env", "-u", "QT_QPA_PLATFORM", "sh", "-c", script}), dir.Path());
        ASSERT_TRUE(tmux.Started());
        ASSERT_TRUE(tmux.WaitFor(program.noticeLine)) << tmux.Capture();
        if (where.pastTheNotice) {
          tmux.SendKeys({"Enter"});
          ASSERT_TRUE(tmux.WaitFor(":R4410A.OUC")) << tmux.Capture();  // initialisation has ended
        }
        std::string pid;
        std::ifstream(pidFile) >> pid;
        ASSERT_FALSE(pid.empty());
        RunCommand({"kill", std::string("-") + signal, pid});
        ASSERT_EQ(tmux.WaitForExit(), 0) << tmux.Capture(true);
        std::string after = tmux.Capture(true);
        EXPECT_EQ(after.find(program.caption), std::string::npos) << "screen given back\n" << after;
        EXPECT_NE(after.find("status=" + std::to_string(128 + (signal[0] == 'T' ? 15 : 1))), std::string::npos)
            << "ended by the signal\n" << after;
        EXPECT_NE(after.find("\nicanon\n"), std::string::npos) << after;
        EXPECT_EQ(after.find("-icanon"), std::string::npos) << after;
        std::ifstream profile(dir.Path() + "/" + program.name + ".INI");
        std::string firstLine;
        std::getline(profile, firstLine);
        // MorvantideNT keeps no profile; Morvantide4 writes its selection back.
        if (std::string(program.name) == "Morvantide4") {
          EXPECT_EQ(firstLine, "[HostAdaptor]") << "profile written";
        } else {
          EXPECT_EQ(firstLine, "");
        }
      }
    }
  }
}

// The lines of `file` that contain `text`.
int LinesWith(const std::string& file, const std::string& text) {
  std::ifstream in(file);
  int count = 0;
  for (std::string line; std::getline(in, line);) count += line.find(text) != std::string::npos;
  return count;
}

// Enter typed three times at once from the file list: the first presses Update Start;
// the two typed ahead of "Firmware Update Execute ?" are thrown away when it opens and
// answer nothing, so nothing reaches the drive until a fresh Enter answers Yes.
TEST(ProgramsInPty, EntersTypedAheadDoNotConfirmTheFlash) {
  TempDir dir;
  const std::string package = dir.Path() + "/R4410.OUC", trace = dir.Path() + "/trace.txt";
  ASSERT_EQ(RunCommand({MORVANTIDE_PACKAGE, "make", package, "--model", "MX-R4410", "--generate", "1", "--version",
                        "1.05"})
                .status,
            0);
  TmuxSession tmux(Console(dir.Path(), {"env", "-u", "QT_QPA_PLATFORM", "XDG_STATE_HOME=" + dir.Path(),
                                        MORVANTIDE_NT, "--simulate", "--trace", trace, package}),
                   dir.Path());
  ASSERT_TRUE(tmux.Started());
  ASSERT_TRUE(tmux.WaitFor(kPrograms[0].noticeLine)) << tmux.Capture();
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitFor("[1.00 ")) << tmux.Capture();  // initialisation has ended
  tmux.SendKeys({"Enter", "Enter", "Enter"});
  ASSERT_TRUE(tmux.WaitFor("Firmware Update Execute ?")) << tmux.Capture();
  std::this_thread::sleep_for(std::chrono::seconds(1));
  EXPECT_NE(tmux.Capture().find("Firmware Update Execute ?"), std::string::npos) << tmux.Capture();
  EXPECT_EQ(LinesWith(trace, "WRITE BUFFER"), 0) << "the question was answered by keys typed ahead";

  tmux.SendKeys({"Enter"});  // Yes
  ASSERT_TRUE(tmux.WaitFor("Firmware Update Complete")) << tmux.Capture();
  EXPECT_EQ(LinesWith(trace, "WRITE BUFFER"), 32);
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitFor("[1.05 ")) << tmux.Capture();
  tmux.SendKeys({"Escape"});
  EXPECT_EQ(tmux.WaitForExit(), 0) << tmux.Capture();
}

}  // namespace
}  // namespace morv::terminal::testing
