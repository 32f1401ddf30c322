// Update Start: runs the update sequence (engine/update_sequence.h) over this dialog's
// drive object, selection half and controls.

#include <cstdio>
#include <optional>
#include <string>

#include "engine/update_sequence.h"
#include "transport/drive_inquiry.h"
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
  std::string SelectedFile() const override { return m_dialog.m_selectedFile.GetWindowText(); }
  bool& AbortRequested() override { return m_dialog.abortRequested; }
  std::string FirmwareVersion() const override { return m_dialog.m_firmwareVersion.GetWindowText(); }
  std::optional<std::string> RefreshFirmwareVersion() override {
    std::string version;
    if (InquireFirmwareVersion(m_dialog.m_drive, version) != kCodeDone) return std::nullopt;
    m_dialog.m_firmwareVersion.SetWindowText(version);
    return version;
  }

 private:
  CFlashDlg& m_dialog;
};

}  // namespace

void CFlashDlg::OnUpdateStart() {
  DialogUpdateControls controls(*this);
  RunUpdate({m_drive, m_feedback, *m_selection, controls, *m_clock, stdout, m_history, m_power});
}

}  // namespace morv
