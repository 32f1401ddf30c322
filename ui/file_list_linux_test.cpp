// The file list among the kinds of file only Linux has here: a link to a parameter
// file is listed, a broken link, a link to a folder and a FIFO are not.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "framework/testing/temp_directory.h"
#include "ui/file_list.h"

namespace morv {
namespace {

namespace fs = std::filesystem;

TEST(FileList, ListsLinksToRegularFilesAndNoOtherKindOfFile) {
  TempCurrentDirectory dir;
  dir.Touch("b.OUC");
  fs::create_directory(dir.Path() / "folder.OUC");
  fs::create_symlink("b.OUC", dir.Path() / "link.OUC");
  fs::create_symlink("missing.OUC", dir.Path() / "broken.OUC");
  fs::create_directory_symlink("folder.OUC", dir.Path() / "dirlink.OUC");
  ASSERT_EQ(mkfifo((dir.Path() / "pipe.OUC").c_str(), 0600), 0);

  std::vector<std::string> names = ParameterFileNames(".");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"b.OUC", "link.OUC"}));
}

}  // namespace
}  // namespace morv
