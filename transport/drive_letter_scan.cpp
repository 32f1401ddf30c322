#include "transport/drive_letter_scan.h"

#include <utility>

#include "scsi/identification_text.h"
#include "transport/drive_inquiry.h"
#include "transport/pass_through_transport.h"

namespace morv {
namespace {

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

uint8_t ScanDriveLetters(CScsiDrive& drive, PassThroughTransport& transport) {
  drive.m_deviceIndex = transport.OpenScanSlot(kScanMaxTransfer);
  uint8_t found = 0;
  InquiryData data;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    transport.PointScanSlotAt(letter);
    if (InquireDriveData(drive, data) != kCodeDone || !IsKeptDeviceType(data[0])) continue;
    // Still through the scan slot: asks the letter being probed.
    DevicePlace place;
    const uint32_t maxTransfer = transport.QueryMaxTransfer(drive, &place);
    transport.SetDrive(found, DriveEntryText(letter, data.data()), maxTransfer, std::move(place));
    ++found;
  }
  transport.DriveCount = found;
  return found;
}

}  // namespace morv
