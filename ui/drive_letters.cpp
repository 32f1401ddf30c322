#include "ui/drive_letters.h"

#include "framework/feedback.h"
#include "transport/drive_inquiry.h"
#include "transport/drive_letter_scan.h"
#include "ui/drive_claim_text.h"

namespace morv {
namespace {

/// What the update's first commands may transfer from its buffer.
constexpr uint32_t kUpdateFirstTransfer = 255;

}  // namespace

DriveLetterSelection::DriveLetterSelection(CScsiDrive& drive, Feedback& feedback, PassThroughTransport& transport)
    : m_drive(drive), m_feedback(feedback), m_transport(transport) {}

void DriveLetterSelection::Attach(const SelectorControls& controls) {
  m_device = &controls.device;
  m_firmwareVersion = &controls.firmwareVersion;
  m_lock.Hold({m_device});
}

void DriveLetterSelection::OnRescan() {
  if (m_lock.Refuse()) return;
  m_feedback.BeginWaitCursor();
  const int previous = m_device->GetCurSel();
  m_device->ResetContent();
  if (ScanDriveLetters(m_drive, m_transport) > 0) {
    for (int i = 0; i < m_transport.DriveCount; ++i) m_device->AddString(m_transport.DriveNames[i]);
    // A position beyond the new list leaves the selector without a selection.
    m_device->SetCurSel(previous == CB_ERR ? 0 : previous);
  }
  OnSelchangeDevice();
  m_feedback.EndWaitCursor();
}

void DriveLetterSelection::OnSelchangeDevice() {
  if (m_lock.Refuse()) return;
  const int position = m_device->GetCurSel();
  if (position < 0) return;
  m_selectedDrive = position;
  m_drive.m_lun = 0;
  m_drive.m_deviceIndex = static_cast<uint8_t>(position);
  ShowFirmwareVersion();
}

void DriveLetterSelection::ShowFirmwareVersion() {
  std::string version;
  if (InquireFirmwareVersion(m_drive, version) == kCodeDone)
    m_firmwareVersion->SetWindowText(version);
  else
    m_feedback.MessageBeep(kSimpleBeep);
}

std::optional<std::string> DriveLetterSelection::DriveDescription() const {
  if (m_device->GetCurSel() < 0 || m_selectedDrive >= m_device->GetCount()) return std::nullopt;
  return m_device->GetLBText(m_selectedDrive);
}

DriveLabel DriveLetterSelection::HistoryLabel() const {
  const std::string entry = DriveDescription().value_or("");
  // "E:" and then the identification, as DriveEntryText wrote it.
  if (entry.size() < 2) return {entry, {}, m_transport.ClaimedPlace()};
  return {entry.substr(0, 2), DriveLabel::Unpadded(entry.substr(2)), m_transport.ClaimedPlace()};
}

std::optional<std::string> DriveLetterSelection::ClaimDriveForUpdate() {
  const std::optional<std::string> listed = DriveDescription();
  if (!listed) return kDriveNotListedText;
  m_drive.m_deviceIndex = static_cast<uint8_t>(m_selectedDrive);
  m_drive.m_lun = 0;
  const ClaimOutcome claim = m_transport.ClaimDrive(m_drive);
  if (claim.status != ClaimStatus::Claimed) return ClaimRefusalText(claim, m_drive.GetErrorText());
  // Identified afresh through the claimed handle, as the scan identified it.
  std::optional<std::string> refusal;
  InquiryData data;
  if (m_transport.ClaimedPlace() != m_transport.ListedPlace(m_drive.m_deviceIndex))
    refusal = kDriveNotListedText;
  else if (InquireDriveData(m_drive, data) != kCodeDone)
    refusal = m_drive.GetErrorText();
  else if (DriveEntryText((*listed)[0], data.data()) != *listed)
    refusal = kDriveNotListedText;
  if (refusal) m_transport.ReleaseDrive();
  return refusal;
}

void DriveLetterSelection::AddressDriveForUpdate(uint8_t* transferBuffer) {
  m_drive.m_deviceIndex = static_cast<uint8_t>(m_selectedDrive);
  m_drive.m_lun = 0;
  m_drive.SetBuffer(transferBuffer, kUpdateFirstTransfer);
}

}  // namespace morv
