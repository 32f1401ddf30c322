// The sample dialog on the real terminal, for the pseudo-terminal tests of the
// ncurses backend: a notice, the dialog (two files, two drives), Update Start writes
// a line to standard output and one to standard error and shows a box, and the
// result is printed at the end.
#include <cstdio>

#include "platform/terminal/curses_screen.h"
#include "platform/terminal/terminal_toolkit.h"
#include "platform/terminal/testing/sample_dialog.h"

using namespace morv;
using namespace morv::terminal;
using namespace morv::terminal::testing;

int main() {
  CursesScreen screen;
  TerminalToolkit toolkit(screen);
  ProgramResources resources = SampleResources();
  toolkit.MessageBox("- Sample notice, first line.\r\n- Second line.", "sample", MB_OK | MB_ICONEXCLAMATION);

  RecordingHandler handler;
  handler.onInit = [](DialogWindow& w) {
    w.AddString(kFiles, "B.OUC");
    w.AddString(kFiles, "A.OUC");
    w.AddString(kDevice, "D: FIRST");
    w.AddString(kDevice, "E: SECOND");
    w.SetCurSel(kDevice, 0);
    w.SetFocus(kFiles);
  };
  handler.onCommand = [&](int id, int code) {
    DialogWindow& w = *handler.window;
    if (id == kFiles && code == LBN_SELCHANGE) w.SetWindowText(kSelected, w.GetLBText(kFiles, w.GetCurSel(kFiles)));
    if (id == kDevice && code == CBN_SELCHANGE) w.SetWindowText(kStatus, "device " + w.GetWindowText(kDevice));
    if (id == kStart) {
      std::printf("F_CSum= 1234 \n");
      std::fprintf(stderr, "sample: a note on standard error\n");
      toolkit.SetCursor(CursorShape::Wait);
      toolkit.MessageBox("Sample done", "sample", MB_OK);
      toolkit.SetCursor(CursorShape::Arrow);
    }
    if (id == kAbout) {
      RecordingHandler about;
      about.focusFirst = true;
      toolkit.DoModal(resources.aboutBox, resources, about);
    }
  };
  int result = toolkit.DoModal(resources.mainDialog, resources, handler);
  screen.Close();
  std::printf("result %d\n", result);
  return 0;
}
