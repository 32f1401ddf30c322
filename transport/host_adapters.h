#pragma once
// Morvantide4's selection half: asks the ASPI manager for its host adapters and
// each adapter for targets 0 to 7, lists them in the host adapter and device
// selectors, addresses the drive object to the operator's choice and remembers
// that choice (as selector positions) in the private profile between runs.

#include <array>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>

#include "transport/aspi_transport.h"
#include "transport/selection_lock.h"
#include "transport/selection_memory.h"
#include "ui/controls.h"
#include "ui/selection.h"

namespace morv {

class Feedback;
class PrivateProfile;

/// An adapter or target number no adapter or target has: what the accessors give
/// for an entry without a leading digit. The transport refuses it unsent.
inline constexpr uint8_t kNoSelection = 0xFF;

/// The names discovery found, indexed by host adapter number, then target ID.
/// Process-wide: they outlive every dialog, so the program's wiring owns them.
class DeviceNameTables {
 public:
  virtual ~DeviceNameTables() = default;

  /// The adapter's identifier, or empty.
  std::array<std::string, kAspiMaxHostAdapters> HostAdapterNames;
  /// The adapter's identifier at its own ID, a target's 16-character product
  /// identification, or empty for a target that did not answer.
  std::array<std::array<std::string, kAspiMaxTargets>, kAspiMaxHostAdapters> DeviceNames;

  /// Empties every entry.
  void Clear();
  /// Copies `name` into `entry`; false, with `entry` empty, when there is no memory for it.
  virtual bool Store(std::string& entry, const std::string& name);
};

class HostAdapterSelection : public Selection {
 public:
  /// Everything given must outlive the selection. A profile that cannot be written
  /// is reported on `errors`, never to the operator.
  HostAdapterSelection(CScsiDrive& drive, Feedback& feedback, AspiTransport& transport, DeviceNameTables& tables,
                       PrivateProfile& profile, std::ostream& errors = std::cerr);

  void Attach(DialogWindow& window) override;
  /// LUN selector "0" to "7", memory cleared, a rescan, the remembered selection
  /// loaded and selected ("HA Set Error" when its adapter position is missing).
  void InitDevices() override;
  /// Scans the adapters and refills the host adapter selector, then its devices.
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
  /// Host adapter, target ID and LUN of the selection.
  void AddressDriveForUpdate(uint8_t* transferBuffer) override;
  /// The customizing-code text after a refusal with ASC 24h / ASCQ 90h, else the error text.
  std::string WriteFailureText() const override;
  void SetUpdateRunning(bool running) override { m_lock.SetUpdateRunning(running); }
  /// Saves the selection and forgets the dialog's controls.
  void OnDestroy() override;

  /// Probes adapters 0 to HostAdapterCount - 1 and their targets into the tables.
  /// Returns 1, an adapter inquiry's failing status, or 254 when a name could not
  /// be stored (after the framework's memory box).
  uint8_t ScanAspiDevices();
  /// The adapter number before the colon of the host adapter selector's entry at
  /// m_haPosition; kNoSelection when there is no such entry.
  uint8_t SelectedHostAdapter() const;
  /// The target ID before the colon of the device selector's remembered entry;
  /// kNoSelection when there is no such entry.
  uint8_t SelectedTargetId() const;
  /// The remembered LUN position of the selected device, as a byte.
  uint8_t SelectedLun() const;
  /// INQUIRY of the addressed drive into the firmware version field; on failure the
  /// simple beep and the error text in a box, and the field keeps its text.
  void ShowFirmwareVersion();
  /// Reads the selection memory from the profile.
  void LoadSelection();
  /// Writes the selection memory to the profile; a failure goes to `errors`.
  bool SaveSelection();

  /// Selector positions: host adapter, device per adapter, LUN per adapter and device.
  SelectionMemory m_memory;

 private:
  /// Beeps and shows "Error!!" with `caption` and the stop icon.
  void ShowSelectError(const char* caption, bool beep);

  CScsiDrive& m_drive;
  Feedback& m_feedback;
  AspiTransport& m_transport;
  DeviceNameTables& m_tables;
  PrivateProfile& m_profile;
  std::ostream& m_errors;
  CComboBox m_hostAdapter;
  CComboBox m_device;
  CComboBox m_lun;
  CEdit m_firmwareVersion;
  SelectionLock m_lock{m_feedback, {&m_hostAdapter, &m_device, &m_lun}};
};

}  // namespace morv
