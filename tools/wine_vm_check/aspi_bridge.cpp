// WNASPI32.dll for runs under wine, whose own ASPI manager sends nothing to any
// device: one host adapter whose target 0, LUN 0 is the drive of the
// drive letter in ASPI_BRIDGE_DRIVE (default "E:", the device \\.\E:), reached with the pass-through
// requests of MorvantideNT's backend (Win32PassThroughSystem). Every other target
// answers with a selection timeout. A request is carried out before
// SendASPI32Command returns: its status is written last, then the Win32 event in
// SRB_PostProc is set when the request asked for one.

#include <windows.h>

#include <cstdlib>
#include <mutex>

#include "platform/aspi_manager.h"
#include "platform/win32/win32_pass_through_system.h"

namespace {

using namespace morv;

std::mutex g_mutex;  // one request at a time reaches the drive
win32::Win32PassThroughSystem g_system;
PassThroughSystem::Handle g_drive = PassThroughSystem::kInvalidHandle;

bool DriveOpen() {
  if (g_drive == PassThroughSystem::kInvalidHandle) {
    // The drive letter the bridge's target 0 stands for (ASPI_BRIDGE_DRIVE=E: by default).
    const char* drive = std::getenv("ASPI_BRIDGE_DRIVE");
    g_drive = g_system.Open(drive && drive[0] ? drive[0] : 'E');
  }
  return g_drive != PassThroughSystem::kInvalidHandle;
}

uint8_t Execute(SRB_ExecSCSICmd& srb) {
  const uint8_t refused = CheckExecBlock(srb);
  if (refused != SS_PENDING) return refused;
  if (srb.SRB_HaId != 0) return SS_INVALID_HA;
  // The event is a Win32 one, set below: the shared completion must not take it for
  // one of ours.
  HANDLE event = (srb.SRB_Flags & SRB_EVENT_NOTIFY) ? static_cast<HANDLE>(srb.SRB_PostProc) : nullptr;
  srb.SRB_Flags &= static_cast<uint8_t>(~SRB_EVENT_NOTIFY);
  uint8_t status = SS_ERR;
  std::lock_guard lock(g_mutex);
  if (srb.SRB_Target != 0 || srb.SRB_Lun != 0 || !DriveOpen()) {
    CompleteExecBlock(srb, SS_ERR, HASTAT_SEL_TO, 0);
  } else {
    PassThroughRecord record;
    record.spt.Length = sizeof record.spt;
    record.spt.CdbLength = srb.SRB_CDBLen;
    record.spt.SenseInfoLength = sizeof record.sense;
    const DataDirection direction = ExecBlockDirection(srb);
    record.spt.DataIn = direction == DataDirection::In ? kDataIn : direction == DataDirection::Out ? kDataOut
                                                                                                  : kDataUnspecified;
    record.spt.DataTransferLength = srb.SRB_BufLen;
    record.spt.DataBuffer = srb.SRB_BufLen ? srb.SRB_BufPointer : nullptr;
    record.spt.TimeOutValue = 60;
    record.spt.SenseInfoOffset = offsetof(PassThroughRecord, sense);
    for (size_t i = 0; i < srb.SRB_CDBLen; ++i) record.spt.Cdb[i] = srb.CDBByte[i];
    if (!g_system.PassThroughDirect(g_drive, record)) {
      CompleteExecBlock(srb, SS_ERR, HASTAT_SEL_TO, 0);
    } else {
      status = record.spt.ScsiStatus == 0 ? SS_COMP : SS_ERR;
      CompleteExecBlock(srb, status, HASTAT_OK, record.spt.ScsiStatus, record.sense, record.spt.SenseInfoLength);
    }
  }
  if (event) SetEvent(event);
  return status;
}

}  // namespace

extern "C" __declspec(dllexport) DWORD GetASPI32SupportInfo() { return (DWORD{SS_COMP} << 8) | 1; }

extern "C" __declspec(dllexport) DWORD SendASPI32Command(void* block) {
  if (block == nullptr) return SS_INVALID_SRB;
  switch (static_cast<uint8_t*>(block)[0]) {
    case SC_HA_INQUIRY: {
      auto& srb = *static_cast<SRB_HAInquiry*>(block);
      if (srb.SRB_HaId != 0) return SS_INVALID_HA;
      return AnswerAdapterInquiry(srb, 1, 7, "ASPI bridge", "pass-through");
    }
    case SC_EXEC_SCSI_CMD:
      return Execute(*static_cast<SRB_ExecSCSICmd*>(block));
    case SC_ABORT_SRB:
      return SS_ABORT_FAIL;  // nothing is ever pending here
    default:
      return SS_INVALID_CMD;
  }
}
