#include "ui/host_adapters.h"

#include <algorithm>
#include <filesystem>
#include <string>

#include "framework/feedback.h"
#include "platform/private_profile.h"
#include "transport/aspi_error_text.h"

namespace morv {
namespace {

constexpr int kLunPositions = 8;
constexpr const char* kSelectErrorText = "Error!!";

/// "%d:%s": the number the selectors show in front of a name.
std::string NumberedEntry(int number, const std::string& name) { return std::to_string(number) + ":" + name; }

}  // namespace

HostAdapterSelection::HostAdapterSelection(CScsiDrive& drive, Feedback& feedback, AspiTransport& transport,
                                           AspiDriveClaims& claims, DeviceNameTables& tables, PrivateProfile& profile,
                                           std::ostream& errors)
    : m_drive(drive), m_feedback(feedback), m_transport(transport), m_claims(claims), m_tables(tables),
      m_profile(profile), m_errors(errors),
      m_noDrive(feedback, errors, std::filesystem::path(profile.Path()).stem().string()) {}

void HostAdapterSelection::Attach(const SelectorControls& controls) {
  m_hostAdapter = &controls.hostAdapter;
  m_device = &controls.device;
  m_lun = &controls.lun;
  m_version.Attach(controls.firmwareVersion);
  m_lock.Hold({m_hostAdapter, m_device, m_lun});
}

void HostAdapterSelection::InitDevices() {
  for (int lun = 0; lun < kLunPositions; ++lun) m_lun->AddString(std::to_string(lun));
  m_memory.Clear();
  // The first version shown is that of adapter position 0, device position 0.
  OnRescan();
  LoadSelection();
  if (m_hostAdapter->SetCurSel(m_memory.haPosition) == CB_ERR) ShowSelectError("HA Set Error", true);
  OnSelchangeHostAdapter();
  TellWhyNoDevice();  // again: the device selection emptied the status line
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
  m_adapters.Reset(*m_hostAdapter);
  for (int adapter = 0; adapter < kAspiMaxHostAdapters; ++adapter)
    if (!m_tables.HostAdapterNames[adapter].empty())
      m_adapters.Add(*m_hostAdapter, NumberedEntry(adapter, m_tables.HostAdapterNames[adapter]),
                     static_cast<uint8_t>(adapter));
  if (m_hostAdapter->SetCurSel(m_memory.haPosition) == CB_ERR) ShowSelectError("Error HA", true);
  OnSelchangeHostAdapter();
  TellWhyNoDevice();
  m_feedback.EndWaitCursor();
}

void HostAdapterSelection::TellWhyNoDevice() {
  const bool listed = m_tables.DeviceCount > 0;
  m_noDrive.AfterScan(listed, !listed && m_transport.AccessDenied() ? NoDriveReason::AccessDenied
                                                                     : NoDriveReason::NoDevice);
}

void HostAdapterSelection::OnSelchangeHostAdapter() {
  if (m_lock.Refuse()) return;
  const int position = m_hostAdapter->GetCurSel();
  if (position < 0) return;
  m_memory.haPosition = position;

  ListTargets(position);
  if (m_device->SetCurSel(m_memory.TargetPosition(position)) == CB_ERR) {
    m_feedback.MessageBeep(kSimpleBeep);
    return;
  }
  OnSelchangeDevice();
}

void HostAdapterSelection::ListTargets(int position) {
  // The adapter of the entry, as SelectedHostAdapter takes it: an adapter without a
  // name has no entry, so positions and numbers may differ.
  m_targets.Reset(*m_device);
  const uint8_t* adapter = m_adapters.At(*m_hostAdapter, position);
  if (adapter != nullptr)
    for (int target = 0; target < kAspiMaxTargets; ++target)
      if (!m_tables.DeviceNames[*adapter][target].empty())
        m_targets.Add(*m_device, NumberedEntry(target, m_tables.DeviceNames[*adapter][target]),
                      static_cast<uint8_t>(target));
}

std::vector<DriveAddress> HostAdapterSelection::ListedAddresses() const {
  std::vector<DriveAddress> addresses;
  for (const uint8_t adapter : m_adapters.Items())
    for (int target = 0; target < kAspiMaxTargets; ++target)
      if (!m_tables.DeviceNames[adapter][target].empty())
        addresses.push_back(DriveAddress::Target(adapter, static_cast<uint8_t>(target), 0));
  return addresses;
}

bool HostAdapterSelection::Choose(const DriveAddress& address) {
  const int adapterPosition = m_adapters.Find([&](uint8_t adapter) { return adapter == address.hostAdapter; });
  if (adapterPosition < 0 || m_hostAdapter->SetCurSel(adapterPosition) == CB_ERR) return false;
  m_memory.haPosition = adapterPosition;
  ListTargets(adapterPosition);
  const int targetPosition = m_targets.Find([&](uint8_t target) { return target == address.targetId; });
  if (targetPosition < 0 || m_device->SetCurSel(targetPosition) == CB_ERR) return false;
  m_memory.SetTargetPosition(adapterPosition, targetPosition);
  m_memory.SetLunPosition(adapterPosition, targetPosition, address.lun);
  OnSelchangeDevice();
  return true;
}

DevicePlace HostAdapterSelection::ListedPlace() const {
  const DriveAddress address = SelectedAddress();
  if (address.hostAdapter >= kAspiMaxHostAdapters || address.targetId >= kAspiMaxTargets) return {};
  return m_listedPlaces[address.hostAdapter][address.targetId];
}

void HostAdapterSelection::OnSelchangeDevice() {
  if (m_lock.Refuse()) return;
  m_feedback.SetStatusLine("");
  const int position = m_device->GetCurSel();
  if (position < 0) return;
  const int ha = m_memory.haPosition;
  m_memory.SetTargetPosition(ha, position);
  // A missing LUN position is reported, and the remembered value still addresses the drive.
  if (m_lun->SetCurSel(m_memory.LunPosition(ha, position)) == CB_ERR) ShowSelectError("ErrorID", false);
  OnSelchangeLun();
  m_drive.SetAddress(SelectedAddress());
  ShowFirmwareVersion();
}

void HostAdapterSelection::OnSelchangeLun() {
  if (m_lock.Refuse()) return;
  const int position = m_lun->GetCurSel();
  if (position < 0) return;
  const int ha = m_memory.haPosition;
  m_memory.SetLunPosition(ha, m_memory.TargetPosition(ha), position);
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

void HostAdapterSelection::ShowFirmwareVersion() {
  // The wait for the answer pumps messages: a selection change handled meanwhile asks
  // its own device and shows that answer, and this one, coming later, belongs to a
  // selection no longer made. It is dropped, failure included.
  const DriveAddress asked = SelectedAddress();
  std::string version;
  const bool answered = m_drive.InquireFirmwareVersion(version) == kCodeDone;
  if (SelectedAddress() != asked) return;
  if (answered) {
    m_version.Show(version);
    return;
  }
  m_feedback.MessageBeep(kSimpleBeep);
  m_feedback.AfxMessageBox(m_drive.GetErrorText(), MB_OK);
}

void HostAdapterSelection::ShowSelectError(const char* caption, bool beep) {
  if (beep) m_feedback.MessageBeep(kSimpleBeep);
  m_feedback.WindowMessageBox(kSelectErrorText, caption, MB_ICONHAND);
}

}  // namespace morv
