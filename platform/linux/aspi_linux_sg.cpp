#include "platform/linux/aspi_linux_sg.h"

#include <cerrno>

#include "platform/linux/sg_header.h"

namespace morv::linux_aspi {

sg_io_hdr_t BuildSgHeader(const SRB_ExecSCSICmd& srb, DataDirection direction, uint8_t* buffer, uint8_t* sense,
                          void* tag) {
  return sg::HeaderFor({.cdb = srb.CDBByte, .cdbLength = srb.SRB_CDBLen, .direction = direction, .data = buffer,
                        .dataLength = srb.SRB_BufLen, .sense = sense, .senseCapacity = kSgSenseCapacity,
                        .timeoutMs = kSgTimeoutMs, .tag = tag});
}

BlockOutcome OutcomeFor(unsigned scsiStatus, unsigned hostStatus, unsigned driverStatus) {
  BlockOutcome outcome;
  outcome.haStat = sg::FaultOf(hostStatus, driverStatus).haStat;
  outcome.targStat = static_cast<uint8_t>(scsiStatus);
  outcome.status = (outcome.haStat == HASTAT_OK && outcome.targStat == 0) ? SS_COMP : SS_ERR;
  return outcome;
}

BlockOutcome SubmitFailureOutcome(int error) {
  switch (error) {
    case ENODEV:
    case ENXIO:
      return {SS_ERR, HASTAT_SEL_TO, 0};  // the device went away
    case EDOM:
    case EAGAIN:
    case EBUSY:
      return {SS_ASPI_IS_BUSY, HASTAT_OK, 0};  // the node's queue is full
    case ENOMEM:
      return {SS_BUFFER_TO_BIG, HASTAT_OK, 0};  // no kernel buffer for this length
    case EINVAL:
    case EFAULT:
      return {SS_INVALID_SRB, HASTAT_OK, 0};
    default:
      return {SS_ERR, HASTAT_PHASE_ERR, 0};
  }
}

}  // namespace morv::linux_aspi
