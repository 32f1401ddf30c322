#pragma once
// How the Linux ASPI manager turns a request block into an sg v3 header and the
// sg driver's answer back into ASPI status and adapter status (the host and driver
// bytes as platform/linux/sg_header.h reads them).

#include <scsi/sg.h>

#include <cstddef>
#include <cstdint>

#include "platform/aspi_manager.h"

namespace morv::linux_aspi {

/// The sg time-out of every command. Request blocks carry none; the requester
/// enforces its own limit and aborts, so this only has to outlast it.
inline constexpr unsigned kSgTimeoutMs = 7200u * 1000u;
/// Sense bytes the sg driver may write for one command.
inline constexpr size_t kSgSenseCapacity = 64;

/// The outcome fields of a finished block.
struct BlockOutcome {
  uint8_t status = SS_COMP;  ///< SRB_Status
  uint8_t haStat = HASTAT_OK;
  uint8_t targStat = 0;
  bool operator==(const BlockOutcome&) const = default;
};

/// An sg v3 header for `srb`'s command: direction, the CDB, `buffer` (null for no
/// data), the sense buffer of kSgSenseCapacity bytes and `tag` as usr_ptr.
sg_io_hdr_t BuildSgHeader(const SRB_ExecSCSICmd& srb, DataDirection direction, uint8_t* buffer, uint8_t* sense,
                          void* tag);
/// The block's outcome for a command the sg driver returned: SS_COMP only for good
/// status without an adapter or driver error, SS_ERR otherwise.
BlockOutcome OutcomeFor(unsigned scsiStatus, unsigned hostStatus, unsigned driverStatus);
/// The outcome of a command the sg driver refused to take (errno of write()).
BlockOutcome SubmitFailureOutcome(int error);

}  // namespace morv::linux_aspi
