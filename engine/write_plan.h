#pragma once
// The download of one update: which pieces of the image go to which drive buffer, in
// which order, and with which WRITE BUFFER mode, for the regions a package selects.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/firmware_image.h"

namespace morv {

/// WRITE BUFFER modes of the download.
inline constexpr uint8_t kModeDownload = 4;         ///< download microcode
inline constexpr uint8_t kModeDownloadAndSave = 5;  ///< download microcode and save it

/// The WRITE BUFFER mode of each buffer ID 0-31.
using BlockModes = std::array<uint8_t, kBlockCount>;

/// Regions 1 to 3 as selected by a package's flags.
using RegionSelection = std::array<bool, 3>;

/// One WRITE BUFFER of the download: `length` image bytes from `imageOffset`, sent to
/// buffer `bufferId` at `bufferOffset`.
struct WritePiece {
  uint8_t bufferId;
  uint32_t bufferOffset;
  uint32_t length;
  uint32_t imageOffset;
  /// Regions 1 and 2 show the busy cursor again after each of their pieces; region 3
  /// sends its two pieces with nothing in between.
  bool restoreCursorAfter;

  bool operator==(const WritePiece&) const = default;
};

/// Mode 4 for every buffer, except 5 for the buffer the last piece of the plan goes to:
/// 31 when region 3 is selected, else 30 with region 2, else 3 with region 1.
BlockModes BuildBlockModes(const RegionSelection& regions);

/// The pieces of the download in the order they are sent. Whole blocks go out as one
/// piece; block 30, which regions 2 and 3 share, goes out whole when both are selected
/// and otherwise as the half that belongs to the selected one.
std::vector<WritePiece> BuildWritePlan(const RegionSelection& regions);

}  // namespace morv
