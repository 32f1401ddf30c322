#include "ui/host_adapters.h"

#include <algorithm>
#include <filesystem>

#include "platform/private_profile.h"
#include "transport/aspi_error_text.h"
#include "transport/drive_inquiry.h"
#include "framework/feedback.h"
#include "ui/drive_claim_text.h"

namespace morv {
namespace {

constexpr int kLunPositions = 8;
constexpr const char* kSelectErrorText = "Error!!";
constexpr const char* kCustomizingCodeText =
    "Error!\n   The Drive Can not up-date,\n    because the customizing code is not corresponding.";
constexpr uint8_t kAscInvalidFieldInCdb = 0x24;
constexpr uint8_t kAscqCustomizingCode = 0x90;

/// "%d:%s": the number the selectors show in front of a name.
std::string NumberedEntry(int number, const std::string& name) { return std::to_string(number) + ":" + name; }

/// The number in front of a selector entry's colon: its first character as a digit.
uint8_t EntryNumber(const std::string& entry) {
  if (entry.empty() || entry[0] < '0' || entry[0] > '9') return kNoSelection;
  return static_cast<uint8_t>(entry[0] - '0');
}

}  // namespace

HostAdapterSelection::HostAdapterSelection(CScsiDrive& drive, Feedback& feedback, AspiTransport& transport,
                                           AspiDriveClaims& claims, DeviceNameTables& tables, PrivateProfile& profile,
                                           std::ostream& errors)
    : m_drive(drive), m_feedback(feedback), m_transport(transport), m_claims(claims), m_tables(tables),
      m_profile(profile), m_errors(errors) {}

void HostAdapterSelection::Attach(const SelectorControls& controls) {
  m_hostAdapter = &controls.hostAdapter;
  m_device = &controls.device;
  m_lun = &controls.lun;
  m_firmwareVersion = &controls.firmwareVersion;
  m_lock.Hold({m_hostAdapter, m_device, m_lun});
}

void HostAdapterSelection::InitDevices() {
  for (int lun = 0; lun < kLunPositions; ++lun) m_lun->AddString(std::to_string(lun));
  m_memory.Clear();
  // The first version shown is that of adapter position 0, device position 0.
  OnRescan();
  LoadSelection();
  if (m_hostAdapter->SetCurSel(m_memory.m_haPosition) == CB_ERR) ShowSelectError("HA Set Error", true);
  OnSelchangeHostAdapter();
}

void HostAdapterSelection::OnRescan() {
  if (m_lock.Refuse()) return;
  m_feedback.BeginWaitCursor();
  uint8_t code = m_transport.AspiSupportInfo();
  if (code == SS_COMP) code = ScanAspiDevices(m_drive, m_transport, m_tables);
  // A name without memory gets the framework's memory box; the manager's texts
  // have none for it and would call it a timeout.
  if (code == kCodeNoMemory)
    m_feedback.BeepMessageBoxId(kStringNoMemory, MB_ICONHAND);
  else if (code != SS_COMP)
    ShowAspiError(code, m_feedback);

  for (int adapter = 0; adapter < kAspiMaxHostAdapters; ++adapter)
    for (int target = 0; target < kAspiMaxTargets; ++target)
      m_listedPlaces[adapter][target] = m_tables.DeviceNames[adapter][target].empty()
                                            ? DevicePlace{}
                                            : m_claims.PlaceOf(static_cast<uint8_t>(adapter),
                                                               static_cast<uint8_t>(target), 0);

  // Whatever the scan stored is listed, also after a failure.
  m_hostAdapter->ResetContent();
  for (int adapter = 0; adapter < kAspiMaxHostAdapters; ++adapter)
    if (!m_tables.HostAdapterNames[adapter].empty())
      m_hostAdapter->AddString(NumberedEntry(adapter, m_tables.HostAdapterNames[adapter]));
  if (m_hostAdapter->SetCurSel(m_memory.m_haPosition) == CB_ERR) ShowSelectError("Error HA", true);
  OnSelchangeHostAdapter();
  m_feedback.EndWaitCursor();
}

void HostAdapterSelection::OnSelchangeHostAdapter() {
  if (m_lock.Refuse()) return;
  const int position = m_hostAdapter->GetCurSel();
  if (position < 0) return;
  m_memory.m_haPosition = position;

  // The adapter number comes from the entry's text, as SelectedHostAdapter reads
  // it: an adapter without a name has no entry, so positions and numbers may differ.
  m_device->ResetContent();
  const uint8_t adapter = EntryNumber(m_hostAdapter->GetLBText(position));
  if (adapter < kAspiMaxHostAdapters)
    for (int target = 0; target < kAspiMaxTargets; ++target)
      if (!m_tables.DeviceNames[adapter][target].empty())
        m_device->AddString(NumberedEntry(target, m_tables.DeviceNames[adapter][target]));
  if (m_device->SetCurSel(m_memory.TargetPosition(position)) == CB_ERR) {
    m_feedback.MessageBeep(kSimpleBeep);
    return;
  }
  OnSelchangeDevice();
}

void HostAdapterSelection::OnSelchangeDevice() {
  if (m_lock.Refuse()) return;
  m_feedback.SetStatusLine("");
  const int position = m_device->GetCurSel();
  if (position < 0) return;
  const int ha = m_memory.m_haPosition;
  m_memory.SetTargetPosition(ha, position);
  // A missing LUN position is reported, and the remembered value still addresses the drive.
  if (m_lun->SetCurSel(m_memory.LunPosition(ha, position)) == CB_ERR) ShowSelectError("ErrorID", false);
  OnSelchangeLun();
  m_drive.m_lun = SelectedLun();
  m_drive.m_targetId = SelectedTargetId();
  m_drive.m_hostAdapter = SelectedHostAdapter();
  ShowFirmwareVersion();
}

void HostAdapterSelection::OnSelchangeLun() {
  if (m_lock.Refuse()) return;
  const int position = m_lun->GetCurSel();
  if (position < 0) return;
  const int ha = m_memory.m_haPosition;
  m_memory.SetLunPosition(ha, m_memory.TargetPosition(ha), position);
}

uint8_t HostAdapterSelection::SelectedHostAdapter() const {
  return EntryNumber(m_hostAdapter->GetLBText(m_memory.m_haPosition));
}

uint8_t HostAdapterSelection::SelectedTargetId() const {
  return EntryNumber(m_device->GetLBText(m_memory.TargetPosition(m_memory.m_haPosition)));
}

uint8_t HostAdapterSelection::SelectedLun() const {
  const int ha = m_memory.m_haPosition;
  const int lun = m_memory.LunPosition(ha, m_memory.TargetPosition(ha));
  return lun == CB_ERR ? kNoSelection : static_cast<uint8_t>(lun);
}

void HostAdapterSelection::ShowFirmwareVersion() {
  std::string version;
  if (InquireFirmwareVersion(m_drive, version) == kCodeDone) {
    m_firmwareVersion->SetWindowText(version);
    return;
  }
  m_feedback.MessageBeep(kSimpleBeep);
  m_feedback.AfxMessageBox(m_drive.GetErrorText(), MB_OK);
}

std::optional<std::string> HostAdapterSelection::DriveDescription() const {
  const uint8_t adapter = SelectedHostAdapter();
  const uint8_t target = SelectedTargetId();
  if (adapter >= kAspiMaxHostAdapters || target >= kAspiMaxTargets) return std::nullopt;
  const std::string& name = m_tables.DeviceNames[adapter][target];
  if (name.empty()) return std::nullopt;
  return name;
}

DriveLabel HostAdapterSelection::HistoryLabel() const {
  const std::string address = std::to_string(SelectedHostAdapter()) + ":" + std::to_string(SelectedTargetId()) + ":" +
                              std::to_string(SelectedLun());
  const DevicePlace place =
      m_claimed[0] == kNoSelection ? DevicePlace{} : m_claims.PlaceOf(m_claimed[0], m_claimed[1], m_claimed[2]);
  return {address, DriveLabel::Unpadded(DriveDescription().value_or("")), place};
}

std::optional<std::string> HostAdapterSelection::ClaimDriveForUpdate() {
  const std::optional<std::string> listed = DriveDescription();
  if (!listed) return kDriveNotListedText;
  const uint8_t adapter = SelectedHostAdapter(), target = SelectedTargetId(), lun = SelectedLun();
  const ClaimOutcome claim = m_claims.Claim(adapter, target, lun);
  if (claim.status == ClaimStatus::Failed) return kDriveNotListedText;
  if (claim.status != ClaimStatus::Claimed) return ClaimRefusalText(claim, {});
  m_claimed[0] = adapter, m_claimed[1] = target, m_claimed[2] = lun;
  // Identified afresh, as the scan identified it; the INQUIRY reaches the device claimed.
  std::optional<std::string> refusal;
  m_drive.m_hostAdapter = adapter, m_drive.m_targetId = target, m_drive.m_lun = lun;
  std::string product;
  if (m_claims.PlaceOf(adapter, target, 0) != m_listedPlaces[adapter][target])
    refusal = kDriveNotListedText;
  else if (m_drive.InquireProductId(product) != kCodeDone)
    refusal = m_drive.GetErrorText();
  else if (product != *listed)
    refusal = kDriveNotListedText;
  if (refusal) ReleaseDriveForUpdate();
  return refusal;
}

void HostAdapterSelection::ReleaseDriveForUpdate() {
  if (m_claimed[0] == kNoSelection) return;
  m_claims.Release(m_claimed[0], m_claimed[1], m_claimed[2]);
  m_claimed[0] = kNoSelection;
}

void HostAdapterSelection::AddressDriveForUpdate(uint8_t*) {
  m_drive.m_hostAdapter = SelectedHostAdapter();
  m_drive.m_targetId = SelectedTargetId();
  m_drive.m_lun = SelectedLun();
}

std::string HostAdapterSelection::WriteFailureText() const {
  if (m_drive.Asc() == kAscInvalidFieldInCdb && m_drive.Ascq() == kAscqCustomizingCode) return kCustomizingCodeText;
  return m_drive.GetErrorText();
}

void HostAdapterSelection::LoadSelection() { m_memory.LoadSelection(m_profile); }

bool HostAdapterSelection::SaveSelection() {
  std::string error;
  if (m_memory.SaveSelection(m_profile, error)) return true;
  // The profile is the program's own convenience: the operator is not bothered with it.
  m_errors << std::filesystem::path(m_profile.Path()).stem().string()
           << ": the device selection was not saved: " << error << std::endl;
  return false;
}

void HostAdapterSelection::ShowSelectError(const char* caption, bool beep) {
  if (beep) m_feedback.MessageBeep(kSimpleBeep);
  m_feedback.WindowMessageBox(kSelectErrorText, caption, MB_ICONHAND);
}

}  // namespace morv
