#pragma once
// MorvantideNT's selection half: lists the drives that discovery found by drive
// letter (transport/drive_letter_scan.h) in the device selector and addresses the
// drive object to the operator's choice.

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "transport/drive_letter_scan.h"
#include "transport/pass_through_transport.h"
#include "ui/firmware_version_field.h"
#include "ui/no_drive_notice.h"
#include "ui/selection.h"
#include "ui/selection_lock.h"
#include "ui/selector_entries.h"

namespace morv {

class Feedback;

/// The device selector's text for a drive: the letter, a colon, then its vendor and
/// product identification.
std::string DriveEntryText(const LetterDrive& drive);

class DriveLetterSelection : public Selection {
 public:
  /// The drive object, feedback, transport and `errors` must outlive the selection.
  /// When a scan lists no drive, why goes to the status line and to `errors`, as a
  /// line of `program`.
  DriveLetterSelection(CScsiDrive& drive, Feedback& feedback, PassThroughTransport& transport,
                       std::ostream& errors = std::cerr, std::string program = "MorvantideNT");

  /// Uses the dialog's device selector and firmware version field.
  void Attach(const SelectorControls& controls) override;
  /// Dialog initialisation: one rescan.
  void InitDevices() override { OnRescan(); }
  /// Rescans and refills the device selector; the previous position (or the first
  /// entry) is selected again and its firmware version shown. Without a drive, the
  /// status line says why.
  void OnRescan() override;
  /// MorvantideNT has no host adapter selector.
  void OnSelchangeHostAdapter() override {}
  /// Addresses the drive object to the selected entry and shows its firmware version.
  void OnSelchangeDevice() override;
  /// MorvantideNT has no LUN selector.
  void OnSelchangeLun() override {}

  /// The selected drive's letter, a colon and its identification; nullopt when
  /// nothing is selected.
  std::optional<std::string> DriveDescription() const override;
  /// The letter and identification of the selected drive.
  DriveLabel HistoryLabel() const override;
  std::string FirmwareVersion() const override { return m_version.Text(); }
  void ShowFirmwareVersion(const std::string& version) override { m_version.Show(version); }
  /// Claims the selected letter's drive through the transport, then checks that it
  /// sits where the scan found it and answers INQUIRY with the listed identification.
  std::optional<std::string> ClaimDriveForUpdate() override;
  /// The transport's claim ends.
  void ReleaseDriveForUpdate() override { m_transport.ReleaseDrive(); }
  /// The selected drive's letter, LUN 0.
  void AddressDriveForUpdate() override;
  /// The drive object's error text.
  std::string WriteFailureText() const override { return m_drive.GetErrorText(); }
  void SetUpdateRunning(bool running) override { m_lock.SetUpdateRunning(running); }
  /// The addresses of the drives listed, in the selector's order.
  std::vector<DriveAddress> ListedAddresses() const;
  /// Selects the drive listed at `address` as the operator's choice would: the drive
  /// object is addressed to it and its version asked and shown. False when no drive
  /// is listed there.
  bool Choose(const DriveAddress& address);
  /// Where the selected drive's device sat when it was listed; empty when none is selected.
  DevicePlace ListedPlace() const;
  /// Why the last scan listed no drive; none when it listed some.
  std::optional<NoDriveReason> WhyNoDrive() const { return m_noDrive.Shown(); }
  /// Nothing is remembered between runs.
  void OnDestroy() override {}

 private:
  /// INQUIRY of the addressed drive into the firmware version field; on failure
  /// the simple beep and the field keeps its text.
  void ShowFirmwareVersion();
  /// The drive the operator chose last; null when there is none.
  const LetterDrive* Selected() const;

  CScsiDrive& m_drive;
  Feedback& m_feedback;
  PassThroughTransport& m_transport;
  CComboBox m_noDevice;  ///< stands in for the device selector until Attach
  CComboBox* m_device = &m_noDevice;
  /// The drives listed, at their selector positions.
  SelectorEntries<LetterDrive> m_listed;
  /// The device selector's position chosen last; the update addresses that drive.
  int m_selectedDrive = 0;
  FirmwareVersionField m_version;
  SelectionLock m_lock{m_feedback};
  NoDriveNotice m_noDrive;
};

}  // namespace morv
