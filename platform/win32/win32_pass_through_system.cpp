#include "platform/win32/win32_pass_through_system.h"

#include <windows.h>
#include <ntddscsi.h>

#include <cstddef>

#include "platform/win32/pass_through_layout.h"

namespace morv::win32 {

Win32PassThroughSystem::~Win32PassThroughSystem() {
  for (void* handle : m_handles)
    if (handle) CloseHandle(handle);
}

bool Win32PassThroughSystem::Fail() {
  m_lastError = static_cast<int>(GetLastError());
  return false;
}

void* Win32PassThroughSystem::SystemHandle(Handle handle) const {
  if (handle < 0 || static_cast<size_t>(handle) >= m_handles.size()) return nullptr;
  return m_handles[static_cast<size_t>(handle)];
}

PassThroughSystem::Handle Win32PassThroughSystem::Open(const std::string& path) {
  HANDLE device = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  if (device == INVALID_HANDLE_VALUE) {
    Fail();
    return kInvalidHandle;
  }
  for (size_t i = 0; i < m_handles.size(); ++i)
    if (!m_handles[i]) {
      m_handles[i] = device;
      return static_cast<Handle>(i);
    }
  m_handles.push_back(device);
  return static_cast<Handle>(m_handles.size() - 1);
}

bool Win32PassThroughSystem::PassThroughDirect(Handle handle, PassThroughRecord& record) {
  void* device = SystemHandle(handle);
  if (!device) {
    SetLastError(ERROR_INVALID_HANDLE);
    return Fail();
  }
  DWORD returned = 0;
  if (!DeviceIoControl(device, IOCTL_SCSI_PASS_THROUGH_DIRECT, &record, sizeof record, &record, sizeof record,
                       &returned, nullptr))
    return Fail();
  return true;
}

bool Win32PassThroughSystem::GetCapabilities(Handle handle, IoScsiCapabilities& capabilities) {
  void* device = SystemHandle(handle);
  if (!device) {
    SetLastError(ERROR_INVALID_HANDLE);
    return Fail();
  }
  DWORD returned = 0;
  if (!DeviceIoControl(device, IOCTL_SCSI_GET_CAPABILITIES, nullptr, 0, &capabilities, sizeof capabilities,
                       &returned, nullptr))
    return Fail();
  return true;
}

void Win32PassThroughSystem::Close(Handle handle) {
  void* device = SystemHandle(handle);
  if (!device) return;
  CloseHandle(device);
  m_handles[static_cast<size_t>(handle)] = nullptr;
}

bool Win32PassThroughSystem::MessageText(int code, size_t bufferSize, std::string& text) {
  std::string buffer(bufferSize, '\0');
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer.data(),
                                static_cast<DWORD>(bufferSize), nullptr);
  if (length == 0) return Fail();
  text.assign(buffer.data(), length);
  return true;
}

}  // namespace morv::win32
