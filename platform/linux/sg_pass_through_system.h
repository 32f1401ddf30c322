#pragma once
// MorvantideNT's pass-through on Linux: drive letter A: is /dev/sg0 … Z: /dev/sg25,
// errno for error codes and strerror for their texts.
//
// Each request is submitted exactly once, with write() of an sg v3 header, and its
// answer is collected with poll() and read() on the same descriptor. A signal during
// the wait (stop and continue, a terminal resize, a child ending) only interrupts
// poll(), which is simply resumed; nothing is ever sent again. (An SG_IO ioctl would
// not do: when a signal interrupts its wait the sg driver abandons the command,
// which goes on in the drive, and the kernel restarts the ioctl, sending the same
// command a second time, or fails it with EINTR while the drive carries it out.)
//
// The record's time limit goes to the kernel with the command: when it passes, the
// SCSI layer aborts the command and the answer comes back as a time-out (ETIMEDOUT).
// The wait itself ends kAnswerGraceMs after that limit at the latest, for a kernel
// whose error recovery hangs; the request then fails with ETIMEDOUT, the command is
// left to the kernel (whatever it answers is discarded when the descriptor closes)
// and nothing is sent again.

#include <scsi/sg.h>

#include <map>
#include <utility>

#include "platform/linux/sg_drive_claim.h"
#include "platform/pass_through_system.h"

namespace morv::sg {

/// How long the wait goes on after the record's time limit, in milliseconds: room
/// for the kernel to abort the command and recover before it answers.
inline constexpr unsigned kAnswerGraceMs = 60'000;
/// The reserved buffer GetCapabilities asks the sg driver for, in bytes.
inline constexpr int kRequestedReserve = 128 * 1024;

class SgPassThroughSystem : public PassThroughSystem {
 public:
  /// Claims look into `paths` (sysfs, the device nodes, the mount table).
  explicit SgPassThroughSystem(ClaimPaths paths = {}) : m_paths(std::move(paths)) {}

  /// Opens the letter's sg node read-write (sg filters commands only on read-only
  /// descriptors, and WRITE BUFFER must pass) and non-blocking.
  Handle Open(char letter) override;
  /// write() of the request, then poll() and read() of its answer, as above. Host
  /// and driver errors fail the call with a fitting errno; descriptor-format sense
  /// is turned into fixed format.
  bool PassThroughDirect(Handle handle, PassThroughRecord& record) override;
  /// Asks the sg driver for a reserved buffer of kRequestedReserve bytes on this
  /// descriptor (it grants at most what the host can carry in one request) and
  /// reports what SG_GET_RESERVED_SIZE then says as MaximumTransferLength.
  bool GetCapabilities(Handle handle, IoScsiCapabilities& capabilities) override;
  /// close(2).
  void Close(Handle handle) override;
  /// The node's path and host:channel:target:LUN from the sg driver.
  DevicePlace PlaceOf(Handle handle) override;
  /// Opens the letter's node and claims it as platform/linux/sg_drive_claim.h says.
  ClaimOutcome Claim(char letter, Handle& handle) override;
  /// Lets the block device go, drops the lock and closes the node.
  void Release(Handle handle) override;
  /// EACCES or EPERM: the node's permissions (group cdrom) keep this user out.
  bool DeniesAccess(int code) const override;
  /// errno of the last failed call.
  int LastError() const override { return m_lastError; }
  /// strerror's text; EINVAL for an unknown code, ERANGE for a text too long.
  bool MessageText(int code, size_t bufferSize, std::string& text) override;

 private:
  bool Fail(int error) {
    m_lastError = error;
    return false;
  }
  /// write() of `header` to an sg descriptor (anything else is refused with the
  /// errno of SG_GET_VERSION_NUM, so no header is ever written into a plain file);
  /// false with the errno when the driver did not take it.
  bool Submit(Handle handle, const sg_io_hdr_t& header);
  /// Waits for the answer to the one request out on `handle` and reads it into
  /// `header`; false with the errno when none came.
  bool AwaitAnswer(Handle handle, sg_io_hdr_t& header);

  const ClaimPaths m_paths;
  std::map<Handle, int> m_blockHolds;  ///< claimed node -> its block device's descriptor (or -1)
  int m_lastError = 0;
};

}  // namespace morv::sg
