#include "platform/win32/deliberate_keys.h"

namespace morv::win32 {
namespace {

/// Bit 30 of a key message's lParam: the key was down before this message.
constexpr LPARAM kWasDown = LPARAM{1} << 30;

bool OnlyMoves(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_TAB: case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
      return true;
    default:
      return false;
  }
}

bool IsHeldRepeat(const MSG& message) {
  if (!(message.lParam & kWasDown)) return false;
  switch (message.message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: return !OnlyMoves(message.wParam);
    case WM_CHAR: case WM_SYSCHAR: return message.wParam != '\t';
    default: return false;
  }
}

LRESULT CALLBACK DropHeldRepeats(int code, WPARAM removal, LPARAM lParam) {
  auto* message = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removal == PM_REMOVE && IsHeldRepeat(*message)) message->message = WM_NULL;
  return CallNextHookEx(nullptr, code, removal, lParam);
}

}  // namespace

HeldKeyHook::HeldKeyHook()
    : m_hook(SetWindowsHookExA(WH_GETMESSAGE, DropHeldRepeats, nullptr, GetCurrentThreadId())) {}

HeldKeyHook::~HeldKeyHook() {
  if (m_hook) UnhookWindowsHookEx(m_hook);
}

void ThrowAwayTypedAhead() {
  MSG message;
  while (PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
}

}  // namespace morv::win32
