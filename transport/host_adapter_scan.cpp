#include "transport/host_adapter_scan.h"

#include <algorithm>
#include <new>

namespace morv {

void DeviceNameTables::Clear() {
  for (auto& name : HostAdapterNames) name.clear();
  for (auto& row : DeviceNames)
    for (auto& name : row) name.clear();
  DeviceCount = 0;
}

bool DeviceNameTables::Store(std::string& entry, const std::string& name) {
  try {
    entry = name;
    return true;
  } catch (const std::bad_alloc&) {
    entry.clear();
    return false;
  }
}

uint8_t ScanAspiDevices(CScsiDrive& drive, AspiTransport& transport, DeviceNameTables& tables) {
  tables.Clear();
  uint8_t status = SS_COMP;
  const int count = std::min(transport.HostAdapterCount(), kAspiMaxHostAdapters);
  for (int adapter = 0; adapter < count; ++adapter) {
    HostAdapterIdentity identity;
    status = transport.InquireHostAdapter(static_cast<uint8_t>(adapter), identity);
    if (status != SS_COMP) return status;
    bool stored = tables.Store(tables.HostAdapterNames[adapter], identity.identifier);
    for (int target = 0; stored && target < kAspiMaxTargets; ++target) {
      std::string& entry = tables.DeviceNames[adapter][target];
      // The adapter itself answers no INQUIRY: its own ID lists its identifier.
      if (target == identity.scsiId) {
        stored = tables.Store(entry, identity.identifier);
        continue;
      }
      drive.SetAddress(DriveAddress::Target(static_cast<uint8_t>(adapter), static_cast<uint8_t>(target), 0));
      std::string product;
      if (drive.InquireProductId(product) != kCodeDone) continue;
      stored = tables.Store(entry, product);
      if (stored) ++tables.DeviceCount;
    }
    if (!stored) return kCodeNoMemory;
  }
  return status;
}

}  // namespace morv
