#include "sim/device_claims.h"

#include <mutex>
#include <set>

namespace morv::sim {
namespace {

struct Claims {
  std::mutex mutex;
  std::set<const EmulatedDevice*> claimed;
};

Claims& TheClaims() {
  static Claims claims;
  return claims;
}

}  // namespace

bool TryClaimDevice(const EmulatedDevice& device) {
  Claims& claims = TheClaims();
  std::lock_guard lock(claims.mutex);
  return claims.claimed.insert(&device).second;
}

void ReleaseDevice(const EmulatedDevice& device) {
  Claims& claims = TheClaims();
  std::lock_guard lock(claims.mutex);
  claims.claimed.erase(&device);
}

std::string EmulatedAddress(const EmulatedDevice& device) { return "sim:" + std::to_string(device.Serial()); }

}  // namespace morv::sim
