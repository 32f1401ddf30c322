#include "engine/firmware_image.h"

#include <algorithm>

namespace morv {

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
