#include "ui/drive_letters.h"

#include <utility>

#include "framework/feedback.h"
#include "ui/drive_claim_text.h"

namespace morv {

std::string DriveEntryText(const LetterDrive& drive) { return drive.Description(); }

DriveLetterSelection::DriveLetterSelection(CScsiDrive& drive, Feedback& feedback, PassThroughTransport& transport,
                                           std::ostream& errors, std::string program)
    : m_drive(drive), m_feedback(feedback), m_transport(transport), m_noDrive(feedback, errors, std::move(program)) {}

void DriveLetterSelection::Attach(const SelectorControls& controls) {
  m_device = &controls.device;
  m_version.Attach(controls.firmwareVersion);
  m_lock.Hold({m_device});
}

void DriveLetterSelection::OnRescan() {
  if (m_lock.Refuse()) return;
  m_feedback.BeginWaitCursor();
  const int previous = m_device->GetCurSel();
  m_listed.Reset(*m_device);
  const LetterScan scan = ScanDriveLetters(m_drive, m_transport);
  if (!scan.drives.empty()) {
    for (const LetterDrive& drive : scan.drives) m_listed.Add(*m_device, DriveEntryText(drive), drive);
    // A position beyond the new list leaves the selector without a selection.
    m_device->SetCurSel(previous == CB_ERR ? 0 : previous);
  }
  m_noDrive.AfterScan(!scan.drives.empty(), scan.WhyNone());
  OnSelchangeDevice();
  m_feedback.EndWaitCursor();
}

void DriveLetterSelection::OnSelchangeDevice() {
  if (m_lock.Refuse()) return;
  const int position = m_device->GetCurSel();
  const LetterDrive* listed = m_listed.At(*m_device, position);
  if (listed == nullptr) return;
  m_selectedDrive = position;
  m_drive.SetAddress(listed->address);
  ShowFirmwareVersion();
}

void DriveLetterSelection::ShowFirmwareVersion() {
  if (!m_version.ShowFrom(m_drive)) m_feedback.MessageBeep(kSimpleBeep);
}

std::vector<DriveAddress> DriveLetterSelection::ListedAddresses() const {
  std::vector<DriveAddress> addresses;
  for (const LetterDrive& listed : m_listed.Items()) addresses.push_back(listed.address);
  return addresses;
}

bool DriveLetterSelection::Choose(const DriveAddress& address) {
  const int position = m_listed.Find([&](const LetterDrive& listed) { return listed.address == address; });
  if (position < 0 || m_device->SetCurSel(position) == CB_ERR) return false;
  OnSelchangeDevice();
  return true;
}

DevicePlace DriveLetterSelection::ListedPlace() const {
  const LetterDrive* selected = Selected();
  return selected == nullptr ? DevicePlace{} : selected->place;
}

const LetterDrive* DriveLetterSelection::Selected() const {
  return m_device->GetCurSel() < 0 ? nullptr : m_listed.At(*m_device, m_selectedDrive);
}

std::optional<std::string> DriveLetterSelection::DriveDescription() const {
  const LetterDrive* selected = Selected();
  if (selected == nullptr) return std::nullopt;
  return selected->Description();
}

DriveLabel DriveLetterSelection::HistoryLabel() const {
  const LetterDrive* selected = Selected();
  if (selected == nullptr) return {};
  return {std::string{selected->address.letter, ':'}, DriveLabel::Unpadded(selected->identification),
          m_transport.ClaimedPlace()};
}

std::optional<std::string> DriveLetterSelection::ClaimDriveForUpdate() {
  const LetterDrive* selected = Selected();
  if (selected == nullptr) return kDriveNotListedText;
  m_drive.SetAddress(selected->address);
  std::string failure;
  const ClaimOutcome claim = m_transport.ClaimDrive(selected->address.letter, failure);
  if (claim.status != ClaimStatus::Claimed) return ClaimRefusalText(claim, failure);
  // Identified afresh through the claimed handle, as the scan identified it.
  std::optional<std::string> refusal;
  InquiryData data;
  if (m_transport.ClaimedPlace() != selected->place)
    refusal = kDriveNotListedText;
  else if (m_drive.InquireDriveData(data) != kCodeDone)
    refusal = m_drive.GetErrorText();
  else if (DriveIdentification(data.data()) != selected->identification)
    refusal = kDriveNotListedText;
  if (refusal) m_transport.ReleaseDrive();
  return refusal;
}

void DriveLetterSelection::AddressDriveForUpdate() {
  if (const LetterDrive* selected = Selected()) m_drive.SetAddress(selected->address);
}

}  // namespace morv
