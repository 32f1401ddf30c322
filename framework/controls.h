#pragma once
// Control wrappers: a control of an open dialog, addressed through its window.
// DoDataExchange binds them; until then (and after the dialog closes) every call
// does nothing and reads as empty.

#include <string>

#include "framework/toolkit.h"

namespace morv {

class CWnd {
 public:
  /// Binds the wrapper to control `id` of `window`.
  void Attach(DialogWindow& window, int id) {
    m_window = &window;
    m_id = id;
  }
  /// Forgets the window (it has closed).
  void Detach() { m_window = nullptr; }

  void SetWindowText(const std::string& text) {
    if (m_window) m_window->SetWindowText(m_id, text);
  }
  std::string GetWindowText() const { return m_window ? m_window->GetWindowText(m_id) : std::string(); }
  void EnableWindow(bool enable = true) {
    if (m_window) m_window->EnableWindow(m_id, enable);
  }
  bool IsWindowEnabled() const { return m_window && m_window->IsWindowEnabled(m_id); }
  bool IsWindowVisible() const { return m_window && m_window->IsWindowVisible(m_id); }
  void SetFocus() {
    if (m_window) m_window->SetFocus(m_id);
  }

 protected:
  DialogWindow* m_window = nullptr;
  int m_id = 0;
};

class CEdit : public CWnd {};
class CButton : public CWnd {};

class CProgressCtrl : public CWnd {
 public:
  /// Shows the bar filled to `done` of `total`; a `total` of 0 hides it.
  void SetProgress(int done, int total) {
    if (m_window) m_window->SetProgress(m_id, done, total);
  }
};

/// What list boxes and combo boxes share.
class CListControl : public CWnd {
 public:
  void ResetContent() {
    if (m_window) m_window->ResetContent(m_id);
  }
  /// Adds an entry (at its sorted place in a sorted control); returns its position.
  int AddString(const std::string& text) { return m_window ? m_window->AddString(m_id, text) : CB_ERR; }
  /// Selects position `index`; CB_ERR/LB_ERR and no selection when there is none.
  int SetCurSel(int index) { return m_window ? m_window->SetCurSel(m_id, index) : CB_ERR; }
  int GetCurSel() const { return m_window ? m_window->GetCurSel(m_id) : CB_ERR; }
  int GetCount() const { return m_window ? m_window->GetCount(m_id) : 0; }

 protected:
  std::string EntryText(int index) const { return m_window ? m_window->GetLBText(m_id, index) : std::string(); }
};

class CListBox : public CListControl {
 public:
  /// The text of entry `index`.
  std::string GetText(int index) const { return EntryText(index); }
};

class CComboBox : public CListControl {
 public:
  /// The text of entry `index`.
  std::string GetLBText(int index) const { return EntryText(index); }
};

/// What DoDataExchange binds controls against.
struct CDataExchange {
  DialogWindow& window;
};

/// Binds `control` to the dialog's control `id`.
inline void DDX_Control(CDataExchange& exchange, int id, CWnd& control) { control.Attach(exchange.window, id); }

}  // namespace morv
