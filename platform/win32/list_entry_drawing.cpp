#include "platform/win32/list_entry_drawing.h"

#include <vector>

#include "framework/text_elide.h"
#include "framework/win32_types.h"
#include "platform/win32/utf16.h"

namespace morv::win32 {
namespace {

// The room the system's own list boxes leave before an entry's text.
constexpr int kTextInset = 2;

}  // namespace

int TextWidth(HDC dc, std::string_view text) {
  const std::wstring wide = Wide(std::string(text));
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  return size.cx;
}

std::string ListEntryText(HWND list, int index) {
  // Read as UTF-16: an A read would go through a code page.
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
  return Utf8(text);
}

bool MeasureListEntry(HWND dialog, MEASUREITEMSTRUCT& item) {
  if (item.CtlType != ODT_LISTBOX) return false;
  HDC dc = GetDC(dialog);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
  item.itemHeight = static_cast<UINT>(metrics.tmHeight > 0 ? metrics.tmHeight : 13);
  return true;
}

bool DrawListEntry(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_LISTBOX) return false;
  const bool chosen = (item.itemState & ODS_SELECTED) != 0;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(chosen ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (item.itemID != static_cast<UINT>(-1)) {
    std::vector<std::string> entries;
    const LRESULT count = SendMessageA(item.hwndItem, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) entries.push_back(ListEntryText(item.hwndItem, i));
    const std::string& text = entries.at(item.itemID);
    RECT place = item.rcItem;
    place.left += kTextInset;
    place.right -= kTextInset;
    const int room = place.right - place.left;
    const std::string shown = ElideKeepingDifference(text, entries, "...",
                                                     [&](std::string_view s) { return TextWidth(item.hDC, s) <= room; });
    const bool enabled = IsWindowEnabled(item.hwndItem) != FALSE;
    SetTextColor(item.hDC, GetSysColor(!enabled ? COLOR_GRAYTEXT : chosen ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    SetBkMode(item.hDC, TRANSPARENT);
    const std::wstring wide = Wide(shown);
    DrawTextW(item.hDC, wide.c_str(), static_cast<int>(wide.size()), &place, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
  return true;
}

}  // namespace morv::win32
