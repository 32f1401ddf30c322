// Image names on a file system where case matters: the one file whose name differs
// only in case is taken (on Windows the file system itself ignores case).
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "engine/image_file_name.h"
#include "engine/testing/temp_directory.h"

namespace morv {
namespace {

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
