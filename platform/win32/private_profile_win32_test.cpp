// The profile on Windows: the system's profile functions behind PrivateProfile, with
// the keys Morvantide4 writes (one of them ends in a space).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <fstream>

#include "platform/private_profile.h"
#include "framework/testing/unique_directory.h"

namespace morv {
namespace {

class Win32ProfileTest : public ::testing::Test {
 protected:
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::filesystem::path dir =
      testing::MakeUniqueDirectory(std::filesystem::temp_directory_path(), "morv-win32-profile-");
  PrivateProfile profile{(dir / "Morvantide4.INI").string()};
};

TEST_F(Win32ProfileTest, ValuesComeBackAsWrittenAndMissingOnesAsTheDefault) {
  EXPECT_EQ(profile.GetInt("TargetID", "HA0 ", 0), 0) << "no file yet";
  ASSERT_TRUE(profile.WriteStrings(
      {{"HostAdaptor", "ID", "1"}, {"TargetID", "HA0 ", "5"}, {"TargetLUN", "HA1_ID2", "7"}}))
      << profile.Error();
  struct Case {
    const char* section;
    const char* key;
    int expected;
  } cases[] = {
      {"HostAdaptor", "ID", 1},    {"hostadaptor", "id", 1},       {"TargetID", "HA0 ", 5},
      {"TargetID", "HA0", 5},      {"TargetLUN", "HA1_ID2", 7},    {"TargetLUN", "HA1_ID3", -4},
      {"Missing", "ID", -4},
  };
  for (const Case& c : cases) EXPECT_EQ(profile.GetInt(c.section, c.key, -4), c.expected) << c.section << c.key;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1)
      << "no temporary file left behind";
}

TEST_F(Win32ProfileTest, ALaterWriteChangesOneValueAndKeepsTheOthers) {
  ASSERT_TRUE(profile.WriteString("HostAdaptor", "ID", "2"));
  ASSERT_TRUE(profile.WriteString("TargetID", "HA3 ", "4"));
  ASSERT_TRUE(profile.WriteString("HostAdaptor", "ID", "6"));
  EXPECT_EQ(profile.GetInt("HostAdaptor", "ID", 0), 6);
  EXPECT_EQ(profile.GetInt("TargetID", "HA3 ", 0), 4);
}

TEST_F(Win32ProfileTest, AProfileThatCannotBeWrittenReportsIt) {
  PrivateProfile nowhere((dir / "missing-folder" / "file-as-folder").string());
  std::ofstream(dir / "missing-folder") << "a file where a folder should be";
  EXPECT_FALSE(nowhere.WriteString("HostAdaptor", "ID", "1"));
  EXPECT_FALSE(nowhere.Error().empty());
  EXPECT_EQ(nowhere.GetInt("HostAdaptor", "ID", 3), 3);
}

TEST_F(Win32ProfileTest, AProfileUnderAFolderNamedOutsideAsciiIsWrittenAndReadThere) {
  // The path is UTF-8, as the program keeps it: a user named Jürgen.
  PrivateProfile juergen(dir.string() + "\\J\xC3\xBCrgen\\Morvantide4.INI");
  ASSERT_TRUE(juergen.WriteString("HostAdaptor", "ID", "3")) << juergen.Error();
  EXPECT_EQ(juergen.GetInt("HostAdaptor", "ID", 0), 3);
  EXPECT_TRUE(std::filesystem::exists(dir / L"J\u00FCrgen" / L"Morvantide4.INI")) << "the folder the user sees";
}

TEST(Win32ProfilePath, LivesInTheLocalApplicationDataFolder) {
  const std::string path = PrivateProfile::DefaultPath("Morvantide4");
  const char* folder = std::getenv("LOCALAPPDATA");
  ASSERT_NE(folder, nullptr);
  EXPECT_EQ(path, std::string(folder) + "\\Morvantide4.INI");
}

}  // namespace
}  // namespace morv
