#include "transport/pass_through_transport.h"

#include <algorithm>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <utility>

#include "transport/command_trace.h"
#include "transport/pass_through_error_text.h"

namespace morv {
namespace {

// The request part's size and where the sense area follows it: 44 and 48 with 4-byte
// pointers, 56 and 60 with 8-byte ones (a 64-bit system refuses any other Length, and
// would write the sense over the CDB at 48).
constexpr uint16_t kRecordLength = sizeof(ScsiPassThroughDirect);
constexpr uint32_t kSenseInfoOffset = offsetof(PassThroughRecord, sense);
static_assert(sizeof(void*) != 4 || (kRecordLength == 44 && kSenseInfoOffset == 48));
constexpr uint8_t kTargetId = 1;            // the handle selects the drive; fixed value
constexpr uint8_t kSenseInfoLength = 24;
constexpr size_t kMessageBufferSize = 80;

std::string Printf(const char* format, ...) {
  char buffer[128];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

// Holds a drive's in-use mark for the life of one request.
class InUseMark {
 public:
  explicit InUseMark(int& mark) : m_mark(mark) { m_mark = 1; }
  ~InUseMark() { m_mark = 0; }
  InUseMark(const InUseMark&) = delete;
  InUseMark& operator=(const InUseMark&) = delete;

 private:
  int& m_mark;
};

}  // namespace

PassThroughTransport::PassThroughTransport(PassThroughSystem& system, CommandTrace* trace)
    : m_system(system), m_trace(trace) {}

PassThroughRecord PassThroughTransport::BuildRecord(const uint8_t* cdb, uint8_t cdbLength, uint8_t* data,
                                                    uint32_t dataLength) {
  PassThroughRecord record;
  ScsiPassThroughDirect& spt = record.spt;
  spt.Length = kRecordLength;
  spt.TargetId = kTargetId;
  spt.CdbLength = cdbLength;
  spt.SenseInfoLength = kSenseInfoLength;
  spt.DataIn = cdbLength > 0 && cdb[0] == kOpWriteBuffer ? kDataOut : kDataUnspecified;
  spt.DataTransferLength = dataLength;
  spt.TimeOutValue = kSystemTimeOut;
  spt.DataBuffer = data;
  spt.SenseInfoOffset = kSenseInfoOffset;
  // A CDB longer than the field is cut here; the system refuses the stated length.
  std::copy_n(cdb, std::min<size_t>(cdbLength, sizeof spt.Cdb), spt.Cdb);
  return record;
}

uint8_t PassThroughTransport::ExecRequest(CScsiDrive& drive, const uint8_t* cdb, uint8_t cdbLength, int32_t) {
  ScsiRequest& request = drive.m_request;
  const PassThroughRecord prepared = BuildRecord(cdb, cdbLength, request.data, request.dataLength);
  const size_t index = drive.m_deviceIndex;
  if (index >= kDriveTableSize)
    return Refuse(drive, prepared, kCodeError, Printf("Drive index %zu out of range\n", index));
  if (DriveInUse[index] != 0) return Refuse(drive, prepared, kCodeTargetBusy, "Inuse");
  InUseMark inUse(DriveInUse[index]);
  if (MaxTransfer[index] < request.dataLength) return Refuse(drive, prepared, kCodeBufferTooBig, "Buffer Too Big");
  drive.m_errorText.clear();

  // The claimed drive keeps its handle: the node is never opened afresh by letter,
  // so a device that takes its place hears nothing.
  const bool claimed = index == m_claimedIndex;
  const PassThroughSystem::Handle handle = claimed ? m_claimed : OpenDevice(drive);
  if (handle == PassThroughSystem::kInvalidHandle) return Refuse(drive, prepared, kCodeError, OpenErrorText());
  PassThroughRecord record = prepared;
  const bool carried = m_system.PassThroughDirect(handle, record);
  const int error = m_system.LastError();
  if (!claimed) m_system.Close(handle);
  if (!carried)
    return Refuse(drive, prepared, kCodeError, Printf("Error opening . Error: %d\n", error) + SystemErrorText(error));

  drive.m_targetStatus = record.spt.ScsiStatus;
  drive.m_haStatus = 0;
  request.completed = true;
  std::copy_n(record.sense, kSenseLength, request.sense.begin());
  const uint8_t code = record.spt.ScsiStatus == 0 ? kCodeDone : kCodeError;
  if (code == kCodeError) ComposePassThroughErrorText(drive, drive.m_targetStatus);
  Trace(drive, record, CommandTrace::DeviceOutcome(record.spt.ScsiStatus, request.sense.data(), kSenseLength));
  return code;
}

uint8_t PassThroughTransport::OpenScanSlot(uint32_t maxTransfer) {
  DriveInUse[kScanSlot] = 0;
  MaxTransfer[kScanSlot] = maxTransfer;
  return kScanSlot;
}

void PassThroughTransport::SetDrive(uint8_t index, std::string name, uint32_t maxTransfer, DevicePlace place) {
  DriveNames[index] = std::move(name);
  MaxTransfer[index] = maxTransfer;
  m_listedPlaces[index] = std::move(place);
}

ClaimOutcome PassThroughTransport::ClaimDrive(CScsiDrive& drive) {
  ReleaseDrive();
  drive.m_errorText.clear();
  const std::string name = drive.m_deviceIndex < kDriveTableSize ? DriveNames[drive.m_deviceIndex].substr(0, 2) : "";
  PassThroughSystem::Handle handle = PassThroughSystem::kInvalidHandle;
  const ClaimOutcome outcome = m_system.Claim("\\\\.\\" + name, handle);
  if (outcome.status == ClaimStatus::Failed) drive.m_errorText = OpenErrorText();
  if (outcome.status != ClaimStatus::Claimed) return outcome;
  m_claimedIndex = drive.m_deviceIndex;
  m_claimed = handle;
  return outcome;
}

DevicePlace PassThroughTransport::ClaimedPlace() {
  return m_claimed == PassThroughSystem::kInvalidHandle ? DevicePlace{} : m_system.PlaceOf(m_claimed);
}

void PassThroughTransport::ReleaseDrive() {
  if (m_claimed == PassThroughSystem::kInvalidHandle) return;
  m_system.Release(m_claimed);
  m_claimed = PassThroughSystem::kInvalidHandle;
  m_claimedIndex = kDriveTableSize;
}

uint32_t PassThroughTransport::QueryMaxTransfer(CScsiDrive& drive, DevicePlace* place) {
  drive.m_errorText.clear();
  const PassThroughSystem::Handle handle = OpenDevice(drive);
  if (handle == PassThroughSystem::kInvalidHandle) {
    drive.m_errorText = OpenErrorText();
    return 0;
  }
  IoScsiCapabilities capabilities;
  const bool answered = m_system.GetCapabilities(handle, capabilities);
  if (place != nullptr) *place = m_system.PlaceOf(handle);
  m_system.Close(handle);
  return answered ? std::min(capabilities.MaximumTransferLength, kMaxTransferLimit) : 0;
}

PassThroughSystem::Handle PassThroughTransport::OpenDevice(const CScsiDrive& drive) {
  // An index outside the table names no drive: the empty name opens nothing.
  const std::string name = drive.m_deviceIndex < kDriveTableSize ? DriveNames[drive.m_deviceIndex].substr(0, 2) : "";
  return m_system.Open("\\\\.\\" + name);
}

std::string PassThroughTransport::OpenErrorText() {
  const int error = m_system.LastError();
  return Printf("Get Handle Error: %d\n", error) + SystemErrorText(error);
}

std::string PassThroughTransport::SystemErrorText(int code) {
  std::string text;
  if (m_system.MessageText(code, kMessageBufferSize, text)) return text + "\n";
  return Printf("Format message failed.  Error: %d\n", m_system.LastError());
}

uint8_t PassThroughTransport::Refuse(CScsiDrive& drive, const PassThroughRecord& record, uint8_t code,
                                     std::string text) {
  // Nothing reached the device, so no sense of an earlier request may stay behind
  // for the UNIT ATTENTION repeat to act on.
  drive.m_request.completed = false;
  drive.m_request.sense.fill(0);
  drive.m_errorText = std::move(text);
  std::string outcome = CommandTrace::Refusal(code) + " " + drive.m_errorText;
  std::replace(outcome.begin(), outcome.end(), '\n', ' ');
  while (!outcome.empty() && outcome.back() == ' ') outcome.pop_back();
  Trace(drive, record, outcome);
  return code;
}

void PassThroughTransport::Trace(const CScsiDrive& drive, const PassThroughRecord& record,
                                 const std::string& outcome) {
  if (m_trace == nullptr) return;
  const size_t index = drive.m_deviceIndex;
  const std::string device = index < kDriveTableSize ? DriveNames[index].substr(0, 2) : "?";
  m_trace->Record(device, record.spt.Cdb, std::min<size_t>(record.spt.CdbLength, sizeof record.spt.Cdb),
                  record.spt.DataTransferLength, RecordDirection(record.spt), outcome);
}

}  // namespace morv
