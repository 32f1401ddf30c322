#pragma once
// The firmware image (.bin) of a package: 524,288 bytes in 32 blocks of 16 KiB, divided
// into three regions that the parameter file selects for writing.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/package_file.h"

namespace morv {

inline constexpr std::size_t kImageSize = 0x80000;
inline constexpr std::size_t kBlockSize = 0x4000;
inline constexpr int kBlockCount = 32;

/// One region of the image: `length` bytes from image offset `offset`.
struct ImageRegion {
  uint32_t offset;
  uint32_t length;
};

/// Regions 1 to 3. Region 2 ends, and region 3 starts, in the middle of block 30.
inline constexpr std::array<ImageRegion, 3> kImageRegions{{
    {0x00000, 0x10000},
    {0x10000, 0x6A000},
    {0x7A000, 0x06000},
}};

/// The image of one update: always kImageSize bytes, on the heap, zero at first. The
/// bytes of the last image let go are kept for the next one, so that an update does
/// not map, fault in and zero a fresh half megabyte from the system each time.
class FirmwareImage {
 public:
  FirmwareImage();
  ~FirmwareImage();
  FirmwareImage(const FirmwareImage&) = default;
  FirmwareImage& operator=(const FirmwareImage&) = default;

  uint8_t* data() { return m_bytes.data(); }
  const uint8_t* data() const { return m_bytes.data(); }
  static constexpr std::size_t size() { return kImageSize; }
  uint8_t& operator[](std::size_t offset) { return m_bytes[offset]; }
  uint8_t operator[](std::size_t offset) const { return m_bytes[offset]; }
  const uint8_t* begin() const { return m_bytes.data(); }
  const uint8_t* end() const { return m_bytes.data() + kImageSize; }

 private:
  std::vector<uint8_t> m_bytes;
};

/// The sum of all image bytes taken as 0-255; at most 133,693,440, so it cannot overflow.
int32_t ImageChecksum(const FirmwareImage& image);

/// Fills `image` from the first kImageSize bytes of `file` with one read. A shorter file
/// leaves the rest zero; bytes beyond kImageSize are not read. Returns the number of
/// bytes the file delivered. Throws FileError on a read error.
std::size_t ReadImage(PackageFile& file, FirmwareImage& image);

}  // namespace morv
