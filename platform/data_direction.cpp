#include "platform/data_direction.h"

namespace morv {

DataDirection DirectionFor(uint8_t operationCode, uint32_t dataLength) {
  if (dataLength == 0) return DataDirection::None;
  switch (operationCode) {
    case 0x04:  // FORMAT UNIT (parameter list)
    case 0x07:  // REASSIGN BLOCKS
    case 0x0A:  // WRITE(6)
    case 0x15:  // MODE SELECT(6)
    case 0x1D:  // SEND DIAGNOSTIC
    case 0x2A:  // WRITE(10)
    case 0x2E:  // WRITE AND VERIFY(10)
    case 0x2F:  // VERIFY(10) with byte compare
    case 0x3B:  // WRITE BUFFER
    case 0x3F:  // WRITE LONG
    case 0x4C:  // LOG SELECT
    case 0x55:  // MODE SELECT(10)
    case 0xA2:  // SEND EVENT
    case 0xA3:  // SEND KEY
    case 0xAA:  // WRITE(12)
    case 0xB6:  // SET STREAMING
      return DataDirection::Out;
    default:
      return DataDirection::In;
  }
}

const char* DirectionName(DataDirection direction) {
  switch (direction) {
    case DataDirection::In: return "in";
    case DataDirection::Out: return "out";
    case DataDirection::None: break;
  }
  return "none";
}

}  // namespace morv
