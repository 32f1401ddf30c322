#include "ui/file_list.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "framework/testing/temp_directory.h"

namespace morv {
namespace {

namespace fs = std::filesystem;

TEST(FileList, NamesEndingInOucInAnyCase) {
  struct Case {
    const char* name;
    bool listed;
  } cases[] = {
      {"R4410.OUC", true},  {"r4410.ouc", true}, {"R4410.Ouc", true}, {"a.b.OUC", true},
      {"name with blanks.OUC", true},
      {"R4410.OUC.bak", false}, {"R4410.OUCX", false}, {"R4410OUC", false}, {"R4410.bin", false},
      {".OUC", false}, {".hidden.OUC", false}, {"OUC", false}, {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsParameterFileName(c.name), c.listed) << '"' << c.name << '"';
}

TEST(FileList, ListsRegularFilesOnly) {
  TempCurrentDirectory dir;
  for (const char* name : {"b.OUC", "A.ouc", "c.Ouc", "notes.txt", "b.bin", "x.OUC.bak"}) dir.Touch(name);
  fs::create_directory(dir.Path() / "folder.OUC");

  std::vector<std::string> names = ParameterFileNames(".");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"A.ouc", "b.OUC", "c.Ouc"}));
}

TEST(FileList, AMissingOrUnreadableDirectoryListsNothing) {
  TempCurrentDirectory dir;
  EXPECT_TRUE(ParameterFileNames(dir.Path() / "does-not-exist").empty());
  dir.Touch("plain.OUC");
  EXPECT_TRUE(ParameterFileNames(dir.Path() / "plain.OUC").empty());  // a file, not a directory
}

}  // namespace
}  // namespace morv
