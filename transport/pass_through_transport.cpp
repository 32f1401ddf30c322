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
  explicit InUseMark(bool& mark) : m_mark(mark) { m_mark = true; }
  ~InUseMark() { m_mark = false; }
  InUseMark(const InUseMark&) = delete;
  InUseMark& operator=(const InUseMark&) = delete;

 private:
  bool& m_mark;
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

RequestOutcome PassThroughTransport::ExecRequest(const TransportRequest& request) {
  const char letter = request.address.letter;
  const PassThroughRecord prepared = BuildRecord(request.cdb, request.cdbLength, request.data, request.dataLength);
  const size_t index = IndexOf(letter);
  if (index == kLetters)
    return Refuse(letter, prepared, kCodeError, Printf("Drive letter %d out of range\n", letter));
  if (m_inUse[index]) return Refuse(letter, prepared, kCodeTargetBusy, "Inuse");
  InUseMark inUse(m_inUse[index]);
  if (m_maxTransfer[index] < request.dataLength)
    return Refuse(letter, prepared, kCodeBufferTooBig, "Buffer Too Big");

  // The claimed drive keeps its handle: the node is never opened afresh by letter,
  // so a device that takes its place hears nothing.
  const bool claimed = index == m_claimedIndex;
  const PassThroughSystem::Handle handle = claimed ? m_claimed : m_system.Open(letter);
  m_accessDenied[index] = handle == PassThroughSystem::kInvalidHandle && m_system.DeniesAccess(m_system.LastError());
  if (handle == PassThroughSystem::kInvalidHandle) return Refuse(letter, prepared, kCodeError, OpenErrorText());
  PassThroughRecord record = prepared;
  const bool carried = m_system.PassThroughDirect(handle, record);
  const int error = m_system.LastError();
  if (!claimed) m_system.Close(handle);
  if (!carried)
    return Refuse(letter, prepared, kCodeError,
                  Printf("Error opening . Error: %d\n", error) + SystemErrorText(error));

  RequestOutcome outcome;
  outcome.code = record.spt.ScsiStatus == 0 ? kCodeDone : kCodeError;
  outcome.carried = outcome.reachedDevice = true;
  outcome.targetStatus = record.spt.ScsiStatus;
  std::copy_n(record.sense, kSenseLength, outcome.sense.begin());
  Trace(letter, record, CommandTrace::DeviceOutcome(record.spt.ScsiStatus, outcome.sense.data(), kSenseLength));
  return outcome;
}

std::optional<std::string> PassThroughTransport::ErrorText(const RequestOutcome& outcome,
                                                           const std::string& commandName) const {
  if (outcome.code == kCodeDone) return std::string();
  if (!outcome.transportText.empty()) return outcome.transportText;
  return PassThroughErrorText(outcome, commandName);
}

size_t PassThroughTransport::IndexOf(char letter) {
  return letter >= 'A' && letter <= 'Z' ? static_cast<size_t>(letter - 'A') : kLetters;
}

void PassThroughTransport::SetMaxTransfer(char letter, uint32_t maxTransfer) {
  if (const size_t index = IndexOf(letter); index < kLetters) m_maxTransfer[index] = maxTransfer;
}

ClaimOutcome PassThroughTransport::ClaimDrive(char letter, std::string& failureText) {
  ReleaseDrive();
  const size_t index = IndexOf(letter);
  PassThroughSystem::Handle handle = PassThroughSystem::kInvalidHandle;
  // A letter outside A to Z names no drive, and the system opens nothing for it.
  const ClaimOutcome outcome = m_system.Claim(letter, handle);
  failureText = outcome.status == ClaimStatus::Failed ? OpenErrorText() : "";
  if (outcome.status != ClaimStatus::Claimed) return outcome;
  m_claimedIndex = index;
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
  m_claimedIndex = kLetters;
}

uint32_t PassThroughTransport::QueryMaxTransfer(char letter, DevicePlace* place) {
  if (IndexOf(letter) == kLetters) return 0;
  const PassThroughSystem::Handle handle = m_system.Open(letter);
  if (handle == PassThroughSystem::kInvalidHandle) return 0;
  IoScsiCapabilities capabilities;
  const bool answered = m_system.GetCapabilities(handle, capabilities);
  if (place != nullptr) *place = m_system.PlaceOf(handle);
  m_system.Close(handle);
  return answered ? std::min(capabilities.MaximumTransferLength, kMaxTransferLimit) : 0;
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

RequestOutcome PassThroughTransport::Refuse(char letter, const PassThroughRecord& record, uint8_t code,
                                            std::string text) {
  std::string outcome = CommandTrace::Refusal(code) + " " + text;
  std::replace(outcome.begin(), outcome.end(), '\n', ' ');
  while (!outcome.empty() && outcome.back() == ' ') outcome.pop_back();
  Trace(letter, record, outcome);
  return RequestOutcome::Refused(code, std::move(text));
}

void PassThroughTransport::Trace(char letter, const PassThroughRecord& record, const std::string& outcome) {
  if (m_trace == nullptr) return;
  const std::string device = IndexOf(letter) < kLetters ? std::string{letter, ':'} : "?";
  m_trace->Record(device, record.spt.Cdb, std::min<size_t>(record.spt.CdbLength, sizeof record.spt.Cdb),
                  record.spt.DataTransferLength, RecordDirection(record.spt), outcome);
}

}  // namespace morv
