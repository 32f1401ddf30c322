#pragma once
// The drive object: every command either program sends goes through it. It holds
// the selected drive's address, the request record, the status bytes and sense of
// the last request that reached the device, the last error text and the command
// name that opens every composed error text. Its state is its own: the transport
// returns each request's outcome as a value, and callers use the operations below.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "scsi/completion_codes.h"
#include "scsi/operation_codes.h"
#include "scsi/transport.h"

namespace morv {

/// Time-out of every command, in seconds.
inline constexpr int32_t kCommandTimeout = 7200;
/// Time-out of Morvantide4's product-identification inquiry, in seconds.
inline constexpr int32_t kProductIdTimeout = 10;
inline constexpr uint8_t kSenseKeyUnitAttention = 0x06;
/// How often a request is sent again while the device keeps answering UNIT
/// ATTENTION. A drive reports each condition once; one that never stops must not
/// hang the program.
inline constexpr int kMaxUnitAttentionRepeats = 20;

/// What INQUIRY with allocation length 255 answers, in a buffer with room to spare.
using InquiryData = std::array<uint8_t, 256>;

/// The request record inside the drive object, reused for every request.
struct ScsiRequest {
  uint8_t* data = nullptr;   ///< caller-owned buffer of the next requests (borrowed)
  uint32_t dataLength = 0;   ///< transfer length handed to the transport
  /// Fixed-format sense of the last request; all zero when it did not reach the device.
  std::array<uint8_t, kMaxSenseLength> sense{};
  /// Whether the last request reached the device and completed.
  bool completed = false;
};

class CScsiDrive {
 public:
  /// Empty texts, no buffer, address and status zero.
  explicit CScsiDrive(Transport& transport) : m_transport(transport) {}
  CScsiDrive(const CScsiDrive&) = delete;
  CScsiDrive& operator=(const CScsiDrive&) = delete;

  /// Addresses every later request to `address`.
  void SetAddress(const DriveAddress& address) { m_address = address; }
  const DriveAddress& Address() const { return m_address; }
  /// Stores the buffer and length for the next commands; no check, no copy.
  void SetBuffer(uint8_t* data, uint32_t length);
  /// Whether the next commands would move data through `data`.
  bool UsesBuffer(const uint8_t* data) const { return data != nullptr && m_request.data == data; }
  /// Opens every later composed error text; callers only set it.
  void SetCommandName(std::string name) { m_commandName = std::move(name); }
  /// A copy of the last error text.
  std::string GetErrorText() const { return m_errorText; }

  /// Executes a 6-, 10- or 12-byte CDB template: merges the LUN into bits 5-7 of
  /// byte 1 (in place), sends it, and in MorvantideNT repeats it while it fails with
  /// UNIT ATTENTION (at most kMaxUnitAttentionRepeats times). Commands without a data
  /// phase go out with no buffer and length 0.
  uint8_t Execute6(uint8_t* cdb, int32_t timeout) { return Execute(cdb, 6, timeout); }
  uint8_t Execute10(uint8_t* cdb, int32_t timeout) { return Execute(cdb, 10, timeout); }
  uint8_t Execute12(uint8_t* cdb, int32_t timeout) { return Execute(cdb, 12, timeout); }

  /// Hands one request to the transport and takes in its outcome: status bytes and
  /// sense when the request was carried, the error text in the program's words.
  uint8_t ExecRequest(const uint8_t* cdb, uint8_t cdbLength, int32_t timeout);

  // Update commands (scsi/update_commands.cpp).
  uint8_t TestUnitReady();
  /// INQUIRY; the caller has set a buffer of at least `allocationLength` bytes.
  uint8_t Inquiry(uint8_t allocationLength);
  /// WRITE BUFFER; the caller has set the data with SetBuffer and the same length.
  uint8_t WriteBuffer(uint8_t mode, uint8_t bufferId, uint32_t offset, uint32_t length);
  /// Morvantide4's INQUIRY for the device list: repeats while it fails with UNIT
  /// ATTENTION (at most kMaxUnitAttentionRepeats times), 10-second limit; `productId`
  /// gets the 16 bytes of the product identification as IdentificationText reads
  /// them (16 spaces on failure).
  uint8_t InquireProductId(std::string& productId);
  /// Zeroes `data`, then INQUIRY with allocation length 255 into it; the drive object
  /// is left without a buffer.
  uint8_t InquireDriveData(InquiryData& data);
  /// INQUIRY as above; on completion code 1 `version` gets the firmware version: the
  /// 17 bytes from byte 32 (product revision level and the vendor bytes after it) up
  /// to the first zero byte, bytes outside printable ASCII read as spaces. Otherwise
  /// `version` is left alone.
  uint8_t InquireFirmwareVersion(std::string& version);
  /// The vendor-unique TEST UNIT READY template (00 00 00 00 00 C0) for Execute6.
  static uint8_t* TestUnitReadyVU();

  /// Host adapter and target status bytes of the last request that was carried.
  uint8_t HaStatus() const { return m_haStatus; }
  uint8_t TargetStatus() const { return m_targetStatus; }
  /// Sense of the last request (as many bytes as the program keeps, the rest zero).
  const std::array<uint8_t, kMaxSenseLength>& Sense() const { return m_request.sense; }
  /// Sense key (byte 2 bits 0-3), ASC (byte 12) and ASCQ (byte 13) of the last sense.
  uint8_t SenseKey() const { return m_request.sense[2] & 0x0F; }
  uint8_t Asc() const { return m_request.sense[12]; }
  uint8_t Ascq() const { return m_request.sense[13]; }
  /// Whether the last request reached the device and it answered UNIT ATTENTION.
  bool UnitAttentionReported() const { return m_request.completed && SenseKey() == kSenseKeyUnitAttention; }

 private:
  uint8_t Execute(uint8_t* cdb, uint8_t length, int32_t timeout);

  Transport& m_transport;
  DriveAddress m_address;
  uint8_t m_haStatus = 0;
  uint8_t m_targetStatus = 0;
  ScsiRequest m_request;
  std::string m_errorText;
  std::string m_commandName;
};

}  // namespace morv
