#pragma once
// The identification fields of INQUIRY data (vendor, product, revision) as text, read
// the way the kernel reads them: SCSI pads these fields with spaces, but many devices
// (and bridges) pad with zero bytes instead, so a zero byte ends the field's text and
// the rest of the field reads as spaces, and any byte outside printable ASCII reads as
// a space. A field that follows the standard reads exactly as its bytes.

#include <cstddef>
#include <cstdint>
#include <string>

namespace morv {

/// Byte offsets and lengths of the identification fields in standard INQUIRY data.
inline constexpr size_t kVendorOffset = 8, kVendorLength = 8;
inline constexpr size_t kProductOffset = 16, kProductLength = 16;
inline constexpr size_t kRevisionOffset = 32, kRevisionLength = 4;

/// The `length` bytes at `field` as text of exactly `length` characters, read as above.
std::string IdentificationText(const uint8_t* field, size_t length);

}  // namespace morv
