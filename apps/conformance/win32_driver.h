#pragma once
// The conformance driver of the Win32 toolkit (under wine in the cross build): the
// operator's keys are posted where the keyboard sends them (the focused control) and
// clicks to the button, so the dialog's own modal loop and dialog manager handle them. A thread timer plays the
// steps: its message comes only when the queue is empty, so each step runs after the
// one before has been handled, and never while a handler runs (a handler's pump may
// take the timer's message too; the step waits for the next one).

#include "platform/win32/windows_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "apps/conformance/toolkit_driver.h"
#include "platform/win32/win32_toolkit.h"
#include "ui/resource_ids.h"

namespace morv::conformance {

class Win32Driver : public ToolkitDriver {
 public:
  static constexpr const char* kName = "Win32";

  Toolkit& Get() override { return m_toolkit; }

  int Run(const DialogTemplate& dialog, const ProgramResources& resources, DialogHandler& handler,
          std::vector<OperatorStep> steps) override {
    Counting counting(handler);
    WindowCatcher catcher(counting);
    s_play = [&] {
      if (counting.depth > 0 || catcher.window == nullptr) return false;
      if (m_next == steps.size()) {
        catcher.window->EndDialog(IDCANCEL);
        return true;
      }
      OperatorStep& step = steps[m_next++];
      switch (step.kind) {
        case OperatorStep::Kind::Look: step.look(*catcher.window); break;
        case OperatorStep::Kind::Press: PostKey(step.key); break;
        case OperatorStep::Kind::Click:
          PostMessageA(GetDlgItem(Dialog(), step.id), BM_CLICK, 0, 0);
          break;
      }
      return false;
    };
    m_next = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, kStepMilliseconds, Play);
    const int result = m_toolkit.DoModal(dialog, resources, catcher);
    KillTimer(nullptr, timer);
    s_play = nullptr;
    return result;
  }

  void KeyDuringWait(OperatorKey key) override { PostKey(key); }
  /// The dialog and its controls marked for painting, as the system marks what it uncovers.
  void Uncover() override { RedrawWindow(Dialog(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN); }
  bool Repainted() override {
    return !GetUpdateRect(Dialog(), nullptr, FALSE) && !GetUpdateRect(GetDlgItem(Dialog(), IDC_FILE_LIST), nullptr, FALSE);
  }

  BoxSeen ShowBox(const std::string& text, const std::string& caption, unsigned type,
                  std::vector<KeyStroke> keys) override {
    BoxSeen seen;
    bool looked = false;
    size_t nextKey = 0;
    std::function<bool()> outer = std::move(s_play);
    s_play = [&] {
      HWND box = FindBox(caption);
      if (box == nullptr) return false;
      if (!looked) {
        looked = true;
        Look(box, caption, seen);
        return false;
      }
      if (nextKey == keys.size()) {
        ADD_FAILURE() << "the box was not answered by its keys";
        EndDialog(box, 0);
        return true;
      }
      PostKey(keys[nextKey++]);
      return false;
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, kStepMilliseconds, Play);
    seen.result = m_toolkit.MessageBox(text, caption, type);
    KillTimer(nullptr, timer);
    s_play = std::move(outer);
    return seen;
  }

 private:
  static constexpr UINT kStepMilliseconds = 10;

  /// Counts how deep inside the handler the thread is.
  struct Counting : DialogHandler {
    explicit Counting(DialogHandler& inner) : inner(inner) {}
    bool OnInitDialog(DialogWindow& w) override { return inner.OnInitDialog(w); }
    void OnCommand(int id, int code) override {
      ++depth;
      inner.OnCommand(id, code);
      --depth;
    }
    bool OnSysCommand(unsigned id, long param) override { return inner.OnSysCommand(id, param); }
    DialogHandler& inner;
    int depth = 0;
  };

  static void CALLBACK Play(HWND, UINT, UINT_PTR, DWORD) {
    static bool playing = false;
    if (playing || !s_play) return;
    playing = true;
    s_play();
    playing = false;
  }

  HWND Dialog() const { return static_cast<HWND>(m_toolkit.ActiveDialog()); }

  /// A key press as the keyboard delivers it: to the window with the focus, or, when
  /// none has it, to the active window as a system key. The down message only, so
  /// that one pass of the pump takes the whole key; a repeat of a held key has the
  /// bit that says the key was already down (30) set.
  static void PostKey(KeyStroke stroke) {
    const LPARAM flags = 1 | (stroke.repeat ? LPARAM{1} << 30 : 0);
    if (HWND focus = GetFocus())
      PostMessageA(focus, WM_KEYDOWN, VirtualKey(stroke.key), flags);
    else
      PostMessageA(GetActiveWindow(), WM_SYSKEYDOWN, VirtualKey(stroke.key), flags);
  }

  static WPARAM VirtualKey(OperatorKey key) {
    switch (key) {
      case OperatorKey::Tab: return VK_TAB;
      case OperatorKey::Escape: return VK_ESCAPE;
      case OperatorKey::Enter: return VK_RETURN;
      case OperatorKey::Up: return VK_UP;
      case OperatorKey::Down: return VK_DOWN;
    }
    return 0;
  }

  /// The visible message box of this thread with `caption`.
  static HWND FindBox(const std::string& caption) {
    BoxSearch search{&caption};
    EnumThreadWindows(GetCurrentThreadId(), MatchBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  struct BoxSearch {
    const std::string* caption;
    HWND found = nullptr;
  };
  // A function of the system's calling convention (a lambda converts to a 32-bit
  // callback only where that convention is the compiler's default).
  static BOOL CALLBACK MatchBox(HWND window, LPARAM param) {
    auto& s = *reinterpret_cast<BoxSearch*>(param);
    char title[256] = {}, className[16] = {};
    GetWindowTextA(window, title, sizeof title);
    GetClassNameA(window, className, sizeof className);
    if (IsWindowVisible(window) && std::strcmp(className, "#32770") == 0 && *s.caption == title) {
      s.found = window;
      return FALSE;
    }
    return TRUE;
  }

  /// Its visible buttons, the default one, and whether the title bar holds the
  /// caption beside the close button.
  static void Look(HWND box, const std::string& caption, BoxSeen& seen) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      char className[16] = {};
      GetClassNameA(child, className, sizeof className);
      if (!IsWindowVisible(child) || _stricmp(className, "Button") != 0) continue;
      seen.buttons.push_back(GetDlgCtrlID(child));
      // What the dialog manager asks of the focused button before Enter presses it.
      // (The box's DM_GETDEFID is no witness: under wine it answers IDOK whatever
      // the buttons.)
      if (SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) seen.defaultButton = GetDlgCtrlID(child);
    }
    std::sort(seen.buttons.begin(), seen.buttons.end());
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HDC dc = GetDC(box);
    HFONT font = CreateFontIndirectA(&metrics.lfCaptionFont);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(box, dc);
    RECT frame;
    GetWindowRect(box, &frame);
    seen.captionWhole = frame.right - frame.left >= extent.cx + GetSystemMetrics(SM_CXSIZE) * 2;
  }

  inline static std::function<bool()> s_play;
  win32::Win32Toolkit m_toolkit;
  size_t m_next = 0;
};

}  // namespace morv::conformance
