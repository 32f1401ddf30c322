#pragma once
// The pure parts of the pass-through system on sg: which sg node a drive letter is,
// how a request record becomes an sg v3 header, and what the header says afterwards.
// Kept apart from the descriptor so they are tested without devices.

#include <scsi/sg.h>

#include <cstdint>
#include <string>

#include "platform/linux/sg_header.h"
#include "platform/pass_through_system.h"

namespace morv::sg {

/// "/dev/sg0" for drive A: … "/dev/sg25" for Z: (the letter in either case); empty
/// for anything but a drive letter.
std::string NodeForLetter(char letter);

/// An sg v3 header for `record`: its CDB, data buffer and direction, its time-out in
/// milliseconds, the sense going straight into the record's sense area.
sg_io_hdr_t BuildHeader(PassThroughRecord& record);

/// What a completed SG_IO means for the caller.
struct SgOutcome {
  int error = 0;           ///< 0: the drive finished the command; else the errno of a failed call
  uint8_t scsiStatus = 0;  ///< the drive's status byte when error is 0
};

/// A host or driver error (no connection, bus reset, time-out, ...) is a failed call
/// with its errno from sg_header.h; otherwise the drive's status byte, whatever it is.
SgOutcome OutcomeOf(const sg_io_hdr_t& header);

}  // namespace morv::sg
