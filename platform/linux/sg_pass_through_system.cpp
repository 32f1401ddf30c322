#include "platform/linux/sg_pass_through_system.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/sg_request.h"

namespace morv::sg {

PassThroughSystem::Handle SgPassThroughSystem::Open(const std::string& path) {
  const std::string node = NodeForPath(path);
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

bool SgPassThroughSystem::PassThroughDirect(Handle handle, PassThroughRecord& record) {
  if (!WellFormed(record.spt)) return Fail(EINVAL);
  sg_io_hdr_t header = BuildHeader(record);
  if (::ioctl(handle, SG_IO, &header) < 0) return Fail(errno);
  const SgOutcome outcome = OutcomeOf(header);
  if (outcome.error != 0) return Fail(outcome.error);
  record.spt.ScsiStatus = outcome.scsiStatus;
  return true;
}

bool SgPassThroughSystem::GetCapabilities(Handle handle, IoScsiCapabilities& capabilities) {
  int reserved = 0;
  if (::ioctl(handle, SG_GET_RESERVED_SIZE, &reserved) < 0) return Fail(errno);
  if (reserved < 0) return Fail(EIO);
  capabilities = IoScsiCapabilities{};
  capabilities.Length = sizeof capabilities;
  capabilities.MaximumTransferLength = static_cast<uint32_t>(reserved);
  return true;
}

void SgPassThroughSystem::Close(Handle handle) { ::close(handle); }

bool SgPassThroughSystem::MessageText(int code, size_t bufferSize, std::string& text) {
  if (strerrordesc_np(code) == nullptr) return Fail(EINVAL);
  const char* message = std::strerror(code);
  if (std::strlen(message) + 1 > bufferSize) return Fail(ERANGE);
  text = message;
  return true;
}

}  // namespace morv::sg
