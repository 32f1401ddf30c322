#pragma once
// What the Linux ASPI manager reads from sysfs: the sg nodes with their SCSI
// addresses, and the SCSI hosts that carry them, which become host adapters
// 0, 1, ... in ascending host number.

#include <compare>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morv::linux_aspi {

/// host:channel:target:lun as the kernel names a SCSI device.
struct ScsiAddress {
  uint32_t host = 0;
  uint32_t channel = 0;
  uint32_t target = 0;
  uint64_t lun = 0;
  auto operator<=>(const ScsiAddress&) const = default;
};

/// One /dev/sgN node and the device behind it.
struct SgNode {
  std::string name;     ///< "sg3"
  ScsiAddress address;
};

/// One SCSI host that has sg nodes: an ASPI host adapter.
struct HostAdapter {
  uint32_t hostNumber = 0;
  std::string procName;  ///< the driver's name, "sym53c8xx", "scsi_debug", ...
  uint8_t ownId = 7;     ///< the host's own SCSI ID
};

/// Parses "H:C:T:L" (decimal); nullopt for anything else.
std::optional<ScsiAddress> ParseScsiAddress(std::string_view text);
/// The own ID from a host's this_id text: the number when it is 0-255, else 7.
uint8_t OwnIdFromThisId(std::string_view text);

/// The sg nodes under <sysfs>/class/scsi_generic whose device link names an
/// address, by ascending node number; empty when the folder cannot be read.
std::vector<SgNode> ReadSgNodes(const std::filesystem::path& sysfsRoot);
/// The hosts of `nodes`, ascending, with proc_name and own ID from
/// <sysfs>/class/scsi_host/hostN (an unreadable proc_name reads as empty).
std::vector<HostAdapter> ReadHostAdapters(const std::filesystem::path& sysfsRoot, const std::vector<SgNode>& nodes);
/// The nodes of `host` at `target` and `lun`, channel 0 first, then by channel.
std::vector<SgNode> NodesAt(const std::vector<SgNode>& nodes, uint32_t host, uint32_t target, uint64_t lun);

}  // namespace morv::linux_aspi
