// Update Start: runs the update sequence (engine/update_sequence.h) over this dialog's
// drive object, selection half and controls, with the parameter file chosen in the list.

#include <cstdio>

#include "engine/update_sequence.h"
#include "ui/flash_dlg.h"

namespace morv {
namespace {

/// The controls of the main dialog that the update touches.
class DialogUpdateControls : public UpdateControls {
 public:
  explicit DialogUpdateControls(CFlashDlg& dialog) : m_dialog(dialog) {}

  void EnableUpdateStart(bool enable) override { m_dialog.m_updateStart.EnableWindow(enable); }
  void EnableExit(bool enable) override { m_dialog.m_exit.EnableWindow(enable); }
  void EnableAbort(bool enable) override { m_dialog.m_abort.EnableWindow(enable); }
  /// The dialog offers no abort: nothing sets the flag.
  bool& AbortRequested() override { return m_abortRequested; }

 private:
  CFlashDlg& m_dialog;
  bool m_abortRequested = false;
};

}  // namespace

void CFlashDlg::OnUpdateStart() {
  DialogUpdateControls controls(*this);
  RunUpdate(m_chosenFile, {m_drive, m_feedback, *m_selection, controls, *m_clock, stdout, m_history, m_power});
}

}  // namespace morv
