#pragma once
// MorvantideNT's discovery: probes the drive letters A to Z through the pass-through
// transport and keeps the write-once, CD/DVD and optical memory devices.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/drive_claim.h"
#include "platform/no_drive_reason.h"
#include "scsi/transport.h"

namespace morv {

class CScsiDrive;
class PassThroughTransport;

/// Largest transfer of a letter while discovery probes it.
inline constexpr uint32_t kScanMaxTransfer = 0x10000;

/// A drive discovery kept.
struct LetterDrive {
  DriveAddress address;        ///< its drive letter
  std::string identification;  ///< vendor and product, as DriveIdentification reads them
  DevicePlace place;           ///< where its device sat when it was listed

  /// The letter, a colon and the identification: what the package's model is
  /// looked for in.
  std::string Description() const { return std::string{address.letter, ':'} + identification; }
};

/// What a scan of the drive letters found.
struct LetterScan {
  std::vector<LetterDrive> drives;  ///< the drives kept, in letter order
  bool accessDenied = false;        ///< a letter's device is there but this process may not open it

  /// Why no drive is listed, when `drives` is empty.
  NoDriveReason WhyNone() const { return accessDenied ? NoDriveReason::AccessDenied : NoDriveReason::NoDevice; }
};

/// Probes A: to Z: with `drive` and returns what it kept; each letter's largest
/// transfer is set in `transport` (0 for a letter not kept). Leaves `drive` addressed
/// to the last letter probed.
LetterScan ScanDriveLetters(CScsiDrive& drive, PassThroughTransport& transport);

/// The vendor and product identification (INQUIRY bytes 8 to 31) as
/// IdentificationText reads each: always 8 + 16 characters.
std::string DriveIdentification(const uint8_t* inquiryData);

}  // namespace morv
