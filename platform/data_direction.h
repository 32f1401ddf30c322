#pragma once
// The data direction of a SCSI command, for platforms that must name it (the Linux
// sg driver, the emulated devices) while the programs leave it unspecified.

#include <cstdint>

namespace morv {

enum class DataDirection { None, In, Out };

/// Data-out for the operation codes that send data to the device (WRITE BUFFER,
/// WRITE(6/10/12), MODE SELECT, SEND KEY, ...), none for a length of 0, data-in for
/// everything else.
DataDirection DirectionFor(uint8_t operationCode, uint32_t dataLength);

/// "in", "out" or "none".
const char* DirectionName(DataDirection direction);

}  // namespace morv
