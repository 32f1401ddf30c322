#pragma once
// The emulated MX-R4410's convention for the revision a firmware image carries: the
// last 16 bytes of the 524,288-byte image (offset 7FFF0h, in block 31, region 3) hold
// the marker "REVISION", the revision as 4 ASCII characters (padded with spaces) and
// 4 zero bytes. After a save the emulated drive reports that revision in its INQUIRY
// data; an image without the marker leaves the revision as it was. Real firmware has
// its own layout: this is only how the emulator and the package tool agree.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace morv::sim {

inline constexpr size_t kRevisionStampOffset = 0x7FFF0;
inline constexpr size_t kRevisionStampSize = 16;
inline constexpr size_t kRevisionLength = 4;

/// Why `revision` cannot be stamped (empty when it can): 1 to 4 printable ASCII characters.
std::string RevisionProblem(const std::string& revision);

/// Writes the stamp for `revision` (see RevisionProblem) into `image` of `size` bytes.
void StampRevision(uint8_t* image, size_t size, const std::string& revision);

/// The revision stamped into `image`, or nullopt when it carries no stamp.
std::optional<std::string> StampedRevision(const uint8_t* image, size_t size);

}  // namespace morv::sim
