#include "platform/linux/aspi_linux_sg.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace morv::linux_aspi {
namespace {

TEST(BuildSgHeader, CarriesCommandDirectionAndBuffers) {
  struct Case {
    uint8_t opcode;
    uint32_t length;
    DataDirection direction;
    int expectedDirection;
  };
  const Case cases[] = {
      {0x3B, 16384, DataDirection::Out, SG_DXFER_TO_DEV},
      {0x12, 36, DataDirection::In, SG_DXFER_FROM_DEV},
      {0x00, 0, DataDirection::None, SG_DXFER_NONE},
  };
  for (const auto& c : cases) {
    SRB_ExecSCSICmd srb{};
    srb.SRB_CDBLen = 10;
    srb.SRB_BufLen = c.length;
    srb.CDBByte[0] = c.opcode;
    uint8_t buffer[8], sense[kSgSenseCapacity];
    int tag;
    sg_io_hdr_t h = BuildSgHeader(srb, c.direction, buffer, sense, &tag);
    EXPECT_EQ(h.interface_id, 'S');
    EXPECT_EQ(h.dxfer_direction, c.expectedDirection) << std::hex << int(c.opcode);
    EXPECT_EQ(h.dxfer_len, c.direction == DataDirection::None ? 0u : c.length);
    EXPECT_EQ(h.dxferp, c.direction == DataDirection::None ? nullptr : static_cast<void*>(buffer));
    EXPECT_EQ(h.cmd_len, 10);
    EXPECT_EQ(h.cmdp, srb.CDBByte);
    EXPECT_EQ(h.sbp, sense);
    EXPECT_EQ(h.mx_sb_len, kSgSenseCapacity);
    EXPECT_EQ(h.timeout, 7200000u);
    EXPECT_EQ(h.usr_ptr, &tag);
    EXPECT_EQ(h.flags, 0u) << "indirect I/O: the driver copies data only in write() and read()";
  }
}

TEST(OutcomeFor, MapsScsiHostAndDriverStatus) {
  struct Case {
    unsigned scsi, host, driver;
    BlockOutcome expected;
  };
  const Case cases[] = {
      {0x00, 0x00, 0x00, {SS_COMP, HASTAT_OK, 0x00}},
      {0x02, 0x00, 0x08, {SS_ERR, HASTAT_OK, 0x02}},  // check condition, sense present
      {0x08, 0x00, 0x00, {SS_ERR, HASTAT_OK, 0x08}},  // busy
      {0x00, 0x01, 0x00, {SS_ERR, HASTAT_SEL_TO, 0x00}},  // no connect
      {0x00, 0x03, 0x00, {SS_ERR, HASTAT_COMMAND_TIMEOUT, 0x00}},
      {0x00, 0x07, 0x00, {SS_ERR, HASTAT_PHASE_ERR, 0x00}},   // internal error
      {0x00, 0x42, 0x00, {SS_ERR, HASTAT_PHASE_ERR, 0x00}},   // unknown: still a failure
      {0x00, 0x00, 0x06, {SS_ERR, HASTAT_COMMAND_TIMEOUT, 0x00}},  // driver time-out
      {0x00, 0x00, 0x04, {SS_ERR, HASTAT_PHASE_ERR, 0x00}},   // driver error: never a success
      {0x00, 0x00, 0x18, {SS_COMP, HASTAT_OK, 0x00}},          // suggestion bits ignored
      {0x02, 0x01, 0x08, {SS_ERR, HASTAT_SEL_TO, 0x02}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(OutcomeFor(c.scsi, c.host, c.driver), c.expected)
        << std::hex << "scsi " << c.scsi << " host " << c.host << " driver " << c.driver;
}

TEST(SubmitFailureOutcome, NamesWhyTheDriverRefused) {
  const std::pair<int, BlockOutcome> cases[] = {
      {ENODEV, {SS_ERR, HASTAT_SEL_TO, 0}}, {EDOM, {SS_ASPI_IS_BUSY, 0, 0}},
      {ENOMEM, {SS_BUFFER_TO_BIG, 0, 0}},   {EIO, {SS_ERR, HASTAT_PHASE_ERR, 0}},
  };
  for (const auto& [error, expected] : cases)
    EXPECT_EQ(SubmitFailureOutcome(error), expected) << std::strerror(error);
}

}  // namespace
}  // namespace morv::linux_aspi
