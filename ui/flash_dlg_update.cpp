// Update Start: runs the update sequence (engine/update_sequence.h) over this dialog's
// drive object, selection half and controls, with the parameter file chosen in the list.

#include <cstdint>
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

/// The download on the dialog's progress bar: the pieces fill the bar up to
/// kPiecesEnd, the settling wait fills the rest as the last stretch (the whole bar
/// when no piece is planned). The bar is hidden again once the update has ended,
/// on every road out.
class DialogDownloadProgress : public UpdateProgress {
 public:
  static constexpr int kBarEnd = 1000;
  static constexpr int kPiecesEnd = 900;

  explicit DialogDownloadProgress(CProgressCtrl& bar) : m_bar(bar) {}
  ~DialogDownloadProgress() override {
    if (m_shown) m_bar.SetProgress(0, 0);
  }
  DialogDownloadProgress(const DialogDownloadProgress&) = delete;
  DialogDownloadProgress& operator=(const DialogDownloadProgress&) = delete;

  void DownloadStarting(int planned) override {
    m_piecesEnd = planned > 0 ? kPiecesEnd : 0;
    Show(0);
  }
  void PieceSent(int sent, int planned) override { Show(m_piecesEnd * sent / planned); }
  void Settling(uint32_t waited, uint32_t total) override {
    Show(m_piecesEnd + static_cast<int>(static_cast<uint64_t>(kBarEnd - m_piecesEnd) * waited / total));
  }

 private:
  void Show(int position) {
    m_shown = true;
    m_bar.SetProgress(position, kBarEnd);
  }

  CProgressCtrl& m_bar;
  int m_piecesEnd = kPiecesEnd;
  bool m_shown = false;
};

}  // namespace

void CFlashDlg::OnUpdateStart() {
  DialogUpdateControls controls(*this);
  DialogDownloadProgress progress(m_progress);
  RunUpdate(m_chosenFile,
            {m_drive, m_feedback, *m_selection, controls, *m_clock, stdout, m_history, m_power, &progress});
}

}  // namespace morv
