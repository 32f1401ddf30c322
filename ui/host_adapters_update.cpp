// What the update needs of Morvantide4's selection: the selected address, the
// drive's description and history label, the claim on the drive, and the text of a
// refused write.

#include "ui/drive_claim_text.h"
#include "ui/host_adapters.h"

namespace morv {
namespace {

constexpr const char* kCustomizingCodeText =
    "Error!\n   The Drive Can not up-date,\n    because the customizing code is not corresponding.";
constexpr uint8_t kAscInvalidFieldInCdb = 0x24;
constexpr uint8_t kAscqCustomizingCode = 0x90;

}  // namespace

uint8_t HostAdapterSelection::SelectedHostAdapter() const {
  const uint8_t* adapter = m_adapters.At(*m_hostAdapter, m_memory.haPosition);
  return adapter != nullptr ? *adapter : kNoSelection;
}

uint8_t HostAdapterSelection::SelectedTargetId() const {
  const uint8_t* target = m_targets.At(*m_device, m_memory.TargetPosition(m_memory.haPosition));
  return target != nullptr ? *target : kNoSelection;
}

uint8_t HostAdapterSelection::SelectedLun() const {
  const int ha = m_memory.haPosition;
  const int lun = m_memory.LunPosition(ha, m_memory.TargetPosition(ha));
  return lun == CB_ERR ? kNoSelection : static_cast<uint8_t>(lun);
}

DriveAddress HostAdapterSelection::SelectedAddress() const {
  return DriveAddress::Target(SelectedHostAdapter(), SelectedTargetId(), SelectedLun());
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
  const DriveAddress address = SelectedAddress();
  return {std::to_string(address.hostAdapter) + ":" + std::to_string(address.targetId) + ":" +
              std::to_string(address.lun),
          DriveLabel::Unpadded(DriveDescription().value_or("")),
          m_claimed ? m_claims.PlaceOf(m_claimed->hostAdapter, m_claimed->targetId, m_claimed->lun) : DevicePlace{}};
}

std::optional<std::string> HostAdapterSelection::ClaimDriveForUpdate() {
  const std::optional<std::string> listed = DriveDescription();
  if (!listed) return kDriveNotListedText;
  const DriveAddress address = SelectedAddress();
  const ClaimOutcome claim = m_claims.Claim(address.hostAdapter, address.targetId, address.lun);
  if (claim.status == ClaimStatus::Failed) return kDriveNotListedText;
  if (claim.status != ClaimStatus::Claimed) return ClaimRefusalText(claim, {});
  m_claimed = address;
  // Identified afresh, as the scan identified it; the INQUIRY reaches the device claimed.
  std::optional<std::string> refusal;
  m_drive.SetAddress(address);
  std::string product;
  if (m_claims.PlaceOf(address.hostAdapter, address.targetId, 0) !=
      m_listedPlaces[address.hostAdapter][address.targetId])
    refusal = kDriveNotListedText;
  else if (m_drive.InquireProductId(product) != kCodeDone)
    refusal = m_drive.GetErrorText();
  else if (product != *listed)
    refusal = kDriveNotListedText;
  if (refusal) ReleaseDriveForUpdate();
  return refusal;
}

void HostAdapterSelection::ReleaseDriveForUpdate() {
  if (!m_claimed) return;
  m_claims.Release(m_claimed->hostAdapter, m_claimed->targetId, m_claimed->lun);
  m_claimed.reset();
}

void HostAdapterSelection::AddressDriveForUpdate() { m_drive.SetAddress(SelectedAddress()); }

std::string HostAdapterSelection::WriteFailureText() const {
  if (m_drive.Asc() == kAscInvalidFieldInCdb && m_drive.Ascq() == kAscqCustomizingCode) return kCustomizingCodeText;
  return m_drive.GetErrorText();
}

}  // namespace morv
