#pragma once
// The update lock of a drive on Windows: a named mutex in the Global\ namespace, so
// every program in every login session sees the same one, named after where the
// drive sits on its bus (port:path:target:LUN). A mutex whose owner died without
// releasing it is taken over (WAIT_ABANDONED), so a crashed program blocks nobody.

#include <string>

#include "platform/drive_claim.h"

namespace morv::win32 {

/// "Global\Morvantide-drive-" and `address`, with characters a name cannot carry
/// replaced by '-'.
std::string DriveLockName(const std::string& address);

class DriveUpdateLock {
 public:
  DriveUpdateLock() = default;
  /// Releases the lock if held.
  ~DriveUpdateLock();
  DriveUpdateLock(const DriveUpdateLock&) = delete;
  DriveUpdateLock& operator=(const DriveUpdateLock&) = delete;

  /// Takes the lock of the drive at `address` without waiting: Claimed,
  /// UpdatedElsewhere when another program holds it, Failed with the system's error.
  ClaimOutcome Take(const std::string& address);
  /// Releases the lock and closes the mutex; nothing when not held.
  void Release();

 private:
  void* m_mutex = nullptr;
};

}  // namespace morv::win32
