#pragma once
// The ASPI manager Morvantide4 talks to: the two entry points, the published
// request blocks, status and command codes, and the auto-reset event a manager
// signals when a request with SRB_EVENT_NOTIFY completes.
//
// Hand-off rules every manager keeps (the transport relies on them):
//  - A manager writes a block's result fields first and its SRB_Status last, with
//    StoreSrbStatus; readers use LoadSrbStatus. Once SRB_Status is final (not
//    SS_PENDING) the manager writes nothing more into the block or its data buffer.
//  - With SRB_EVENT_NOTIFY the manager signals the event after SRB_Status is final,
//    holding its own reference to the event; so a final SRB_Status alone tells the
//    requester that it may release both the block and its event.
//  - SC_ABORT_SRB returning SS_COMP means the aborted block is final (SS_ABORTED)
//    and its event signalled: the manager touches neither it nor its data buffer
//    again, even if the device finishes the command later.
//  - SC_HA_INQUIRY is final when SendASPI32Command returns.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "scsi/operation_codes.h"

namespace morv {

// Command codes (SRB_Cmd).
inline constexpr uint8_t SC_HA_INQUIRY = 0x00;
inline constexpr uint8_t SC_GET_DEV_TYPE = 0x01;
inline constexpr uint8_t SC_EXEC_SCSI_CMD = 0x02;
inline constexpr uint8_t SC_ABORT_SRB = 0x03;
inline constexpr uint8_t SC_RESET_DEV = 0x04;

// Request status codes (SRB_Status, and bits 8-15 of the support info).
inline constexpr uint8_t SS_PENDING = 0x00;
inline constexpr uint8_t SS_COMP = 0x01;
inline constexpr uint8_t SS_ABORTED = 0x02;
inline constexpr uint8_t SS_ABORT_FAIL = 0x03;
inline constexpr uint8_t SS_ERR = 0x04;
inline constexpr uint8_t SS_INVALID_CMD = 0x80;
inline constexpr uint8_t SS_INVALID_HA = 0x81;
inline constexpr uint8_t SS_NO_DEVICE = 0x82;
inline constexpr uint8_t SS_INVALID_SRB = 0xE0;
inline constexpr uint8_t SS_FAILED_INIT = 0xE4;
inline constexpr uint8_t SS_ASPI_IS_BUSY = 0xE5;
inline constexpr uint8_t SS_BUFFER_TO_BIG = 0xE6;
inline constexpr uint8_t SS_NO_ADAPTERS = 0xE8;

// Request flags (SRB_Flags).
inline constexpr uint8_t SRB_POSTING = 0x01;
inline constexpr uint8_t SRB_DIR_IN = 0x08;
inline constexpr uint8_t SRB_DIR_OUT = 0x10;
inline constexpr uint8_t SRB_EVENT_NOTIFY = 0x40;

// Host adapter status (SRB_HaStat).
inline constexpr uint8_t HASTAT_OK = 0x00;
inline constexpr uint8_t HASTAT_TIMEOUT = 0x09;
inline constexpr uint8_t HASTAT_COMMAND_TIMEOUT = 0x0B;
inline constexpr uint8_t HASTAT_BUS_RESET = 0x0E;
inline constexpr uint8_t HASTAT_PARITY_ERROR = 0x0F;
inline constexpr uint8_t HASTAT_SEL_TO = 0x11;
inline constexpr uint8_t HASTAT_DO_DU = 0x12;
inline constexpr uint8_t HASTAT_BUS_FREE = 0x13;
inline constexpr uint8_t HASTAT_PHASE_ERR = 0x14;

/// Sense bytes a request block asks for; SenseArea holds two more.
inline constexpr size_t SENSE_LEN = 14;
/// Longest CDB a request block carries.
inline constexpr size_t kMaxCdbLength = 16;

#pragma pack(push, 1)
/// SC_HA_INQUIRY: the manager's and one host adapter's identification (60 bytes).
struct SRB_HAInquiry {
  uint8_t SRB_Cmd;
  uint8_t SRB_Status;
  uint8_t SRB_HaId;
  uint8_t SRB_Flags;
  uint32_t SRB_Hdr_Rsvd;
  uint8_t HA_Count;           ///< number of host adapters
  uint8_t HA_SCSI_ID;         ///< the adapter's own SCSI ID
  uint8_t HA_ManagerId[16];
  uint8_t HA_Identifier[16];  ///< driver name, zero-padded, not always zero-terminated
  uint8_t HA_Unique[16];
  uint16_t HA_Rsvd1;
};

/// SC_EXEC_SCSI_CMD: one SCSI command (80 bytes with 32-bit pointers).
struct SRB_ExecSCSICmd {
  uint8_t SRB_Cmd;
  uint8_t SRB_Status;
  uint8_t SRB_HaId;
  uint8_t SRB_Flags;
  uint32_t SRB_Hdr_Rsvd;
  uint8_t SRB_Target;
  uint8_t SRB_Lun;
  uint16_t SRB_Rsvd1;
  uint32_t SRB_BufLen;
  uint8_t* SRB_BufPointer;
  uint8_t SRB_SenseLen;
  uint8_t SRB_CDBLen;
  uint8_t SRB_HaStat;
  uint8_t SRB_TargStat;
  void* SRB_PostProc;         ///< the AspiEvent* to signal with SRB_EVENT_NOTIFY
  void* SRB_Rsvd2;            ///< pointer-sized: a 64-bit manager reads the CDB 4 bytes further on
  uint8_t SRB_Rsvd3[16];
  uint8_t CDBByte[kMaxCdbLength];
  uint8_t SenseArea[SENSE_LEN + 2];
};

/// SC_ABORT_SRB: abandons a pending SRB_ExecSCSICmd.
struct SRB_Abort {
  uint8_t SRB_Cmd;
  uint8_t SRB_Status;
  uint8_t SRB_HaId;
  uint8_t SRB_Flags;
  uint32_t SRB_Hdr_Rsvd;
  void* SRB_ToAbort;
};
#pragma pack(pop)

static_assert(sizeof(SRB_HAInquiry) == 60);
static_assert(sizeof(SRB_ExecSCSICmd) == 68 + 3 * sizeof(void*));  // 80 with 32-bit pointers, 92 with 64-bit

/// Auto-reset event, initially not signalled; the stand-in for a Win32 event.
/// Always owned through shared_ptr, so a manager keeps the event alive for as long
/// as it may still signal it, whatever the requester does.
class AspiEvent : public std::enable_shared_from_this<AspiEvent> {
 public:
  /// A new event, not signalled.
  static std::shared_ptr<AspiEvent> Create() { return std::shared_ptr<AspiEvent>(new AspiEvent); }
  /// Signals the event; a waiter (or the next one) takes the signal.
  void Set();
  /// Clears the signal.
  void Reset();
  /// True when the event was signalled within `milliseconds` (0: just test); takes
  /// the signal (auto-reset).
  bool Wait(uint32_t milliseconds);

