#pragma once
// Morvantide4's selection half: lists the host adapters and targets that discovery
// found (transport/host_adapter_scan.h) in the host adapter and device selectors,
// addresses the drive object to the operator's choice and remembers that choice
// (as selector positions) in the private profile between runs. The selectors and the
// profile are in ui/host_adapters.cpp, what the update needs of the selection in
// ui/host_adapters_update.cpp.

#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/aspi_drive_claims.h"
#include "transport/aspi_transport.h"
#include "transport/host_adapter_scan.h"
#include "transport/selection_memory.h"
#include "ui/firmware_version_field.h"
#include "ui/no_drive_notice.h"
#include "ui/selection.h"
#include "ui/selection_lock.h"
#include "ui/selector_entries.h"

namespace morv {

class Feedback;
class PrivateProfile;

/// An adapter or target number no adapter or target has: what the accessors give
/// for a position without an entry. The transport refuses it unsent.
inline constexpr uint8_t kNoSelection = 0xFF;

class HostAdapterSelection : public Selection {
 public:
  /// Everything given must outlive the selection. A profile that cannot be written
  /// is reported on `errors`, never to the operator; a scan that lists no device says
  /// why on the status line and on `errors`.
  HostAdapterSelection(CScsiDrive& drive, Feedback& feedback, AspiTransport& transport, AspiDriveClaims& claims,
                       DeviceNameTables& tables, PrivateProfile& profile, std::ostream& errors = std::cerr);

  /// Uses the dialog's host adapter, device and LUN selectors and firmware version field.
  void Attach(const SelectorControls& controls) override;
  /// LUN selector "0" to "7", memory cleared, a rescan, the remembered selection
  /// loaded and selected ("HA Set Error" when its adapter position is missing).
  void InitDevices() override;
  /// Scans the adapters, notes where each device listed sits, and refills the host
  /// adapter selector, then its devices. Without a device, the status line says why.
  void OnRescan() override;
  /// Lists the selected adapter's devices and selects the remembered one.
  void OnSelchangeHostAdapter() override;
  /// Remembers the device, selects its remembered LUN, addresses the drive object
  /// and shows its firmware version.
  void OnSelchangeDevice() override;
  /// Remembers the LUN position of the selected device.
  void OnSelchangeLun() override;

  /// DeviceNames of the selected adapter and target; nullopt when there is none.
  std::optional<std::string> DriveDescription() const override;
  /// "adapter:target:LUN" of the selection and the device's product identification.
  DriveLabel HistoryLabel() const override;
  /// Claims the selection's adapter/target/LUN, then checks that the device at LUN 0
  /// sits where the scan found it and that the claimed device answers INQUIRY with
  /// the listed product identification.
  std::optional<std::string> ClaimDriveForUpdate() override;
  /// The claim of the address claimed ends.
  void ReleaseDriveForUpdate() override;
  std::string FirmwareVersion() const override { return m_version.Text(); }
  void ShowFirmwareVersion(const std::string& version) override { m_version.Show(version); }
  /// Host adapter, target ID and LUN of the selection.
  void AddressDriveForUpdate() override;
  /// The customizing-code text after a refusal with ASC 24h / ASCQ 90h, else the error text.
  std::string WriteFailureText() const override;
  void SetUpdateRunning(bool running) override { m_lock.SetUpdateRunning(running); }
  /// Saves the selection.
  void OnDestroy() override { SaveSelection(); }
  /// The addresses of the devices listed (LUN 0), adapter by adapter in the
  /// selectors' order.
  std::vector<DriveAddress> ListedAddresses() const;
  /// Selects the device at `address` as the operator's choice would: only that device
  /// is asked for its version. False when no device is listed there.
  bool Choose(const DriveAddress& address);
  /// Where the selected device sat when it was listed.
  DevicePlace ListedPlace() const;
  /// Why the last scan listed no device; none when it listed some.
  std::optional<NoDriveReason> WhyNoDrive() const { return m_noDrive.Shown(); }

  /// The adapter of the host adapter selector's entry at haPosition; kNoSelection
  /// when there is no such entry.
  uint8_t SelectedHostAdapter() const;
  /// The target of the device selector's remembered entry; kNoSelection when there is
  /// no such entry.
  uint8_t SelectedTargetId() const;
  /// The address of the selection.
  DriveAddress SelectedAddress() const;
  /// The remembered LUN position of the selected device, as a byte.
  uint8_t SelectedLun() const;
  /// INQUIRY of the addressed drive into the firmware version field; on failure the
  /// simple beep and the error text in a box, and the field keeps its text. An
  /// answer that arrives after the selection changed is neither shown nor reported.
  void ShowFirmwareVersion();
  /// Reads the selection memory from the profile.
  void LoadSelection();
  /// Writes the selection memory to the profile; a failure goes to `errors`.
  bool SaveSelection();
  /// Selector positions: host adapter, device per adapter, LUN per adapter and device.
  const SelectionMemory& Memory() const { return m_memory; }

 private:
  /// Beeps and shows "Error!!" with `caption` and the stop icon.
  void ShowSelectError(const char* caption, bool beep);
  /// Fills the device selector with the named targets of the adapter at `position`.
  void ListTargets(int position);
  /// When the scan listed no device, says why on the status line (and standard error).
  void TellWhyNoDevice();

  CScsiDrive& m_drive;
  Feedback& m_feedback;
  AspiTransport& m_transport;
  AspiDriveClaims& m_claims;
  DeviceNameTables& m_tables;
  SelectionMemory m_memory;
  /// The adapter number of each host adapter entry and the target ID of each device
  /// entry, at their selector positions.
  SelectorEntries<uint8_t> m_adapters;
  SelectorEntries<uint8_t> m_targets;
  /// Where the device at each adapter and target (LUN 0) sat when the scan listed it.
  DevicePlace m_listedPlaces[kAspiMaxHostAdapters][kAspiMaxTargets];
  /// The address claimed for the update; none when nothing is.
  std::optional<DriveAddress> m_claimed;
  PrivateProfile& m_profile;
  std::ostream& m_errors;
  NoDriveNotice m_noDrive;
  CComboBox m_noSelector;  ///< stands in for every selector until Attach
  CComboBox* m_hostAdapter = &m_noSelector;
  CComboBox* m_device = &m_noSelector;
  CComboBox* m_lun = &m_noSelector;
  FirmwareVersionField m_version;
  SelectionLock m_lock{m_feedback};
};

}  // namespace morv
