#include "apps/simulated_delay.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace morv {

std::optional<std::chrono::milliseconds> SimulatedDelayFrom(const char* text) {
  if (text == nullptr) return std::nullopt;
  const char* end = text + std::strlen(text);
  unsigned milliseconds = 0;
  const auto [stop, error] = std::from_chars(text, end, milliseconds);
  if (error != std::errc{} || stop != end || stop == text || milliseconds > 60000) return std::nullopt;
  return std::chrono::milliseconds(milliseconds);
}

std::optional<std::chrono::milliseconds> SimulatedDelay() {
  return SimulatedDelayFrom(std::getenv(kSimulatedDelayVariable));
}

}  // namespace morv
