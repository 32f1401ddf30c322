// The Win32 toolkit on the system's own dialog manager (under wine in the cross
// build): the dialog built from a template, the real controls' list semantics, the
// menus, the one-message pump and the refusal to end the session during a hold.

#include "platform/win32/windows_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "framework/message_box_buttons.h"
#include "platform/termination_hold.h"
#include "platform/win32/dialog_template_memory.h"
#include "platform/win32/whole_text_tips.h"
#include "platform/win32/win32_icons.h"
#include "platform/win32/win32_toolkit.h"
#include "platform/win32/window_dpi.h"
#include "ui/resources.h"
#include "ui/resource_ids.h"

namespace morv::win32 {
namespace {

constexpr uint32_t kChild = WS_CHILD | WS_VISIBLE;
constexpr int kSortedCombo = 100, kPlainList = 101, kHiddenButton = 102, kEdit = 103;

DialogTemplate SampleDialog() {
  DialogTemplate d;
  d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  d.cx = 200;
  d.cy = 100;
  d.caption = "Sample";
  d.fontName = "MS Sans Serif";
  d.pointSize = 8;
  auto control = [](int id, ControlClass cls, const char* text, int y, uint32_t style) {
    ControlTemplate c;
    c.id = id;
    c.cls = cls;
    c.text = text;
    c.x = 5;
    c.y = y;
    c.cx = 100;
    c.cy = cls == ControlClass::ComboBox ? 60 : 12;
    c.style = style;
    return c;
  };
  d.controls = {
      control(kSortedCombo, ControlClass::ComboBox, "", 5, kChild | CBS_DROPDOWNLIST | CBS_SORT | WS_TABSTOP),
      control(kPlainList, ControlClass::ListBox, "", 20, kChild | LBS_NOTIFY | WS_BORDER | WS_TABSTOP),
      control(kHiddenButton, ControlClass::Button, "Abort", 40, WS_CHILD | BS_PUSHBUTTON),
      control(kEdit, ControlClass::Edit, "ready", 55, kChild | WS_BORDER | ES_READONLY),
      control(IDOK, ControlClass::Button, "Exit", 70, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP),
  };
  return d;
}

/// Runs `body` inside the dialog's initialisation, then ends the dialog.
class ScriptedHandler : public DialogHandler {
 public:
  ScriptedHandler(Win32Toolkit& toolkit, std::function<void(DialogWindow&, HWND)> body)
      : m_toolkit(toolkit), m_body(std::move(body)) {}
  bool OnInitDialog(DialogWindow& window) override {
    m_body(window, static_cast<HWND>(m_toolkit.ActiveDialog()));
    window.EndDialog(IDCANCEL);
    return true;
  }
  void OnCommand(int id, int code) override { commands.push_back({id, code}); }
  bool OnSysCommand(unsigned id, long) override {
    sysCommands.push_back(id);
    return id == IDM_ABOUTBOX;
  }
  std::vector<std::pair<int, int>> commands;
  std::vector<unsigned> sysCommands;

