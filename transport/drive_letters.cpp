#include "transport/drive_letters.h"

#include "scsi/identification_text.h"
#include "transport/drive_inquiry.h"
#include "ui/feedback.h"
#include "ui/resource_ids.h"

namespace morv {
namespace {

/// What the update's first commands may transfer from its buffer.
constexpr uint32_t kUpdateFirstTransfer = 255;

/// Write-once, CD/DVD and optical memory devices: the kinds of drive to flash.
bool IsKeptDeviceType(uint8_t peripheral) {
  const uint8_t type = peripheral & 0x1F;
  return type == 0x04 || type == 0x05 || type == 0x07;
}

}  // namespace

std::string DriveEntryText(char letter, const uint8_t* inquiryData) {
  // Vendor and product always read as 8 + 16 characters, so the entry is the
  // letter, the colon and exactly 24 characters.
  return std::string{letter, ':'} + IdentificationText(inquiryData + kVendorOffset, kVendorLength) +
         IdentificationText(inquiryData + kProductOffset, kProductLength);
}

DriveLetterSelection::DriveLetterSelection(CScsiDrive& drive, Feedback& feedback, PassThroughTransport& transport)
    : m_drive(drive), m_feedback(feedback), m_transport(transport) {}

void DriveLetterSelection::Attach(DialogWindow& window) {
  m_device.Attach(window, IDC_DEVICE);
  m_firmwareVersion.Attach(window, IDC_FIRMWARE_VERSION);
}

void DriveLetterSelection::OnDestroy() {
  m_device.Detach();
  m_firmwareVersion.Detach();
}

uint8_t DriveLetterSelection::ScanDrives() {
  constexpr uint8_t slot = PassThroughTransport::kScanSlot;
  m_drive.m_deviceIndex = slot;
  m_transport.DriveInUse[slot] = 0;
  m_transport.MaxTransfer[slot] = kScanMaxTransfer;

  uint8_t found = 0;
  InquiryData data;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    m_transport.DriveNames[slot] = std::string{letter, ':'};
    if (InquireDriveData(m_drive, data) != kCodeDone || !IsKeptDeviceType(data[0])) continue;
    m_transport.DriveNames[found] = DriveEntryText(letter, data.data());
    // Still through the scan slot: asks the letter being probed.
    m_transport.MaxTransfer[found] = m_transport.QueryMaxTransfer(m_drive);
    ++found;
  }
  m_transport.DriveCount = found;
  return found;
}

void DriveLetterSelection::OnRescan() {
  if (m_lock.Refuse()) return;
  m_feedback.BeginWaitCursor();
  const int previous = m_device.GetCurSel();
  m_device.ResetContent();
  if (ScanDrives() > 0) {
    for (int i = 0; i < m_transport.DriveCount; ++i) m_device.AddString(m_transport.DriveNames[i]);
    // A position beyond the new list leaves the selector without a selection.
    m_device.SetCurSel(previous == CB_ERR ? 0 : previous);
  }
  OnSelchangeDevice();
  m_feedback.EndWaitCursor();
}

void DriveLetterSelection::OnSelchangeDevice() {
  if (m_lock.Refuse()) return;
  const int position = m_device.GetCurSel();
  if (position < 0) return;
  m_selectedDrive = position;
  m_drive.m_lun = 0;
  m_drive.m_deviceIndex = static_cast<uint8_t>(position);
  ShowFirmwareVersion();
}

void DriveLetterSelection::ShowFirmwareVersion() {
  std::string version;
  if (InquireFirmwareVersion(m_drive, version) == kCodeDone)
    m_firmwareVersion.SetWindowText(version);
  else
    m_feedback.MessageBeep(kSimpleBeep);
}

std::optional<std::string> DriveLetterSelection::DriveDescription() const {
  if (m_device.GetCurSel() < 0 || m_selectedDrive >= m_device.GetCount()) return std::nullopt;
  return m_device.GetLBText(m_selectedDrive);
}

DriveLabel DriveLetterSelection::HistoryLabel() const {
  const std::string entry = DriveDescription().value_or("");
  // "E:" and then the identification, as DriveEntryText wrote it.
  if (entry.size() < 2) return {entry, {}};
  return {entry.substr(0, 2), DriveLabel::Unpadded(entry.substr(2))};
}

void DriveLetterSelection::AddressDriveForUpdate(uint8_t* transferBuffer) {
  m_drive.m_deviceIndex = static_cast<uint8_t>(m_selectedDrive);
  m_drive.m_lun = 0;
  m_drive.SetBuffer(transferBuffer, kUpdateFirstTransfer);
}

}  // namespace morv
