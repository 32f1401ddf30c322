#pragma once
// A device for discovery tests whose INQUIRY data the test writes byte by byte:
// any device type, identification and version bytes, a command to refuse, and a
// switch that takes it off the bus. Every other command completes with GOOD.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/emulated_device.h"

namespace morv::testing {

class InquiryDevice : public sim::EmulatedDevice {
 public:
  /// Device type `type`; `identification` from byte 8 and `version` from byte 32,
  /// as given (no padding), the other bytes zero.
  InquiryDevice(uint8_t type, const std::string& identification, const std::string& version = "1.00")
      : inquiry(96, 0) {
    inquiry[0] = type;
    std::copy(identification.begin(), identification.end(), inquiry.begin() + 8);
    std::copy(version.begin(), version.end(), inquiry.begin() + 32);
  }

  std::vector<uint8_t> inquiry;
  /// The command (counted from 1) answered with CHECK CONDITION, ILLEGAL REQUEST; 0: none.
  size_t refuseCommand = 0;
  bool present = true;

  sim::DeviceResult Execute(const sim::DeviceCommand& command) override {
    sim::RecordedCommand recorded{command.cdb, command.dataLength, command.direction, {}, 0, {}};
    sim::DeviceResult result;
    if (++m_count == refuseCommand) {
      result = {0x02, sim::FixedSense(0x05, 0x24, 0x00)};
    } else if (command.cdb[0] == 0x12 && command.data != nullptr) {
      const size_t length = std::min<size_t>(command.dataLength, inquiry.size());
      std::copy_n(inquiry.begin(), length, command.data);
      recorded.data.assign(inquiry.begin(), inquiry.begin() + static_cast<std::ptrdiff_t>(length));
    }
    recorded.status = result.status;
    recorded.sense = result.sense;
    m_record.push_back(recorded);
    return result;
  }
  const std::vector<sim::RecordedCommand>& Record() const override { return m_record; }
  bool Present() const override { return present; }

 private:
  size_t m_count = 0;
  std::vector<sim::RecordedCommand> m_record;
};

}  // namespace morv::testing
