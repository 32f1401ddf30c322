#include "platform/win32/windows_names.h"

#include "platform/win32/win32_toolkit.h"

#include <memory>
#include <string>

#include "framework/menu_mnemonic.h"

#include "platform/win32/deliberate_keys.h"
#include "platform/win32/dialog_template_memory.h"
#include "platform/win32/list_entry_drawing.h"
#include "platform/win32/message_box_way_out.h"
#include "platform/win32/shutdown_block.h"
#include "platform/win32/whole_text_tips.h"
#include "platform/win32/win32_dialog_window.h"
#include "platform/win32/window_dpi.h"

namespace morv::win32 {

/// One dialog while its modal run lasts.
struct Win32Toolkit::Running {
  Win32Toolkit& toolkit;
  const DialogTemplate& dialog;
  const ProgramResources& resources;
  DialogHandler& handler;
  Running* outer;
  HWND window = nullptr;
  std::unique_ptr<Win32DialogWindow> controls;
  std::unique_ptr<WholeTextTips> tips;
};

namespace {

/// A menu (bar or pop-up) from its entries; null for none.
void AppendMenuItems(HMENU menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    if (item.separator) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    } else if (!item.items.empty()) {
      HMENU popup = CreatePopupMenu();
      AppendMenuItems(popup, item.items);
      AppendMenuA(menu, MF_POPUP | (item.helpJustified ? MF_RIGHTJUSTIFY : 0u), reinterpret_cast<UINT_PTR>(popup),
                  item.text.c_str());
    } else {
      AppendMenuA(menu, MF_STRING | (item.helpJustified ? MF_RIGHTJUSTIFY : 0u), static_cast<UINT_PTR>(item.id),
                  item.text.c_str());
    }
  }
}

/// Gives the dialog its menu bar, keeping the client area the template asked for.
void AttachMenu(HWND window, const MenuTemplate& menuTemplate) {
  HMENU bar = CreateMenu();
  AppendMenuItems(bar, menuTemplate.items);
  RECT client;
  GetClientRect(window, &client);
  SetMenu(window, bar);
  const RECT frame = WindowRectAround(client, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)),
                                      static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)), true,
                                      WindowDpi(window));
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

/// Puts the program's pictures into the SS_ICON statics.
void AttachPictures(Win32DialogWindow& controls, HWND window, const DialogTemplate& dialog) {
  // Pictures are drawn for the dialog's font at 96 DPI and grow as its text does:
  // the font's real height against its height at 96 DPI gives the DPI the text is
  // drawn at, whether the system reports that DPI for the window or not.
  UINT dpi = WindowDpi(window);
  LOGFONTA font{};
  if (dialog.pointSize > 0 &&
      GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font) && font.lfHeight < 0)
    dpi = static_cast<UINT>(MulDiv(USER_DEFAULT_SCREEN_DPI, -font.lfHeight, MulDiv(dialog.pointSize, USER_DEFAULT_SCREEN_DPI, 72)));
  int index = 0;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++index) {
    if (index >= static_cast<int>(dialog.controls.size())) break;
    const ControlTemplate& c = dialog.controls[static_cast<size_t>(index)];
    if (c.cls == ControlClass::Static && (c.style & SS_TYPEMASK) == SS_ICON && c.iconId != 0)
      SendMessageA(child, STM_SETICON, reinterpret_cast<WPARAM>(controls.Icon(c.iconId, dpi)), 0);
  }
}

