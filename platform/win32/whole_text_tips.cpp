#include "platform/win32/whole_text_tips.h"

#include "platform/win32/list_entry_drawing.h"
#include "platform/win32/utf16.h"

#include <utility>

namespace morv::win32 {
namespace {

constexpr UINT_PTR kEntryWatch = 1;  ///< the list boxes' subclass, which follows the pointer's entry

bool IsClass(HWND window, const char* name) {
  char className[32] = {};
  GetClassNameA(window, className, sizeof className);
  return lstrcmpiA(className, name) == 0;
}

bool IsList(HWND control) { return IsClass(control, "ListBox"); }
bool IsReadOnlyEdit(HWND control) {
  return IsClass(control, "Edit") && (GetWindowLongPtrA(control, GWL_STYLE) & ES_READONLY) != 0;
}

/// The entry of `list` under the pointer, or -1.
int EntryUnderPointer(HWND list) {
  POINT point;
  if (!GetCursorPos(&point) || !ScreenToClient(list, &point)) return -1;
  RECT client;
  GetClientRect(list, &client);
  if (!PtInRect(&client, point)) return -1;
  const LRESULT found = SendMessageA(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  return HIWORD(found) ? -1 : LOWORD(found);
}

/// Each entry has its own text: when the pointer moves onto another entry, the tip
/// shown for the last one goes, and the next one asks again.
LRESULT CALLBACK WatchEntries(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR tip) {
  if (message == WM_MOUSEMOVE) {
    const int entry = EntryUnderPointer(list);
    if (entry != static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(list, "MorvantideTipEntry")))) {
      SetPropA(list, "MorvantideTipEntry", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(entry)));
      SendMessageA(reinterpret_cast<HWND>(tip), TTM_POP, 0, 0);
    }
  } else if (message == WM_NCDESTROY) {
    RemovePropA(list, "MorvantideTipEntry");
    RemoveWindowSubclass(list, WatchEntries, id);
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

int TextWidth(HWND control, const std::string& text) {
  HDC dc = GetDC(control);
  if (!dc) return 0;
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
  const int width = TextWidth(dc, text);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return width;
}

WholeTextTips::WholeTextTips(HWND dialog, std::function<std::string(HWND)> wholeText)
    : m_dialog(dialog),
      m_wholeText(std::move(wholeText)),
      m_tip(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                            GetModuleHandleA(nullptr), nullptr)) {
  if (!m_tip) return;
  // Wider than the screen's half, a text breaks into lines rather than leave it.
  SendMessageA(m_tip, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN) / 2);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsList(child) && !IsReadOnlyEdit(child)) continue;
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(child);
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(m_tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    if (IsList(child)) SetWindowSubclass(child, WatchEntries, kEntryWatch, reinterpret_cast<DWORD_PTR>(m_tip));
  }
}

WholeTextTips::~WholeTextTips() {
  if (m_tip) DestroyWindow(m_tip);
}

std::string WholeTextTips::TextFor(HWND control) const {
  std::string text;
  int room = 0;
  if (IsList(control)) {
    const int entry = EntryUnderPointer(control);
    if (entry < 0) return {};
    text = ListEntryText(control, entry);
    RECT client;
    GetClientRect(control, &client);
    room = client.right - client.left;
  } else if (IsReadOnlyEdit(control)) {
    text = m_wholeText(control);
    RECT format{};
    SendMessageA(control, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    room = format.right - format.left;
  }
  return TextWidth(control, text) > room ? text : std::string();
}

bool WholeTextTips::Answer(NMHDR& notification) {
  if (notification.hwndFrom != m_tip) return false;
  if (notification.code == TTN_GETDISPINFOA) {
    auto& info = reinterpret_cast<NMTTDISPINFOA&>(notification);
    m_text = TextFor(reinterpret_cast<HWND>(notification.idFrom));
    info.lpszText = m_text.data();
    return true;
  }
  if (notification.code == TTN_GETDISPINFOW) {
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(notification);
    m_wide = Wide(TextFor(reinterpret_cast<HWND>(notification.idFrom)));
    info.lpszText = m_wide.data();
    return true;
  }
  return false;
}

}  // namespace morv::win32
