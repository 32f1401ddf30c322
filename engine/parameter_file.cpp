#include "engine/parameter_file.h"

#include <limits>

namespace morv {

bool HeaderMatches(std::string_view header) {
  return header.size() >= kHeaderPrefix.size() + kHeaderVersion.size() &&
         header.starts_with(kHeaderPrefix) && header.ends_with(kHeaderVersion);
}

std::array<bool, 3> SelectedRegions(const ParameterFile& parameters) {
  return {RegionSelected(parameters.region1), RegionSelected(parameters.region2),
          RegionSelected(parameters.region3)};
}

int32_t ParseChecksum(std::string_view text) {
  auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  // Accumulate as a negative number so that the lowest 32-bit value fits too.
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 - (text[i] - '0');
    if (value < kMin) value = kMin;
  }
  if (!negative) value = value == kMin ? std::numeric_limits<int32_t>::max() : -value;
  return static_cast<int32_t>(value);
}

}  // namespace morv
