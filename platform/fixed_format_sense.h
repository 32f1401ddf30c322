#pragma once
// Sense data as the programs read it: the fixed format (response code 70h or 71h),
// with the sense key in byte 2 and ASC and ASCQ in bytes 12 and 13. A device may
// answer in descriptor format (72h or 73h) instead; every backend passes the sense
// it receives through FixedFormatSense, so both programs see the same key, ASC and
// ASCQ whichever format the device chose.

#include <cstddef>
#include <cstdint>

namespace morv {

/// Size of fixed-format sense with the additional sense length 10 that conversion sets.
inline constexpr size_t kFixedSenseLength = 18;

/// Writes the `length` bytes of `sense` into `out` (`outSize` bytes) in fixed
/// format and zeroes the rest of `out`. Fixed-format and unknown sense is copied as
/// it is; descriptor-format sense becomes fixed format with its key, ASC and ASCQ,
/// the information and command-specific information (when they fit 32 bits), the
/// field-replaceable unit code, the sense-key specific bytes and the filemark, end
/// of medium and incorrect length bits. Returns how many bytes of `out` carry sense
/// (0 for none). `sense` and `out` may be the same buffer.
size_t FixedFormatSense(const uint8_t* sense, size_t length, uint8_t* out, size_t outSize);

}  // namespace morv
