#include "platform/aspi_manager.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace morv {

void AspiEvent::Set() {
  std::lock_guard lock(m_mutex);
  m_signalled = true;
  m_changed.notify_all();
}

void AspiEvent::Reset() {
  std::lock_guard lock(m_mutex);
  m_signalled = false;
}

bool AspiEvent::Wait(uint32_t milliseconds) {
  std::unique_lock lock(m_mutex);
  if (!m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_signalled; }))
    return false;
  m_signalled = false;
  return true;
}

uint32_t DispatchingAspiManager::SendASPI32Command(void* srb) {
  if (srb == nullptr) return SS_INVALID_SRB;
  switch (static_cast<const uint8_t*>(srb)[0]) {
    case SC_HA_INQUIRY: return Inquire(*static_cast<SRB_HAInquiry*>(srb));
    case SC_EXEC_SCSI_CMD: return Execute(*static_cast<SRB_ExecSCSICmd*>(srb));
    case SC_ABORT_SRB: return Abort(*static_cast<SRB_Abort*>(srb));
    default:
      StoreSrbStatus(static_cast<uint8_t*>(srb)[1], SS_INVALID_CMD);
      return SS_INVALID_CMD;
  }
}

uint8_t CheckExecBlock(const SRB_ExecSCSICmd& srb) {
  if (srb.SRB_CDBLen == 0 || srb.SRB_CDBLen > kMaxCdbLength) return SS_INVALID_SRB;
  if (srb.SRB_SenseLen > sizeof srb.SenseArea) return SS_INVALID_SRB;
  if (srb.SRB_BufLen != 0 && srb.SRB_BufPointer == nullptr) return SS_INVALID_SRB;
  return SS_PENDING;
}

DataDirection ExecBlockDirection(const SRB_ExecSCSICmd& srb) {
  if (srb.SRB_BufLen == 0) return DataDirection::None;
  const uint8_t bits = srb.SRB_Flags & (SRB_DIR_IN | SRB_DIR_OUT);
  if (bits == SRB_DIR_IN) return DataDirection::In;
  if (bits == SRB_DIR_OUT) return DataDirection::Out;
  return DirectionFor(srb.CDBByte[0], srb.SRB_BufLen);
}

std::shared_ptr<AspiEvent> NotifyEventOf(const SRB_ExecSCSICmd& srb) {
  if ((srb.SRB_Flags & SRB_EVENT_NOTIFY) == 0 || srb.SRB_PostProc == nullptr) return nullptr;
  return static_cast<AspiEvent*>(srb.SRB_PostProc)->shared_from_this();
}

void CompleteExecBlock(SRB_ExecSCSICmd& srb, uint8_t status, uint8_t haStat, uint8_t targStat,
                       const uint8_t* sense, size_t senseLength) {
  // Take the event before publishing: once SRB_Status is final the requester may
  // release the block (and its own reference to the event).
  std::shared_ptr<AspiEvent> event = NotifyEventOf(srb);
  srb.SRB_HaStat = haStat;
  srb.SRB_TargStat = targStat;
  std::memset(srb.SenseArea, 0, sizeof srb.SenseArea);
  const size_t n = std::min({senseLength, size_t{srb.SRB_SenseLen}, sizeof srb.SenseArea});
  if (sense != nullptr && n != 0) std::memcpy(srb.SenseArea, sense, n);
  StoreSrbStatus(srb.SRB_Status, status);
  if (event) event->Set();
}

void CopyIdentifier(uint8_t (&field)[16], const char* text) {
  std::memset(field, 0, sizeof field);
  std::memcpy(field, text, std::min(std::strlen(text), sizeof field));
}

uint8_t AnswerAdapterInquiry(SRB_HAInquiry& srb, uint8_t count, uint8_t ownId, const char* managerId,
                             const char* identifier) {
  srb.HA_Count = count;
  srb.HA_SCSI_ID = ownId;
  CopyIdentifier(srb.HA_ManagerId, managerId);
  CopyIdentifier(srb.HA_Identifier, identifier);
  std::memset(srb.HA_Unique, 0, sizeof srb.HA_Unique);
  srb.HA_Unique[3] = 8;  // targets per bus
  StoreSrbStatus(srb.SRB_Status, SS_COMP);
  return SS_COMP;
}

}  // namespace morv
