#pragma once
// CDialog: a modal dialog built from a template and run by a Toolkit, with its
// commands dispatched through a message map kept as a table. IDOK and IDCANCEL
// end the dialog with that result unless the map handles them.

#include <span>

#include "framework/controls.h"
#include "framework/resource_types.h"
#include "framework/toolkit.h"

namespace morv {

class CDialog {
 public:
  CDialog(Toolkit& toolkit, const DialogTemplate& dialogTemplate, const ProgramResources& resources);
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  /// Builds the window, initialises it and runs it until EndDialog; returns the result.
  int DoModal();
  /// Ends the modal run with `result` once the running handler has returned.
  void EndDialog(int result);
  /// The open window, or nullptr outside DoModal.
  DialogWindow* GetWindow() const { return m_window; }

 protected:
  using Handler = void (CDialog::*)();
  /// A command the dialog handles itself: control `id` sending notification `code`
  /// (menu commands and clicks have code 0).
  struct MessageMapEntry {
    int id;
    int code;
    Handler handler;
  };

  /// The dialog's own commands, looked up before the defaults.
  virtual std::span<const MessageMapEntry> GetMessageMap() const { return {}; }
  /// Binds the control wrappers; exchanges no values.
  virtual void DoDataExchange(CDataExchange& exchange) { (void)exchange; }
  /// Runs DoDataExchange. Returns true to have the toolkit focus the first tab stop.
  virtual bool OnInitDialog();
  /// A system-menu command; returns false for the default processing.
  virtual bool OnSysCommand(unsigned id, long param);
  /// The default handlers of IDOK and IDCANCEL.
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  /// The window is about to close (DoModal is returning); wrappers should detach.
  virtual void OnWindowClosing() {}

  Toolkit& m_toolkit;
  const ProgramResources& m_resources;

 private:
  class Procedure;
  void OnCommand(int id, int code);

  const DialogTemplate& m_template;
  DialogWindow* m_window = nullptr;
};

}  // namespace morv
