#pragma once
// Writing argument fields into a CDB template. A flag is the argument's lowest bit,
// a byte field its low 8 bits, and a 16-, 24- or 32-bit field its low 16, 24 or 32
// bits, most significant byte first. Each helper writes only the bits it names.

#include <cstdint>

namespace morv::cdb {

/// The lowest bit of a flag argument.
constexpr uint8_t Flag(uint32_t value) { return static_cast<uint8_t>(value & 0x01); }

/// The low 8 bits of a byte argument.
constexpr uint8_t Byte(uint32_t value) { return static_cast<uint8_t>(value & 0xFF); }

/// Writes the low `width` bits of `value` into bits shift..shift+width-1 of `byte`;
/// the byte's other bits keep their values.
constexpr void PutBits(uint8_t& byte, unsigned shift, unsigned width, uint32_t value) {
  const uint32_t mask = ((1u << width) - 1u) << shift;
  byte = static_cast<uint8_t>((byte & ~mask) | ((value << shift) & mask));
}

/// Writes the low `count` bytes of `value` from `at` on, most significant byte first.
constexpr void PutBigEndian(uint8_t* at, unsigned count, uint32_t value) {
  for (unsigned i = 0; i < count; ++i) at[i] = Byte(value >> (8 * (count - 1 - i)));
}

/// MODE SENSE page selection: page control in bits 6-7, page code in bits 0-5.
constexpr void PutPageSelection(uint8_t& byte, uint32_t pageControl, uint32_t pageCode) {
  PutBits(byte, 6, 2, pageControl);
  PutBits(byte, 0, 6, pageCode);
}

}  // namespace morv::cdb
