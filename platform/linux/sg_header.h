#pragma once
// The sg driver's v3 header as both Linux backends use it: one builder for what a
// command hands the driver, one table for what the host and driver bytes of its
// answer mean. Pure, so tested without devices.

#include <scsi/sg.h>

#include <cstdint>

#include "scsi/operation_codes.h"

namespace morv::sg {

/// What one command hands the sg driver. The buffers are the caller's: the driver
/// reads data-out in write() and fills data-in and sense in read().
struct SgCommand {
  const uint8_t* cdb = nullptr;
  uint8_t cdbLength = 0;
  DataDirection direction = DataDirection::None;  ///< None: no data, whatever data and dataLength say
  void* data = nullptr;
  uint32_t dataLength = 0;
  uint8_t* sense = nullptr;
  uint8_t senseCapacity = 0;  ///< bytes the driver may write at `sense`
  unsigned timeoutMs = 0;     ///< the SCSI layer aborts the command after this
  void* tag = nullptr;        ///< comes back as usr_ptr with the answer
};

/// The sg v3 header for `command`; every other field 0 (indirect I/O: the driver
/// copies data only in write() and read()).
sg_io_hdr_t HeaderFor(const SgCommand& command);

/// What an answer's host and driver bytes say, in each backend's terms. Both are 0
/// when the drive finished the command itself: its status byte then stands,
/// whatever it is.
struct SgFault {
  int error = 0;       ///< the errno the pass-through system fails the call with
  uint8_t haStat = 0;  ///< the ASPI manager's host adapter status (0 is HASTAT_OK)
};

/// The fault for an answer's host byte, or, when that is 0, its driver byte (a host
/// error wins); SgFault{} when neither reports one.
SgFault FaultOf(unsigned hostStatus, unsigned driverStatus);

}  // namespace morv::sg
