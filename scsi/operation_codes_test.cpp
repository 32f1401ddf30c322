// The one table of what each operation code moves, and the answers read from
// it: the drive object's data phase and the direction a platform names.

#include "scsi/operation_codes.h"

#include <gtest/gtest.h>

#include <string>

namespace morv {
namespace {

TEST(OperationCodes, EachCommandMovesWhatItCarries) {
  const struct {
    uint8_t code;
    DataDirection moves;
  } cases[] = {
      {0x00, DataDirection::None},  // TEST UNIT READY, also the vendor-unique one
      {0x12, DataDirection::In},    // INQUIRY
      {kOpWriteBuffer, DataDirection::Out},
      {0x3C, DataDirection::In},    // READ BUFFER
      {0x2A, DataDirection::Out},   // WRITE(10)
      {0x1B, DataDirection::None},  // START STOP UNIT
      {0xA3, DataDirection::Out},   // SEND KEY
      {0xA4, DataDirection::In},    // REPORT KEY
      {0xFF, DataDirection::In},    // unknown: data from the device
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.code));
    EXPECT_EQ(OperationMoves(c.code), c.moves);
  }
}

TEST(OperationCodes, DataPhaseAndDirectionAgreeForEveryCode) {
  for (int code = 0; code < 256; ++code) {
    SCOPED_TRACE(code);
    const auto op = static_cast<uint8_t>(code);
    const DataDirection moves = OperationMoves(op);
    EXPECT_EQ(HasDataPhase(op), moves != DataDirection::None);
    EXPECT_EQ(DirectionFor(op, 0), DataDirection::None);
    EXPECT_EQ(DirectionFor(op, 255), moves == DataDirection::Out ? DataDirection::Out : DataDirection::In);
  }
  EXPECT_EQ(std::string(DirectionName(DataDirection::Out)), "out");
  EXPECT_EQ(std::string(DirectionName(DataDirection::None)), "none");
}

}  // namespace
}  // namespace morv
