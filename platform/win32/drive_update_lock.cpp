#include "platform/win32/drive_update_lock.h"

#include <windows.h>

#include <algorithm>

namespace morv::win32 {

std::string DriveLockName(const std::string& address) {
  std::string name = address;
  std::replace_if(name.begin(), name.end(), [](char c) { return c == '\\' || c == ':' || c < ' '; }, '-');
  return "Global\\Morvantide-drive-" + name;
}

DriveUpdateLock::~DriveUpdateLock() { Release(); }

ClaimOutcome DriveUpdateLock::Take(const std::string& address) {
  Release();
  HANDLE mutex = CreateMutexA(nullptr, FALSE, DriveLockName(address).c_str());
  if (mutex == nullptr) return {ClaimStatus::Failed, {}, static_cast<int>(GetLastError())};
  switch (WaitForSingleObject(mutex, 0)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // its owner ended without releasing it: ours now
      m_mutex = mutex;
      return {ClaimStatus::Claimed, {}, 0};
    case WAIT_TIMEOUT:
      CloseHandle(mutex);
      return {ClaimStatus::UpdatedElsewhere, {}, 0};
    default: {
      const int error = static_cast<int>(GetLastError());
      CloseHandle(mutex);
      return {ClaimStatus::Failed, {}, error};
    }
  }
}

void DriveUpdateLock::Release() {
  if (m_mutex == nullptr) return;
  ReleaseMutex(m_mutex);
  CloseHandle(m_mutex);
  m_mutex = nullptr;
}

}  // namespace morv::win32
