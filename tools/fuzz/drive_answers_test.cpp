// Replays the drive-answers fuzz target's corpus in every build: each input, whether a
// sound drive or one that answers badly, keeps every promise both programs make.
#include "tools/fuzz/drive_answers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace morv::fuzz {
namespace {

using Strings = std::vector<std::string>;

std::vector<uint8_t> CorpusInput(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(DriveAnswers, EveryCorpusInputKeepsThePromises) {
  size_t inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(DRIVE_ANSWERS_CORPUS)) {
    EXPECT_EQ(CheckDriveAnswers(CorpusInput(entry.path())).problems, Strings{}) << entry.path().filename();
    ++inputs;
  }
  EXPECT_GE(inputs, 5u);
}

// The checks only mean something if the runs get that far: a sound drive is found,
// flashed and reported complete by both programs.
TEST(DriveAnswers, ASoundDriveIsFlashedByBothPrograms) {
  const DriveAnswersReport report = CheckDriveAnswers({});
  EXPECT_EQ(report.problems, Strings{});
  const Strings boxes{"Firmware Update Execute ?", "Firmware Update Complete"};
  EXPECT_EQ(report.boxesNT, boxes);
  EXPECT_EQ(report.boxes4, boxes);
}

}  // namespace
}  // namespace morv::fuzz
