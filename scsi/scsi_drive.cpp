#include "scsi/scsi_drive.h"

namespace morv {

CScsiDrive::CScsiDrive(Transport& transport, Feedback& feedback)
    : m_transport(transport), m_feedback(feedback) {
  m_transport.ResetDeviceCount();
}

void CScsiDrive::SetBuffer(uint8_t* data, uint32_t length) {
  m_request.data = data;
  m_request.dataLength = length;
}

uint8_t CScsiDrive::Execute(uint8_t* cdb, uint8_t length, int32_t timeout) {
  cdb[1] = static_cast<uint8_t>((m_lun << 5) | (cdb[1] & 0x1F));
  if (!HasDataPhase(cdb[0])) SetBuffer(nullptr, 0);

  uint8_t code = ExecRequest(cdb, length, timeout);
  if (!m_transport.RepeatsOnUnitAttention()) return code;
  // Only sense that a completed request returned can ask for a repeat; a refusal
  // before the device leaves no sense to spin on.
  for (int repeats = 0; repeats < kMaxUnitAttentionRepeats && code != kCodeDone && UnitAttentionReported(); ++repeats)
    code = ExecRequest(cdb, length, timeout);
  return code;
}

bool HasDataPhase(uint8_t operationCode) {
  switch (operationCode) {
    case 0x00:  // TEST UNIT READY (and its vendor-unique form)
    case 0x01:  // REZERO UNIT
    case 0x0B:  // SEEK(6)
    case 0x16:  // RESERVE(6)
    case 0x17:  // RELEASE(6)
    case 0x1B:  // START STOP UNIT
    case 0x1E:  // PREVENT ALLOW MEDIUM REMOVAL
    case 0x2B:  // SEEK(10)
    case 0x2C:  // ERASE(10)
    case 0x35:  // SYNCHRONIZE CACHE
    case 0x45:  // PLAY AUDIO(10)
    case 0x4B:  // PAUSE/RESUME
    case 0x4E:  // STOP PLAY/SCAN
    case 0xA6:  // LOAD/UNLOAD MEDIUM
      return false;
    default:
      return true;
  }
}

}  // namespace morv
