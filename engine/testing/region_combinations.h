#pragma once
// The eight combinations of region flags and the pieces each sends, in a short
// notation shared by the tests of the write plan, the update sequence and the programs:
// "n" for block n sent whole, "30a" and "30b" for the halves of block 30, a leading "*"
// for the piece sent with mode 5.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/write_plan.h"

namespace morv::testing {

struct RegionCombination {
  RegionSelection regions;
  std::string pieces;
};

/// "n n+1 ... last " (with a trailing blank).
inline std::string BlockRun(int first, int last) {
  std::string text;
  for (int block = first; block <= last; ++block) text += std::to_string(block) + " ";
  return text;
}

inline const std::vector<RegionCombination>& RegionCombinations() {
  static const std::vector<RegionCombination> combinations{
      {{false, false, false}, ""},
      {{true, false, false}, "0 1 2 *3"},
      {{false, true, false}, BlockRun(4, 29) + "*30a"},
      {{true, true, false}, BlockRun(0, 29) + "*30a"},
      {{false, false, true}, "30b *31"},
      {{true, false, true}, BlockRun(0, 3) + "30b *31"},
      {{false, true, true}, BlockRun(4, 29) + "30 *31"},
      {{true, true, true}, BlockRun(0, 29) + "30 *31"},
  };
  return combinations;
}

/// "regions 1-3", "regions ---" and so on, for test traces.
inline std::string RegionName(const RegionSelection& regions) {
  return std::string("regions ") + (regions[0] ? "1" : "-") + (regions[1] ? "2" : "-") + (regions[2] ? "3" : "-");
}

/// One piece in the notation; "?" marks a piece that fits none of the plan's shapes.
inline std::string DescribePiece(uint8_t mode, uint8_t bufferId, uint32_t offset, uint32_t length) {
  std::string text = mode == kModeDownloadAndSave ? "*" : mode == kModeDownload ? "" : "?";
  text += std::to_string(bufferId);
  if (offset == 0 && length == kBlockSize) return text;
  if (length == kBlockSize / 2 && (offset == 0 || offset == kBlockSize / 2)) return text + (offset == 0 ? "a" : "b");
  return text + "?";
}

/// Offset or length field of a WRITE BUFFER CDB (three bytes, most significant first).
inline uint32_t Field24(const uint8_t* bytes) { return bytes[0] << 16 | bytes[1] << 8 | bytes[2]; }

/// The pieces that a list of WRITE BUFFER CDBs sent, in the notation, blank-separated.
inline std::string DescribeWrites(const std::vector<std::vector<uint8_t>>& cdbs) {
  std::string text;
  for (const auto& cdb : cdbs) {
    if (!text.empty()) text += ' ';
    text += cdb.size() == 10 && cdb[0] == 0x3B ? DescribePiece(cdb[1], cdb[2], Field24(&cdb[3]), Field24(&cdb[6]))
                                               : "not-a-write";
  }
  return text;
}

/// The image offset the piece of a WRITE BUFFER CDB comes from.
inline uint32_t ImageOffsetOfWrite(const std::vector<uint8_t>& cdb) { return cdb[2] * kBlockSize + Field24(&cdb[3]); }

}  // namespace morv::testing
