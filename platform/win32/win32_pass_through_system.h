#pragma once
// MorvantideNT's pass-through on Windows: CreateFileA on "\\.\E:", one
// DeviceIoControl with IOCTL_SCSI_PASS_THROUGH_DIRECT per request,
// IOCTL_SCSI_GET_CAPABILITIES for the largest transfer, GetLastError for error codes
// and FormatMessageA for their texts.

#include <vector>

#include "platform/pass_through_system.h"

namespace morv::win32 {

class Win32PassThroughSystem : public PassThroughSystem {
 public:
  ~Win32PassThroughSystem() override;
  /// CreateFileA: read and write access, shared for reading and writing, existing only.
  Handle Open(const std::string& path) override;
  /// IOCTL_SCSI_PASS_THROUGH_DIRECT with the record as input and output buffer.
  bool PassThroughDirect(Handle handle, PassThroughRecord& record) override;
  /// IOCTL_SCSI_GET_CAPABILITIES into the published IO_SCSI_CAPABILITIES.
  bool GetCapabilities(Handle handle, IoScsiCapabilities& capabilities) override;
  /// CloseHandle.
  void Close(Handle handle) override;
  /// GetLastError of the last failed call.
  int LastError() const override { return m_lastError; }
  /// FormatMessageA from the system's table in the default language.
  bool MessageText(int code, size_t bufferSize, std::string& text) override;

 private:
  /// The system handle behind one of ours, or null.
  void* SystemHandle(Handle handle) const;
  bool Fail();
  std::vector<void*> m_handles;  ///< ours are positions here; null marks a free slot
  int m_lastError = 0;
};

}  // namespace morv::win32