 private:
  Win32Toolkit& m_toolkit;
  std::function<void(DialogWindow&, HWND)> m_body;
};

int RunSample(Win32Toolkit& toolkit, ScriptedHandler& handler, const DialogTemplate& dialog = SampleDialog()) {
  return toolkit.DoModal(dialog, ResourcesNT(), handler);
}

TEST(Win32Toolkit, BuildsTheTemplatesControlsWithTheirStates) {
  Win32Toolkit toolkit;
  ScriptedHandler handler(toolkit, [](DialogWindow& w, HWND dialog) {
    EXPECT_EQ(w.GetWindowText(kEdit), "ready");
    EXPECT_EQ(w.GetWindowText(IDOK), "Exit");
    EXPECT_TRUE(w.IsWindowVisible(IDOK));
    EXPECT_FALSE(w.IsWindowVisible(kHiddenButton));
    char className[32] = {};
    GetClassNameA(GetDlgItem(dialog, kSortedCombo), className, sizeof className);
    EXPECT_STREQ(className, "ComboBox");
    GetClassNameA(GetDlgItem(dialog, kPlainList), className, sizeof className);
    EXPECT_STREQ(className, "ListBox");
    w.SetWindowText(kEdit, "Update Executing");
    EXPECT_EQ(w.GetWindowText(kEdit), "Update Executing");
    w.EnableWindow(IDOK, false);
    EXPECT_FALSE(w.IsWindowEnabled(IDOK));
    w.SetFocus(kPlainList);
    EXPECT_EQ(w.GetFocus(), kPlainList);
    // The focus rectangle stays shown, whatever asks to hide it.
    SendMessageA(dialog, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDOK), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);
  });
  EXPECT_EQ(RunSample(toolkit, handler), IDCANCEL);
}

TEST(Win32Toolkit, OpensCentredOnTheWorkAreaOfItsMonitor) {
  Win32Toolkit toolkit;
  ScriptedHandler handler(toolkit, [](DialogWindow&, HWND dialog) {
    RECT window{};
    GetWindowRect(dialog, &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT& area = monitor.rcWork;
    EXPECT_NEAR(window.left + window.right, area.left + area.right, 2);
    EXPECT_NEAR(window.top + window.bottom, area.top + area.bottom, 2);
  });
  RunSample(toolkit, handler);
}

TEST(Win32Toolkit, ListsFollowTheSharedOrderAndSelectionRules) {
  Win32Toolkit toolkit;
  ScriptedHandler handler(toolkit, [](DialogWindow& w, HWND) {
    for (const char* text : {"5:R4410", "0:DISK", "2:CD-ROM"}) w.AddString(kSortedCombo, text);
    for (const char* text : {"b.OUC", "a.OUC"}) w.AddString(kPlainList, text);
    struct Case {
      int id;
      std::vector<std::string> entries;
    } cases[] = {{kSortedCombo, {"0:DISK", "2:CD-ROM", "5:R4410"}}, {kPlainList, {"b.OUC", "a.OUC"}}};
    for (const Case& c : cases) {
      ASSERT_EQ(w.GetCount(c.id), static_cast<int>(c.entries.size()));
      for (size_t i = 0; i < c.entries.size(); ++i) EXPECT_EQ(w.GetLBText(c.id, static_cast<int>(i)), c.entries[i]);
      EXPECT_EQ(w.GetLBText(c.id, 7), "");
      EXPECT_EQ(w.SetCurSel(c.id, 1), 1);
      EXPECT_EQ(w.GetCurSel(c.id), 1);
      EXPECT_EQ(w.SetCurSel(c.id, 3), CB_ERR) << "no such entry";
      EXPECT_EQ(w.GetCurSel(c.id), CB_ERR) << "and no selection left";
      w.SetCurSel(c.id, 0);
      EXPECT_EQ(w.SetCurSel(c.id, -1), CB_ERR);
      EXPECT_EQ(w.GetCurSel(c.id), CB_ERR);
      w.ResetContent(c.id);
      EXPECT_EQ(w.GetCount(c.id), 0);
    }
  });
  RunSample(toolkit, handler);
  // The controls tell of focus changes (the system's own notifications); a selection
  // made by code is not told.
  for (const auto& [id, code] : handler.commands)
    EXPECT_NE(code, CBN_SELCHANGE) << id << ": selections made by code send no notification";
}

/// What the dialog answers its tooltip for `control` (TTN_GETDISPINFOA).
std::string TipText(HWND dialog, HWND control) {
  HWND tip = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr);
  NMTTDISPINFOA info{};
  info.hdr = {tip, reinterpret_cast<UINT_PTR>(control), TTN_GETDISPINFOA};
  SendMessageA(dialog, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
  return info.lpszText ? info.lpszText : "";
}

TEST(Win32Toolkit, LongNamesAndTextsAreReachableWhole) {
  // Two names that differ only near their end, and an error text wider than its field.
  const std::string v104 = "KESTREL_MX-R4410_FIRMWARE_UPDATE_PACKAGE_V104_FINAL_RELEASE.OUC";
  const std::string v105 = "KESTREL_MX-R4410_FIRMWARE_UPDATE_PACKAGE_V105_FINAL_RELEASE.OUC";
  const std::string error = "File Read Error!(11) No such file or directory";
  Win32Toolkit toolkit;
  ScriptedHandler handler(toolkit, [&](DialogWindow& w, HWND dialog) {
    HWND list = GetDlgItem(dialog, kPlainList), edit = GetDlgItem(dialog, kEdit);
    w.AddString(kPlainList, v104);
    w.AddString(kPlainList, v105);
    w.SetWindowText(kEdit, error);
    RECT client;
    GetClientRect(list, &client);
    ASSERT_LT(client.right, TextWidth(list, v104)) << "the names are wider than the list";
    // The two entries are drawn apart (cut at the edge they would look the same);
    // the list still holds the names.
    auto pixels = [&](int index) {
      RECT row;
      SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row));
      const RECT place{0, 0, row.right - row.left, row.bottom - row.top};
      HDC screen = GetDC(list);
      HDC dc = CreateCompatibleDC(screen);
      HBITMAP bitmap = CreateCompatibleBitmap(screen, place.right, place.bottom);
      HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
      HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
      DRAWITEMSTRUCT item{ODT_LISTBOX, kPlainList, static_cast<UINT>(index), ODA_DRAWENTIRE, 0, list, dc, place, 0};
      SendMessageA(dialog, WM_DRAWITEM, kPlainList, reinterpret_cast<LPARAM>(&item));
      std::vector<COLORREF> seen;
      for (LONG y = 0; y < place.bottom; ++y)
        for (LONG x = 0; x < place.right; ++x) seen.push_back(GetPixel(dc, x, y));
      SelectObject(dc, oldFont);
      DeleteObject(SelectObject(dc, oldBitmap));
      DeleteDC(dc);
      ReleaseDC(list, screen);
      return seen;
    };
    EXPECT_NE(pixels(0), pixels(1));
    EXPECT_EQ(w.GetLBText(kPlainList, 0), v104);
    // The tooltip over an entry names it whole.
    RECT entry;
    SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&entry));
    POINT pointer{client.right / 2, (entry.top + entry.bottom) / 2};
    ClientToScreen(list, &pointer);
    ASSERT_TRUE(SetCursorPos(pointer.x, pointer.y));
    EXPECT_EQ(TipText(dialog, list), v105);
    // The field shows both ends of its text, whole while it has the focus; its
    // tooltip holds the whole text; a text that fits needs none.
    auto shown = [&] {
      char text[256] = {};
      GetWindowTextA(edit, text, sizeof text);
      return std::string(text);
    };
    EXPECT_EQ(shown().substr(0, 4) + shown().substr(shown().size() - 9), "Filedirectory") << shown();
    EXPECT_LT(shown().size(), error.size());
    w.SetFocus(kEdit);
    EXPECT_EQ(shown(), error);
    w.SetFocus(kPlainList);
    EXPECT_EQ(TipText(dialog, edit), error);
    EXPECT_EQ(w.GetWindowText(kEdit), error);
    w.SetWindowText(kEdit, "ready");
    EXPECT_EQ(TipText(dialog, edit), "");
  });
  DialogTemplate dialog = SampleDialog();
  dialog.controls[1].cy = 34;  // the list: room for both entries
  RunSample(toolkit, handler, dialog);
}

