#include "engine/write_plan.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/testing/region_combinations.h"

namespace morv {
namespace {

using testing::RegionCombinations;
using testing::RegionName;

std::string Describe(const std::vector<WritePiece>& plan, const BlockModes& modes) {
  std::string text;
  for (const WritePiece& piece : plan) {
    if (!text.empty()) text += ' ';
    text += testing::DescribePiece(modes[piece.bufferId], piece.bufferId, piece.bufferOffset, piece.length);
  }
  return text;
}

TEST(WritePlan, PiecesAndModesOfEveryRegionCombination) {
  for (const auto& c : RegionCombinations()) {
    SCOPED_TRACE(RegionName(c.regions));
    const BlockModes modes = BuildBlockModes(c.regions);
    EXPECT_EQ(Describe(BuildWritePlan(c.regions), modes), c.pieces);
    int saves = 0;
    for (uint8_t mode : modes) {
      EXPECT_TRUE(mode == kModeDownload || mode == kModeDownloadAndSave);
      saves += mode == kModeDownloadAndSave;
    }
    EXPECT_EQ(saves, c.pieces.empty() ? 0 : 1);
  }
}

TEST(WritePlan, PiecesCoverExactlyTheSelectedRegionsInImageOrder) {
  for (const auto& c : RegionCombinations()) {
    SCOPED_TRACE(RegionName(c.regions));
    std::vector<bool> expected(kImageSize, false);
    for (int r = 0; r < 3; ++r)
      if (c.regions[r])
        for (uint32_t i = 0; i < kImageRegions[r].length; ++i) expected[kImageRegions[r].offset + i] = true;

    std::vector<bool> covered(kImageSize, false);
    uint32_t end = 0;
    for (const WritePiece& piece : BuildWritePlan(c.regions)) {
      // Each piece lies inside one drive buffer at the place its image bytes belong.
      EXPECT_EQ(piece.bufferId, piece.imageOffset / kBlockSize);
      EXPECT_EQ(piece.bufferOffset, piece.imageOffset % kBlockSize);
      EXPECT_LE(piece.bufferOffset + piece.length, kBlockSize);
      EXPECT_GE(piece.imageOffset, end) << "pieces go out in ascending image order, without overlap";
      end = piece.imageOffset + piece.length;
      for (uint32_t i = 0; i < piece.length; ++i) covered[piece.imageOffset + i] = true;
    }
    EXPECT_EQ(covered, expected);
  }
}

TEST(WritePlan, OnlyRegionThreePiecesGoOutWithoutTheCursorShownAgain) {
  for (const auto& c : RegionCombinations()) {
    SCOPED_TRACE(RegionName(c.regions));
    const auto plan = BuildWritePlan(c.regions);
    const size_t regionThreePieces = c.regions[2] ? 2 : 0;
    for (size_t i = 0; i < plan.size(); ++i)
      EXPECT_EQ(plan[i].restoreCursorAfter, i + regionThreePieces < plan.size()) << "piece " << i;
  }
}

}  // namespace
}  // namespace morv
