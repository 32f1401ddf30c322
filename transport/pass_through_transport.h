#pragma once
// MorvantideNT's transport: every request of the drive object goes to the drive
// through the system's SCSI pass-through, one open, one request and one close at a
// time. It also keeps the device table that discovery fills.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/pass_through_system.h"
#include "scsi/scsi_drive.h"

namespace morv {

class CommandTrace;

class PassThroughTransport : public Transport {
 public:
  static constexpr size_t kDriveTableSize = 28;
  /// The entry discovery points at each drive letter in turn while it probes.
  static constexpr uint8_t kScanSlot = 27;
  /// QueryMaxTransfer never reports more than this.
  static constexpr uint32_t kMaxTransferLimit = 131072;
  /// Seconds the system lets every request take, whatever limit the caller passes.
  static constexpr uint32_t kSystemTimeOut = 200;
  static constexpr size_t kSenseLength = 20;

  /// `trace`, when given, gets one line per request.
  explicit PassThroughTransport(PassThroughSystem& system, CommandTrace* trace = nullptr);

  // The device table (one per process), indexed by the drive object's m_deviceIndex.
  /// "E:" followed by the drive's description; the first two characters reach the device.
  std::array<std::string, kDriveTableSize> DriveNames;
  /// Largest data length, in bytes, of a request to the entry's drive.
  std::array<uint32_t, kDriveTableSize> MaxTransfer{};
  /// Nonzero while a request to the entry's drive is being executed.
  std::array<int, kDriveTableSize> DriveInUse{};
  /// Entries discovery filled, from entry 0.
  int DriveCount = 0;

  /// One request to the drive of `drive.m_deviceIndex`; the time limit is not used,
  /// the system always allows kSystemTimeOut seconds.
  uint8_t ExecRequest(CScsiDrive& drive, const uint8_t* cdb, uint8_t cdbLength, int32_t timeoutSeconds) override;
  /// True: MorvantideNT repeats a request while it fails with UNIT ATTENTION.
  bool RepeatsOnUnitAttention() const override { return true; }
  /// DriveCount := 0.
  void ResetDeviceCount() override { DriveCount = 0; }

  // Discovery's changes to the device table.
  /// Readies the scan slot (free, `maxTransfer` bytes) and returns its index.
  uint8_t OpenScanSlot(uint32_t maxTransfer);
  /// Points the scan slot at drive letter `letter`.
  void PointScanSlotAt(char letter) { DriveNames[kScanSlot] = std::string{letter, ':'}; }
  /// Entry `index` names a drive ("E:" and its description) with its largest transfer
  /// and where it sits.
  void SetDrive(uint8_t index, std::string name, uint32_t maxTransfer, DevicePlace place = {});

  /// Largest transfer of the drive of `drive.m_deviceIndex` in bytes, at most
  /// kMaxTransferLimit; 0 when it cannot be learned. `place`, when given, gets where
  /// the device sits.
  uint32_t QueryMaxTransfer(CScsiDrive& drive, DevicePlace* place = nullptr);
  /// Where entry `index`'s device sat when discovery listed it.
  const DevicePlace& ListedPlace(uint8_t index) const { return m_listedPlaces.at(index); }

  // The update's hold on its drive.
  /// Claims the drive of `drive.m_deviceIndex` for an update; while claimed, every
  /// request to that entry goes through the claimed handle. A failed open leaves
  /// its text ("Get Handle Error: ...") in the drive object.
  ClaimOutcome ClaimDrive(CScsiDrive& drive);
  /// Where the claimed device sits; empty when nothing is claimed.
  DevicePlace ClaimedPlace();
  /// Ends the claim, if any.
  void ReleaseDrive();

  /// The record ExecRequest hands the system for this CDB and buffer.
  static PassThroughRecord BuildRecord(const uint8_t* cdb, uint8_t cdbLength, uint8_t* data, uint32_t dataLength);

 private:
  /// Opens "\\.\" followed by the first two characters of the drive's entry.
  PassThroughSystem::Handle OpenDevice(const CScsiDrive& drive);
  /// The text of the last failed open: "Get Handle Error: %d\n" and the system text.
  std::string OpenErrorText();
  /// The system's message text for `code` followed by a line break, or
  /// "Format message failed.  Error: %d\n" when the lookup fails.
  std::string SystemErrorText(int code);
  /// Ends a request that did not reach the device: no sense, status bytes kept.
  uint8_t Refuse(CScsiDrive& drive, const PassThroughRecord& record, uint8_t code, std::string text);
  void Trace(const CScsiDrive& drive, const PassThroughRecord& record, const std::string& outcome);

  PassThroughSystem& m_system;
  CommandTrace* m_trace;
  std::array<DevicePlace, kDriveTableSize> m_listedPlaces;
  /// The claimed entry and its handle; kInvalidHandle when nothing is claimed.
  size_t m_claimedIndex = kDriveTableSize;
  PassThroughSystem::Handle m_claimed = PassThroughSystem::kInvalidHandle;
};

}  // namespace morv
