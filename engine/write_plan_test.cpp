#include "engine/write_plan.h"

#include <gtest/gtest.h>

#include <string>

namespace morv {
namespace {

// "n" for block n whole, "30a"/"30b" for the halves of block 30; "*" marks mode 5.
std::string Describe(const std::vector<WritePiece>& plan, const BlockModes& modes) {
  std::string text;
  for (const WritePiece& piece : plan) {
    if (!text.empty()) text += ' ';
    if (modes[piece.bufferId] == kModeDownloadAndSave) text += '*';
    text += std::to_string(piece.bufferId);
    if (piece.length != kBlockSize) text += piece.bufferOffset == 0 ? "a" : "b";
  }
  return text;
}

std::string Blocks(int first, int last) {
  std::string text;
  for (int block = first; block <= last; ++block) text += std::to_string(block) + " ";
  return text;
}

struct Combination {
  RegionSelection regions;
  std::string pieces;
};

const Combination kCombinations[] = {
    {{false, false, false}, ""},
    {{true, false, false}, "0 1 2 *3"},
    {{false, true, false}, Blocks(4, 29) + "*30a"},
    {{true, true, false}, Blocks(0, 29) + "*30a"},
    {{false, false, true}, "30b *31"},
    {{true, false, true}, Blocks(0, 3) + "30b *31"},
    {{false, true, true}, Blocks(4, 29) + "30 *31"},
    {{true, true, true}, Blocks(0, 29) + "30 *31"},
};

std::string Name(const RegionSelection& r) {
  return std::string("regions ") + (r[0] ? "1" : "-") + (r[1] ? "2" : "-") + (r[2] ? "3" : "-");
}

TEST(WritePlan, PiecesAndModesOfEveryRegionCombination) {
  for (const auto& c : kCombinations) {
    SCOPED_TRACE(Name(c.regions));
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
  for (const auto& c : kCombinations) {
    SCOPED_TRACE(Name(c.regions));
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
  for (const auto& c : kCombinations) {
    SCOPED_TRACE(Name(c.regions));
    const auto plan = BuildWritePlan(c.regions);
    const size_t regionThreePieces = c.regions[2] ? 2 : 0;
    for (size_t i = 0; i < plan.size(); ++i)
      EXPECT_EQ(plan[i].restoreCursorAfter, i + regionThreePieces < plan.size()) << "piece " << i;
  }
}

}  // namespace
}  // namespace morv
