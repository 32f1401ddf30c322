#include "engine/firmware_image.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/package_writer.h"
#include "engine/testing/temp_directory.h"

namespace morv {
namespace {

TEST(FirmwareImage, ChecksumAddsEveryByteUnsigned) {
  FirmwareImage image;
  EXPECT_EQ(ImageChecksum(image), 0);
  image[0] = 0x80;
  image[kImageSize - 1] = 0xFF;
  EXPECT_EQ(ImageChecksum(image), 0x80 + 0xFF);
  for (std::size_t i = 0; i < kImageSize; ++i) image[i] = 0xFF;
  EXPECT_EQ(ImageChecksum(image), 133693440);  // the largest sum there is
  GenerateImage(7, image);
  int64_t plain = 0;
  for (uint8_t byte : image) plain += byte;
  EXPECT_EQ(ImageChecksum(image), plain);
}

TEST(FirmwareImage, ANewImageIsZeroEvenWhereTheLastOneLeftItsBytes) {
  {
    FirmwareImage last;
    GenerateImage(3, last);
  }
  const FirmwareImage next;
  EXPECT_EQ(ImageChecksum(next), 0);
  FirmwareImage copy = next;  // one image in use and one copied: separate bytes
  copy[0] = 1;
  EXPECT_EQ(next[0], 0);
}

TEST(FirmwareImage, RegionsCoverTheImageInOrder) {
  uint32_t next = 0;
  for (const auto& region : kImageRegions) {
    EXPECT_EQ(region.offset, next);
    next = region.offset + region.length;
  }
  EXPECT_EQ(next, kImageSize);
  EXPECT_EQ(kImageRegions[1].offset + kImageRegions[1].length, 30 * kBlockSize + kBlockSize / 2);
}

TEST(FirmwareImage, ReadTakesTheFirstImageSizeBytesAndZeroFillsTheRest) {
  FirmwareImage source;
  GenerateImage(7, source);
  const std::string full(reinterpret_cast<const char*>(source.data()), kImageSize);
  struct Case {
    const char* name;
    std::string bytes;
    std::size_t delivered;
  } cases[] = {
      {"exact", full, kImageSize},
      {"longer", full + std::string(1000, '\xAA'), kImageSize},
      {"shorter", full.substr(0, 1234), 1234},
      {"empty", "", 0},
  };
  for (const auto& c : cases) {
    testing::TempDirectory dir;
    FirmwareImage image;
    for (std::size_t i = 0; i < kImageSize; ++i) image[i] = 0x5A;  // left over from before
    PackageFile file(dir.Write("IMG.bin", c.bytes));
    EXPECT_EQ(ReadImage(file, image), c.delivered) << c.name;
    std::size_t mismatches = 0;
    for (std::size_t i = 0; i < kImageSize; ++i)
      mismatches += image[i] != (i < c.delivered ? source[i] : 0);
    EXPECT_EQ(mismatches, 0u) << c.name;
  }
}

TEST(FirmwareImage, GeneratedImagesDependOnlyOnTheSeed) {
  FirmwareImage a, b, c;
  GenerateImage(1, a);
  GenerateImage(1, b);
  GenerateImage(2, c);
  EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin()));
  EXPECT_FALSE(std::equal(a.begin(), a.end(), c.begin()));
}

}  // namespace
}  // namespace morv
