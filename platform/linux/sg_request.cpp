#include "platform/linux/sg_request.h"

#include <climits>

namespace morv::sg {

std::string NodeForLetter(char letter) {
  const char drive = DriveLetterOf(letter);
  return drive == 0 ? std::string() : "/dev/sg" + std::to_string(drive - 'A');
}

sg_io_hdr_t BuildHeader(PassThroughRecord& record) {
  ScsiPassThroughDirect& request = record.spt;
  const uint64_t milliseconds = uint64_t{request.TimeOutValue} * 1000;
  return HeaderFor({.cdb = request.Cdb, .cdbLength = request.CdbLength, .direction = RecordDirection(request),
                    .data = request.DataBuffer, .dataLength = request.DataTransferLength, .sense = record.sense,
                    .senseCapacity = request.SenseInfoLength,
                    .timeoutMs = milliseconds > UINT_MAX ? UINT_MAX : static_cast<unsigned>(milliseconds)});
}

SgOutcome OutcomeOf(const sg_io_hdr_t& header) {
  const int error = FaultOf(header.host_status, header.driver_status).error;
  return error != 0 ? SgOutcome{error, 0} : SgOutcome{0, header.status};
}

}  // namespace morv::sg
