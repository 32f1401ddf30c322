#include "scsi/scsi_drive.h"

#include <optional>
#include <utility>

namespace morv {

void CScsiDrive::SetBuffer(uint8_t* data, uint32_t length) {
  m_request.data = data;
  m_request.dataLength = length;
}

uint8_t CScsiDrive::ExecRequest(const uint8_t* cdb, uint8_t cdbLength, int32_t timeout) {
  const RequestOutcome outcome =
      m_transport.ExecRequest({m_address, cdb, cdbLength, m_request.data, m_request.dataLength, timeout});
  m_request.sense = outcome.sense;
  m_request.completed = outcome.reachedDevice;
  if (outcome.carried) {
    m_haStatus = outcome.haStatus;
    m_targetStatus = outcome.targetStatus;
  }
  if (std::optional<std::string> text = m_transport.ErrorText(outcome, m_commandName)) m_errorText = std::move(*text);
  return outcome.code;
}

uint8_t CScsiDrive::Execute(uint8_t* cdb, uint8_t length, int32_t timeout) {
  cdb[1] = static_cast<uint8_t>((m_address.lun << 5) | (cdb[1] & 0x1F));
  if (!HasDataPhase(cdb[0])) SetBuffer(nullptr, 0);

  uint8_t code = ExecRequest(cdb, length, timeout);
  if (!m_transport.RepeatsOnUnitAttention()) return code;
  // Only sense that a completed request returned can ask for a repeat; a refusal
  // before the device leaves no sense to spin on.
  for (int repeats = 0; repeats < kMaxUnitAttentionRepeats && code != kCodeDone && UnitAttentionReported(); ++repeats)
    code = ExecRequest(cdb, length, timeout);
  return code;
}

}  // namespace morv
