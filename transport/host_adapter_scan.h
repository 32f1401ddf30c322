#pragma once
// Morvantide4's discovery: asks the ASPI manager about each host adapter and each
// adapter about targets 0 to 7, and keeps the names in process-wide tables.

#include <array>
#include <cstdint>
#include <string>

#include "scsi/scsi_drive.h"
#include "transport/aspi_transport.h"

namespace morv {

/// The names discovery found, indexed by host adapter number, then target ID.
/// Process-wide: they outlive every dialog, so the program's wiring owns them.
class DeviceNameTables {
 public:
  virtual ~DeviceNameTables() = default;

  /// The adapter's identifier, or empty.
  std::array<std::string, kAspiMaxHostAdapters> HostAdapterNames;
  /// The adapter's identifier at its own ID, a target's 16-character product
  /// identification, or empty for a target that did not answer.
  std::array<std::array<std::string, kAspiMaxTargets>, kAspiMaxHostAdapters> DeviceNames;
  /// How many targets answered with their identification (the adapters' own IDs not
  /// counted): 0 when the scan found no device to list.
  int DeviceCount = 0;

  /// Empties every entry.
  void Clear();
  /// Copies `name` into `entry`; false, with `entry` empty, when there is no memory for it.
  virtual bool Store(std::string& entry, const std::string& name);
};

/// Empties `tables`, then probes adapters 0 to HostAdapterCount - 1 and their targets
/// with `drive` into them. Returns 1, an adapter inquiry's failing status, or 254
/// (kCodeNoMemory) when a name could not be stored; the caller tells the operator.
uint8_t ScanAspiDevices(CScsiDrive& drive, AspiTransport& transport, DeviceNameTables& tables);

}  // namespace morv
