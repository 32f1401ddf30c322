#include "ui/firmware_version_field.h"

#include "scsi/scsi_drive.h"

namespace morv {

bool FirmwareVersionField::ShowFrom(CScsiDrive& drive) {
  std::string version;
  if (drive.InquireFirmwareVersion(version) != kCodeDone) return false;
  Show(version);
  return true;
}

void FirmwareVersionField::Show(const std::string& version) {
  m_text = version;
  m_field->SetWindowText(version);
}

}  // namespace morv
