#include "platform/win32/win32_dialog_window.h"

#include <vector>

#include "platform/win32/taskbar_progress.h"
#include "platform/win32/whole_text_tips.h"
#include "platform/win32/win32_icons.h"
#include "framework/list_order.h"
#include "framework/text_elide.h"

namespace morv::win32 {

Win32DialogWindow::Win32DialogWindow(HWND window, const DialogTemplate& dialog, const ProgramResources& resources)
    : m_window(window), m_dialog(dialog), m_resources(resources) {}

Win32DialogWindow::~Win32DialogWindow() {
  for (auto& [id, icon] : m_icons)
    if (icon) DestroyIcon(icon);
}

const ControlTemplate* Win32DialogWindow::Control(int id) const {
  for (const ControlTemplate& c : m_dialog.controls)
    if (c.id == id) return &c;
  return nullptr;
}

bool Win32DialogWindow::IsCombo(int id) const {
  const ControlTemplate* c = Control(id);
  return c && c->cls == ControlClass::ComboBox;
}

void Win32DialogWindow::EndDialog(int result) { ::EndDialog(m_window, result); }

bool Win32DialogWindow::IsReadOnlyField(int id) const {
  const ControlTemplate* c = Control(id);
  return c && c->cls == ControlClass::Edit && (c->style & ES_READONLY);
}

void Win32DialogWindow::SetWindowText(int id, const std::string& text) {
  if (IsReadOnlyField(id)) {
    m_wholeTexts[id] = text;
    ShowField(id);
  } else {
    SetDlgItemTextA(m_window, id, text.c_str());
  }
  // Painted now: a handler that processes no messages (a download) shows it too.
  UpdateWindow(Item(id));
}

void Win32DialogWindow::ShowField(int id) {
  HWND field = Item(id);
  const std::string& whole = m_wholeTexts[id];
  if (::GetFocus() == field) {
    SetWindowTextA(field, whole.c_str());
    return;
  }
  RECT format{};
  SendMessageA(field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  const int room = format.right - format.left;
  const std::string shown =
      ElideKeepingDifference(whole, {}, "...", [&](std::string_view s) { return TextWidth(field, std::string(s)) <= room; });
  SetWindowTextA(field, shown.c_str());
}

void Win32DialogWindow::FieldNotice(int id, int code) {
  if ((code == EN_SETFOCUS || code == EN_KILLFOCUS) && m_wholeTexts.count(id)) ShowField(id);
}

std::string Win32DialogWindow::GetWindowText(int id) const {
  if (auto whole = m_wholeTexts.find(id); whole != m_wholeTexts.end()) return whole->second;
  HWND item = Item(id);
  if (!item) return {};
  std::string text(static_cast<size_t>(GetWindowTextLengthA(item)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(item, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Win32DialogWindow::EnableWindow(int id, bool enable) {
  HWND item = Item(id);
  if (!enable && item && ::GetFocus() == item) m_disabledWithFocus = id;
  ::EnableWindow(item, enable);
  if (enable && id == m_disabledWithFocus) {
    m_disabledWithFocus = 0;
    if (!::GetFocus()) SetFocus(id);  // nobody took it meanwhile
  }
}
bool Win32DialogWindow::IsWindowEnabled(int id) const { return ::IsWindowEnabled(Item(id)); }
bool Win32DialogWindow::IsWindowVisible(int id) const {
  // The control's own style: while the dialog initialises, it is not shown itself.
  HWND item = Item(id);
  return item && (GetWindowLongPtrA(item, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32DialogWindow::SetFocus(int id) {
  m_disabledWithFocus = 0;
  // Through the dialog manager, so the default button follows the focus.
  SendMessageA(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

int Win32DialogWindow::GetFocus() const {
  HWND focus = ::GetFocus();
  return focus && IsChild(m_window, focus) ? GetDlgCtrlID(focus) : 0;
}

bool Win32DialogWindow::IsIconic() const { return ::IsIconic(m_window); }

HICON Win32DialogWindow::Icon(int iconId, unsigned dpi) {
  auto it = m_icons.find({iconId, dpi});
  if (it != m_icons.end()) return it->second;
  const IconResource* resource = m_resources.FindIcon(iconId);
  HICON icon = nullptr;
  if (resource && !resource->rows.empty()) {
    const int drawn = static_cast<int>(resource->rows.size());
    icon = CreateIconFrom(*resource, MulDiv(drawn, static_cast<int>(dpi), 96));
  }
  m_icons[{iconId, dpi}] = icon;
  return icon;
}

void Win32DialogWindow::SetIcon(int iconId, bool big) {
  SendMessageA(m_window, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(Icon(iconId)));
}

void Win32DialogWindow::SetProgress(int id, int done, int total) {
  HWND bar = Item(id);
  if (!bar) return;
  if (total > 0) {
    SendMessageA(bar, PBM_SETRANGE32, 0, total);
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(done), 0);
  }
  ShowWindow(bar, total > 0 ? SW_SHOWNA : SW_HIDE);
  // No message is processed during a download: the bar (or, hidden, what it
  // covered) is painted now rather than when the handler returns.
  RedrawWindow(total > 0 ? bar : m_window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  if (!m_taskbar) m_taskbar = std::make_unique<TaskbarProgress>(m_window);
  m_taskbar->Show(done, total);
}

void Win32DialogWindow::ResetContent(int id) {
  SendDlgItemMessageA(m_window, id, IsCombo(id) ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
}

int Win32DialogWindow::AddString(int id, const std::string& text) {
  const ControlTemplate* c = Control(id);
  const bool combo = IsCombo(id);
  const bool sorted = c && (c->style & (combo ? CBS_SORT : LBS_SORT)) != 0;
  int index = -1;  // the end
  if (sorted) {
    std::vector<std::string> entries;
    for (int i = 0, n = GetCount(id); i < n; ++i) entries.push_back(GetLBText(id, i));
    index = InsertionIndex(entries, text);
  }
  return static_cast<int>(SendDlgItemMessageA(m_window, id, combo ? CB_INSERTSTRING : LB_INSERTSTRING,
                                              static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str())));
}

int Win32DialogWindow::SetCurSel(int id, int index) {
  // A position that does not exist leaves no selection, in list boxes too (the
  // system's list box would keep the old one).
  const bool exists = index >= 0 && index < GetCount(id);
  const LRESULT result = SendDlgItemMessageA(m_window, id, IsCombo(id) ? CB_SETCURSEL : LB_SETCURSEL,
                                             static_cast<WPARAM>(exists ? index : -1), 0);
  return exists ? static_cast<int>(result) : CB_ERR;
}

int Win32DialogWindow::GetCurSel(int id) const {
  return static_cast<int>(SendDlgItemMessageA(m_window, id, IsCombo(id) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
}

int Win32DialogWindow::GetCount(int id) const {
  return static_cast<int>(SendDlgItemMessageA(m_window, id, IsCombo(id) ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
}

std::string Win32DialogWindow::GetLBText(int id, int index) const {
  const bool combo = IsCombo(id);
  const LRESULT length =
      SendDlgItemMessageA(m_window, id, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT copied = SendDlgItemMessageA(m_window, id, combo ? CB_GETLBTEXT : LB_GETTEXT,
                                             static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied < 0 ? 0 : static_cast<size_t>(copied));
  return text;
}

bool Win32DialogWindow::HasSystemMenu() const { return GetSystemMenu(m_window, FALSE) != nullptr; }

void Win32DialogWindow::AppendSystemMenuSeparator() { AppendMenuA(GetSystemMenu(m_window, FALSE), MF_SEPARATOR, 0, nullptr); }

void Win32DialogWindow::AppendSystemMenuItem(unsigned id, const std::string& text) {
  AppendMenuA(GetSystemMenu(m_window, FALSE), MF_STRING, id, text.c_str());
}

}  // namespace morv::win32
