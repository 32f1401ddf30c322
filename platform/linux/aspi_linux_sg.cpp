#include "platform/linux/aspi_linux_sg.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace morv::linux_aspi {
namespace {

// Host status bytes of the Linux SCSI midlayer (include/scsi/scsi_status.h).
constexpr unsigned DID_OK = 0x00, DID_NO_CONNECT = 0x01, DID_BUS_BUSY = 0x02, DID_TIME_OUT = 0x03,
                   DID_BAD_TARGET = 0x04, DID_ABORT = 0x05, DID_PARITY = 0x06, DID_RESET = 0x08,
                   DID_TRANSPORT_DISRUPTED = 0x0E, DID_TRANSPORT_FAILFAST = 0x0F;
// Driver status: DRIVER_SENSE only says that sense is present; DRIVER_TIMEOUT is a time-out.
constexpr unsigned DRIVER_SENSE = 0x08, DRIVER_TIMEOUT = 0x06;

struct HostStatusEntry {
  unsigned hostStatus;
  uint8_t haStat;
};
constexpr HostStatusEntry kHostStatusTable[] = {
    {DID_NO_CONNECT, HASTAT_SEL_TO},          {DID_BAD_TARGET, HASTAT_SEL_TO},
    {DID_TRANSPORT_DISRUPTED, HASTAT_SEL_TO}, {DID_TRANSPORT_FAILFAST, HASTAT_SEL_TO},
    {DID_BUS_BUSY, HASTAT_TIMEOUT},           {DID_TIME_OUT, HASTAT_COMMAND_TIMEOUT},
    {DID_ABORT, HASTAT_COMMAND_TIMEOUT},      {DID_PARITY, HASTAT_PARITY_ERROR},
    {DID_RESET, HASTAT_BUS_RESET},
};

}  // namespace

sg_io_hdr_t BuildSgHeader(const SRB_ExecSCSICmd& srb, DataDirection direction, uint8_t* buffer, uint8_t* sense,
                          void* tag) {
  sg_io_hdr_t header;
  std::memset(&header, 0, sizeof header);
  header.interface_id = 'S';
  switch (direction) {
    case DataDirection::In: header.dxfer_direction = SG_DXFER_FROM_DEV; break;
    case DataDirection::Out: header.dxfer_direction = SG_DXFER_TO_DEV; break;
    case DataDirection::None: header.dxfer_direction = SG_DXFER_NONE; break;
  }
  const bool hasData = direction != DataDirection::None;
  header.dxfer_len = hasData ? srb.SRB_BufLen : 0;
  header.dxferp = hasData ? buffer : nullptr;
  header.cmd_len = srb.SRB_CDBLen;
  header.cmdp = const_cast<unsigned char*>(srb.CDBByte);
  header.mx_sb_len = kSgSenseCapacity;
  header.sbp = sense;
  header.timeout = kSgTimeoutMs;
  header.usr_ptr = tag;
  return header;
}

uint8_t AdapterStatusFor(unsigned hostStatus, unsigned driverStatus) {
  if (hostStatus != DID_OK) {
    for (const auto& entry : kHostStatusTable)
      if (entry.hostStatus == hostStatus) return entry.haStat;
    return HASTAT_PHASE_ERR;  // any other adapter failure
  }
  const unsigned driver = driverStatus & 0x0F;
  if (driver == 0 || driver == DRIVER_SENSE) return HASTAT_OK;
  return driver == DRIVER_TIMEOUT ? HASTAT_COMMAND_TIMEOUT : HASTAT_PHASE_ERR;
}

BlockOutcome OutcomeFor(unsigned scsiStatus, unsigned hostStatus, unsigned driverStatus) {
  BlockOutcome outcome;
  outcome.haStat = AdapterStatusFor(hostStatus, driverStatus);
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
