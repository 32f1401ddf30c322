#include "transport/aspi_transport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "framework/wait_feedback.h"
#include "transport/aspi_error_text.h"
#include "transport/command_trace.h"

namespace morv {
namespace {

/// "0:2:0": host adapter, target ID and LUN.
std::string DeviceText(const CScsiDrive& drive) {
  char text[16];
  std::snprintf(text, sizeof text, "%u:%u:%u", unsigned{drive.m_hostAdapter}, unsigned{drive.m_targetId},
                unsigned{drive.m_lun});
  return text;
}

/// What the trace says of a request the manager had: status and sense, and the
/// manager's code and the adapter status when they tell more than that.
std::string ManagerOutcome(uint8_t code, const CScsiDrive& drive) {
  char text[24] = "";
  std::string outcome;
  if (code != kCodeDone && code != kCodeError) {
    std::snprintf(text, sizeof text, "code=%02X ", unsigned{code});
    outcome = text;
  }
  outcome += CommandTrace::DeviceOutcome(drive.m_targetStatus, drive.m_request.sense.data(), SENSE_LEN);
  if (drive.m_haStatus != 0) {
    std::snprintf(text, sizeof text, " ha=%02X", unsigned{drive.m_haStatus});
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

uint8_t AspiTransport::ExecRequest(CScsiDrive& drive, const uint8_t* cdb, uint8_t cdbLength, int32_t timeoutSeconds) {
  ReleaseFinished();
  // The address is taken once: a handler run by the pumped wait may readdress the
  // drive object, and the mark cleared at the end must be the one set here.
  const uint8_t hostAdapter = drive.m_hostAdapter;
  const uint8_t targetId = drive.m_targetId;
  if (hostAdapter >= kAspiMaxHostAdapters) return Refuse(drive, kCodeInvalidHa, cdb, cdbLength);
  if (targetId >= kAspiMaxTargets) return Refuse(drive, kCodeNoDevice, cdb, cdbLength);
  if (cdbLength == 0 || cdbLength > kMaxCdbLength) return Refuse(drive, kCodeInvalidSrb, cdb, cdbLength);
  int& busy = m_targetBusy[hostAdapter][targetId];
  if (busy != 0) return Refuse(drive, kCodeTargetBusy, cdb, cdbLength);
  busy = 1;

  std::shared_ptr<AspiEvent> event = m_resources.CreateEvent();
  if (!event) {
    busy = 0;
    return Refuse(drive, kCodeTargetBusy, cdb, cdbLength);
  }
  std::unique_ptr<SRB_ExecSCSICmd> block = m_resources.AllocateBlock();
  if (!block) {
    event.reset();
    busy = 0;
    return Refuse(drive, kCodeNoMemory, cdb, cdbLength);
  }

  // Neither direction bit: the direction is left to the command.
  std::memset(block.get(), 0, sizeof *block);
  block->SRB_Cmd = SC_EXEC_SCSI_CMD;
  block->SRB_HaId = hostAdapter;
  block->SRB_Flags = SRB_EVENT_NOTIFY;
  block->SRB_Target = targetId;
  block->SRB_Lun = drive.m_lun;
  block->SRB_BufLen = drive.m_request.dataLength;
  block->SRB_BufPointer = drive.m_request.data;
  block->SRB_SenseLen = SENSE_LEN;
  block->SRB_CDBLen = cdbLength;
  block->SRB_PostProc = event.get();
  std::memcpy(block->CDBByte, cdb, cdbLength);
  // For the trace, as sent: a pumped handler may readdress the drive object or
  // reuse the CDB template.
  const std::string device = DeviceText(drive);
  const uint32_t dataLength = block->SRB_BufLen;
  uint8_t sentCdb[kMaxCdbLength];
  std::memcpy(sentCdb, cdb, cdbLength);

  // Completion shows only through the event or the time limit.
  m_manager.SendASPI32Command(block.get());

  // No sleeping: each pass pumps one message, so the dialog stays live.
  const int64_t start = m_clock.ElapsedSeconds();
  for (;;) {
    m_feedback.PumpMessages();
    const int64_t now = m_clock.ElapsedSeconds();
    if (event->Wait(0) || now - start >= timeoutSeconds) break;
  }

  uint8_t code = LoadSrbStatus(block->SRB_Status);
  bool finished = code != SS_PENDING;
  if (!finished) {
    finished = AbortPending(hostAdapter, block, event);  // aborted: the code stays 0
    // The manager found the drive's answer while aborting: that is the outcome.
    if (finished && LoadSrbStatus(block->SRB_Status) != SS_ABORTED) code = LoadSrbStatus(block->SRB_Status);
  }

  ScsiRequest& request = drive.m_request;
  request.sense.fill(0);
  if (finished) {
    drive.m_haStatus = block->SRB_HaStat;
    drive.m_targetStatus = block->SRB_TargStat;
    std::memcpy(request.sense.data(), block->SenseArea, SENSE_LEN);
  } else {
    drive.m_haStatus = 0;  // nothing the manager may still be writing is read
    drive.m_targetStatus = 0;
  }
  request.completed = code == SS_COMP || code == SS_ERR;
  if (code != kCodeDone) ComposeAspiErrorText(drive, code, m_feedback);
  if (m_trace != nullptr)
    m_trace->Record(device, sentCdb, cdbLength, dataLength, DirectionFor(sentCdb[0], dataLength),
                    ManagerOutcome(code, drive));

  block.reset();
  event.reset();
  busy = 0;
  return code;
}

uint8_t AspiTransport::Refuse(CScsiDrive& drive, uint8_t code, const uint8_t* cdb, uint8_t cdbLength) {
  // Nothing reached the device: no sense to act on; the status bytes stay.
  drive.m_request.completed = false;
  drive.m_request.sense.fill(0);
  ComposeAspiErrorText(drive, code, m_feedback);
  if (m_trace != nullptr) {
    const uint8_t shown = cdbLength > kMaxCdbLength ? kMaxCdbLength : cdbLength;
    m_trace->Record(DeviceText(drive), cdb, shown, drive.m_request.dataLength,
                    DirectionFor(shown ? cdb[0] : 0, drive.m_request.dataLength), CommandTrace::Refusal(code));
  }
  return code;
}

bool AspiTransport::AbortPending(uint8_t hostAdapter, std::unique_ptr<SRB_ExecSCSICmd>& block,
                                 std::shared_ptr<AspiEvent>& event) {
  SRB_Abort abort{};
  abort.SRB_Cmd = SC_ABORT_SRB;
  abort.SRB_HaId = hostAdapter;
  abort.SRB_ToAbort = block.get();
  m_manager.SendASPI32Command(&abort);
  if (LoadSrbStatus(block->SRB_Status) != SS_PENDING) return true;
  m_held.push_back({std::move(block), std::move(event)});
  return false;
}

void AspiTransport::ReleaseFinished() {
  m_held.remove_if([](const HeldRequest& held) { return LoadSrbStatus(held.block->SRB_Status) != SS_PENDING; });
}

}  // namespace morv