TEST(Win32Toolkit, PicturesGrowWithTheDpi) {
  // The dialog's picture is drawn for 96 DPI: at 144 and 192 it is stretched as the text grows.
  const IconResource* picture = ResourcesNT().FindIcon(IDI_PICTURE);
  ASSERT_NE(picture, nullptr);
  const int drawn = static_cast<int>(picture->rows.size());
  for (int size : {0, drawn * 3 / 2, drawn * 2}) {
    HICON icon = CreateIconFrom(*picture, size);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP color{};
    GetObjectA(info.hbmColor, sizeof color, &color);
    EXPECT_EQ(color.bmWidth, size ? size : drawn);
    EXPECT_EQ(color.bmHeight, size ? size : drawn);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

TEST(Win32Toolkit, WindowSizesFollowTheWindowsDpi) {
  // The frame at a DPI: the old call's at the system's (96 under wine), larger at 192.
  const RECT client{0, 0, 300, 200};
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  ASSERT_NE(SystemAdjustForDpi(), nullptr) << "wine 8 has AdjustWindowRectExForDpi";
  const RECT at96 = WindowRectAround(client, style, 0, true, 96);
  const RECT old = WindowRectAround(client, style, 0, true, 96, nullptr);
  EXPECT_EQ(std::vector<LONG>({at96.left, at96.top, at96.right, at96.bottom}),
            std::vector<LONG>({old.left, old.top, old.right, old.bottom}));
  const RECT at192 = WindowRectAround(client, style, 0, true, 192);
  EXPECT_LT(at192.top, at96.top) << "caption and menu bar grow with the DPI";
  // Moved onto a monitor of another scale: the window takes the suggested rectangle.
  Win32Toolkit toolkit;
  ScriptedHandler handler(toolkit, [](DialogWindow&, HWND dialog) {
    EXPECT_EQ(WindowDpi(dialog), 96u);
    RECT suggested{40, 30, 40 + 700, 30 + 520};
    SendMessageA(dialog, kDpiChangedMessage, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    RECT now{};
    GetWindowRect(dialog, &now);
    EXPECT_EQ(std::vector<LONG>({now.left, now.top, now.right, now.bottom}),
              std::vector<LONG>({suggested.left, suggested.top, suggested.right, suggested.bottom}));
  });
  RunSample(toolkit, handler);
}

TEST(Win32Toolkit, MenuBarAndSystemMenuReachTheHandler) {
  Win32Toolkit toolkit;
  DialogTemplate dialog = SampleDialog();
  dialog.menuId = ResourcesNT().mainMenu.id;
  ScriptedHandler* self = nullptr;
  ScriptedHandler handler(toolkit, [&](DialogWindow& w, HWND window) {
    HMENU bar = GetMenu(window);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetMenuItemCount(bar), static_cast<int>(ResourcesNT().mainMenu.items.size()));
    ASSERT_TRUE(w.HasSystemMenu());
    w.AppendSystemMenuSeparator();
    w.AppendSystemMenuItem(IDM_ABOUTBOX, "&About MorvantideNT...");
    HMENU system = GetSystemMenu(window, FALSE);
    char text[64] = {};
    GetMenuStringA(system, IDM_ABOUTBOX, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ(text, "&About MorvantideNT...");
    SendMessageA(window, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(ID_OPTION_RESCAN, 0), 0);
    EXPECT_EQ(self->sysCommands, std::vector<unsigned>{IDM_ABOUTBOX});
    // Alt and an item's first letter reach items written without a marked key.
    struct Key {
      HMENU menu;
      char key;
      LRESULT answer;
    } keys[] = {{bar, 'a', MAKELRESULT(1, MNC_EXECUTE)}, {bar, 'O', MAKELRESULT(0, MNC_EXECUTE)},
                {GetSubMenu(bar, 0), 'r', MAKELRESULT(0, MNC_EXECUTE)}, {bar, 'x', 0}};
    for (const Key& k : keys)
      EXPECT_EQ(SendMessageA(window, WM_MENUCHAR, MAKEWPARAM(k.key, 0), reinterpret_cast<LPARAM>(k.menu)), k.answer)
          << k.key;
  });
  self = &handler;
  RunSample(toolkit, handler, dialog);
  EXPECT_NE(std::find(handler.commands.begin(), handler.commands.end(), std::pair<int, int>{ID_OPTION_RESCAN, 0}),
            handler.commands.end());
}

TEST(Win32Toolkit, SessionEndIsRefusedOnlyDuringAHold) {
  Win32Toolkit toolkit;
  ScriptedHandler handler(toolkit, [](DialogWindow&, HWND window) {
    EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, 0), TRUE);
    {
      TerminationHold hold;
      EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, 0), FALSE);
    }
    EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, 0), TRUE);
  });
  RunSample(toolkit, handler);
}

