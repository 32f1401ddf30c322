#include "platform/linux/sg_header.h"

#include <cerrno>
#include <cstring>

#include "platform/aspi_manager.h"

namespace morv::sg {
namespace {

// The host byte (the kernel's DID_* values, not exported to user space) or, in rows
// with host byte 0, the driver byte (low nibble of driver_status), with what each
// backend reports for it. Where the block layer has an errno for the same condition
// it is the same one.
struct StatusByteRow {
  uint8_t host;
  uint8_t driver;
  SgFault fault;
};
constexpr StatusByteRow kStatusBytes[] = {
    {0x01, 0, {ENXIO, HASTAT_SEL_TO}},               // no connection: nothing answers at that address
    {0x02, 0, {EBUSY, HASTAT_TIMEOUT}},              // bus stayed busy
    {0x03, 0, {ETIMEDOUT, HASTAT_COMMAND_TIMEOUT}},  // command timed out
    {0x04, 0, {ENXIO, HASTAT_SEL_TO}},               // bad target
    {0x05, 0, {ECANCELED, HASTAT_COMMAND_TIMEOUT}},  // aborted
    {0x06, 0, {EIO, HASTAT_PARITY_ERROR}},           // parity
    {0x08, 0, {EIO, HASTAT_BUS_RESET}},              // bus reset
    {0x0B, 0, {EAGAIN, HASTAT_PHASE_ERR}},           // soft error
    {0x0C, 0, {EAGAIN, HASTAT_PHASE_ERR}},           // retry at once
    {0x0D, 0, {EAGAIN, HASTAT_PHASE_ERR}},           // requeued
    {0x0E, 0, {EAGAIN, HASTAT_SEL_TO}},              // transport disrupted
    {0x0F, 0, {ENOLINK, HASTAT_SEL_TO}},             // transport failed fast
    {0x10, 0, {EREMOTEIO, HASTAT_PHASE_ERR}},        // target failure
    {0x11, 0, {EBADE, HASTAT_PHASE_ERR}},            // nexus failure (reservation)
    {0x12, 0, {ENOSPC, HASTAT_PHASE_ERR}},           // space allocation failure
    {0x13, 0, {ENODATA, HASTAT_PHASE_ERR}},          // medium error
    {0x14, 0, {ENOLINK, HASTAT_PHASE_ERR}},          // marginal transport
    {0x00, 0x01, {EBUSY, HASTAT_PHASE_ERR}},         // driver busy
    {0x00, 0x06, {ETIMEDOUT, HASTAT_COMMAND_TIMEOUT}},  // driver time-out
};
// Any other nonzero host byte (adapter error, ...) or driver byte is a failure too.
constexpr SgFault kOtherFault{EIO, HASTAT_PHASE_ERR};
// DRIVER_SENSE only says that sense data came with the drive's status.
constexpr unsigned kDriverSense = 0x08;

int SgDirection(DataDirection direction) {
  switch (direction) {
    case DataDirection::Out: return SG_DXFER_TO_DEV;
    case DataDirection::In: return SG_DXFER_FROM_DEV;
    case DataDirection::None: break;
  }
  return SG_DXFER_NONE;
}

}  // namespace

sg_io_hdr_t HeaderFor(const SgCommand& command) {
  sg_io_hdr_t header;
  std::memset(&header, 0, sizeof header);
  header.interface_id = 'S';
  header.dxfer_direction = SgDirection(command.direction);
  header.cmd_len = command.cdbLength;
  header.cmdp = const_cast<uint8_t*>(command.cdb);
  header.mx_sb_len = command.senseCapacity;
  header.sbp = command.sense;
  if (command.direction != DataDirection::None) {
    header.dxfer_len = command.dataLength;
    header.dxferp = command.data;
  }
  header.timeout = command.timeoutMs;
  header.usr_ptr = command.tag;
  return header;
}

SgFault FaultOf(unsigned hostStatus, unsigned driverStatus) {
  const unsigned driver = hostStatus != 0 ? 0 : driverStatus & 0x0F;
  if (hostStatus == 0 && (driver == 0 || driver == kDriverSense)) return {};
  for (const StatusByteRow& row : kStatusBytes)
    if (row.host == hostStatus && row.driver == driver) return row.fault;
  return kOtherFault;
}

}  // namespace morv::sg
