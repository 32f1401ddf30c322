#pragma once
// What the drive object hands the program-specific transport, and what it gets back:
// a drive's address, one request, and the request's outcome as a value. The
// transport writes nothing into the drive object. MorvantideNT's PassThroughTransport
// and Morvantide4's AspiTransport implement it (transport/).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "scsi/completion_codes.h"

namespace morv {

/// Largest sense length any program keeps.
inline constexpr size_t kMaxSenseLength = 20;

/// Where a drive is, from discovery through the selectors to the transport; display
/// text never stands in for it. MorvantideNT reaches a drive by its letter (the
/// system maps the letter to its device node); Morvantide4 by host adapter, target ID
/// and LUN.
struct DriveAddress {
  char letter = 0;           ///< 'A' to 'Z' (MorvantideNT); 0 for an adapter address
  uint8_t hostAdapter = 0;   ///< ASPI host adapter number (Morvantide4)
  uint8_t targetId = 0;      ///< SCSI target ID, 0 to 7 (Morvantide4)
  uint8_t lun = 0;           ///< merged into bits 5-7 of CDB byte 1; MorvantideNT's is 0

  static DriveAddress Letter(char letter) { return {letter, 0, 0, 0}; }
  static DriveAddress Target(uint8_t hostAdapter, uint8_t targetId, uint8_t lun) {
    return {0, hostAdapter, targetId, lun};
  }
  bool operator==(const DriveAddress&) const = default;
};

/// One request as the drive object hands it on.
struct TransportRequest {
  DriveAddress address;
  const uint8_t* cdb = nullptr;  ///< LUN bits already merged
  uint8_t cdbLength = 0;
  uint8_t* data = nullptr;       ///< caller-owned; null with a length of 0 for commands without data
  uint32_t dataLength = 0;
  int32_t timeoutSeconds = 0;
};

/// What one request came to.
struct RequestOutcome {
  uint8_t code = kCodeDone;  ///< the completion code
  /// The system or manager took the request: haStatus, targetStatus and sense are
  /// what it returned. False for a request refused or failed before that; the drive
  /// object then keeps the status bytes of the request before.
  bool carried = false;
  /// The device completed the request: its sense may ask for a repeat.
  bool reachedDevice = false;
  uint8_t haStatus = 0;
  uint8_t targetStatus = 0;
  /// Fixed-format sense, as many bytes as the program keeps (20 or 14), the rest zero;
  /// all zero when the device returned none or the request did not reach it.
  std::array<uint8_t, kMaxSenseLength> sense{};
  /// The transport's own words for a failure it met itself ("Inuse", "Get Handle
  /// Error: ..."); empty when the program's wording composes the text.
  std::string transportText;

  /// A request refused or failed before the system or manager took it.
  static RequestOutcome Refused(uint8_t code, std::string text = {}) {
    RequestOutcome outcome;
    outcome.code = code;
    outcome.transportText = std::move(text);
    return outcome;
  }
};

class Transport {
 public:
  virtual ~Transport() = default;

  /// Executes one request with the first `cdbLength` bytes of its CDB. A second
  /// request to a target with one outstanding is refused with kCodeTargetBusy
  /// without being sent.
  virtual RequestOutcome ExecRequest(const TransportRequest& request) = 0;
  /// Whether Execute6/10/12 repeat a request while it fails with UNIT ATTENTION.
  virtual bool RepeatsOnUnitAttention() const = 0;
  /// The drive object's error text after `outcome`, opened by `commandName`, in the
  /// program's own words; nullopt when the earlier text stays. Shows nothing.
  virtual std::optional<std::string> ErrorText(const RequestOutcome& outcome,
                                               const std::string& commandName) const = 0;
};

}  // namespace morv
