#pragma once
// MorvantideNT's pass-through on Windows: CreateFileA on "\\.\E:", one
// DeviceIoControl with IOCTL_SCSI_PASS_THROUGH_DIRECT per request,
// IOCTL_STORAGE_QUERY_PROPERTY (else IOCTL_SCSI_GET_CAPABILITIES) for the largest
// transfer, GetLastError for error codes and FormatMessageA for their texts.
//
// A claim takes the drive's update lock (platform/win32/drive_update_lock.h, named
// after IOCTL_SCSI_GET_ADDRESS) and locks the CD-ROM class driver for the claimed
// handle (IOCTL_CDROM_EXCLUSIVE_ACCESS): requests through any other handle then fail,
// the system sends no media change notifications, and a drive whose disc is mounted
// or that another program has locked is refused. Exclusive access rather than a
// volume lock: it needs no file system on the disc (a drive without a disc has no
// volume to lock), and it is the class driver's own way for one program to have a
// drive, the way burning programs have it. Where the system does not offer it (an
// older Windows, or wine), the update goes on with the lock alone.

#include <map>
#include <memory>
#include <vector>

#include "platform/pass_through_system.h"
#include "platform/win32/drive_update_lock.h"

namespace morv::win32 {

class Win32PassThroughSystem : public PassThroughSystem {
 public:
  ~Win32PassThroughSystem() override;
  /// CreateFileA: read and write access, shared for reading and writing, existing only.
  Handle Open(char letter) override;
  /// IOCTL_SCSI_PASS_THROUGH_DIRECT with the record as input and output buffer; an
  /// unspecified direction of a command that moves data is first set from the
  /// operation-code table (RecordDirection). The data buffer meets the adapter's
  /// AlignmentMask (IOCTL_STORAGE_QUERY_PROPERTY), through an aligned copy where the
  /// caller's does not (platform/aligned_record.h).
  bool PassThroughDirect(Handle handle, PassThroughRecord& record) override;
  /// IOCTL_STORAGE_QUERY_PROPERTY's adapter descriptor (largest transfer, physical
  /// pages, alignment mask) in the published IO_SCSI_CAPABILITIES; where the system
  /// offers no descriptor, IOCTL_SCSI_GET_CAPABILITIES.
  bool GetCapabilities(Handle handle, IoScsiCapabilities& capabilities) override;
  /// CloseHandle.
  void Close(Handle handle) override;
  /// No node name; port:path:target:LUN from IOCTL_SCSI_GET_ADDRESS.
  DevicePlace PlaceOf(Handle handle) override;
  /// Opens the drive, takes its update lock and its exclusive access, as above.
  ClaimOutcome Claim(char letter, Handle& handle) override;
  /// Unlocks the exclusive access, releases the update lock and closes the handle.
  void Release(Handle handle) override;
  /// ERROR_ACCESS_DENIED: a drive letter's device opened by a standard user.
  bool DeniesAccess(int code) const override { return code == 5; }
  /// GetLastError of the last failed call.
  int LastError() const override { return m_lastError; }
  /// FormatMessageA from the system's table in the default language.
  bool MessageText(int code, size_t bufferSize, std::string& text) override;

 private:
  /// The system handle behind one of ours, or null.
  void* SystemHandle(Handle handle) const;
  bool Fail();
  /// Locks the class driver for `device`; false with the system's error when it refuses.
  bool LockExclusive(void* device, int& error);
  std::vector<void*> m_handles;  ///< ours are positions here; null marks a free slot
  /// Claimed handles: the update lock and whether the exclusive access is held.
  struct ClaimHold {
    std::unique_ptr<DriveUpdateLock> lock;
    bool exclusive = false;
  };
  std::map<Handle, ClaimHold> m_claims;
  /// The adapter's alignment mask per open handle, once asked.
  std::map<Handle, uint32_t> m_alignmentMasks;
  int m_lastError = 0;
};

}  // namespace morv::win32
