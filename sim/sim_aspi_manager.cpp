#include "sim/sim_aspi_manager.h"

#include "platform/fixed_format_sense.h"
#include "sim/device_claims.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace morv::sim {

SimAspiManager::SimAspiManager(std::chrono::microseconds delay, std::string identifier, uint8_t ownId)
    : m_delay(delay), m_identifier(std::move(identifier)), m_ownId(ownId) {}

SimAspiManager::SimAspiManager(const StandardDevices& devices, std::chrono::microseconds delay)
    : SimAspiManager(delay) {
  Attach(0, 0, devices.disk);
  Attach(2, 0, devices.drive);
  Attach(5, 0, devices.cdrom);
}

SimAspiManager::~SimAspiManager() {
  {
    std::lock_guard lock(m_mutex);
    for (const auto& [address, device] : m_claims) ReleaseDevice(*device);
    m_stopping = true;
  }
  m_changed.notify_all();
  if (m_thread.joinable()) m_thread.join();
}

void SimAspiManager::Attach(uint8_t target, uint8_t lun, std::shared_ptr<EmulatedDevice> device) {
  std::lock_guard lock(m_mutex);
  m_devices[{target, lun}] = std::move(device);
}

void SimAspiManager::SetNeverComplete(uint8_t target, bool never) {
  std::lock_guard lock(m_mutex);
  m_neverComplete[target] = never;
}

void SimAspiManager::SetCompleteAtOnce(bool atOnce) {
  std::lock_guard lock(m_mutex);
  m_atOnce = atOnce;
}

void SimAspiManager::SetHeld(bool held) {
  {
    std::lock_guard lock(m_mutex);
    m_held = held;
  }
  m_changed.notify_all();
}

size_t SimAspiManager::PendingCount() {
  std::lock_guard lock(m_mutex);
  return m_pending.size();
}

uint32_t SimAspiManager::GetASPI32SupportInfo() { return (uint32_t{SS_COMP} << 8) | 1; }

uint8_t SimAspiManager::Inquire(SRB_HAInquiry& srb) {
  if (srb.SRB_HaId != 0) {
    StoreSrbStatus(srb.SRB_Status, SS_INVALID_HA);
    return SS_INVALID_HA;
  }
  return AnswerAdapterInquiry(srb, 1, m_ownId, "Emulated bus", m_identifier.c_str());
}

uint8_t SimAspiManager::Execute(SRB_ExecSCSICmd& srb) {
  const uint8_t refusal = srb.SRB_HaId != 0 ? SS_INVALID_HA : CheckExecBlock(srb);
  if (refusal != SS_PENDING) {
    CompleteExecBlock(srb, refusal, HASTAT_OK, 0);
    return refusal;
  }
  {
    std::lock_guard lock(m_mutex);
    StoreSrbStatus(srb.SRB_Status, SS_PENDING);
    const bool never = m_neverComplete.contains(srb.SRB_Target) && m_neverComplete[srb.SRB_Target];
    if (m_atOnce && !never) return Complete(srb);
    m_pending.push_back({&srb, std::chrono::steady_clock::now() + m_delay, never});
    // The thread starts with the first request it has to complete: a manager whose
    // requests all complete at once (the fuzz target makes thousands) never needs one.
    if (!m_thread.joinable()) m_thread = std::thread([this] { Run(); });
  }
  m_changed.notify_all();
  return SS_PENDING;
}

uint8_t SimAspiManager::Abort(const SRB_Abort& abort) {
  std::lock_guard lock(m_mutex);
  auto it = std::find_if(m_pending.begin(), m_pending.end(),
                         [&](const Pending& p) { return p.srb == abort.SRB_ToAbort; });
  if (it == m_pending.end()) return SS_ABORT_FAIL;
  SRB_ExecSCSICmd& srb = *it->srb;
  m_pending.erase(it);
  CompleteExecBlock(srb, SS_ABORTED, HASTAT_OK, 0);
  return SS_COMP;
}

