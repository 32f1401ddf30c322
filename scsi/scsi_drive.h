#pragma once
// The drive object: every command either program sends goes through it. It holds
// the selected drive's address, the request record, the status bytes and sense of
// the last request that reached the device, the last error text and the command
// name that opens every composed error text.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "scsi/completion_codes.h"
#include "scsi/operation_codes.h"
#include "scsi/transport.h"

namespace morv {

/// Largest sense length any program keeps.
inline constexpr size_t kMaxSenseLength = 20;
/// Time-out of every command, in seconds.
inline constexpr int32_t kCommandTimeout = 7200;
/// Time-out of Morvantide4's product-identification inquiry, in seconds.
inline constexpr int32_t kProductIdTimeout = 10;
inline constexpr uint8_t kSenseKeyUnitAttention = 0x06;
/// How often a request is sent again while the device keeps answering UNIT
/// ATTENTION. A drive reports each condition once; one that never stops must not
/// hang the program.
inline constexpr int kMaxUnitAttentionRepeats = 20;

/// The request record inside the drive object, reused for every request.
struct ScsiRequest {
  uint8_t* data = nullptr;   ///< caller-owned buffer of the next requests (borrowed)
  uint32_t dataLength = 0;   ///< transfer length handed to the transport
  /// Fixed-format sense of the last request that reached the device; the transport
  /// fills as many bytes as its program keeps (20 or 14), the rest stays zero.
  std::array<uint8_t, kMaxSenseLength> sense{};
  /// Whether the last request reached the device and completed (set by the transport).
  bool completed = false;
};

class CScsiDrive {
 public:
  /// Empty texts, no buffer, address and status zero; resets the transport's count
  /// of discovered devices.
  explicit CScsiDrive(Transport& transport);
  CScsiDrive(const CScsiDrive&) = delete;
  CScsiDrive& operator=(const CScsiDrive&) = delete;

  // Address. MorvantideNT uses m_deviceIndex; Morvantide4 m_hostAdapter and m_targetId.
  uint8_t m_deviceIndex = 0;
  uint8_t m_hostAdapter = 0;
  uint8_t m_targetId = 0;
  uint8_t m_lun = 0;
  uint8_t m_haStatus = 0;      ///< host adapter status of the last completed request
  uint8_t m_targetStatus = 0;  ///< SCSI status byte of the last completed request
  ScsiRequest m_request;
  std::string m_errorText;     ///< last error text
  std::string m_commandName;   ///< opens every composed error text; set by callers only

  /// Stores the buffer and length for the next commands; no check, no copy.
  void SetBuffer(uint8_t* data, uint32_t length);
  /// A copy of the last error text.
  std::string GetErrorText() const { return m_errorText; }

  /// Executes a 6-, 10- or 12-byte CDB template: merges m_lun into bits 5-7 of byte 1
  /// (in place), sends it, and in MorvantideNT repeats it while it fails with UNIT
  /// ATTENTION (at most kMaxUnitAttentionRepeats times). Commands without a data phase go out with no buffer and length 0.
  uint8_t Execute6(uint8_t* cdb, int32_t timeout) { return Execute(cdb, 6, timeout); }
  uint8_t Execute10(uint8_t* cdb, int32_t timeout) { return Execute(cdb, 10, timeout); }
  uint8_t Execute12(uint8_t* cdb, int32_t timeout) { return Execute(cdb, 12, timeout); }

  /// Hands one request to the transport.
  uint8_t ExecRequest(const uint8_t* cdb, uint8_t cdbLength, int32_t timeout) {
    return m_transport.ExecRequest(*this, cdb, cdbLength, timeout);
  }

  // Update commands (scsi/update_commands.cpp).
  uint8_t TestUnitReady();
  /// INQUIRY; the caller has set a buffer of at least `allocationLength` bytes.
  uint8_t Inquiry(uint8_t allocationLength);
  /// WRITE BUFFER; the caller has set the data with SetBuffer and the same length.
  uint8_t WriteBuffer(uint8_t mode, uint8_t bufferId, uint32_t offset, uint32_t length);
  /// Morvantide4's INQUIRY for the device list: repeats while it fails with UNIT
  /// ATTENTION (at most kMaxUnitAttentionRepeats times), 10-second limit; `productId` gets the 16 bytes of the product
  /// identification as IdentificationText reads them (16 spaces on failure).
  uint8_t InquireProductId(std::string& productId);
  /// The vendor-unique TEST UNIT READY template (00 00 00 00 00 C0) for Execute6.
  static uint8_t* TestUnitReadyVU();

  /// Sense key (byte 2 bits 0-3), ASC (byte 12) and ASCQ (byte 13) of the last sense.
  uint8_t SenseKey() const { return m_request.sense[2] & 0x0F; }
  uint8_t Asc() const { return m_request.sense[12]; }
  uint8_t Ascq() const { return m_request.sense[13]; }
  /// Whether the last request reached the device and it answered UNIT ATTENTION.
  bool UnitAttentionReported() const { return m_request.completed && SenseKey() == kSenseKeyUnitAttention; }

  Transport& GetTransport() const { return m_transport; }

 private:
  uint8_t Execute(uint8_t* cdb, uint8_t length, int32_t timeout);

  Transport& m_transport;
};

}  // namespace morv
