#include "sim/revision_stamp.h"

#include <algorithm>
#include <cstring>

namespace morv::sim {
namespace {

constexpr char kMarker[] = "REVISION";
constexpr size_t kMarkerLength = sizeof kMarker - 1;

bool Printable(char c) { return c >= 0x20 && c <= 0x7E; }

}  // namespace

std::string RevisionProblem(const std::string& revision) {
  if (revision.empty() || revision.size() > kRevisionLength) return "takes 1 to 4 characters";
  if (!std::all_of(revision.begin(), revision.end(), Printable)) return "takes printable ASCII characters only";
  return {};
}

void StampRevision(uint8_t* image, size_t size, const std::string& revision) {
  if (size < kRevisionStampOffset + kRevisionStampSize) return;
  uint8_t* stamp = image + kRevisionStampOffset;
  std::memset(stamp, 0, kRevisionStampSize);
  std::memcpy(stamp, kMarker, kMarkerLength);
  std::memset(stamp + kMarkerLength, ' ', kRevisionLength);
  std::memcpy(stamp + kMarkerLength, revision.data(), std::min(revision.size(), kRevisionLength));
}

std::optional<std::string> StampedRevision(const uint8_t* image, size_t size) {
  if (size < kRevisionStampOffset + kRevisionStampSize) return std::nullopt;
  const uint8_t* stamp = image + kRevisionStampOffset;
  if (std::memcmp(stamp, kMarker, kMarkerLength) != 0) return std::nullopt;
  const std::string revision(stamp + kMarkerLength, stamp + kMarkerLength + kRevisionLength);
  if (!std::all_of(revision.begin(), revision.end(), Printable)) return std::nullopt;
  return revision;
}

}  // namespace morv::sim
