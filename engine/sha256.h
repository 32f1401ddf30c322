#pragma once
// SHA-256 of a block of bytes, so the history can name the very image that was
// flashed: two images with the same byte sum (the package's own checksum) still
// differ here.

#include <cstddef>
#include <cstdint>
#include <string>

namespace morv {

/// The SHA-256 digest of `size` bytes at `data`, as 64 lower-case hexadecimal digits.
std::string Sha256Hex(const uint8_t* data, size_t size);

}  // namespace morv
