// dialog_driver PROGRAM TRACE [SECONDS]: plays the operator of a running Morvantide
// program from another process, for runs without a screen (wine's null display
// driver): the start-up notice answered with Return, the package chosen in the file
// list with Down and Return, the question answered with its Yes button, the
// completion box with Return, then Escape ends the program. Keys go to the focused
// control of the program's window thread, as the keyboard would deliver them, so
// the program's own modal loops and dialog manager handle them. PROGRAM is the
// boxes' caption, TRACE the program's --trace file (the main dialog is ready once it
// holds a line). Each step waits at most SECONDS (default 300).
// Exit status: 0 when every step was played, 1 when one timed out, 2 on bad usage.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

DWORD g_limitMs = 300000;

struct Found {
  std::string title;  ///< exact title, or "" for any
  std::string part;   ///< a part of the title, or "" for any
  HWND except = nullptr;
  HWND window = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM param) {
  Found& f = *reinterpret_cast<Found*>(param);
  char title[256] = {};
  GetWindowTextA(window, title, sizeof title);
  if (window == f.except || !IsWindowVisible(window)) return TRUE;
  if (!f.title.empty() && f.title != title) return TRUE;
  if (!f.part.empty() && std::string(title).find(f.part) == std::string::npos) return TRUE;
  f.window = window;
  return FALSE;
}

/// The visible top-level window with this title (or title part), waited for.
HWND WaitWindow(const std::string& title, const std::string& part, HWND except, const char* what) {
  for (DWORD waited = 0; waited < g_limitMs; waited += 200) {
    Found f{title, part, except};
    EnumWindows(Match, reinterpret_cast<LPARAM>(&f));
    if (f.window) {
      std::printf("dialog_driver: %s after %.1f s\n", what, waited / 1000.0);
      return f.window;
    }
    Sleep(200);
  }
  std::printf("dialog_driver: no %s within %lu s\n", what, g_limitMs / 1000);
  std::exit(1);
}

void WaitGone(HWND window, const char* what) {
  for (DWORD waited = 0; waited < g_limitMs; waited += 200) {
    if (!IsWindow(window) || !IsWindowVisible(window)) return;
    Sleep(200);
  }
  std::printf("dialog_driver: %s still open after %lu s\n", what, g_limitMs / 1000);
  std::exit(1);
}

/// A key as the keyboard delivers it, to the control that has the focus in the
/// thread that owns `window`.
void Key(HWND window, WPARAM key) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  HWND target = window;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) target = info.hwndFocus;
  PostMessageA(target, WM_KEYDOWN, key, 1);
  Sleep(500);
}

bool TraceHasLine(const char* path) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  int c;
  bool line = false;
  while ((c = std::fgetc(file)) != EOF)
    if (c == '\n') line = true;
  std::fclose(file);
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: dialog_driver PROGRAM TRACE [SECONDS]\n");
    return 2;
  }
  if (argc == 4) g_limitMs = std::strtoul(argv[3], nullptr, 10) * 1000;
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  const std::string program = argv[1];

  HWND notice = WaitWindow(program, "", nullptr, "start-up notice");
  Key(notice, VK_RETURN);
  HWND main = WaitWindow("", "for KESTREL", nullptr, "main dialog");
  for (DWORD waited = 0; !TraceHasLine(argv[2]); waited += 200) {
    if (waited >= g_limitMs) {
      std::printf("dialog_driver: no command reached the drive\n");
      return 1;
    }
    Sleep(200);
  }
  Sleep(2000);  // the start-up scan ends with the selected drive's firmware version
  Key(main, VK_DOWN);
  Key(main, VK_RETURN);
  HWND question = WaitWindow(program, "", nullptr, "question");
  PostMessageA(GetDlgItem(question, IDYES), BM_CLICK, 0, 0);
  WaitGone(question, "question");
  HWND done = WaitWindow(program, "", question, "completion box");
  char text[256] = {};
  GetDlgItemTextA(done, 0xFFFF, text, sizeof text);  // the box's message
  std::printf("dialog_driver: completion box says \"%s\"\n", text);
  Key(done, VK_RETURN);
  WaitGone(done, "completion box");
  Key(main, VK_ESCAPE);
  std::printf("dialog_driver: done\n");
  return 0;
}
