#include "engine/image_file_name.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/testing/temp_directory.h"

namespace morv {
namespace {

TEST(ImageFileName, CutsAtTheFirstDotOfThePath) {
  struct Case {
    const char* parameterPath;
    const char* imageName;
  } cases[] = {
      {"ABC.OUC", "ABC.bin"},
      {"abc.ouc", "abc.bin"},
      {"A.B.OUC", "A.bin"},
      {"FW 1.2.OUC", "FW 1.bin"},
      {".OUC", ".bin"},
      {"NODOT", ".bin"},
      {"", ".bin"},
      {"/tmp/pkgs/X.OUC", "/tmp/pkgs/X.bin"},
      {"/tmp/v1.0/X.OUC", "/tmp/v1.bin"},  // a dot in a directory name counts too
      {"./X.OUC", ".bin"},
  };
  for (const auto& c : cases) EXPECT_EQ(ImageFileName(c.parameterPath), c.imageName) << c.parameterPath;
}

TEST(ImageFileName, FindsTheOneFileThatDiffersOnlyInCase) {
  struct Case {
    const char* name;
    std::vector<const char*> files;
    std::vector<const char*> directories;
    const char* found;  // nullptr: the name itself
  } cases[] = {
      {"PKG.bin", {"PKG.bin", "PKG.BIN"}, {}, nullptr},  // the exact name wins
      {"PKG.bin", {"PKG.BIN"}, {}, "PKG.BIN"},
      {"PKG.bin", {"pkg.Bin", "OTHER.bin"}, {}, "pkg.Bin"},
      {"PKG.bin", {"PKG.BIN", "pkg.bin"}, {}, nullptr},  // two candidates: none is taken
      {"PKG.bin", {"PKG1.BIN"}, {}, nullptr},
      {"PKG.bin", {"PKG.BIN"}, {"Pkg.bin"}, "PKG.BIN"},  // directories are not images
      {"PKG.bin", {}, {"PKG.BIN"}, nullptr},
  };
  for (const auto& c : cases) {
    testing::TempDirectory dir;
    for (const char* file : c.files) dir.Write(file, "x");
    for (const char* directory : c.directories) std::filesystem::create_directory(dir.Path(directory));
    const std::string expected = dir.Path(c.found != nullptr ? c.found : c.name);
    EXPECT_EQ(FindImageFile(dir.Path(c.name)), expected) << c.name << " among " << c.files.size() << " files";
  }
}

TEST(ImageFileName, LooksInTheCurrentDirectoryForABareName) {
  testing::TempDirectory dir;
  dir.Write("BARE.BIN", "x");
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path(""));
  const std::string found = FindImageFile("BARE.bin");
  const std::string missing = FindImageFile("GONE.bin");
  std::filesystem::current_path(previous);
  EXPECT_EQ(found, "BARE.BIN");
  EXPECT_EQ(missing, "GONE.bin");
}

}  // namespace
}  // namespace morv