 private:
  AspiEvent() = default;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_signalled = false;
};

/// The manager's two entry points.
class AspiManager {
 public:
  virtual ~AspiManager() = default;
  /// Status (SS_*) in bits 8-15, number of host adapters in bits 0-7.
  virtual uint32_t GetASPI32SupportInfo() = 0;
  /// Takes an SRB_HAInquiry, SRB_ExecSCSICmd or SRB_Abort (told apart by SRB_Cmd);
  /// returns SS_PENDING for an accepted request, else its final status.
  virtual uint32_t SendASPI32Command(void* srb) = 0;
  /// Not an entry point of the published manager: whether a device that requests went
  /// to is there but this process may not open it (a node's permissions; where the
  /// system tells no more, a process without the rights the manager needs). False
  /// from a manager that cannot tell.
  virtual bool AccessDenied() { return false; }
};

/// Base of the managers here: SendASPI32Command hands each block to its handler
/// by SRB_Cmd and refuses other commands with SS_INVALID_CMD.
class DispatchingAspiManager : public AspiManager {
 public:
  uint32_t SendASPI32Command(void* srb) final;

 protected:
  /// SC_HA_INQUIRY; final when it returns.
  virtual uint8_t Inquire(SRB_HAInquiry& srb) = 0;
  /// SC_EXEC_SCSI_CMD; SS_PENDING when taken, else the final status.
  virtual uint8_t Execute(SRB_ExecSCSICmd& srb) = 0;
  /// SC_ABORT_SRB; SS_COMP when the block was pending and is now SS_ABORTED.
  virtual uint8_t Abort(const SRB_Abort& srb) = 0;
};

/// Reads SRB_Status as published by the manager's StoreSrbStatus.
inline uint8_t LoadSrbStatus(const uint8_t& status) {
  return std::atomic_ref<uint8_t>(const_cast<uint8_t&>(status)).load(std::memory_order_acquire);
}
/// Publishes SRB_Status after every other result field has been written.
inline void StoreSrbStatus(uint8_t& status, uint8_t value) {
  std::atomic_ref<uint8_t>(status).store(value, std::memory_order_release);
}

/// Why a manager refuses an execution block before looking at the device:
/// SS_INVALID_SRB for a CDB length of 0 or over 16, a sense length over the sense
/// area, or data without a buffer; SS_PENDING when the block is sound.
uint8_t CheckExecBlock(const SRB_ExecSCSICmd& srb);
/// The block's data direction: its direction bit when exactly one is set, else
/// the one the operation code implies.
DataDirection ExecBlockDirection(const SRB_ExecSCSICmd& srb);
/// Ends a request: writes the result fields and the sense (at most SRB_SenseLen
/// bytes of `sense`), publishes `status` and signals the block's event when it asked
/// for one. The manager must not touch the block afterwards.
void CompleteExecBlock(SRB_ExecSCSICmd& srb, uint8_t status, uint8_t haStat, uint8_t targStat,
                       const uint8_t* sense = nullptr, size_t senseLength = 0);
/// The event a block asks to be signalled, shared, or null without SRB_EVENT_NOTIFY.
std::shared_ptr<AspiEvent> NotifyEventOf(const SRB_ExecSCSICmd& srb);
/// Writes `text` into a 16-byte identification field, zero-padded, cut at 16.
void CopyIdentifier(uint8_t (&field)[16], const char* text);
/// Fills an adapter inquiry (count, own ID, names, 8 targets) and makes it final
/// with SS_COMP.
uint8_t AnswerAdapterInquiry(SRB_HAInquiry& srb, uint8_t count, uint8_t ownId, const char* managerId,
                             const char* identifier);

}  // namespace morv
