#include "platform/win32/window_dpi.h"

namespace morv::win32 {
namespace {

/// `name` from user32, or null.
FARPROC User32Call(const char* name) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  return user32 ? GetProcAddress(user32, name) : nullptr;
}

}  // namespace

AdjustForDpiCall SystemAdjustForDpi() {
  static const auto call = reinterpret_cast<AdjustForDpiCall>(
      reinterpret_cast<void (*)()>(User32Call("AdjustWindowRectExForDpi")));
  return call;
}

UINT WindowDpi(HWND window) {
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const auto call =
      reinterpret_cast<DpiForWindow>(reinterpret_cast<void (*)()>(User32Call("GetDpiForWindow")));
  if (call) {
    if (const UINT dpi = call(window)) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

RECT WindowRectAround(RECT client, DWORD style, DWORD exStyle, bool menu, UINT dpi, AdjustForDpiCall adjust) {
  if (adjust)
    adjust(&client, style, menu, exStyle, dpi);
  else
    AdjustWindowRectEx(&client, style, menu, exStyle);
  return client;
}

}  // namespace morv::win32
