// The INQUIRY both selection halves and the update send: 255 bytes into a 256-byte
// buffer that lives only for the call, so the drive object is left without a buffer
// after it.

#include <algorithm>

#include "scsi/scsi_drive.h"

namespace morv {
namespace {

constexpr uint8_t kInquiryLength = 255;
constexpr size_t kVersionOffset = 32;
constexpr size_t kVersionLength = 17;

}  // namespace

uint8_t CScsiDrive::InquireDriveData(InquiryData& data) {
  // Zeroed, so a drive that answers with fewer bytes shows no stale ones.
  data.fill(0);
  SetBuffer(data.data(), kInquiryLength);
  const uint8_t code = Inquiry(kInquiryLength);
  SetBuffer(nullptr, 0);
  return code;
}

uint8_t CScsiDrive::InquireFirmwareVersion(std::string& version) {
  InquiryData data;
  const uint8_t code = InquireDriveData(data);
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