void SimAspiManager::Run() {
  std::unique_lock lock(m_mutex);
  while (!m_stopping) {
    auto next = m_pending.end();
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it)
      if (!it->never && (next == m_pending.end() || it->due < next->due)) next = it;
    if (next == m_pending.end() || m_held) {
      m_changed.wait(lock);
      continue;
    }
    if (std::chrono::steady_clock::now() < next->due) {
      m_changed.wait_until(lock, next->due);
      continue;  // the list may have changed meanwhile
    }
    SRB_ExecSCSICmd& srb = *next->srb;
    m_pending.erase(next);
    Complete(srb);
  }
}

uint8_t SimAspiManager::Complete(SRB_ExecSCSICmd& srb) {
  auto it = m_devices.find({srb.SRB_Target, srb.SRB_Lun});
  // A claimed address reaches only the device claimed, as a held node does.
  const auto claim = m_claims.find({srb.SRB_Target, srb.SRB_Lun});
  const bool replaced = claim != m_claims.end() && it != m_devices.end() && it->second != claim->second;
  if (replaced || it == m_devices.end() || !it->second->Present()) {
    CompleteExecBlock(srb, SS_ERR, HASTAT_SEL_TO, 0);  // nobody answers at this ID
    return SS_ERR;
  }
  DeviceCommand command;
  command.cdb.assign(srb.CDBByte, srb.CDBByte + srb.SRB_CDBLen);
  command.direction = ExecBlockDirection(srb);
  command.data = srb.SRB_BufPointer;
  command.dataLength = srb.SRB_BufLen;
  const DeviceResult result = it->second->Execute(command);
  const uint8_t status = result.status == 0 ? SS_COMP : SS_ERR;
  // Sense reaches the transport in fixed format, as from the real manager.
  std::vector<uint8_t> sense(std::max(result.sense.size(), kFixedSenseLength));
  const size_t senseLength = FixedFormatSense(result.sense.data(), result.sense.size(), sense.data(), sense.size());
  CompleteExecBlock(srb, status, HASTAT_OK, result.status, sense.data(), senseLength);
  return status;
}

void SimAspiManager::HoldElsewhere(uint8_t target, std::string holder) {
  std::lock_guard lock(m_mutex);
  m_heldElsewhere[target] = std::move(holder);
}

DevicePlace SimAspiManager::PlaceOf(uint8_t adapter, uint8_t target, uint8_t lun) {
  std::lock_guard lock(m_mutex);
  const auto it = m_devices.find({target, lun});
  if (adapter != 0 || it == m_devices.end() || !it->second->Present()) return {};
  return {"sim:" + std::to_string(adapter) + ":" + std::to_string(target) + ":" + std::to_string(lun),
          EmulatedAddress(*it->second)};
}

ClaimOutcome SimAspiManager::Claim(uint8_t adapter, uint8_t target, uint8_t lun) {
  std::lock_guard lock(m_mutex);
  const auto it = m_devices.find({target, lun});
  if (adapter != 0 || it == m_devices.end() || !it->second->Present()) return {ClaimStatus::Failed, {}, ENODEV};
  if (const auto held = m_heldElsewhere.find(target); held != m_heldElsewhere.end() && !held->second.empty())
    return {ClaimStatus::HeldElsewhere, held->second, 0};
  if (!TryClaimDevice(*it->second)) return {ClaimStatus::UpdatedElsewhere, {}, 0};
  m_claims[{target, lun}] = it->second;
  return {ClaimStatus::Claimed, {}, 0};
}

void SimAspiManager::Release(uint8_t adapter, uint8_t target, uint8_t lun) {
  std::lock_guard lock(m_mutex);
  const auto claim = m_claims.find({target, lun});
  if (adapter != 0 || claim == m_claims.end()) return;
  ReleaseDevice(*claim->second);
  m_claims.erase(claim);
}

}  // namespace morv::sim
