#include "platform/linux/sg_pass_through_system.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <chrono>
#include <cstring>

#include "platform/fixed_format_sense.h"
#include "platform/linux/sg_queue.h"
#include "platform/linux/sg_request.h"

namespace morv::sg {

PassThroughSystem::Handle SgPassThroughSystem::Open(char letter) {
  const std::string node = NodeForLetter(letter);
  if (node.empty()) {
    m_lastError = ENOENT;
    return kInvalidHandle;
  }
  const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    m_lastError = errno;
    return kInvalidHandle;
  }
  return fd;
}

bool SgPassThroughSystem::DeniesAccess(int code) const { return code == EACCES || code == EPERM; }

bool SgPassThroughSystem::PassThroughDirect(Handle handle, PassThroughRecord& record) {
  if (!WellFormed(record.spt)) return Fail(EINVAL);
  sg_io_hdr_t header = BuildHeader(record);
  if (!Submit(handle, header) || !AwaitAnswer(handle, header)) return false;
  const SgOutcome outcome = OutcomeOf(header);
  if (outcome.error != 0) return Fail(outcome.error);
  record.spt.ScsiStatus = outcome.scsiStatus;
  FixedFormatSense(record.sense, std::min<size_t>(header.sb_len_wr, record.spt.SenseInfoLength), record.sense,
                   record.spt.SenseInfoLength);
  return true;
}

bool SgPassThroughSystem::Submit(Handle handle, const sg_io_hdr_t& header) {
  int version = 0;
  if (::ioctl(handle, SG_GET_VERSION_NUM, &version) < 0) return Fail(errno);
  if (const int error = SubmitHeader(handle, header); error != 0) return Fail(error);
  return true;
}

bool SgPassThroughSystem::AwaitAnswer(Handle handle, sg_io_hdr_t& header) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(uint64_t{header.timeout} + kAnswerGraceMs);
  for (;;) {
    const int error = ReadAnswer(handle, header);
    if (error == 0) return true;
    if (error != EAGAIN) return Fail(error);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return Fail(ETIMEDOUT);
    pollfd answer{handle, POLLIN, 0};
    // Interrupted, stopped and continued, or woken by the device going away: read again.
    if (::poll(&answer, 1, static_cast<int>(std::min<long long>(left, INT_MAX))) < 0 && errno != EINTR &&
        errno != ENOMEM)
      return Fail(errno);
  }
}

bool SgPassThroughSystem::GetCapabilities(Handle handle, IoScsiCapabilities& capabilities) {
  // Only here, on the descriptor of this one query: every open already sets up the
  // driver's default reserve, and asking for more on each request would cost a
  // larger allocation per command.
  int wanted = kRequestedReserve;
  if (::ioctl(handle, SG_SET_RESERVED_SIZE, &wanted) < 0) return Fail(errno);
  int reserved = 0;
  if (::ioctl(handle, SG_GET_RESERVED_SIZE, &reserved) < 0) return Fail(errno);
  if (reserved < 0) return Fail(EIO);
  capabilities = IoScsiCapabilities{};
  capabilities.Length = sizeof capabilities;
  capabilities.MaximumTransferLength = static_cast<uint32_t>(reserved);
  return true;
}

void SgPassThroughSystem::Close(Handle handle) { ::close(handle); }

DevicePlace SgPassThroughSystem::PlaceOf(Handle handle) { return SgPlaceOf(handle); }

ClaimOutcome SgPassThroughSystem::Claim(char letter, Handle& handle) {
  handle = Open(letter);
  if (handle == kInvalidHandle) return {ClaimStatus::Failed, {}, m_lastError};
  int blockFd = -1;
  const ClaimOutcome outcome = ClaimSgDevice(handle, m_paths, blockFd);
  if (outcome.status != ClaimStatus::Claimed) {
    if (outcome.status == ClaimStatus::Failed) m_lastError = outcome.error;
    Close(handle);
    handle = kInvalidHandle;
    return outcome;
  }
  m_blockHolds[handle] = blockFd;
  return outcome;
}

void SgPassThroughSystem::Release(Handle handle) {
  const auto hold = m_blockHolds.find(handle);
  if (hold == m_blockHolds.end()) return;
  ReleaseSgDevice(handle, hold->second);
  m_blockHolds.erase(hold);
  Close(handle);
}

bool SgPassThroughSystem::MessageText(int code, size_t bufferSize, std::string& text) {
  return ErrnoMessageText(code, bufferSize, text, m_lastError);
}

}  // namespace morv::sg
