#include "transport/aspi_transport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "framework/wait_feedback.h"
#include "transport/aspi_error_text.h"
#include "transport/command_trace.h"

namespace morv {
namespace {

/// "0:2:0": host adapter, target ID and LUN.
std::string DeviceText(const DriveAddress& address) {
  char text[16];
  std::snprintf(text, sizeof text, "%u:%u:%u", unsigned{address.hostAdapter}, unsigned{address.targetId},
                unsigned{address.lun});
  return text;
}

/// What the trace says of a request the manager had: status and sense, and the
/// manager's code and the adapter status when they tell more than that.
std::string ManagerOutcome(const RequestOutcome& result) {
  char text[24] = "";
  std::string outcome;
  if (result.code != kCodeDone && result.code != kCodeError) {
    std::snprintf(text, sizeof text, "code=%02X ", unsigned{result.code});
    outcome = text;
  }
  outcome += CommandTrace::DeviceOutcome(result.targetStatus, result.sense.data(), SENSE_LEN);
  if (result.haStatus != 0) {
    std::snprintf(text, sizeof text, " ha=%02X", unsigned{result.haStatus});
    outcome += text;
  }
  return outcome;
}

}  // namespace

AspiTransport::AspiTransport(AspiManager& manager, WaitFeedback& feedback, Clock& clock, AspiRequestResources& resources,
                             CommandTrace* trace)
    : m_manager(manager), m_feedback(feedback), m_clock(clock), m_resources(resources), m_trace(trace) {}

AspiTransport::~AspiTransport() {
  ReleaseFinished();
  // What the manager still holds is never freed: it may write there at any time.
  static auto* abandoned = new std::list<HeldRequest>;
  abandoned->splice(abandoned->end(), m_held);
}

uint8_t AspiTransport::AspiSupportInfo() {
  if (!m_supportInfoHeld) {
    m_supportInfo = m_manager.GetASPI32SupportInfo();
    m_supportInfoHeld = true;
  }
  const uint8_t status = static_cast<uint8_t>(m_supportInfo >> 8);
  const int count = static_cast<int>(m_supportInfo & 0xFF);
  // Adapters beyond 7 have no busy marks: they are not offered at all.
  m_hostAdapterCount = status == SS_COMP ? std::min(count, kAspiMaxHostAdapters) : 0;
  return status;
}

uint8_t AspiTransport::InquireHostAdapter(uint8_t hostAdapter, HostAdapterIdentity& identity) {
  std::memset(&m_adapterInquiry, 0, sizeof m_adapterInquiry);
  m_adapterInquiry.SRB_Cmd = SC_HA_INQUIRY;
  m_adapterInquiry.SRB_HaId = hostAdapter;
  m_manager.SendASPI32Command(&m_adapterInquiry);
  const int64_t start = m_clock.ElapsedSeconds();
  for (;;) {
    m_feedback.PumpMessages();
    const int64_t now = m_clock.ElapsedSeconds();
    if (LoadSrbStatus(m_adapterInquiry.SRB_Status) != SS_PENDING || now - start >= kAdapterInquiryLimit) break;
  }
  const uint8_t status = LoadSrbStatus(m_adapterInquiry.SRB_Status);
  if (status == SS_COMP) {
    const char* name = reinterpret_cast<const char*>(m_adapterInquiry.HA_Identifier);
    identity.scsiId = m_adapterInquiry.HA_SCSI_ID;
    identity.identifier.assign(name, strnlen(name, sizeof m_adapterInquiry.HA_Identifier));
  }
  return status;
}

bool AspiTransport::TargetBusy(uint8_t hostAdapter, uint8_t targetId) const {
  return hostAdapter < kAspiMaxHostAdapters && targetId < kAspiMaxTargets && m_targetBusy[hostAdapter][targetId] != 0;
}

RequestOutcome AspiTransport::ExecRequest(const TransportRequest& request) {
  ReleaseFinished();
  const DriveAddress& address = request.address;
  const uint8_t cdbLength = request.cdbLength;
  if (address.hostAdapter >= kAspiMaxHostAdapters) return Refuse(request, kCodeInvalidHa);
  if (address.targetId >= kAspiMaxTargets) return Refuse(request, kCodeNoDevice);
  if (cdbLength == 0 || cdbLength > kMaxCdbLength) return Refuse(request, kCodeInvalidSrb);
  int& busy = m_targetBusy[address.hostAdapter][address.targetId];
  if (busy != 0) return Refuse(request, kCodeTargetBusy);
  busy = 1;

  HeldRequest pending;
  pending.event = m_resources.CreateEvent();
  if (!pending.event) {
    busy = 0;
    return Refuse(request, kCodeTargetBusy);
  }
  pending.block = m_resources.AllocateBlock();
  // The manager moves the data through a buffer of the request's own, copied from and
  // back to the caller's only while the caller waits: a request whose abort fails is
  // held with it, so late data never lands in a buffer the caller has released (a
  // stack buffer, typically). A request without data hands the pointer on unused.
  if (pending.block && request.dataLength > 0) {
    if (m_spareCapacity >= request.dataLength) {
      pending.data = std::move(m_spareData);
      pending.dataCapacity = std::exchange(m_spareCapacity, 0);
    } else {
      pending.data.reset(new (std::nothrow) uint8_t[request.dataLength]);
      pending.dataCapacity = pending.data ? request.dataLength : 0;
    }
    if (pending.data) std::memcpy(pending.data.get(), request.data, request.dataLength);
  }
  if (!pending.block || (request.dataLength > 0 && !pending.data)) {
    pending = {};
    busy = 0;
    return Refuse(request, kCodeNoMemory);
  }
  SRB_ExecSCSICmd* block = pending.block.get();

  // Neither direction bit: the direction is left to the command.
  std::memset(block, 0, sizeof *block);
  block->SRB_Cmd = SC_EXEC_SCSI_CMD;
  block->SRB_HaId = address.hostAdapter;
  block->SRB_Flags = SRB_EVENT_NOTIFY;
  block->SRB_Target = address.targetId;
  block->SRB_Lun = address.lun;
  block->SRB_BufLen = request.dataLength;
  block->SRB_BufPointer = pending.data ? pending.data.get() : request.data;
  block->SRB_SenseLen = SENSE_LEN;
  block->SRB_CDBLen = cdbLength;
  block->SRB_PostProc = pending.event.get();
  std::memcpy(block->CDBByte, request.cdb, cdbLength);
  // For the trace, as sent: a pumped handler may reuse the CDB template.
  uint8_t sentCdb[kMaxCdbLength];
  std::memcpy(sentCdb, request.cdb, cdbLength);

  // Completion shows only through the event or the time limit.
  m_manager.SendASPI32Command(block);

  // No sleeping: each pass pumps one message, so the dialog stays live.
  const int64_t start = m_clock.ElapsedSeconds();
  for (;;) {
    m_feedback.PumpMessages();
    const int64_t now = m_clock.ElapsedSeconds();
    if (pending.event->Wait(0) || now - start >= request.timeoutSeconds) break;
  }

  RequestOutcome outcome;
  outcome.code = LoadSrbStatus(block->SRB_Status);
  bool finished = outcome.code != SS_PENDING;
  if (!finished) {
    finished = AbortPending(address.hostAdapter, pending);  // aborted: the code stays 0
    // The manager found the drive's answer while aborting: that is the outcome.
    if (finished && LoadSrbStatus(block->SRB_Status) != SS_ABORTED) outcome.code = LoadSrbStatus(block->SRB_Status);
  }
  // Nothing the manager may still be writing is read: the status bytes stay zero.
  outcome.carried = true;
  if (finished) {
    outcome.haStatus = block->SRB_HaStat;
    outcome.targetStatus = block->SRB_TargStat;
    std::memcpy(outcome.sense.data(), block->SenseArea, SENSE_LEN);
    if (pending.data && DirectionFor(sentCdb[0], request.dataLength) == DataDirection::In)
      std::memcpy(request.data, pending.data.get(), request.dataLength);
  }
  outcome.reachedDevice = outcome.code == SS_COMP || outcome.code == SS_ERR;
  if (!AspiCodeHasText(outcome.code)) ShowAspiError(outcome.code, m_feedback);
  if (m_trace != nullptr)
    m_trace->Record(DeviceText(address), sentCdb, cdbLength, request.dataLength,
                    DirectionFor(sentCdb[0], request.dataLength), ManagerOutcome(outcome));

  // A request the manager has finished with leaves its buffer for the next one; a
  // held one keeps it (AbortPending moved it away and left `pending` empty).
  if (pending.data && pending.dataCapacity > m_spareCapacity) {
    m_spareData = std::move(pending.data);
    m_spareCapacity = pending.dataCapacity;
  }
  pending = {};
  busy = 0;
  return outcome;
}

std::optional<std::string> AspiTransport::ErrorText(const RequestOutcome& outcome,
                                                    const std::string& commandName) const {
  if (outcome.code == kCodeDone) return std::nullopt;
  return AspiErrorText(outcome, commandName);
}

RequestOutcome AspiTransport::Refuse(const TransportRequest& request, uint8_t code) {
  if (m_trace != nullptr) {
    const uint8_t shown = request.cdbLength > kMaxCdbLength ? kMaxCdbLength : request.cdbLength;
    m_trace->Record(DeviceText(request.address), request.cdb, shown, request.dataLength,
                    DirectionFor(shown ? request.cdb[0] : 0, request.dataLength), CommandTrace::Refusal(code));
  }
  return RequestOutcome::Refused(code);
}

bool AspiTransport::AbortPending(uint8_t hostAdapter, HeldRequest& request) {
  SRB_Abort abort{};
  abort.SRB_Cmd = SC_ABORT_SRB;
  abort.SRB_HaId = hostAdapter;
  abort.SRB_ToAbort = request.block.get();
  m_manager.SendASPI32Command(&abort);
  if (LoadSrbStatus(request.block->SRB_Status) != SS_PENDING) return true;
  m_held.push_back(std::move(request));
  return false;
}

void AspiTransport::ReleaseFinished() {
  m_held.remove_if([](const HeldRequest& held) { return LoadSrbStatus(held.block->SRB_Status) != SS_PENDING; });
}

}  // namespace morv
