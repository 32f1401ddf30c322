#pragma once
// MorvantideNT's transport: every request of the drive object goes to the drive
// through the system's SCSI pass-through, one open, one request and one close at a
// time. It keeps, per drive letter, the largest transfer discovery learned and the
// in-use mark of a request being executed.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/pass_through_system.h"
#include "scsi/transport.h"

namespace morv {

class CommandTrace;

class PassThroughTransport : public Transport {
 public:
  /// QueryMaxTransfer never reports more than this.
  static constexpr uint32_t kMaxTransferLimit = 131072;
  /// Seconds the system lets every request take, whatever limit the caller passes.
  static constexpr uint32_t kSystemTimeOut = 200;
  static constexpr size_t kSenseLength = 20;

  /// `trace`, when given, gets one line per request.
  explicit PassThroughTransport(PassThroughSystem& system, CommandTrace* trace = nullptr);

  /// One request to the drive at the address's letter; the time limit is not used,
  /// the system always allows kSystemTimeOut seconds. Refuses a letter that is
  /// already executing a request (253, "Inuse") and data longer than the letter's
  /// largest transfer (230, "Buffer Too Big").
  RequestOutcome ExecRequest(const TransportRequest& request) override;
  /// True: MorvantideNT repeats a request while it fails with UNIT ATTENTION.
  bool RepeatsOnUnitAttention() const override { return true; }
  /// Empty after a success, the transport's own text for its own failures, else the
  /// text composed from the target status and sense.
  std::optional<std::string> ErrorText(const RequestOutcome& outcome, const std::string& commandName) const override;

  /// The largest data length, in bytes, of a request to drive `letter` from now on
  /// (0 for a letter discovery has not kept: requests with data are refused).
  void SetMaxTransfer(char letter, uint32_t maxTransfer);
  /// The largest data length a request to the drive at `letter` may carry.
  uint32_t MaxTransfer(char letter) const { return IndexOf(letter) < kLetters ? m_maxTransfer[IndexOf(letter)] : 0; }
  /// Whether the last request to `letter` found its device there but could not open
  /// it for want of rights (the system's access denial, not a missing device).
  bool AccessDenied(char letter) const { return IndexOf(letter) < kLetters && m_accessDenied[IndexOf(letter)]; }
  /// Whether a request to the drive at `letter` is being executed.
  bool DriveInUse(char letter) const { return IndexOf(letter) < kLetters && m_inUse[IndexOf(letter)]; }
  /// Largest transfer of the drive at `letter` in bytes, at most kMaxTransferLimit;
  /// 0 when it cannot be learned. `place`, when given, gets where the device sits.
  uint32_t QueryMaxTransfer(char letter, DevicePlace* place = nullptr);

  // The update's hold on its drive.
  /// Claims the drive at `letter` for an update; while claimed, every request to that
  /// letter goes through the claimed handle. A failed open gives its text ("Get
  /// Handle Error: ...") in `failureText`.
  ClaimOutcome ClaimDrive(char letter, std::string& failureText);
  /// Where the claimed device sits; empty when nothing is claimed.
  DevicePlace ClaimedPlace();
  /// Ends the claim, if any.
  void ReleaseDrive();

  /// The record ExecRequest hands the system for this CDB and buffer.
  static PassThroughRecord BuildRecord(const uint8_t* cdb, uint8_t cdbLength, uint8_t* data, uint32_t dataLength);

 private:
  static constexpr size_t kLetters = 26;
  /// The table index of `letter`; kLetters for anything but 'A' to 'Z'.
  static size_t IndexOf(char letter);
  /// The text of the last failed open: "Get Handle Error: %d\n" and the system text.
  std::string OpenErrorText();
  /// The system's message text for `code` followed by a line break, or
  /// "Format message failed.  Error: %d\n" when the lookup fails.
  std::string SystemErrorText(int code);
  /// Ends a request that did not reach the device.
  RequestOutcome Refuse(char letter, const PassThroughRecord& record, uint8_t code, std::string text);
  void Trace(char letter, const PassThroughRecord& record, const std::string& outcome);

  PassThroughSystem& m_system;
  CommandTrace* m_trace;
  std::array<uint32_t, kLetters> m_maxTransfer{};
  std::array<bool, kLetters> m_inUse{};
  std::array<bool, kLetters> m_accessDenied{};
  /// The claimed letter's index and its handle; kInvalidHandle when nothing is claimed.
  size_t m_claimedIndex = kLetters;
  PassThroughSystem::Handle m_claimed = PassThroughSystem::kInvalidHandle;
};

}  // namespace morv