/// The position of the item of `menu` whose key is `key`: the system's menus know
/// only keys marked with '&', and items written without one ("Option", "About")
/// answer to their first letter, as in the other toolkits. -1 for none.
int ItemWithKey(HMENU menu, char key) {
  const char wanted = Mnemonic(std::string(1, key));
  const int count = wanted ? GetMenuItemCount(menu) : 0;
  for (int i = 0; i < count; ++i) {
    char text[256] = {};
    if (GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION) <= 0) continue;
    if (Mnemonic(text) == wanted) return i;
  }
  return -1;
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* running = reinterpret_cast<Win32Toolkit::Running*>(GetWindowLongPtrA(window, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      running = reinterpret_cast<Win32Toolkit::Running*>(lParam);
      SetWindowLongPtrA(window, DWLP_USER, lParam);
      running->window = window;
      running->controls = std::make_unique<Win32DialogWindow>(window, running->dialog, running->resources);
      if (const MenuTemplate* menu = running->resources.FindMenu(running->dialog.menuId)) AttachMenu(window, *menu);
      AttachPictures(*running->controls, window, running->dialog);
      running->tips = std::make_unique<WholeTextTips>(
          window, [controls = running->controls.get()](HWND field) { return controls->GetWindowText(GetDlgCtrlID(field)); });
      return running->handler.OnInitDialog(*running->controls) ? TRUE : FALSE;
    }
    case WM_COMMAND:
      if (!running) return FALSE;
      running->controls->FieldNotice(LOWORD(wParam), HIWORD(wParam));
      running->handler.OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_SYSCOMMAND:
      if (!running) return FALSE;
      if (running->handler.OnSysCommand(static_cast<unsigned>(wParam), static_cast<long>(lParam))) {
        SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      return FALSE;
    case WM_SETCURSOR:
      // The pointer moved: during a wait it keeps the wait cursor, over the
      // controls too (their default handling asks the dialog first).
      if (!running || running->toolkit.ShapeSet() != CursorShape::Wait) return FALSE;
      ::SetCursor(LoadCursorA(nullptr, IDC_WAIT));
      SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_MENUCHAR:
      if (const int item = ItemWithKey(reinterpret_cast<HMENU>(lParam), static_cast<char>(LOWORD(wParam))); item >= 0) {
        SetWindowLongPtrA(window, DWLP_MSGRESULT, MAKELRESULT(item, MNC_EXECUTE));
        return TRUE;
      }
      return FALSE;
    case WM_CHANGEUISTATE:
      // Focus rectangles and key underlines stay shown, also when the dialog opens
      // after a mouse click: the operator must see where the focus is from the start.
      if (LOWORD(wParam) == UIS_CLEAR) return FALSE;
      SendMessageA(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
      SetWindowLongPtrA(window, DWLP_MSGRESULT, 0);
      return TRUE;
    case WM_MEASUREITEM:
      if (!MeasureListEntry(window, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return FALSE;
      SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_DRAWITEM:
      if (!DrawListEntry(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return FALSE;
      SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_NOTIFY:
      return running && running->tips && running->tips->Answer(*reinterpret_cast<NMHDR*>(lParam)) ? TRUE : FALSE;
    case kDpiChangedMessage: {
      // Moved onto a monitor of another scale, or the scale changed: the system's
      // suggested rectangle keeps the window in place at the new size. The dialog
      // manager goes on with the message: where it scales dialogs itself, it lays
      // out the controls and their font anew.
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      return FALSE;
    }
    case WM_DESTROY:
      if (running) running->tips.reset();  // before the system takes its tooltip with the dialog
      return FALSE;
    case WM_QUERYENDSESSION:
      // A firmware download must not be cut off: logoff and shutdown wait for it.
      SetWindowLongPtrA(window, DWLP_MSGRESULT, TerminationHeld() ? FALSE : TRUE);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

Win32Toolkit::Win32Toolkit() : m_heldKeys(std::make_unique<HeldKeyHook>()) {
  // A download answers no messages for longer than the system's hung-window check
  // allows; a ghost window would then offer the operator to end the program.
  DisableProcessWindowsGhosting();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
}

Win32Toolkit::~Win32Toolkit() = default;

void* Win32Toolkit::ActiveDialog() const { return m_innermost ? m_innermost->window : nullptr; }

int Win32Toolkit::DoModal(const DialogTemplate& dialog, const ProgramResources& resources, DialogHandler& handler) {
  const std::vector<uint32_t> binary = BuildDialogTemplate(dialog);
  Running running{*this, dialog, resources, handler, m_innermost, nullptr, nullptr, nullptr};
  m_innermost = &running;
  const INT_PTR result =
      DialogBoxIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<const DLGTEMPLATE*>(binary.data()),
                              running.outer ? running.outer->window : nullptr, DialogProc,
                              reinterpret_cast<LPARAM>(&running));
  m_innermost = running.outer;
  return static_cast<int>(result);
}

int Win32Toolkit::MessageBox(const std::string& text, const std::string& caption, unsigned type) {
  ThrowAwayTypedAhead();
  return MessageBoxWithItsOwnWayOut(static_cast<HWND>(ActiveDialog()), text, caption, type);
}

void Win32Toolkit::MessageBeep(unsigned type) { ::MessageBeep(type); }

CursorShape Win32Toolkit::GetCursor() const {
  return ::GetCursor() == LoadCursorA(nullptr, IDC_WAIT) ? CursorShape::Wait : CursorShape::Arrow;
}

void Win32Toolkit::SetCursor(CursorShape shape) {
  m_shape = shape;
  ::SetCursor(LoadCursorA(nullptr, shape == CursorShape::Wait ? IDC_WAIT : IDC_ARROW));
}

void Win32Toolkit::PaintExposed() {
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_PAINT);
  for (Running* running = m_innermost; running; running = running->outer)
    if (running->window) RedrawWindow(running->window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32Toolkit::PumpOneMessage() {
  MSG message;
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

}  // namespace morv::win32
