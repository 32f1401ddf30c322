#include "platform/fixed_format_sense.h"

#include <algorithm>
#include <cstring>

namespace morv {
namespace {

constexpr uint8_t kDescriptorCurrent = 0x72, kDescriptorDeferred = 0x73;
constexpr uint8_t kFixedCurrent = 0x70, kFixedDeferred = 0x71;
constexpr uint8_t kValidBit = 0x80;
constexpr size_t kDescriptorHeaderLength = 8;

// Descriptor types with a place in the fixed format.
constexpr uint8_t kInformation = 0x00, kCommandSpecific = 0x01, kSenseKeySpecific = 0x02,
                  kFieldReplaceableUnit = 0x03, kStreamCommands = 0x04, kBlockCommands = 0x05;

/// The low 32 bits of an 8-byte big-endian field into `out`, when the high 32 are
/// zero; false when the value does not fit.
bool PutLow32(const uint8_t* field, uint8_t* out) {
  if (field[0] != 0 || field[1] != 0 || field[2] != 0 || field[3] != 0) return false;
  std::memcpy(out, field + 4, 4);
  return true;
}

/// Moves what one descriptor carries into the fixed-format bytes `fixed`. `d` holds
/// `size` bytes (type, additional length, then its fields).
void TakeDescriptor(const uint8_t* d, size_t size, uint8_t (&fixed)[kFixedSenseLength]) {
  switch (d[0]) {
    case kInformation:
      if (size >= 12 && PutLow32(d + 4, fixed + 3)) fixed[0] |= static_cast<uint8_t>(d[2] & kValidBit);
      break;
    case kCommandSpecific:
      if (size >= 12) PutLow32(d + 4, fixed + 8);
      break;
    case kSenseKeySpecific:
      if (size >= 7) std::memcpy(fixed + 15, d + 4, 3);
      break;
    case kFieldReplaceableUnit:
      if (size >= 4) fixed[14] = d[3];
      break;
    case kStreamCommands:
      if (size >= 4) fixed[2] |= static_cast<uint8_t>(d[3] & 0xE0);  // filemark, end of medium, length
      break;
    case kBlockCommands:
      if (size >= 4) fixed[2] |= static_cast<uint8_t>(d[3] & 0x20);  // incorrect length
      break;
    default:
      break;
  }
}

/// Descriptor-format sense of `length` bytes (at least 1) as fixed format.
void ConvertDescriptorFormat(const uint8_t* sense, size_t length, uint8_t (&fixed)[kFixedSenseLength]) {
  fixed[0] = (sense[0] & 0x7F) == kDescriptorCurrent ? kFixedCurrent : kFixedDeferred;
  fixed[2] = length > 1 ? (sense[1] & 0x0F) : 0;
  fixed[7] = kFixedSenseLength - 8;
  fixed[12] = length > 2 ? sense[2] : 0;
  fixed[13] = length > 3 ? sense[3] : 0;
  if (length <= kDescriptorHeaderLength) return;
  // The descriptors: as many as the additional sense length names and the bytes hold.
  const size_t end = std::min(length, kDescriptorHeaderLength + sense[7]);
  for (size_t at = kDescriptorHeaderLength; at + 2 <= end;) {
    const size_t size = std::min<size_t>(2 + sense[at + 1], end - at);
    TakeDescriptor(sense + at, size, fixed);
    at += 2 + sense[at + 1];
  }
}

}  // namespace

size_t FixedFormatSense(const uint8_t* sense, size_t length, uint8_t* out, size_t outSize) {
  if (sense == nullptr || length == 0) {
    if (outSize != 0) std::memset(out, 0, outSize);
    return 0;
  }
  const uint8_t responseCode = sense[0] & 0x7F;
  if (responseCode == kDescriptorCurrent || responseCode == kDescriptorDeferred) {
    uint8_t fixed[kFixedSenseLength] = {};
    ConvertDescriptorFormat(sense, length, fixed);
    const size_t n = std::min(outSize, sizeof fixed);
    std::memset(out, 0, outSize);
    std::memcpy(out, fixed, n);
    return n;
  }
  const size_t n = std::min(length, outSize);
  std::memmove(out, sense, n);
  std::memset(out + n, 0, outSize - n);
  return n;
}

}  // namespace morv
