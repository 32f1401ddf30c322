#include "platform/linux/sg_request.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>

namespace morv::sg {
namespace {

TEST(SgNodeForLetter, MapsDriveLettersToSgNodes) {
  struct Case {
    char letter;
    const char* node;
  } cases[] = {
      {'A', "/dev/sg0"}, {'E', "/dev/sg4"}, {'Z', "/dev/sg25"}, {'e', "/dev/sg4"}, {'z', "/dev/sg25"},
      {'@', ""},         {'[', ""},         {'`', ""},          {'{', ""},         {'1', ""},
      {'\0', ""},
  };
  for (const Case& c : cases) EXPECT_EQ(NodeForLetter(c.letter), c.node) << int{c.letter};
}

PassThroughRecord Record(uint8_t opcode, uint8_t dataIn, uint32_t length, uint8_t* buffer) {
  PassThroughRecord record;
  record.spt.CdbLength = 10;
  record.spt.Cdb[0] = opcode;
  record.spt.DataIn = dataIn;
  record.spt.DataTransferLength = length;
  record.spt.DataBuffer = buffer;
  record.spt.SenseInfoLength = 24;
  record.spt.TimeOutValue = 200;
  return record;
}

TEST(SgBuildHeader, DirectionFollowsRecordOrOperationCode) {
  struct Case {
    uint8_t opcode, dataIn;
    uint32_t length;
    int direction;
  } cases[] = {
      {0x3B, kDataOut, 16384, SG_DXFER_TO_DEV},
      {0x3B, kDataUnspecified, 16384, SG_DXFER_TO_DEV},
      {0x2A, kDataUnspecified, 2048, SG_DXFER_TO_DEV},
      {0x55, kDataUnspecified, 24, SG_DXFER_TO_DEV},
      {0x12, kDataUnspecified, 255, SG_DXFER_FROM_DEV},
      {0x28, kDataUnspecified, 2048, SG_DXFER_FROM_DEV},
      {0x12, kDataIn, 36, SG_DXFER_FROM_DEV},
      {0x3B, kDataIn, 36, SG_DXFER_FROM_DEV},  // declared direction wins
      {0x00, kDataUnspecified, 0, SG_DXFER_NONE},
      {0x3B, kDataOut, 0, SG_DXFER_NONE},
  };
  uint8_t buffer[16384];
  for (const Case& c : cases) {
    PassThroughRecord record = Record(c.opcode, c.dataIn, c.length, buffer);
    sg_io_hdr_t header = BuildHeader(record);
    EXPECT_EQ(header.dxfer_direction, c.direction) << int(c.opcode) << " " << int(c.dataIn) << " " << c.length;
    if (c.direction == SG_DXFER_NONE) {
      EXPECT_EQ(header.dxfer_len, 0u);
      EXPECT_EQ(header.dxferp, nullptr);
    } else {
      EXPECT_EQ(header.dxfer_len, c.length);
      EXPECT_EQ(header.dxferp, buffer);
    }
  }
}

TEST(SgBuildHeader, CarriesCdbSenseAreaAndTimeOutInMilliseconds) {
  struct Case {
    uint32_t seconds;
    unsigned int milliseconds;
  } cases[] = {{200, 200000}, {0, 0}, {4294967, 4294967000u}, {4294968, UINT_MAX}, {UINT32_MAX, UINT_MAX}};
  for (const Case& c : cases) {
    PassThroughRecord record = Record(0x12, kDataUnspecified, 0, nullptr);
    record.spt.CdbLength = 6;
    record.spt.TimeOutValue = c.seconds;
    sg_io_hdr_t header = BuildHeader(record);
    EXPECT_EQ(header.timeout, c.milliseconds) << c.seconds;
    EXPECT_EQ(header.interface_id, 'S');
    EXPECT_EQ(header.cmd_len, 6);
    EXPECT_EQ(header.cmdp, record.spt.Cdb);
    EXPECT_EQ(header.mx_sb_len, 24);
    EXPECT_EQ(header.sbp, record.sense);
  }
}

TEST(SgOutcomeOf, HostAndDriverErrorsFailTheCallDeviceStatusDoesNot) {
  struct Case {
    const char* what;
    uint16_t host, driver;
    uint8_t status;
    int error;
    uint8_t scsiStatus;
  } cases[] = {
      {"good", 0x00, 0x00, 0x00, 0, 0x00},
      {"check condition with sense", 0x00, 0x08, 0x02, 0, 0x02},
      {"sense with a retry suggestion", 0x00, 0x18, 0x02, 0, 0x02},
      {"target busy", 0x00, 0x00, 0x08, 0, 0x08},
      {"reservation conflict", 0x00, 0x00, 0x18, 0, 0x18},
      {"no connection", 0x01, 0x00, 0x00, ENXIO, 0},
      {"bus busy", 0x02, 0x00, 0x00, EBUSY, 0},
      {"host time-out", 0x03, 0x00, 0x00, ETIMEDOUT, 0},
      {"bad target", 0x04, 0x00, 0x00, ENXIO, 0},
      {"aborted", 0x05, 0x00, 0x00, ECANCELED, 0},
      {"bus reset", 0x08, 0x00, 0x00, EIO, 0},
      {"adapter error", 0x07, 0x00, 0x00, EIO, 0},
      {"transport disrupted", 0x0E, 0x00, 0x00, EAGAIN, 0},
      {"unknown host byte", 0x7F, 0x00, 0x00, EIO, 0},
      {"host error wins over status", 0x03, 0x08, 0x02, ETIMEDOUT, 0},
      {"driver busy", 0x00, 0x01, 0x00, EBUSY, 0},
      {"driver error", 0x00, 0x04, 0x00, EIO, 0},
      {"driver time-out", 0x00, 0x06, 0x00, ETIMEDOUT, 0},
      {"driver hard error", 0x00, 0x07, 0x02, EIO, 0},
  };
  for (const Case& c : cases) {
    sg_io_hdr_t header{};
    header.host_status = c.host;
    header.driver_status = c.driver;
    header.status = c.status;
    SgOutcome outcome = OutcomeOf(header);
    EXPECT_EQ(outcome.error, c.error) << c.what;
    EXPECT_EQ(outcome.scsiStatus, c.scsiStatus) << c.what;
  }
}

}  // namespace
}  // namespace morv::sg
