// Package files where only Linux has them here: a folder in place of either file
// (its errno), two images whose names differ only in case, FIFOs, devices, links and
// huge files in place of the package files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "engine/testing/ends_within.h"
#include "engine/testing/read_package_rig.h"

namespace morv {
namespace {

using namespace testing;

// A folder is refused when it is opened, before anything is read from it.
TEST_F(ReadPackageTest, AFolderInPlaceOfAFileIsNamedInTheStepThatFailed) {
  Outcome parameters = LoadFromFreshDirectory(std::nullopt, Bytes(m_image));
  EXPECT_FALSE(parameters.accepted);
  EXPECT_EQ(parameters.events, FileErrorReport(0, "Is a directory"));
  Outcome image = LoadFromFreshDirectory(Parameters(m_sum), "dir");
  EXPECT_FALSE(image.accepted);
  EXPECT_EQ(image.events, FileErrorReport(11, "Is a directory"));
}

TEST_F(ReadPackageTest, TwoImagesWhoseNamesDifferOnlyInCaseAreNeitherTaken) {
  m_dir.Write("PKG.BIN", m_image);
  m_dir.Write("pkg.bin", m_image);
  EXPECT_EQ(Load(m_dir.Write("PKG.OUC", Parameters(m_sum))).events, FileErrorReport(11, "No such file or directory"));
}

// Only a regular file is read: what would block the open or the read for ever is a
// file error at once, while a link to a regular file is a package like any other.
TEST_F(ReadPackageTest, OnlyRegularFilesAreReadAndNoneBlocks) {
  namespace fs = std::filesystem;
  const struct {
    const char* what;
    std::function<void(const TempDirectory&)> make;
    Events expected;
  } kCases[] = {
      {"a FIFO as parameter file", [](const TempDirectory& d) { mkfifo(d.Path("PKG.OUC").c_str(), 0644); },
       FileErrorReport(0, "Not a regular file")},
      {"a FIFO as image",
       [this](const TempDirectory& d) {
         d.Write("PKG.OUC", Parameters(m_sum));
         mkfifo(d.Path("PKG.bin").c_str(), 0644);
       },
       FileErrorReport(11, "Not a regular file")},
      {"a link to an endless device as parameter file",
       [](const TempDirectory& d) { fs::create_symlink("/dev/zero", d.Path("PKG.OUC")); },
       FileErrorReport(0, "Not a regular file")},
      {"a 1 GiB sparse parameter file",
       [](const TempDirectory& d) { fs::resize_file(d.Write("PKG.OUC", ""), 1ull << 30); },
       FileErrorReport(1, "End of File")},
      {"links to a regular package",
       [this](const TempDirectory& d) {
         fs::create_symlink(d.Write("REAL.OUC", Parameters(m_sum)), d.Path("PKG.OUC"));
         fs::create_symlink(d.Write("REAL.bin", m_image), d.Path("PKG.bin"));
       },
       kAccepted},
  };
  for (const auto& c : kCases) {
    TempDirectory dir;
    c.make(dir);
    EXPECT_TRUE(EndsWithin(std::chrono::seconds(60), [&] {
      const Outcome outcome = Load(dir.Path("PKG.OUC"));
      return outcome.events == c.expected;
    })) << c.what;
  }
}

// A parameter file that never ends (zero bytes, dropped by the field reader) is read
// only up to the bound and then fails as one that ended early.
TEST_F(ReadPackageTest, AnEndlessParameterFileEndsAtTheBound) {
  EXPECT_TRUE(EndsWithin(std::chrono::seconds(60), [this] {
    cookie_io_functions_t zeros{};
    zeros.read = [](void*, char* buffer, std::size_t size) -> ssize_t {
      std::fill(buffer, buffer + size, '\0');
      return static_cast<ssize_t>(size);
    };
    const PackageFiles files{[&] { return std::make_unique<PackageFile>(fopencookie(nullptr, "r", zeros)); },
                             [] { return std::unique_ptr<PackageFile>(); }};
    ParameterFile parameters;
    const PackageVerdict verdict = ReadPackage(files, ModelIn(kDrive), parameters, m_loaded);
    return verdict && verdict->text == "File Read Error!(1)\nEnd of File";
  }));
}

}  // namespace
}  // namespace morv
