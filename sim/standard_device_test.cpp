// The behaviour every emulated device shares: identification, unit attentions,
// the injected faults and the command record.
#include "sim/standard_device.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "sim/device_test_support.h"
#include "sim/standard_devices.h"

namespace morv::sim {
namespace {

using testing::Send;
using testing::Text;

const std::vector<uint8_t> kInquiry = {0x12, 0x00, 0x00, 0x00, 0xFF, 0x00};
const std::vector<uint8_t> kTestUnitReady = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

TEST(StandardDevices, InquiryIdentifiesEachModel) {
  StandardDevices devices;
  struct Case {
    StandardDevice* device;
    uint8_t type, rmb;
    const char *vendor, *product, *revision;
  } cases[] = {
      {devices.disk.get(), 0x00, 0x00, "SIMUL   ", "VIRTUAL DISK    ", "1.00"},
      {devices.drive.get(), 0x05, 0x80, "KESTREL ", "MX-R4410        ", "1.00"},
      {devices.cdrom.get(), 0x05, 0x80, "OTHERCO ", "CD-ROM X1       ", "2.10"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> data(256, 0xEE);
    auto answer = Send(*c.device, kInquiry, data.data(), 255, DataDirection::In);
    EXPECT_EQ(answer.status, kStatusGood);
    EXPECT_EQ(data[0], c.type);
    EXPECT_EQ(data[1], c.rmb);
    EXPECT_EQ(Text(data, 8, 8), c.vendor);
    EXPECT_EQ(Text(data, 16, 16), c.product);
    EXPECT_EQ(Text(data, 32, 4), c.revision);
    EXPECT_EQ(data[36], 0);
    EXPECT_EQ(data[kInquiryLength - 1], 0);
    EXPECT_EQ(data[kInquiryLength], 0xEE) << "wrote past its data";
    EXPECT_EQ(c.device->Record().back().data.size(), kInquiryLength);
  }
}

TEST(StandardDevices, InquiryDataIsCutToAllocationAndTransferLength) {
  struct Case {
    uint8_t allocation;
    uint32_t transfer;
    size_t written;
  } cases[] = {{255, 255, kInquiryLength}, {36, 255, 36}, {255, 36, 36}, {5, 5, 5}, {0, 255, 0}};
  for (const Case& c : cases) {
    MxR4410 drive;
    std::vector<uint8_t> data(256, 0xEE);
    auto cdb = kInquiry;
    cdb[4] = c.allocation;
    EXPECT_EQ(Send(drive, cdb, data.data(), c.transfer, DataDirection::In).status, kStatusGood);
    EXPECT_EQ(drive.Record().back().data.size(), c.written) << int(c.allocation) << " " << c.transfer;
    EXPECT_EQ(data[c.written], 0xEE);
  }
}

TEST(StandardDevices, UnsupportedInquiryFormsAndOtherLogicalUnits) {
  MxR4410 drive;
  std::vector<uint8_t> data(256, 0);
  auto answer = Send(drive, {0x12, 0x01, 0x80, 0x00, 0xFF, 0x00}, data.data(), 255, DataDirection::In);
  EXPECT_EQ(answer.status, kStatusCheckCondition);
  EXPECT_EQ(answer.key, 0x05);
  EXPECT_EQ(answer.asc, 0x24);

  answer = Send(drive, {0x12, 0x20, 0x00, 0x00, 0xFF, 0x00}, data.data(), 255, DataDirection::In);
  EXPECT_EQ(answer.status, kStatusGood);
  EXPECT_EQ(data[0], 0x7F) << "no logical unit 1";

  answer = Send(drive, {0x00, 0x20, 0x00, 0x00, 0x00, 0x00});
  EXPECT_EQ(answer.key, 0x05);
  EXPECT_EQ(answer.asc, 0x25);
}

TEST(StandardDevices, UnitAttentionSkipsInquiryAndIsHandedOutOnce) {
  MxR4410 drive;
  std::vector<uint8_t> data(256, 0);
  EXPECT_EQ(Send(drive, kInquiry, data.data(), 255, DataDirection::In).status, kStatusGood);
  auto first = Send(drive, kTestUnitReady);
  EXPECT_EQ(first.key, 0x06);
  EXPECT_EQ(first.asc, 0x29);
  EXPECT_EQ(first.ascq, 0x00);
  auto second = Send(drive, kTestUnitReady);
  EXPECT_EQ(second.key, 0x02);
  EXPECT_EQ(second.asc, 0x3A);
}

TEST(StandardDevices, RequestSenseReturnsAndClearsAPendingUnitAttention) {
  MxR4410 drive;
  std::vector<uint8_t> data(32, 0);
  EXPECT_EQ(Send(drive, {0x03, 0, 0, 0, 18, 0}, data.data(), 18, DataDirection::In).status, kStatusGood);
  EXPECT_EQ(data[2], 0x06);
  EXPECT_EQ(data[12], 0x29);
  EXPECT_EQ(Send(drive, {0x03, 0, 0, 0, 18, 0}, data.data(), 18, DataDirection::In).status, kStatusGood);
  EXPECT_EQ(data[2], 0x00);
  EXPECT_EQ(Send(drive, kTestUnitReady).asc, 0x3A) << "no unit attention left";
}

TEST(StandardDevices, InjectedFaults) {
  struct Case {
    const char* what;
    std::function<void(Disk&)> inject;
    size_t command;  ///< the command (counted from 1) that meets the fault
    uint8_t status, key, asc, ascq;
  } cases[] = {
      {"refused third command", [](Disk& d) { d.RefuseCommand(3, 0x06, 0x28, 0x00); }, 3, 0x02, 0x06, 0x28, 0x00},
      {"refused operation", [](Disk& d) { d.RefuseOperation(0x00, 0x04, 0x44, 0x00); }, 1, 0x02, 0x04, 0x44, 0x00},
      {"busy target", [](Disk& d) { d.SetBusy(true); }, 1, 0x08, 0, 0, 0},
  };
  for (const Case& c : cases) {
    Disk disk;
    c.inject(disk);
    for (size_t n = 1; n < c.command; ++n) EXPECT_EQ(Send(disk, kTestUnitReady).status, kStatusGood) << c.what;
    auto answer = Send(disk, kTestUnitReady);
    EXPECT_EQ(answer.status, c.status) << c.what;
    EXPECT_EQ(answer.key, c.key) << c.what;
    EXPECT_EQ(answer.asc, c.asc) << c.what;
    EXPECT_EQ(answer.ascq, c.ascq) << c.what;
    EXPECT_EQ(disk.Record().back().status, c.status) << c.what;
  }
}

TEST(StandardDevices, VanishedDeviceIsAbsentFromTheNamedCommandOn) {
  Disk disk;
  disk.VanishAt(3);
  EXPECT_TRUE(disk.Present());
  Send(disk, kTestUnitReady);
  EXPECT_TRUE(disk.Present());
  Send(disk, kTestUnitReady);
  EXPECT_FALSE(disk.Present());
  EXPECT_NE(Send(disk, kTestUnitReady).status, kStatusGood);
  EXPECT_EQ(disk.Record().size(), 2u) << "nothing reaches a vanished device";
}

TEST(StandardDevices, RecordKeepsWhatWasSentAndAnsweredAndCanBeCleared) {
  MxR4410 drive;
  Send(drive, kTestUnitReady);
  std::vector<uint8_t> piece(16384);
  for (size_t i = 0; i < piece.size(); ++i) piece[i] = static_cast<uint8_t>(i * 7);
  Send(drive, testing::WriteBufferCdb(4, 2, 0, 16384), piece.data(), 16384, DataDirection::Out);
  ASSERT_EQ(drive.Record().size(), 2u);
  const RecordedCommand& attention = drive.Record()[0];
  EXPECT_EQ(attention.cdb, kTestUnitReady);
  EXPECT_EQ(attention.status, kStatusCheckCondition);
  EXPECT_EQ(attention.sense, FixedSense(0x06, 0x29, 0x00));
  const RecordedCommand& write = drive.Record()[1];
  EXPECT_EQ(write.cdb, testing::WriteBufferCdb(4, 2, 0, 16384));
  EXPECT_EQ(write.dataLength, 16384u);
  EXPECT_EQ(write.direction, DataDirection::Out);
  EXPECT_EQ(write.data, piece);
  EXPECT_EQ(write.status, kStatusGood);
  EXPECT_TRUE(write.sense.empty());

  drive.ClearRecord();
  EXPECT_TRUE(drive.Record().empty());
  EXPECT_EQ(drive.CommandCount(), 2u);
}

}  // namespace
}  // namespace morv::sim
