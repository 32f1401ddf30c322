// The emulated drive's microcode download: which WRITE BUFFERs it takes, where the
// data lands, and what a save does.
#include "sim/mx_r4410.h"

#include <gtest/gtest.h>

#include "sim/device_test_support.h"
#include "sim/revision_stamp.h"

namespace morv::sim {
namespace {

using testing::Send;
using testing::WriteBufferCdb;

// A drive whose power-on unit attention has been handed out.
std::unique_ptr<MxR4410> ReadyDrive() {
  auto drive = std::make_unique<MxR4410>();
  Send(*drive, {0x00, 0, 0, 0, 0, 0});
  return drive;
}

TEST(MxR4410, WriteBufferChecksModeBufferAndRange) {
  struct Case {
    const char* what;
    uint8_t mode, bufferId;
    uint32_t offset, length, transfer;
    DataDirection direction;
    uint8_t key, asc;  ///< 0/0: accepted
  } cases[] = {
      {"full buffer", 4, 0, 0, 16384, 16384, DataDirection::Out, 0, 0},
      {"last buffer, second half", 4, 31, 8192, 8192, 8192, DataDirection::Out, 0, 0},
      {"save", 5, 31, 0, 16384, 16384, DataDirection::Out, 0, 0},
      {"nothing at the very end", 4, 0, 16384, 0, 0, DataDirection::None, 0, 0},
      {"buffer 32", 4, 32, 0, 16384, 16384, DataDirection::Out, 0x05, 0x24},
      {"one byte past the buffer", 4, 0, 8192, 8193, 8193, DataDirection::Out, 0x05, 0x24},
      {"offset past the buffer", 4, 0, 16385, 0, 0, DataDirection::None, 0x05, 0x24},
      {"24-bit wrap", 4, 0, 0xFFFFFF, 0xFFFFFF, 0, DataDirection::None, 0x05, 0x24},
      {"mode 2", 2, 0, 0, 16384, 16384, DataDirection::Out, 0x05, 0x24},
      {"mode 7", 7, 0, 0, 16384, 16384, DataDirection::Out, 0x05, 0x24},
      {"less data than announced", 4, 0, 0, 16384, 8192, DataDirection::Out, 0x0B, 0x4B},
      {"data going the wrong way", 4, 0, 0, 16384, 16384, DataDirection::In, 0x0B, 0x4B},
  };
  for (const Case& c : cases) {
    auto drive = ReadyDrive();
    std::vector<uint8_t> data(16384, 0x5A);
    auto answer = Send(*drive, WriteBufferCdb(c.mode, c.bufferId, c.offset, c.length), data.data(), c.transfer,
                       c.direction);
    EXPECT_EQ(answer.status, c.key == 0 ? kStatusGood : kStatusCheckCondition) << c.what;
    EXPECT_EQ(answer.key, c.key) << c.what;
    EXPECT_EQ(answer.asc, c.asc) << c.what;
    if (c.key != 0) {
      EXPECT_EQ(drive->SaveCount(), 0u) << c.what;
    }
  }
}

TEST(MxR4410, DownloadLandsInItsBufferAndSaveStoresItAndResetsTheDrive) {
  auto drive = ReadyDrive();
  std::vector<uint8_t> first(8192, 0x11), second(8192, 0x22), last(16384, 0x33);
  Send(*drive, WriteBufferCdb(4, 3, 0, 8192), first.data(), 8192, DataDirection::Out);
  Send(*drive, WriteBufferCdb(4, 3, 8192, 8192), second.data(), 8192, DataDirection::Out);
  EXPECT_EQ(drive->SaveCount(), 0u);
  EXPECT_EQ(drive->Saved()[3 * 16384], 0x00) << "nothing saved before mode 5";
  Send(*drive, WriteBufferCdb(5, 31, 0, 16384), last.data(), 16384, DataDirection::Out);

  const auto& saved = drive->Saved();
  ASSERT_EQ(saved.size(), 32u * 16384);
  EXPECT_EQ(saved[3 * 16384], 0x11);
  EXPECT_EQ(saved[3 * 16384 + 8191], 0x11);
  EXPECT_EQ(saved[3 * 16384 + 8192], 0x22);
  EXPECT_EQ(saved[4 * 16384], 0x00);
  EXPECT_EQ(saved[31 * 16384 + 16383], 0x33);
  EXPECT_EQ(drive->SaveCount(), 1u);

  std::vector<uint8_t> inquiry(256);
  EXPECT_EQ(Send(*drive, {0x12, 0, 0, 0, 0xFF, 0}, inquiry.data(), 255, DataDirection::In).status, kStatusGood);
  auto afterSave = Send(*drive, {0x00, 0, 0, 0, 0, 0xC0});
  EXPECT_EQ(afterSave.key, 0x06);
  EXPECT_EQ(afterSave.asc, 0x29);
}

TEST(MxR4410, TestUnitReadyAndItsVendorFormReportNoDisc) {
  auto drive = ReadyDrive();
  for (uint8_t control : {0x00, 0xC0}) {
    auto answer = Send(*drive, {0x00, 0, 0, 0, 0, control});
    EXPECT_EQ(answer.key, 0x02);
    EXPECT_EQ(answer.asc, 0x3A);
    EXPECT_EQ(answer.ascq, 0x00);
  }
}

TEST(MxR4410, CustomizingCodeRefusalKeepsTheDownloadOut) {
  auto drive = ReadyDrive();
  drive->RefuseCustomizingCode();
  std::vector<uint8_t> data(16384, 0x77);
  auto answer = Send(*drive, WriteBufferCdb(5, 0, 0, 16384), data.data(), 16384, DataDirection::Out);
  EXPECT_EQ(answer.key, 0x05);
  EXPECT_EQ(answer.asc, 0x24);
  EXPECT_EQ(answer.ascq, 0x90);
  EXPECT_EQ(drive->Downloaded()[0], 0x00);
  EXPECT_EQ(drive->SaveCount(), 0u);
}

// The revision a save takes from the image's stamp; an unsaved download or an image
// without a stamp leaves the one reported before.
TEST(MxR4410, ASaveReportsTheRevisionStampedIntoTheImage) {
  auto drive = ReadyDrive();
  auto revision = [&] {
    const std::vector<uint8_t> data = drive->InquiryData();
    return std::string(data.begin() + 32, data.begin() + 36);
  };
  ASSERT_EQ(revision(), "1.00");
  std::vector<uint8_t> image(524288, 0);
  StampRevision(image.data(), image.size(), "2.5");
  std::vector<uint8_t> block31(image.end() - 16384, image.end());
  Send(*drive, WriteBufferCdb(4, 31, 0, 16384), block31.data(), 16384, DataDirection::Out);
  EXPECT_EQ(revision(), "1.00") << "downloaded, not saved";
  Send(*drive, WriteBufferCdb(5, 31, 0, 16384), block31.data(), 16384, DataDirection::Out);
  EXPECT_EQ(revision(), "2.5 ");
  std::vector<uint8_t> unstamped(16384, 0x7E);
  Send(*drive, WriteBufferCdb(5, 31, 0, 16384), unstamped.data(), 16384, DataDirection::Out);
  EXPECT_EQ(revision(), "2.5 ") << "an image without a stamp";
}

TEST(RevisionStamp, ReadsBackWhatWasStampedAndNothingElse) {
  std::vector<uint8_t> image(524288, 0);
  EXPECT_EQ(StampedRevision(image.data(), image.size()), std::nullopt);
  StampRevision(image.data(), image.size(), "1.05");
  EXPECT_EQ(StampedRevision(image.data(), image.size()), "1.05");
  EXPECT_EQ(std::string(image.begin() + 0x7FFF0, image.begin() + 0x7FFF8), "REVISION");
  EXPECT_EQ(StampedRevision(image.data(), 0x7FFFF), std::nullopt) << "a short image";
  image[0x7FFF9] = 0x01;
  EXPECT_EQ(StampedRevision(image.data(), image.size()), std::nullopt) << "a control byte in the revision";
  EXPECT_EQ(RevisionProblem("1.05"), "");
  EXPECT_NE(RevisionProblem(""), "");
  EXPECT_NE(RevisionProblem("1.005"), "");
  EXPECT_NE(RevisionProblem("1\t0"), "");
}

}  // namespace
}  // namespace morv::sim
