#pragma once
// The devices that sit beside the MX-R4410 on an emulated bus: a hard disk and a
// CD-ROM drive of another maker, which refuses a microcode download.

#include "sim/standard_device.h"

namespace morv::sim {

/// A ready hard disk (type 0) that knows TEST UNIT READY besides the common commands.
class Disk : public StandardDevice {
 public:
  Disk();

 protected:
  DeviceResult Respond(const DeviceCommand& command, std::vector<uint8_t>& dataIn) override;
};

/// A CD-ROM drive (type 5) without a disc; WRITE BUFFER is unknown to it.
class OtherCdrom : public StandardDevice {
 public:
  OtherCdrom();

 protected:
  DeviceResult Respond(const DeviceCommand& command, std::vector<uint8_t>& dataIn) override;
};

}  // namespace morv::sim
