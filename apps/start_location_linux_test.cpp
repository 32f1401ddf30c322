// Start folders and files the operator may not read: file modes, which only an
// ordinary user on Linux runs into here; FIFOs and devices, which must not hang the
// start; names with line breaks, which must not split the one-line error.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "apps/start_location.h"
#include "engine/testing/ends_within.h"
#include "engine/testing/temp_directory.h"

namespace morv {
namespace {

namespace fs = std::filesystem;

// Root reads everything, so the refusals can only be seen by an ordinary user.
TEST(StartLocation, UnreadableFolderOrFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file; the programs' ctest cases check this as nobody";
  testing::TempDirectory dir;
  const std::string file = dir.Write("LOCKED.OUC", std::string("x"));
  fs::create_directory(dir.Path("locked"));
  chmod(file.c_str(), 0);
  chmod(dir.Path("locked").c_str(), 0);
  StartLocation location;
  EXPECT_EQ(ResolveStartLocation(file, location), "cannot open file " + file + ": Permission denied");
  EXPECT_EQ(ResolveStartLocation(dir.Path("locked"), location),
            "cannot open folder " + dir.Path("locked") + ": Permission denied");
  chmod(dir.Path("locked").c_str(), 0700);
}

TEST(StartLocation, OddFilesAndNamesAreOneLineErrorsWithoutWaiting) {
  testing::TempDirectory dir;
  mkfifo(dir.Path("PIPE.OUC").c_str(), 0644);
  fs::create_symlink("/dev/zero", dir.Path("ZERO.OUC"));
  const std::string folder = dir.Path("");
  const struct {
    std::string argument;
    std::string error;
  } kCases[] = {
      {dir.Path("PIPE.OUC"), "cannot open file " + folder + "PIPE.OUC: Not a regular file"},
      {dir.Path("ZERO.OUC"), "cannot open file " + folder + "ZERO.OUC: Not a regular file"},
      {dir.Path("A\nB.OUC"), "cannot open folder or file " + folder + "A\\nB.OUC: No such file or directory"},
      {dir.Write("notes\n\x1b[2K.txt", "x"), folder + "notes\\n\\x1B[2K.txt is not a parameter file (*.OUC)"},
  };
  for (const auto& c : kCases)
    EXPECT_TRUE(testing::EndsWithin(std::chrono::seconds(60), [&] {
      StartLocation location;
      return ResolveStartLocation(c.argument, location) == c.error;
    })) << c.error;
}

}  // namespace
}  // namespace morv
