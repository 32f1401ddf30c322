#include "engine/firmware_image.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace morv {
namespace {

// The bytes of the image let go last, while no other image has taken them.
struct SpareImage {
  std::mutex mutex;
  std::vector<uint8_t> bytes;
};

SpareImage& Spare() {
  static SpareImage* spare = new SpareImage;  // never destroyed: images may outlive other statics
  return *spare;
}

}  // namespace

FirmwareImage::FirmwareImage() {
  {
    const std::lock_guard lock(Spare().mutex);
    m_bytes.swap(Spare().bytes);
  }
  if (m_bytes.size() == kImageSize)
    std::fill(m_bytes.begin(), m_bytes.end(), uint8_t{0});
  else
    m_bytes.assign(kImageSize, 0);
}

FirmwareImage::~FirmwareImage() {
  const std::lock_guard lock(Spare().mutex);
  if (Spare().bytes.empty()) Spare().bytes.swap(m_bytes);
}

int32_t ImageChecksum(const FirmwareImage& image) {
  // Eight bytes at a time: the bytes at even and at odd places of a 64-bit word are
  // added in four 16-bit lanes each, and the lanes are emptied into the sum before
  // they could overflow (255 a word, so after at most 257 words). Every update and
  // every check sums the whole half megabyte; a byte loop took a tenth of a run.
  constexpr uint64_t kLowBytes = 0x00FF00FF00FF00FFull;
  constexpr std::size_t kWordsPerFold = 256;
  auto lanes = [](uint64_t x) { return (x & 0xFFFF) + ((x >> 16) & 0xFFFF) + ((x >> 32) & 0xFFFF) + (x >> 48); };
  uint64_t sum = 0;
  const uint8_t* bytes = image.data();
  static_assert(kImageSize % (8 * kWordsPerFold) == 0);
  for (std::size_t at = 0; at < kImageSize; at += 8 * kWordsPerFold) {
    uint64_t even = 0, odd = 0;
    for (std::size_t word = 0; word < kWordsPerFold; ++word) {
      uint64_t x;
      std::memcpy(&x, bytes + at + 8 * word, sizeof x);
      even += x & kLowBytes;
      odd += (x >> 8) & kLowBytes;
    }
    sum += lanes(even) + lanes(odd);
  }
  return static_cast<int32_t>(sum);
}

std::size_t ReadImage(PackageFile& file, FirmwareImage& image) {
  std::size_t count = file.Read(image.data(), kImageSize);
  std::fill(image.data() + count, image.data() + kImageSize, uint8_t{0});
  return count;
}

}  // namespace morv
