#include "engine/write_plan.h"

namespace morv {
namespace {

constexpr uint8_t kLastBlockOfRegion1 = 3;
constexpr uint8_t kFirstBlockOfRegion2 = 4;
constexpr uint8_t kLastWholeBlockOfRegion2 = 29;
constexpr uint8_t kSharedBlock = 30;  // first half region 2, second half region 3
constexpr uint8_t kLastBlock = 31;
constexpr uint32_t kBlockLength = kBlockSize;
constexpr uint32_t kHalfBlock = kBlockLength / 2;

WritePiece WholeBlock(uint8_t block, bool restoreCursorAfter) {
  return {block, 0, kBlockLength, block * kBlockLength, restoreCursorAfter};
}

WritePiece HalfOfSharedBlock(uint32_t bufferOffset, bool restoreCursorAfter) {
  return {kSharedBlock, bufferOffset, kHalfBlock, kSharedBlock * kBlockLength + bufferOffset, restoreCursorAfter};
}

}  // namespace

BlockModes BuildBlockModes(const RegionSelection& regions) {
  BlockModes modes;
  modes.fill(kModeDownload);
  if (regions[2])
    modes[kLastBlock] = kModeDownloadAndSave;
  else if (regions[1])
    modes[kSharedBlock] = kModeDownloadAndSave;
  else if (regions[0])
    modes[kLastBlockOfRegion1] = kModeDownloadAndSave;
  return modes;
}

std::vector<WritePiece> BuildWritePlan(const RegionSelection& regions) {
  std::vector<WritePiece> plan;
  plan.reserve(kBlockCount);
  if (regions[0])
    for (uint8_t block = 0; block <= kLastBlockOfRegion1; ++block) plan.push_back(WholeBlock(block, true));
  if (regions[1]) {
    for (uint8_t block = kFirstBlockOfRegion2; block <= kLastWholeBlockOfRegion2; ++block)
      plan.push_back(WholeBlock(block, true));
    if (!regions[2]) plan.push_back(HalfOfSharedBlock(0, true));
  }
  if (regions[2]) {
    if (regions[1])
      plan.push_back(WholeBlock(kSharedBlock, false));
    else
      plan.push_back(HalfOfSharedBlock(kHalfBlock, false));
    plan.push_back(WholeBlock(kLastBlock, false));
  }
  return plan;
}

}  // namespace morv
