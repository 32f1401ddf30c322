#include "transport/drive_letter_scan.h"

#include <utility>

#include "scsi/identification_text.h"
#include "scsi/scsi_drive.h"
#include "transport/pass_through_transport.h"

namespace morv {
namespace {

/// Write-once, CD/DVD and optical memory devices: the kinds of drive to flash.
bool IsKeptDeviceType(uint8_t peripheral) {
  const uint8_t type = peripheral & 0x1F;
  return type == 0x04 || type == 0x05 || type == 0x07;
}

}  // namespace

std::string DriveIdentification(const uint8_t* inquiryData) {
  return IdentificationText(inquiryData + kVendorOffset, kVendorLength) +
         IdentificationText(inquiryData + kProductOffset, kProductLength);
}

LetterScan ScanDriveLetters(CScsiDrive& drive, PassThroughTransport& transport) {
  LetterScan scan;
  InquiryData data;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    transport.SetMaxTransfer(letter, kScanMaxTransfer);
    drive.SetAddress(DriveAddress::Letter(letter));
    const bool kept = drive.InquireDriveData(data) == kCodeDone && IsKeptDeviceType(data[0]);
    scan.accessDenied = scan.accessDenied || transport.AccessDenied(letter);
    LetterDrive listed{drive.Address(), kept ? DriveIdentification(data.data()) : "", {}};
    // A letter not kept takes no data: nothing addresses it until a scan keeps it.
    transport.SetMaxTransfer(letter, kept ? transport.QueryMaxTransfer(letter, &listed.place) : 0);
    if (kept) scan.drives.push_back(std::move(listed));
  }
  return scan;
}

}  // namespace morv
