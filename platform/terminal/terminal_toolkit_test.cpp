#include "platform/terminal/terminal_toolkit.h"

#include <gtest/gtest.h>

#include "platform/terminal/dialog_painter.h"
#include "platform/terminal/testing/sample_dialog.h"
#include "platform/terminal/testing/scripted_screen.h"

namespace morv::terminal {
namespace {

using namespace testing;
using K = KeyEvent;

class Toolkit : public ::testing::Test {
 protected:
  Toolkit() {
    handler.onInit = [](DialogWindow& w) {
      for (const char* name : {"B.OUC", "A.OUC"}) w.AddString(kFiles, name);
      w.AddString(kDevice, "D: SAMPLE DVD-RAM 1.00");
      w.SetCurSel(kDevice, 0);
      w.SetWindowText(kVersion, "1.00");
      w.AppendSystemMenuSeparator();
      w.AppendSystemMenuItem(kSysAbout, "&About Sample...");
      w.SetFocus(kFiles);
    };
  }
  int Run() { return toolkit.DoModal(resources.mainDialog, resources, handler); }

  ProgramResources resources = SampleResources();
  ScriptedScreen screen;
  TerminalToolkit toolkit{screen};
  RecordingHandler handler;
};

TEST_F(Toolkit, DrawsTheDialogInTheMiddleOfAnEightyByTwentyFourTerminal) {
  std::string shown;
  handler.onCommand = [&](int, int) { shown = screen.Text(); };
  screen.Type({K::Key(KeyCode::Down), K::Key(KeyCode::Escape)});
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_EQ(shown,
            "\n"
            "\n"
            "            +- Sample Flasher 1.0 ------------------------------[x]+\n"
            "            | Option                                         About |\n"
            "            |  Drive ID [D: SAMPLE DVD-RAM 1.00                 v] |\n"
            "            |                                                      |\n"
            "            |                                                      |\n"
            "            | Select File                Current Firmware Version  |\n"
            "            | +--------------------+        [1.00                ] |\n"
            "            | >A.OUC               |                               |\n"
            "            | |B.OUC               |                               |\n"
            "            | |                    |      Selected File            |\n"
            "            | |                    |       [                    ]  |\n"
            "            | |                    |                               |\n"
            "            | |                    |                               |\n"
            "            | |                    |                               |\n"
            "            | |                    |  [   Update Start    ] [Exit] |\n"
            "            | |                    |                               |\n"
            "            | |                    |                               |\n"
            "            | +--------------------+[                            ] |\n"
            "            |                                                      |\n"
            "            +------------------------------------------------------+\n"
            "\n"
            "\n");
}

TEST_F(Toolkit, TheFocusedListMarksAnEntryAsChosenOnlyOnceItIs) {
  // Nothing chosen yet (Enter would find no file): the entry with the focus has the
  // dotted focus mark; the arrow chooses it, and it gets the selection's mark.
  screen.Type({K::Key(KeyCode::Down), K::Key(KeyCode::Escape)});
  EXPECT_EQ(Run(), IDCANCEL);
  ASSERT_EQ(screen.screensAtRead.size(), 2u);
  const std::string& unchosen = screen.screensAtRead[0];
  EXPECT_NE(unchosen.find("| :A.OUC  "), std::string::npos) << unchosen;
  EXPECT_EQ(unchosen.find('>'), std::string::npos) << unchosen;
  EXPECT_NE(screen.screensAtRead[1].find("| >A.OUC  "), std::string::npos) << screen.screensAtRead[1];
}

TEST_F(Toolkit, LongTextsAreShortenedInTheMiddleAndReachableWhole) {
  // Names alike at both ends keep what tells them apart; Selected File wraps the whole name
  // into the free lines below it; the status line shows its whole text while focused.
  handler.onInit = [](DialogWindow& w) {
    for (const char* name : {"KESTREL_MX-R4410_FIRMWARE_V104_FINAL.OUC", "KESTREL_MX-R4410_FIRMWARE_V105_FINAL.OUC"})
      w.AddString(kFiles, name);
    w.SetWindowText(kSelected, "KESTREL_MX-R4410_FIRMWARE_V105_FINAL_RELEASE_TWO.OUC");
    w.SetWindowText(kStatus, "File Read Error!(11) No such file or directory");
    w.SetFocus(kFiles);
  };
  screen.Type({K::Key(KeyCode::Tab), K::Key(KeyCode::Escape)});
  EXPECT_EQ(Run(), IDCANCEL);
  ASSERT_EQ(screen.screensAtRead.size(), 2u);
  const std::string& unfocused = screen.screensAtRead[0];
  for (const char* shown : {"KEST...V104_FI...OUC|", "|KEST...V105_FI...OUC|", "[KESTREL_MX-R4410_FIR]",
                            "[MWARE_V105_FINAL_REL]", "[    EASE_TWO.OUC    ]", "[File Read Err...or directory]"})
    EXPECT_NE(unfocused.find(shown), std::string::npos) << shown << "\n" << unfocused;
  const std::string& focused = screen.screensAtRead[1];
  for (const char* shown : {"[File Read Error!(11) No such]", "[file or directory           ]"})
    EXPECT_NE(focused.find(shown), std::string::npos) << shown << "\n" << focused;
}

TEST_F(Toolkit, MessageBoxesAndTheAboutBoxStackOverTheDialog) {
  int answer = 0;
  std::string boxScreen;
  handler.onCommand = [&](int id, int) {
    if (id == kStart) {
      answer = toolkit.MessageBox("Firmware Update Execute ?", "Sample", MB_OKCANCEL | MB_ICONQUESTION);
      boxScreen = screen.screensAtRead.back();
    }
    if (id == kAbout) {
      RecordingHandler about;
      about.focusFirst = true;
      EXPECT_EQ(toolkit.DoModal(resources.aboutBox, resources, about), IDOK);
      EXPECT_EQ(about.events, std::vector<std::string>{"command 1 0"});
    }
  };
  // Enter presses Update Start; in the box Right + Enter answers Cancel; the dialog
  // has its keys back (Alt-A opens the about box, Enter presses its OK); Escape ends.
  screen.Type({K::Key(KeyCode::Enter), K::Key(KeyCode::Right), K::Key(KeyCode::Enter), K::Alt('a'),
               K::Key(KeyCode::Enter), K::Key(KeyCode::Escape)});
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_EQ(answer, IDCANCEL);
  EXPECT_EQ(handler.events, (std::vector<std::string>{"command 1003 0", "command 32772 0", "command 2 0"}));
  // The box sits in the middle of the dialog, over it.
  EXPECT_NE(boxScreen.find("            | +--------+- Sample -----------------------+"), std::string::npos) << boxScreen;
  EXPECT_NE(boxScreen.find("|  ?  Firmware Update Execute ?  |"), std::string::npos);
  EXPECT_NE(boxScreen.find("[   OK   ]  > Cancel <"), std::string::npos);
  EXPECT_NE(screen.screensAtRead[4].find("About Sample"), std::string::npos);
  EXPECT_NE(screen.screensAtRead[4].find(">  OK  <"), std::string::npos) << screen.screensAtRead[4];
}

TEST_F(Toolkit, ATooSmallTerminalShowsOneLineAndIgnoresKeysUntilResized) {
  screen.QueueResize(15, 50);
  screen.Type({K::Key(KeyCode::Escape), K::Key(KeyCode::Enter)});
  screen.QueueResize(24, 80);
  screen.Type({K::Key(KeyCode::Escape)});
  EXPECT_EQ(Run(), IDCANCEL);
  EXPECT_EQ(handler.events, std::vector<std::string>{"command 2 0"});
  EXPECT_EQ(screen.screensAtRead[1], "Terminal too small: needs 56x20, is 50x15\n" + std::string(14, '\n'));
  EXPECT_NE(screen.screensAtRead[4].find("Sample Flasher 1.0"), std::string::npos);
}

TEST_F(Toolkit, BusyMarkerShowsWhileTheWaitCursorIs) {
  std::vector<bool> busy;
  handler.onCommand = [&](int id, int) {
    if (id != kStart) return;
    toolkit.SetCursor(CursorShape::Wait);
    busy.push_back(screen.Shows(kBusyMarker));
    EXPECT_EQ(toolkit.GetCursor(), CursorShape::Wait);
    toolkit.SetCursor(CursorShape::Arrow);
    busy.push_back(screen.Shows(kBusyMarker));
  };
  screen.Type({K::Key(KeyCode::Enter)});
  Run();
  EXPECT_EQ(busy, (std::vector<bool>{true, false}));
}

TEST_F(Toolkit, PumpTakesAtMostOneKeyAndNeverWaits) {
  std::vector<int> pending;
  std::vector<int> focus;
  handler.onCommand = [&](int id, int) {
    if (id != kStart) return;
    screen.Type({K::Key(KeyCode::Tab), K::Key(KeyCode::Down), K::Key(KeyCode::Enter)});
    for (int i = 0; i < 4; ++i) {
      toolkit.PumpOneMessage();
      pending.push_back(screen.PendingKeys());
      focus.push_back(handler.window->GetFocus());
    }
  };
  screen.Type({K::Key(KeyCode::Enter), K::Key(KeyCode::Escape)});
  Run();
  // One key per pass; Tab and Enter reach the list (no focus move, no button);
  // Down selects; the empty queue returns at once. The Escape queued before the
  // pumped keys was taken by the first pass and did not cancel.
  EXPECT_EQ(pending, (std::vector<int>{3, 2, 1, 0}));
  EXPECT_EQ(focus, (std::vector<int>(4, kFiles)));
  EXPECT_EQ(handler.events, (std::vector<std::string>{"command 1003 0", "command 1008 1", "command 2 0"}));
}

TEST_F(Toolkit, BeepRingsTheBell) {
  toolkit.MessageBeep(kSimpleBeep);
  toolkit.MessageBeep(MB_ICONQUESTION);
  EXPECT_EQ(screen.bells, 2);
}

TEST_F(Toolkit, AGoneTerminalEndsEveryWindowSafely) {
  // The box gets its safe answer; the dialog is cancelled even when its handler
  // does not end it.
  EXPECT_EQ(toolkit.MessageBox("Continue?", "Sample", MB_YESNO), IDNO);
  handler.window = nullptr;
  handler.onInit = [](DialogWindow&) {};
  RecordingHandler stubborn;
  EXPECT_EQ(toolkit.DoModal(resources.mainDialog, resources, stubborn), IDCANCEL);
}

TEST_F(Toolkit, NoticeBeforeTheDialogIsCentredAndWrapped) {
  std::string notice =
      "- First line of the notice.\r\n"
      "- A second line that is much too long to fit on one line of an eighty column terminal screen.";
  screen.Type({K::Key(KeyCode::Enter)});
  EXPECT_EQ(toolkit.MessageBox(notice, "Sample", MB_OK | MB_ICONEXCLAMATION), IDOK);
  const std::string& shown = screen.screensAtRead[0];
  EXPECT_NE(shown.find("|  !  - First line of the notice."), std::string::npos) << shown;
  EXPECT_NE(shown.find("|     - A second line that is much too long to fit on one line of an eighty"), std::string::npos);
  EXPECT_NE(shown.find("|     column terminal screen."), std::string::npos);
  EXPECT_NE(shown.find("> OK <"), std::string::npos);
}

}  // namespace
}  // namespace morv::terminal
