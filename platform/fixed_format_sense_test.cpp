#include "platform/fixed_format_sense.h"

#include <gtest/gtest.h>

#include <vector>

namespace morv {
namespace {

using Bytes = std::vector<uint8_t>;

/// Fixed-format sense of 18 bytes with key, ASC and ASCQ, and `changes` applied.
Bytes Fixed(uint8_t key, uint8_t asc, uint8_t ascq, std::initializer_list<std::pair<size_t, uint8_t>> changes = {}) {
  Bytes b(kFixedSenseLength, 0);
  b[0] = 0x70, b[2] = key, b[7] = 10, b[12] = asc, b[13] = ascq;
  for (auto [at, value] : changes) b[at] = value;
  return b;
}

TEST(FixedFormatSense, DescriptorFormatBecomesFixedFormat) {
  struct Case {
    const char* name;
    Bytes in;
    Bytes expected;  // 18 bytes
  } cases[] = {
      {"unit attention, no descriptors", {0x72, 0x06, 0x29, 0x02, 0, 0, 0, 0}, Fixed(0x06, 0x29, 0x02)},
      {"header cut after ASC", {0x72, 0x06, 0x29}, Fixed(0x06, 0x29, 0x00)},
      {"only the response code", {0x72}, Fixed(0x00, 0x00, 0x00)},
      {"deferred error", {0xF3, 0x03, 0x11, 0x00, 0, 0, 0, 0}, Fixed(0x03, 0x11, 0x00, {{0, 0x71}})},
      {"progress in the sense-key specific descriptor",
       {0x72, 0x02, 0x04, 0x01, 0, 0, 0, 8, 0x02, 0x06, 0, 0, 0x80, 0x12, 0x34, 0},
       Fixed(0x02, 0x04, 0x01, {{15, 0x80}, {16, 0x12}, {17, 0x34}})},
      {"information that fits 32 bits, FRU, stream bits",
       {0x72, 0x03, 0x11, 0x00, 0, 0, 0, 24,
        0x00, 0x0A, 0x80, 0, 0, 0, 0, 0, 0x01, 0x02, 0x03, 0x04,  // information
        0x03, 0x02, 0, 0x5A,                                       // field-replaceable unit
        0x04, 0x02, 0, 0xE0},                                      // filemark, end of medium, length
       Fixed(0xE3, 0x11, 0x00, {{0, 0xF0}, {3, 1}, {4, 2}, {5, 3}, {6, 4}, {14, 0x5A}})},
      {"information beyond 32 bits is left out",
       {0x72, 0x03, 0x11, 0x00, 0, 0, 0, 12, 0x00, 0x0A, 0x80, 0, 0, 0, 0, 1, 0, 0, 0, 9},
       Fixed(0x03, 0x11, 0x00)},
      {"descriptor running past the bytes received is cut",
       {0x72, 0x05, 0x24, 0x00, 0, 0, 0, 40, 0x02, 0x06, 0, 0, 0xC0}, Fixed(0x05, 0x24, 0x00)},
      {"additional length shorter than the bytes ends the list",
       {0x72, 0x05, 0x24, 0x00, 0, 0, 0, 0, 0x03, 0x02, 0, 0x77}, Fixed(0x05, 0x24, 0x00)},
      {"zero-length descriptors are stepped over",
       {0x72, 0x05, 0x20, 0x00, 0, 0, 0, 8, 0x7F, 0x00, 0x7F, 0x00, 0x03, 0x02, 0, 0x44},
       Fixed(0x05, 0x20, 0x00, {{14, 0x44}})},
  };
  for (const Case& c : cases) {
    uint8_t out[24];
    std::fill(std::begin(out), std::end(out), 0xEE);
    EXPECT_EQ(FixedFormatSense(c.in.data(), c.in.size(), out, sizeof out), kFixedSenseLength) << c.name;
    Bytes expected = c.expected;
    expected.resize(sizeof out, 0);
    EXPECT_EQ(Bytes(out, out + sizeof out), expected) << c.name;
  }
}

TEST(FixedFormatSense, FixedFormatIsCopiedAndCutToTheRoomGiven) {
  const Bytes fixed = {0x70, 0, 0x06, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x29, 0x01, 0, 0, 0xAB, 0xCD};
  struct Case {
    const char* name;
    Bytes in;
    size_t room;
    size_t meaningful;
  } cases[] = {
      {"whole", fixed, 24, 18},
      {"cut at 14", fixed, 14, 14},
      {"short", {0x70, 0, 0x05}, 24, 3},
      {"none", {}, 24, 0},
  };
  for (const Case& c : cases) {
    Bytes out(c.room, 0xEE);
    EXPECT_EQ(FixedFormatSense(c.in.data(), c.in.size(), out.data(), out.size()), c.meaningful) << c.name;
    Bytes expected(c.in.begin(), c.in.begin() + static_cast<long>(c.meaningful));
    expected.resize(c.room, 0);
    EXPECT_EQ(out, expected) << c.name;
  }
}

TEST(FixedFormatSense, ConvertsInPlaceAndIntoASmallArea) {
  uint8_t sense[24] = {0x72, 0x06, 0x2A, 0x09};
  EXPECT_EQ(FixedFormatSense(sense, 8, sense, sizeof sense), kFixedSenseLength);
  EXPECT_EQ(Bytes(sense, sense + 18), Fixed(0x06, 0x2A, 0x09));

  const uint8_t descriptor[] = {0x72, 0x06, 0x29, 0x00, 0, 0, 0, 0};
  uint8_t small[14];
  EXPECT_EQ(FixedFormatSense(descriptor, sizeof descriptor, small, sizeof small), 14u);
  Bytes expected = Fixed(0x06, 0x29, 0x00);
  expected.resize(sizeof small);
  EXPECT_EQ(Bytes(small, small + sizeof small), expected);
}

}  // namespace
}  // namespace morv
