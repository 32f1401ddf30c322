#include "engine/firmware_image.h"

#include <algorithm>
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
  uint32_t sum = 0;
  for (uint8_t byte : image) sum += byte;
  return static_cast<int32_t>(sum);
}

std::size_t ReadImage(PackageFile& file, FirmwareImage& image) {
  std::size_t count = file.Read(image.data(), kImageSize);
  std::fill(image.data() + count, image.data() + kImageSize, uint8_t{0});
  return count;
}

}  // namespace morv
