// Package files where only Linux has them here: a folder in place of either file
// (its errno), and two images whose names differ only in case.
#include <gtest/gtest.h>

#include <string>

#include "engine/testing/read_package_rig.h"

namespace morv {
namespace {

using namespace testing;

TEST_F(ReadPackageTest, AFolderInPlaceOfAFileIsNamedInTheStepThatFailed) {
  Outcome parameters = LoadFromFreshDirectory(std::nullopt, Bytes(m_image));
  EXPECT_FALSE(parameters.accepted);
  EXPECT_EQ(parameters.events, FileErrorReport(1, "Is a directory"));
  Outcome image = LoadFromFreshDirectory(Parameters(m_sum), "dir");
  EXPECT_FALSE(image.accepted);
  EXPECT_EQ(image.events, FileErrorReport(12, "Is a directory"));
}

TEST_F(ReadPackageTest, TwoImagesWhoseNamesDifferOnlyInCaseAreNeitherTaken) {
  m_dir.Write("PKG.BIN", m_image);
  m_dir.Write("pkg.bin", m_image);
  EXPECT_EQ(Load(m_dir.Write("PKG.OUC", Parameters(m_sum))).events, FileErrorReport(11, "No such file or directory"));
}

}  // namespace
}  // namespace morv
