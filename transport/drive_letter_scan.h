#pragma once
// MorvantideNT's discovery: probes the drive letters A to Z through the pass-through
// transport and keeps the write-once, CD/DVD and optical memory devices in the
// transport's device table.

#include <cstdint>
#include <string>

namespace morv {

class CScsiDrive;
class PassThroughTransport;

/// Largest transfer of the scan slot while it probes a letter.
inline constexpr uint32_t kScanMaxTransfer = 0x10000;

/// Probes A: to Z: through the scan slot with `drive` and fills the device table
/// from entry 0; returns the number of drives found (DriveCount). Leaves `drive`
/// addressed to the scan slot.
uint8_t ScanDriveLetters(CScsiDrive& drive, PassThroughTransport& transport);

/// The device selector's text for a drive: the letter, a colon, then the vendor and
/// product identification (INQUIRY bytes 8 to 31) as IdentificationText reads each.
std::string DriveEntryText(char letter, const uint8_t* inquiryData);

}  // namespace morv
