#include "transport/drive_inquiry.h"

#include <algorithm>

#include "scsi/scsi_drive.h"

namespace morv {
namespace {

constexpr uint8_t kInquiryLength = 255;
constexpr size_t kVersionOffset = 32;
constexpr size_t kVersionLength = 17;

}  // namespace

uint8_t InquireDriveData(CScsiDrive& drive, InquiryData& data) {
  // Zeroed, so a drive that answers with fewer bytes shows no stale ones.
  data.fill(0);
  drive.SetBuffer(data.data(), kInquiryLength);
  const uint8_t code = drive.Inquiry(kInquiryLength);
  drive.SetBuffer(nullptr, 0);
  return code;
}

uint8_t InquireFirmwareVersion(CScsiDrive& drive, std::string& version) {
  InquiryData data;
  const uint8_t code = InquireDriveData(drive, data);
  if (code == kCodeDone) {
    auto first = data.begin() + kVersionOffset;
    version.assign(first, std::find(first, first + kVersionLength, uint8_t{0}));
    // Whatever else the drive put there shows as a space: no control character or
    // byte outside ASCII ever reaches the dialog.
    std::replace_if(version.begin(), version.end(), [](unsigned char c) { return c < 0x20 || c > 0x7E; }, ' ');
  }
  return code;
}

}  // namespace morv
