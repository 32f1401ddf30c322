#pragma once
// MorvantideNT's pass-through on Linux: drive letter A: is /dev/sg0 … Z: /dev/sg25,
// one SG_IO ioctl per request, errno for error codes and strerror for their texts.

#include "platform/pass_through_system.h"

namespace morv::sg {

class SgPassThroughSystem : public PassThroughSystem {
 public:
  /// Opens the letter's sg node read-write (sg filters commands only on read-only
  /// descriptors, and WRITE BUFFER must pass) and non-blocking.
  Handle Open(const std::string& path) override;
  /// One SG_IO; host and driver errors fail the call with a fitting errno.
  bool PassThroughDirect(Handle handle, PassThroughRecord& record) override;
  /// MaximumTransferLength from SG_GET_RESERVED_SIZE, which the sg driver bounds by
  /// the host's largest request.
  bool GetCapabilities(Handle handle, IoScsiCapabilities& capabilities) override;
  /// close(2).
  void Close(Handle handle) override;
  /// errno of the last failed call.
  int LastError() const override { return m_lastError; }
  /// strerror's text; EINVAL for an unknown code, ERANGE for a text too long.
  bool MessageText(int code, size_t bufferSize, std::string& text) override;

 private:
  bool Fail(int error) {
    m_lastError = error;
    return false;
  }
  int m_lastError = 0;
};

}  // namespace morv::sg
