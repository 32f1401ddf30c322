#include "platform/linux/sg_request.h"

#include <cerrno>
#include <climits>
#include <cstring>

namespace morv::sg {
namespace {

// Host byte of an sg header (the kernel's DID_* values, not exported to user space)
// and the errno a failed call reports for it; every other nonzero host byte (parity,
// adapter error, bus reset, ...) is EIO. Where the block layer has an errno for the
// same condition, it is the same one.
struct HostError {
  uint16_t hostStatus;
  int error;
};
constexpr HostError kHostErrors[] = {
    {0x01, ENXIO},      // no connection: nothing answers at that address
    {0x02, EBUSY},      // bus stayed busy
    {0x03, ETIMEDOUT},  // command timed out
    {0x04, ENXIO},      // bad target
    {0x05, ECANCELED},  // aborted
    {0x0B, EAGAIN},     // soft error
    {0x0C, EAGAIN},     // retry at once
    {0x0D, EAGAIN},     // requeued
    {0x0E, EAGAIN},     // transport disrupted
    {0x0F, ENOLINK},    // transport failed fast
    {0x10, EREMOTEIO},  // target failure
    {0x11, EBADE},      // nexus failure (reservation)
    {0x12, ENOSPC},     // space allocation failure
    {0x13, ENODATA},    // medium error
    {0x14, ENOLINK},    // marginal transport
};

// Driver byte (low nibble of driver_status). DRIVER_SENSE only says that sense data
// came with a CHECK CONDITION; the other nonzero values are the driver's failures.
constexpr uint16_t kDriverSense = 0x08;
constexpr uint16_t kDriverBusy = 0x01;
constexpr uint16_t kDriverTimeout = 0x06;

}  // namespace

std::string NodeForPath(const std::string& path) {
  const char letter = DriveLetterOf(path);
  return letter == 0 ? std::string() : "/dev/sg" + std::to_string(letter - 'A');
}

int SgDirection(DataDirection direction) {
  switch (direction) {
    case DataDirection::Out: return SG_DXFER_TO_DEV;
    case DataDirection::In: return SG_DXFER_FROM_DEV;
    case DataDirection::None: break;
  }
  return SG_DXFER_NONE;
}

sg_io_hdr_t BuildHeader(PassThroughRecord& record) {
  ScsiPassThroughDirect& request = record.spt;
  sg_io_hdr_t header;
  std::memset(&header, 0, sizeof header);
  header.interface_id = 'S';
  header.dxfer_direction = SgDirection(RecordDirection(request));
  header.cmd_len = request.CdbLength;
  header.cmdp = request.Cdb;
  header.mx_sb_len = request.SenseInfoLength;
  header.sbp = record.sense;
  if (header.dxfer_direction != SG_DXFER_NONE) {
    header.dxfer_len = request.DataTransferLength;
    header.dxferp = request.DataBuffer;
  }
  const uint64_t milliseconds = uint64_t{request.TimeOutValue} * 1000;
  header.timeout = milliseconds > UINT_MAX ? UINT_MAX : static_cast<unsigned int>(milliseconds);
  return header;
}

SgOutcome OutcomeOf(const sg_io_hdr_t& header) {
  if (header.host_status != 0) {
    for (const HostError& entry : kHostErrors)
      if (entry.hostStatus == header.host_status) return {entry.error, 0};
    return {EIO, 0};
  }
  const uint16_t driver = header.driver_status & 0x0F;
  if (driver == kDriverBusy) return {EBUSY, 0};
  if (driver == kDriverTimeout) return {ETIMEDOUT, 0};
  if (driver != 0 && driver != kDriverSense) return {EIO, 0};
  return {0, header.status};
}

}  // namespace morv::sg
