#pragma once
// Window sizes at the DPI of the monitor a window is on. The programs declare
// themselves aware of each monitor's DPI, so the system scales nothing for them;
// the frame around a client area then has to be measured at the window's own DPI.
// The calls for that (Windows 10 version 1607 and later, wine) are looked up at run
// time; an older system has only the calls that measure at the system's DPI, which
// is then the one every window is shown at.

#include "platform/win32/windows_names.h"

namespace morv::win32 {

/// The message a window gets when its DPI changes (moved onto a monitor of another
/// scale, or the scale changed): wParam the new DPI, lParam the suggested RECT.
inline constexpr UINT kDpiChangedMessage = 0x02E0;  // WM_DPICHANGED

/// AdjustWindowRectExForDpi's form.
using AdjustForDpiCall = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

/// The system's AdjustWindowRectExForDpi, or null where it has none.
AdjustForDpiCall SystemAdjustForDpi();

/// The DPI `window` is shown at: GetDpiForWindow where the system has it, else the
/// screen's.
UINT WindowDpi(HWND window);

/// The window rectangle around `client` for a window of `style` and `exStyle`, with a
/// menu bar or not, at `dpi`: with `adjust` where there is one, else with
/// AdjustWindowRectEx (the system's DPI).
RECT WindowRectAround(RECT client, DWORD style, DWORD exStyle, bool menu, UINT dpi,
                      AdjustForDpiCall adjust = SystemAdjustForDpi());

}  // namespace morv::win32
