#include "sim/emulated_device.h"

#include <atomic>

namespace morv::sim {

namespace {
std::atomic<uint64_t> s_devicesMade{0};
}  // namespace

EmulatedDevice::EmulatedDevice() : m_serial(s_devicesMade++) {}

std::vector<uint8_t> FixedSense(uint8_t key, uint8_t asc, uint8_t ascq) {
  std::vector<uint8_t> sense(18, 0);
  sense[0] = 0x70;
  sense[2] = key & 0x0F;
  sense[7] = 10;  // additional sense length
  sense[12] = asc;
  sense[13] = ascq;
  return sense;
}

}  // namespace morv::sim
