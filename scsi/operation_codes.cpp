#include "scsi/operation_codes.h"

namespace morv {
namespace {

struct OperationEntry {
  uint8_t code;
  DataDirection moves;
};

/// Every operation code not listed moves data from the device.
constexpr OperationEntry kOperations[] = {
    {0x00, DataDirection::None},  // TEST UNIT READY (and its vendor-unique form)
    {0x01, DataDirection::None},  // REZERO UNIT
    {0x04, DataDirection::Out},   // FORMAT UNIT (parameter list)
    {0x07, DataDirection::Out},   // REASSIGN BLOCKS
    {0x0A, DataDirection::Out},   // WRITE(6)
    {0x0B, DataDirection::None},  // SEEK(6)
    {0x15, DataDirection::Out},   // MODE SELECT(6)
    {0x16, DataDirection::None},  // RESERVE(6)
    {0x17, DataDirection::None},  // RELEASE(6)
    {0x1B, DataDirection::None},  // START STOP UNIT
    {0x1D, DataDirection::Out},   // SEND DIAGNOSTIC
    {0x1E, DataDirection::None},  // PREVENT ALLOW MEDIUM REMOVAL
    {0x2A, DataDirection::Out},   // WRITE(10)
    {0x2B, DataDirection::None},  // SEEK(10)
    {0x2C, DataDirection::None},  // ERASE(10)
    {0x2E, DataDirection::Out},   // WRITE AND VERIFY(10)
    {0x2F, DataDirection::Out},   // VERIFY(10) with byte compare
    {0x35, DataDirection::None},  // SYNCHRONIZE CACHE
    {kOpWriteBuffer, DataDirection::Out},
    {0x3F, DataDirection::Out},   // WRITE LONG
    {0x45, DataDirection::None},  // PLAY AUDIO(10)
    {0x4B, DataDirection::None},  // PAUSE/RESUME
    {0x4C, DataDirection::Out},   // LOG SELECT
    {0x4E, DataDirection::None},  // STOP PLAY/SCAN
    {0x55, DataDirection::Out},   // MODE SELECT(10)
    {0xA2, DataDirection::Out},   // SEND EVENT
    {0xA3, DataDirection::Out},   // SEND KEY
    {0xA6, DataDirection::None},  // LOAD/UNLOAD MEDIUM
    {0xAA, DataDirection::Out},   // WRITE(12)
    {0xB6, DataDirection::Out},   // SET STREAMING
};

}  // namespace

DataDirection OperationMoves(uint8_t operationCode) {
  for (const auto& entry : kOperations)
    if (entry.code == operationCode) return entry.moves;
  return DataDirection::In;
}

bool HasDataPhase(uint8_t operationCode) { return OperationMoves(operationCode) != DataDirection::None; }

DataDirection DirectionFor(uint8_t operationCode, uint32_t dataLength) {
  if (dataLength == 0) return DataDirection::None;
  return OperationMoves(operationCode) == DataDirection::Out ? DataDirection::Out : DataDirection::In;
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
