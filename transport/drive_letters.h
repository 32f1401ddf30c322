#pragma once
// MorvantideNT's selection half: finds the drives by probing the drive letters A to
// Z through the pass-through transport, keeps the write-once, CD/DVD and optical
// memory devices in the transport's device table, lists them in the device
// selector and addresses the drive object to the operator's choice.

#include <cstdint>
#include <optional>
#include <string>

#include "transport/pass_through_transport.h"
#include "transport/selection_lock.h"
#include "ui/controls.h"
#include "ui/selection.h"

namespace morv {

class Feedback;

class DriveLetterSelection : public Selection {
 public:
  /// Largest transfer of the scan slot while it probes a letter.
  static constexpr uint32_t kScanMaxTransfer = 0x10000;

  /// The drive object, feedback and transport must outlive the selection.
  DriveLetterSelection(CScsiDrive& drive, Feedback& feedback, PassThroughTransport& transport);

  void Attach(DialogWindow& window) override;
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
  /// m_deviceIndex := m_selectedDrive, LUN 0, and a 255-byte transfer into `transferBuffer`.
  void AddressDriveForUpdate(uint8_t* transferBuffer) override;
  /// The drive object's error text.
  std::string WriteFailureText() const override { return m_drive.GetErrorText(); }
  void SetUpdateRunning(bool running) override { m_lock.SetUpdateRunning(running); }
  /// Forgets the dialog's controls; nothing is remembered between runs.
  void OnDestroy() override;

  /// Probes A: to Z: through the scan slot and fills the device table from entry 0;
  /// returns the number of drives found (DriveCount).
  uint8_t ScanDrives();
  /// INQUIRY of the addressed drive into the firmware version field; on failure
  /// the simple beep and the field keeps its text.
  void ShowFirmwareVersion();

  /// The device selector's position chosen last; the update addresses that drive.
  int m_selectedDrive = 0;

 private:
  CScsiDrive& m_drive;
  Feedback& m_feedback;
  PassThroughTransport& m_transport;
  CComboBox m_device;
  CEdit m_firmwareVersion;
  SelectionLock m_lock{m_feedback, {&m_device}};
};

/// The device selector's text for a drive: the letter, a colon, then the vendor and
/// product identification (INQUIRY bytes 8 to 31) as IdentificationText reads each.
std::string DriveEntryText(char letter, const uint8_t* inquiryData);

}  // namespace morv
