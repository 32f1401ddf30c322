#pragma once
// An emulated SCSI device as both simulated platforms (the pass-through system and
// the ASPI bus) drive it, and the record of every command it received.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "scsi/operation_codes.h"

namespace morv::sim {

/// One command as it reaches a device.
struct DeviceCommand {
  std::vector<uint8_t> cdb;
  uint8_t* data = nullptr;      ///< the request's buffer (read for out, written for in)
  uint32_t dataLength = 0;
  DataDirection direction = DataDirection::None;
};

/// How a device finished a command.
struct DeviceResult {
  uint8_t status = 0;           ///< SCSI status byte (0 good, 2 check condition, 8 busy, ...)
  std::vector<uint8_t> sense;   ///< fixed-format sense data, empty when none
};

/// What a device received and answered, kept in order for tests.
struct RecordedCommand {
  std::vector<uint8_t> cdb;
  uint32_t dataLength = 0;
  DataDirection direction = DataDirection::None;
  std::vector<uint8_t> data;    ///< the bytes sent (data-out) or returned (data-in)
  uint8_t status = 0;
  std::vector<uint8_t> sense;
};

class EmulatedDevice {
 public:
  EmulatedDevice();
  virtual ~EmulatedDevice() = default;
  EmulatedDevice(const EmulatedDevice&) = delete;
  EmulatedDevice& operator=(const EmulatedDevice&) = delete;
  /// Executes one command and records it.
  virtual DeviceResult Execute(const DeviceCommand& command) = 0;
  /// Every command received so far, oldest first.
  virtual const std::vector<RecordedCommand>& Record() const = 0;
  /// Whether the device is present (a vanished device cannot be opened or selected).
  virtual bool Present() const = 0;
  /// A number no other device made in this process has had, even one made where a
  /// destroyed device was.
  uint64_t Serial() const { return m_serial; }

 private:
  const uint64_t m_serial;
};

/// Fixed-format sense data (18 bytes) with `key`, `asc` and `ascq`.
std::vector<uint8_t> FixedSense(uint8_t key, uint8_t asc, uint8_t ascq);

}  // namespace morv::sim
