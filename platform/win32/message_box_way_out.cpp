#include "platform/win32/message_box_way_out.h"

#include <cstring>

#include "framework/message_box_buttons.h"
#include "framework/win32_types.h"

namespace morv::win32 {
namespace {

/// The box that MessageBoxA is about to make on this thread, until it is made.
struct BoxToCatch {
  HHOOK hook = nullptr;
  unsigned type = 0;
};
thread_local BoxToCatch* t_boxToCatch = nullptr;

/// The box's window procedure in front of the system's: a cancel the box's button
/// set does not offer becomes the way out it does offer, or nothing.
LRESULT CALLBACK KeepTheWayOut(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR type) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    const int wayOut = MessageBoxEscapeResult(static_cast<unsigned>(type));
    if (wayOut == 0) return 0;
    if (wayOut != IDCANCEL)
      return DefSubclassProc(box, WM_COMMAND, MAKEWPARAM(wayOut, HIWORD(wParam)),
                             reinterpret_cast<LPARAM>(GetDlgItem(box, wayOut)));
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(box, KeepTheWayOut, 0);
  return DefSubclassProc(box, message, wParam, lParam);
}

/// Catches the first dialog window made while the hook is set: the box.
LRESULT CALLBACK CatchTheBox(int code, WPARAM wParam, LPARAM lParam) {
  BoxToCatch* toCatch = t_boxToCatch;
  if (code == HCBT_CREATEWND && toCatch) {
    HWND window = reinterpret_cast<HWND>(wParam);
    char className[8] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") == 0) {
      SetWindowSubclass(window, KeepTheWayOut, 0, toCatch->type);
      t_boxToCatch = nullptr;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int MessageBoxWithItsOwnWayOut(HWND owner, const std::string& text, const std::string& caption, unsigned type) {
  BoxToCatch toCatch{SetWindowsHookExA(WH_CBT, CatchTheBox, nullptr, GetCurrentThreadId()), type};
  BoxToCatch* outer = t_boxToCatch;
  t_boxToCatch = &toCatch;
  const int result = MessageBoxA(owner, text.c_str(), caption.c_str(), type);
  t_boxToCatch = outer;
  if (toCatch.hook) UnhookWindowsHookEx(toCatch.hook);
  return result;
}

}  // namespace morv::win32
