#pragma once
// CFlashDlg: the main dialog. It owns the drive object and the program's selection
// half for its whole life, lists the parameter files of the current directory and
// dispatches the operator's commands to device selection, the update and the about box.

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>

#include "engine/update_history.h"
#include "platform/clock.h"
#include "platform/machine_power.h"
#include "scsi/scsi_drive.h"
#include "framework/dialog.h"
#include "framework/feedback.h"
#include "ui/selection.h"

namespace morv {

/// Creates the program's selection half over the dialog's drive object.
using SelectionFactory = std::function<std::unique_ptr<Selection>(CScsiDrive& drive, Feedback& feedback)>;

class CFlashDlg : public CDialog {
 public:
  CFlashDlg(Toolkit& toolkit, Feedback& feedback, const ProgramResources& resources, Transport& transport,
            const SelectionFactory& makeSelection);
  ~CFlashDlg() override;

  Feedback& GetFeedback() const { return m_feedback; }

  // What device selection and the update work with.
  CScsiDrive m_drive;
  CButton m_exit;
  CListBox m_fileList;
  CEdit m_selectedFile;
  CEdit m_firmwareVersion;
  CButton m_abort;
  CButton m_updateStart;
  CComboBox m_lun;
  CComboBox m_device;
  CComboBox m_hostAdapter;
  CProgressCtrl m_progress;
  /// The clock of the update's pause and settling wait (tests give their own).
  Clock* m_clock = &SystemClock();
  /// Where updates that reached the confirmation are recorded; none when null.
  UpdateHistory* m_history = nullptr;
  /// The machine's power, checked and kept up by the update; left alone when null.
  MachinePower* m_power = nullptr;

  /// The parameter file to choose in the file list once it is filled, as if the
  /// operator had clicked it; empty for none.
  void SetStartFile(std::string name) { m_startFile = std::move(name); }

  /// Update Start (ui/flash_dlg_update.cpp).
  void OnUpdateStart();

 protected:
  std::span<const MessageMapEntry> GetMessageMap() const override;
  void DoDataExchange(CDataExchange& exchange) override;
  bool OnInitDialog() override;
  bool OnSysCommand(unsigned id, long param) override;
  void OnWindowClosing() override;

 private:
  void OnRescan();
  void OnSelchangeHostAdapter();
  void OnSelchangeDevice();
  void OnSelchangeLun();
  void OnAbout();
  void OnSelchangeFileList();
  /// Lists the parameter files of the current directory, once.
  void FillFileList();
  /// Chooses m_startFile in the file list and shows it as the selected file.
  void ChooseStartFile();

  static const MessageMapEntry kMessageMap[];

  Feedback& m_feedback;
  std::unique_ptr<Selection> m_selection;
  bool m_initialised = false;
  std::string m_startFile;
  /// The parameter file chosen in the list, which the Selected File field shows.
  std::string m_chosenFile;
};

}  // namespace morv
