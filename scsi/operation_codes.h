#pragma once
// What each SCSI operation code moves, in one table: whether the command has a data
// phase and which way its data goes. The drive object, the pass-through record, the
// request blocks, the emulated devices and the Linux backends all ask it, so they
// cannot disagree.

#include <cstdint>

namespace morv {

enum class DataDirection { None, In, Out };

/// WRITE BUFFER: the download command, which the pass-through record marks data-out.
inline constexpr uint8_t kOpWriteBuffer = 0x3B;

/// What a command moves, whatever length it is given: nothing (no data phase), data
/// to the device (WRITE BUFFER, WRITE(6/10/12), MODE SELECT, SEND KEY, ...) or data
/// from it (everything else).
DataDirection OperationMoves(uint8_t operationCode);

/// Whether a command with this operation code moves data. Commands that do not are
/// sent without a buffer, so a buffer whose owner has gone is never handed on.
bool HasDataPhase(uint8_t operationCode);

/// The direction a platform names for a request: none for a length of 0, data-out
/// for the operation codes that send data, data-in for everything else.
DataDirection DirectionFor(uint8_t operationCode, uint32_t dataLength);

/// "in", "out" or "none".
const char* DirectionName(DataDirection direction);

}  // namespace morv
