#include "sim/neighbour_devices.h"

namespace morv::sim {
namespace {
constexpr uint8_t kOpTestUnitReady = 0x00;
}  // namespace

Disk::Disk() : StandardDevice({0x00, false, "SIMUL", "VIRTUAL DISK", "1.00"}) {}

DeviceResult Disk::Respond(const DeviceCommand& command, std::vector<uint8_t>&) {
  if (command.cdb[0] == kOpTestUnitReady) return Good();
  return CheckCondition(0x05, 0x20, 0x00);  // INVALID COMMAND OPERATION CODE
}

OtherCdrom::OtherCdrom() : StandardDevice({0x05, true, "OTHERCO", "CD-ROM X1", "2.10"}) {}

DeviceResult OtherCdrom::Respond(const DeviceCommand& command, std::vector<uint8_t>&) {
  if (command.cdb[0] == kOpTestUnitReady) return CheckCondition(0x02, 0x3A, 0x00);  // MEDIUM NOT PRESENT
  return CheckCondition(0x05, 0x20, 0x00);  // INVALID COMMAND OPERATION CODE
}

}  // namespace morv::sim
