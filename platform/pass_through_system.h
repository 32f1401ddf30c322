#pragma once
// The operating system's SCSI pass-through as MorvantideNT uses it: open a drive by
// its letter (each system finds the letter's device: "\\.\E:" on Windows, an sg node
// on Linux, an emulated device in sim/), hand it one request record, ask the adapter's
// capabilities, close it; failures leave an error code and the system has a message
// text for each code. platform/linux/ carries it on SG_IO, sim/ on emulated devices.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/drive_claim.h"
#include "scsi/operation_codes.h"

namespace morv {

/// The published direct pass-through request: the drive reads from or writes into
/// DataBuffer itself, no copy is made.
struct ScsiPassThroughDirect {
  uint16_t Length = 0;              ///< size of this structure as the caller states it
  uint8_t ScsiStatus = 0;           ///< SCSI status byte, written back by the system
  uint8_t PathId = 0;
  uint8_t TargetId = 0;
  uint8_t Lun = 0;
  uint8_t CdbLength = 0;            ///< valid bytes of Cdb, 1 to 16
  uint8_t SenseInfoLength = 0;      ///< how many sense bytes the caller has room for
  uint8_t DataIn = 0;               ///< kDataOut, kDataIn or kDataUnspecified
  uint32_t DataTransferLength = 0;  ///< bytes to move through DataBuffer
  uint32_t TimeOutValue = 0;        ///< seconds the system lets the drive take
  void* DataBuffer = nullptr;
  uint32_t SenseInfoOffset = 0;     ///< where the caller's record keeps its sense area
  uint8_t Cdb[16] = {};
};

/// Values of ScsiPassThroughDirect::DataIn.
inline constexpr uint8_t kDataOut = 0;
inline constexpr uint8_t kDataIn = 1;
inline constexpr uint8_t kDataUnspecified = 2;

/// Size of the sense area that follows the request in a record.
inline constexpr size_t kPassThroughSenseAreaSize = 32;

/// The request record handed to the system: the request, then room for the sense
/// data the drive returns.
struct PassThroughRecord {
  ScsiPassThroughDirect spt;
  uint32_t filler = 0;
  uint8_t sense[kPassThroughSenseAreaSize] = {};
};

/// The published answer to a capabilities query of the drive's adapter.
struct IoScsiCapabilities {
  uint32_t Length = 0;
  uint32_t MaximumTransferLength = 0;  ///< largest data length of one request, in bytes
  uint32_t MaximumPhysicalPages = 0;
  uint32_t SupportedAsynchronousEvents = 0;
  uint32_t AlignmentMask = 0;
  uint8_t TaggedQueuing = 0;
  uint8_t AdapterScansDown = 0;
  uint8_t AdapterUsesPio = 0;
};

class PassThroughSystem {
 public:
  using Handle = int;
  static constexpr Handle kInvalidHandle = -1;

  virtual ~PassThroughSystem() = default;
  /// Opens the device of drive `letter` ('A' to 'Z') for reading and writing;
  /// kInvalidHandle on failure, and for any other letter.
  virtual Handle Open(char letter) = 0;
  /// Executes one request and writes ScsiStatus and the sense area back; false when
  /// the request could not be carried out (the drive's own status is no failure).
  virtual bool PassThroughDirect(Handle handle, PassThroughRecord& record) = 0;
  /// Fills `capabilities` for the adapter behind `handle`; false on failure.
  virtual bool GetCapabilities(Handle handle, IoScsiCapabilities& capabilities) = 0;
  /// Closes a handle that Open returned.
  virtual void Close(Handle handle) = 0;
  /// Where the device behind `handle` sits; empty fields for what the system cannot tell.
  virtual DevicePlace PlaceOf(Handle handle) = 0;
  /// Opens the device of drive `letter` for an update and keeps it until Release: takes the lock
  /// every program agrees on for that device and keeps other programs off the drive where
  /// the system allows it. On Claimed, `handle` is the open device; every request of the
  /// update goes through it, so a device that takes the drive's place never gets one.
  virtual ClaimOutcome Claim(char letter, Handle& handle) = 0;
  /// Ends a claim: lets other programs at the drive again, drops the lock, closes `handle`.
  virtual void Release(Handle handle) = 0;
  /// The error code of the last failed call.
  virtual int LastError() const = 0;
  /// Whether `code`, the error of a failed Open, means that the device is there and
  /// this process may not open it (rights, not absence).
  virtual bool DeniesAccess(int code) const = 0;
  /// The system's message text for `code` if it fits a buffer of `bufferSize`
  /// characters with its terminating zero; false otherwise (LastError then says why).
  virtual bool MessageText(int code, size_t bufferSize, std::string& text) = 0;
};

/// `letter` as 'A' to 'Z' when it is a drive letter in either case; 0 otherwise.
char DriveLetterOf(char letter);

/// The Windows device path of drive `letter` ("\\.\E:"); empty for anything but a
/// drive letter.
std::string DevicePathOf(char letter);

/// Data direction a system gives a record: as declared for data-out and data-in,
/// by operation code for an unspecified direction, none for a length of 0.
DataDirection RecordDirection(const ScsiPassThroughDirect& request);

/// The C library's text for the errno value `code`, the system text of a backend
/// whose error codes are errno values, when it fits a buffer of `bufferSize`
/// characters with its terminating zero. Otherwise false, with `error` set to EINVAL
/// (no such code) or ERANGE (too long).
bool ErrnoMessageText(int code, size_t bufferSize, std::string& text, int& error);

/// Whether the C library has a text of its own for the errno value `code` (not
/// merely an "unknown error" text). Each operating system's backend provides it.
bool IsErrnoValue(int code);

/// Whether a system can carry out `request`: a CDB of 1 to 16 bytes, a buffer for
/// any data, a known direction and a sense length that fits the record.
bool WellFormed(const ScsiPassThroughDirect& request);

}  // namespace morv