/// Counts what reaches its window procedure.
int s_dispatched = 0;
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) ++s_dispatched;
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(Win32Toolkit, OnePumpPassDispatchesOneMessage) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = CountingProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "MorvantidePumpTest";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA("MorvantidePumpTest", "", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  MSG stray;
  while (PeekMessageA(&stray, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&stray);
  s_dispatched = 0;
  for (int i = 0; i < 3; ++i) PostMessageA(window, WM_APP, 0, 0);

  Win32Toolkit toolkit;
  toolkit.PumpOneMessage();
  EXPECT_EQ(s_dispatched, 1);
  toolkit.PumpOneMessage();
  toolkit.PumpOneMessage();
  EXPECT_EQ(s_dispatched, 3);
  toolkit.PumpOneMessage();  // an empty queue: returns at once
  EXPECT_EQ(s_dispatched, 3);
  DestroyWindow(window);
}

TEST(Win32Toolkit, WaitCursorIsTheSystemsOwn) {
  Win32Toolkit toolkit;
  toolkit.SetCursor(CursorShape::Wait);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
  EXPECT_EQ(toolkit.GetCursor(), CursorShape::Wait);
  toolkit.SetCursor(CursorShape::Arrow);
  EXPECT_EQ(toolkit.GetCursor(), CursorShape::Arrow);
}

TEST(Win32Toolkit, TheWaitCursorStaysWhileThePointerMovesOverTheDialog) {
  // The system asks the window under the pointer for its cursor at every move
  // (WM_SETCURSOR); without an answer the dialog's class cursor, the arrow, returns
  // in the middle of a wait.
  Win32Toolkit toolkit;
  ScriptedHandler handler(toolkit, [&](DialogWindow&, HWND window) {
    HWND list = GetDlgItem(window, kPlainList);
    auto pointerMovesOver = [&](HWND under) {
      SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    };
    toolkit.SetCursor(CursorShape::Wait);
    for (HWND under : {window, list}) {
      pointerMovesOver(under);
      EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
    }
    toolkit.SetCursor(CursorShape::Arrow);
    pointerMovesOver(window);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
  });
  RunSample(toolkit, handler);
}

/// Closes the box captioned "Close test" as its close box does, then presses its
/// first button: one step a tick, each once the one before has been handled.
unsigned s_boxType = 0;
int s_boxStep = 0;
void CALLBACK CloseThenPressFirst(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = FindWindowA("#32770", "Close test");
  if (!box) return;
  if (s_boxStep++ == 0)
    PostMessageA(box, WM_CLOSE, 0, 0);
  else
    PostMessageA(GetDlgItem(box, MessageBoxButtons(s_boxType).front()), BM_CLICK, 0, 0);
}

TEST(Win32Toolkit, AMessageBoxClosesOnlyWithTheWayOutItsButtonsOffer) {
  struct Case {
    unsigned type;
    int result;
  } cases[] = {
      {MB_OK, IDOK},          {MB_OKCANCEL, IDCANCEL}, {MB_YESNOCANCEL, IDCANCEL},
      {MB_RETRYCANCEL, IDCANCEL},
      {MB_YESNO, IDYES},      {MB_ABORTRETRYIGNORE, IDABORT},  // closing did nothing: the first button answered
  };
  Win32Toolkit toolkit;
  for (const Case& c : cases) {
    s_boxType = c.type;
    s_boxStep = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, CloseThenPressFirst);
    EXPECT_EQ(toolkit.MessageBox("Error!!", "Close test", c.type), c.result) << "type " << c.type;
    KillTimer(nullptr, timer);
  }
}

TEST(DialogTemplateMemory, HeaderAndItemsInTheSystemsForm) {
  const std::vector<uint32_t> binary = BuildDialogTemplate(SampleDialog());
  const auto* words = reinterpret_cast<const uint16_t*>(binary.data());
  const auto* header = reinterpret_cast<const DLGTEMPLATE*>(binary.data());
  EXPECT_EQ(header->style, SampleDialog().style | DS_CENTER);
  EXPECT_EQ(header->cdit, 5);
  EXPECT_EQ(header->cx, 200);
  EXPECT_EQ(header->cy, 100);
  // menu 0, class 0, then the caption in UTF-16.
  EXPECT_EQ(words[9], 0);
  EXPECT_EQ(words[10], 0);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(words + 11), 6), u"Sample");
  EXPECT_EQ(words[17], 0);
  EXPECT_EQ(words[18], 8) << "point size";
  EXPECT_EQ(binary.size() * 4 % 4, 0u);
}

}  // namespace
}  // namespace morv::win32
