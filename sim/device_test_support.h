#pragma once
// Helpers for the device-model tests: send a CDB to a device and read the answer.

#include <cstdint>
#include <string>
#include <vector>

#include "sim/emulated_device.h"

namespace morv::sim::testing {

struct Answer {
  uint8_t status = 0;
  uint8_t key = 0, asc = 0, ascq = 0;  ///< from the sense, zero without sense
};

inline Answer Send(EmulatedDevice& device, std::vector<uint8_t> cdb, uint8_t* data = nullptr, uint32_t length = 0,
                   DataDirection direction = DataDirection::None) {
  DeviceResult result = device.Execute({std::move(cdb), data, length, direction});
  Answer answer{result.status};
  if (result.sense.size() >= 14) {
    answer.key = result.sense[2] & 0x0F;
    answer.asc = result.sense[12];
    answer.ascq = result.sense[13];
  }
  return answer;
}

inline std::vector<uint8_t> WriteBufferCdb(uint8_t mode, uint8_t bufferId, uint32_t offset, uint32_t length) {
  return {0x3B, mode, bufferId, uint8_t(offset >> 16), uint8_t(offset >> 8), uint8_t(offset),
          uint8_t(length >> 16), uint8_t(length >> 8), uint8_t(length), 0x00};
}

inline std::string Text(const std::vector<uint8_t>& data, size_t at, size_t length) {
  return std::string(data.begin() + static_cast<std::ptrdiff_t>(at),
                     data.begin() + static_cast<std::ptrdiff_t>(at + length));
}

}  // namespace morv::sim::testing
