#pragma once
// MorvantideNT's selection half: lists the drives that discovery found by drive
// letter (transport/drive_letter_scan.h) in the device selector and addresses the
// drive object to the operator's choice.

#include <cstdint>
#include <optional>
#include <string>

#include "transport/pass_through_transport.h"
#include "ui/selection.h"
#include "ui/selection_lock.h"

namespace morv {

class Feedback;

class DriveLetterSelection : public Selection {
 public:
  /// The drive object, feedback and transport must outlive the selection.
  DriveLetterSelection(CScsiDrive& drive, Feedback& feedback, PassThroughTransport& transport);

  /// Uses the dialog's device selector and firmware version field.
  void Attach(const SelectorControls& controls) override;
  /// Dialog initialisation: one rescan.
  void InitDevices() override { OnRescan(); }
  /// Rescans and refills the device selector; the previous position (or the first
  /// entry) is selected again and its firmware version shown.
  void OnRescan() override;
  /// MorvantideNT has no host adapter selector.
  void OnSelchangeHostAdapter() override {}
  /// Addresses the drive object to the selected entry and shows its firmware version.
  void OnSelchangeDevice() override;
  /// MorvantideNT has no LUN selector.
  void OnSelchangeLun() override {}

  /// The device selector's entry at m_selectedDrive; nullopt when nothing is selected.
  std::optional<std::string> DriveDescription() const override;
  /// The letter and identification of the selected drive's entry.
  DriveLabel HistoryLabel() const override;
  /// Claims the selected letter's drive through the transport, then checks that it
  /// sits where the scan found it and answers INQUIRY with the listed identification.
  std::optional<std::string> ClaimDriveForUpdate() override;
  /// The transport's claim ends.
  void ReleaseDriveForUpdate() override { m_transport.ReleaseDrive(); }
  /// m_deviceIndex := m_selectedDrive, LUN 0, and a 255-byte transfer into `transferBuffer`.
  void AddressDriveForUpdate(uint8_t* transferBuffer) override;
  /// The drive object's error text.
  std::string WriteFailureText() const override { return m_drive.GetErrorText(); }
  void SetUpdateRunning(bool running) override { m_lock.SetUpdateRunning(running); }
  /// Nothing is remembered between runs.
  void OnDestroy() override {}

  /// INQUIRY of the addressed drive into the firmware version field; on failure
  /// the simple beep and the field keeps its text.
  void ShowFirmwareVersion();

  /// The device selector's position chosen last; the update addresses that drive.
  int m_selectedDrive = 0;

 private:
  CScsiDrive& m_drive;
  Feedback& m_feedback;
  PassThroughTransport& m_transport;
  CComboBox m_noDevice;  ///< stands in for the device selector until Attach
  CEdit m_noVersion;
  CComboBox* m_device = &m_noDevice;
  CEdit* m_firmwareVersion = &m_noVersion;
  SelectionLock m_lock{m_feedback};
};

}  // namespace morv
