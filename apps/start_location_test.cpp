#include "apps/start_location.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/testing/temp_directory.h"

namespace morv {
namespace {

namespace fs = std::filesystem;

TEST(StartLocation, FolderOrParameterFile) {
  testing::TempDirectory dir;
  dir.Write("R4410.OUC", std::string("x"));
  dir.Write("lower.ouc", std::string("x"));
  dir.Write("R4410.bin", std::string("x"));
  fs::create_directory(dir.Path("sub"));
  struct Case {
    std::string argument;
    std::string error;  // empty: accepted
    std::string folder = {}, fileName = {};
  } cases[] = {
      {dir.Path(""), "", dir.Path(""), ""},
      {dir.Path("sub"), "", dir.Path("sub"), ""},
      {dir.Path("R4410.OUC"), "", dir.Path("").substr(0, dir.Path("").size() - 1), "R4410.OUC"},
      {dir.Path("lower.ouc"), "", dir.Path("").substr(0, dir.Path("").size() - 1), "lower.ouc"},
      {dir.Path("missing"), "cannot open folder or file " + dir.Path("missing") + ": No such file or directory"},
      {dir.Path("missing/R4410.OUC"),
       "cannot open folder or file " + dir.Path("missing/R4410.OUC") + ": No such file or directory"},
      {dir.Path("R4410.bin"), dir.Path("R4410.bin") + " is not a parameter file (*.OUC)"},
  };
  for (const auto& c : cases) {
    StartLocation location{"unchanged", "unchanged"};
    EXPECT_EQ(ResolveStartLocation(c.argument, location), c.error) << c.argument;
    if (!c.error.empty()) continue;
    EXPECT_EQ(location.folder, c.folder) << c.argument;
    EXPECT_EQ(location.fileName, c.fileName) << c.argument;
  }
}

TEST(StartLocation, AFileNamedWithoutAFolderRunsInTheCurrentOne) {
  testing::TempDirectory dir;
  dir.Write("PKG.OUC", std::string("x"));
  const fs::path previous = fs::current_path();
  fs::current_path(dir.Path(""));
  StartLocation location;
  const std::string error = ResolveStartLocation("PKG.OUC", location);
  fs::current_path(previous);
  EXPECT_EQ(error, "");
  EXPECT_EQ(location.folder, ".");
  EXPECT_EQ(location.fileName, "PKG.OUC");
}

TEST(StartLocation, EnteringMakesTheFolderCurrent) {
  testing::TempDirectory dir;
  const fs::path previous = fs::current_path();
  EXPECT_EQ(EnterStartLocation({dir.Path(""), ""}), "");
  EXPECT_EQ(fs::current_path(), fs::canonical(dir.Path("")));
  fs::current_path(previous);
  EXPECT_NE(EnterStartLocation({dir.Path("gone"), ""}), "");
  EXPECT_EQ(fs::current_path(), previous);
}

}  // namespace
}  // namespace morv
