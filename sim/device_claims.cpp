#include "sim/device_claims.h"

#include <map>
#include <mutex>
#include <set>

namespace morv::sim {
namespace {

struct Claims {
  std::mutex mutex;
  std::set<const EmulatedDevice*> claimed;
  std::map<const EmulatedDevice*, int> numbers;
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

std::string EmulatedAddress(const EmulatedDevice& device) {
  Claims& claims = TheClaims();
  std::lock_guard lock(claims.mutex);
  const auto [entry, added] = claims.numbers.try_emplace(&device, static_cast<int>(claims.numbers.size()));
  return "sim:" + std::to_string(entry->second);
}

}  // namespace morv::sim
