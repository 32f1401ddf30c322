#include "transport/drive_letter_scan.h"

#include <algorithm>
#include <cstdio>

#include "transport/drive_inquiry.h"
#include "transport/pass_through_transport.h"

namespace morv {
namespace {

constexpr size_t kIdentificationOffset = 8;
constexpr size_t kIdentificationLength = 24;

/// Write-once, CD/DVD and optical memory devices: the kinds of drive to flash.
bool IsKeptDeviceType(uint8_t peripheral) {
  const uint8_t type = peripheral & 0x1F;
  return type == 0x04 || type == 0x05 || type == 0x07;
}

}  // namespace

std::string DriveEntryText(char letter, const uint8_t* inquiryData) {
  const uint8_t* first = inquiryData + kIdentificationOffset;
  const std::string identification(first, std::find(first, first + kIdentificationLength, uint8_t{0}));
  char text[2 + kIdentificationLength + 1];
  std::snprintf(text, sizeof text, "%c:%16.24s", letter, identification.c_str());
  return text;
}

uint8_t ScanDriveLetters(CScsiDrive& drive, PassThroughTransport& transport) {
  drive.m_deviceIndex = transport.OpenScanSlot(kScanMaxTransfer);
  uint8_t found = 0;
  InquiryData data;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    transport.PointScanSlotAt(letter);
    if (InquireDriveData(drive, data) != kCodeDone || !IsKeptDeviceType(data[0])) continue;
    // Still through the scan slot: asks the letter being probed.
    transport.SetDrive(found, DriveEntryText(letter, data.data()), transport.QueryMaxTransfer(drive));
    ++found;
  }
  transport.DriveCount = found;
  return found;
}

}  // namespace morv
