// Start folders and files the operator may not read: file modes, which only an
// ordinary user on Linux runs into here.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "apps/start_location.h"
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

}  // namespace
}  // namespace morv
