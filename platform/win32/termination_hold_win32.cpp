// The termination hold on Windows: while it lasts, logoff and shutdown are refused
// (ShutdownBlockReasonCreate on the thread's top-level windows, and the dialogs
// answer WM_QUERYENDSESSION with FALSE), and console interrupts are ignored.

#include <windows.h>

#include <atomic>
#include <vector>

#include "platform/termination_hold.h"
#include "platform/win32/shutdown_block.h"

namespace morv {
namespace {

std::atomic<int> s_holds{0};

/// Shown by Windows in its list of programs that keep it from shutting down.
constexpr wchar_t kReason[] =
    L"A drive's firmware is being written. Ending now would leave the drive unusable.";

BOOL WINAPI IgnoreWhileHeld(DWORD) { return s_holds.load() > 0; }

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

}  // namespace

namespace win32 {
bool TerminationHeld() { return s_holds.load() > 0; }
}  // namespace win32

struct TerminationHold::State {
  std::vector<HWND> windows;  ///< where a reason was registered
};

TerminationHold::TerminationHold() : m_state(std::make_unique<State>()) {
  if (s_holds.fetch_add(1) == 0) SetConsoleCtrlHandler(IgnoreWhileHeld, TRUE);
  EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&m_state->windows));
  for (HWND window : m_state->windows) ShutdownBlockReasonCreate(window, kReason);
}

TerminationHold::~TerminationHold() {
  for (HWND window : m_state->windows)
    if (IsWindow(window)) ShutdownBlockReasonDestroy(window);
  if (s_holds.fetch_sub(1) == 1) SetConsoleCtrlHandler(IgnoreWhileHeld, FALSE);
}

}  // namespace morv
