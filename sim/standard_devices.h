#pragma once
// The standard set of emulated devices that both simulated platforms put on their
// bus: a disk, the MX-R4410 and another CD-ROM drive. Shared, so tests keep a hand
// on each device (faults, record) while a platform holds it.

#include <memory>

#include "sim/mx_r4410.h"
#include "sim/neighbour_devices.h"

namespace morv::sim {

struct StandardDevices {
  std::shared_ptr<Disk> disk = std::make_shared<Disk>();
  std::shared_ptr<MxR4410> drive = std::make_shared<MxR4410>();
  std::shared_ptr<OtherCdrom> cdrom = std::make_shared<OtherCdrom>();
};

}  // namespace morv::sim
