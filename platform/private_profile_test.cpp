#include "platform/private_profile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace morv {
namespace {

namespace fs = std::filesystem;

class PrivateProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("morv-profile-" + std::to_string(::getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    path = (dir / "Morvantide4.INI").string();
  }
  void TearDown() override { fs::remove_all(dir); }
  void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  std::string Read() {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path dir;
  std::string path;
};

TEST_F(PrivateProfileTest, ReadsIntegersWithTheClassicRules) {
  Write("; remembered selection\r\n[ HostAdaptor ]\r\n  id = 3 \r\n[TargetID]\r\nHA0 =7\r\nHA1 = -2\r\n"
        "HA2=12abc\r\nHA3=abc\r\n[targetlun]\r\nHA0_ID1=5");
  PrivateProfile profile(path);
  struct Case {
    const char* section;
    const char* key;
    int expected;
  } cases[] = {
      {"HostAdaptor", "ID", 3},     // blanks around names and values, case of names
      {"TargetID", "HA0 ", 7},      // key with a trailing blank
      {"TargetID", "HA0", 7},       // ... found without it too
      {"TargetID", "HA1 ", -2},     // sign
      {"TargetID", "HA2 ", 12},     // digits up to the first other character
      {"TargetID", "HA3 ", 0},      // no digits
      {"TargetID", "HA4 ", 99},     // missing key: default
      {"TargetLUN", "HA0_ID1", 5},  // last line without a line end
      {"Missing", "ID", 99},        // missing section: default
  };
  for (const auto& c : cases)
    EXPECT_EQ(profile.GetInt(c.section, c.key, 99), c.expected) << c.section << "/" << c.key;
}

TEST_F(PrivateProfileTest, MissingUnreadableOrGarbageFilesReadAsDefaults) {
  EXPECT_EQ(PrivateProfile((dir / "none.INI").string()).GetInt("HostAdaptor", "ID", 4), 4);
  EXPECT_EQ(PrivateProfile(dir.string()).GetInt("HostAdaptor", "ID", 4), 4);  // a directory
  Write(std::string("\x00\xff[[[=\n=\n[HostAdaptor\nID=1\n", 20));
  EXPECT_EQ(PrivateProfile(path).GetInt("HostAdaptor", "ID", 0), 0);
}

TEST_F(PrivateProfileTest, WritesOneValueInPlaceAndKeepsTheRest) {
  Write("; comment\r\n[HostAdaptor]\r\nID=1\r\n\r\n[Other]\r\nkeep = me\r\n");
  PrivateProfile profile(path);
  ASSERT_TRUE(profile.WriteString("hostadaptor", "id", "2"));
  ASSERT_TRUE(profile.WriteString("HostAdaptor", "New", "3"));
  ASSERT_TRUE(profile.WriteString("TargetID", "HA0 ", "4"));
  EXPECT_EQ(Read(),
            "; comment\r\n[HostAdaptor]\r\nID=2\r\nNew=3\r\n\r\n[Other]\r\nkeep = me\r\n"
            "[TargetID]\r\nHA0 =4\r\n");
  EXPECT_EQ(profile.GetInt("TargetID", "HA0 ", 0), 4);
}

TEST_F(PrivateProfileTest, SeveralValuesAtOnceEndAsOneAtATime) {
  const std::string start = "; comment\r\n[HostAdaptor]\r\nID=1\r\n\r\n[Other]\r\nkeep = me";
  const std::vector<ProfileValue> values = {
      {"hostadaptor", "id", "2"}, {"TargetID", "HA0 ", "4"}, {"HostAdaptor", "New", "3"}, {"targetid", "ha0", "5"}};
  Write(start);
  PrivateProfile profile(path);
  for (const auto& v : values) ASSERT_TRUE(profile.WriteString(v.section, v.key, v.value));
  const std::string oneAtATime = Read();
  Write(start);
  ASSERT_TRUE(profile.WriteStrings(values));
  EXPECT_EQ(Read(), oneAtATime);
  EXPECT_EQ(profile.GetInt("TargetID", "HA0", 0), 5);
}

TEST_F(PrivateProfileTest, CreatesTheFileAndItsFolder) {
  PrivateProfile profile((dir / "sub" / "x.INI").string());
  ASSERT_TRUE(profile.WriteString("HostAdaptor", "ID", "0"));
  EXPECT_EQ(profile.GetInt("HostAdaptor", "ID", 9), 0);
}

TEST_F(PrivateProfileTest, AFailedWriteReportsAndLeavesNoTemporaryFile) {
  // A profile path taken by a non-empty folder cannot be replaced, not even by root.
  fs::create_directories(fs::path(path) / "occupied");
  PrivateProfile profile(path);
  EXPECT_FALSE(profile.WriteString("HostAdaptor", "ID", "2"));
  EXPECT_NE(profile.Error().find("cannot replace"), std::string::npos) << profile.Error();
  EXPECT_TRUE(fs::is_directory(fs::path(path) / "occupied"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(PrivateProfileTest, AReplacedProfileIsANewFile) {
  // Readers holding the old file keep seeing it whole: the write never truncates it.
  Write("[HostAdaptor]\nID=1\n");
  std::ifstream old(path);
  PrivateProfile(path).WriteString("HostAdaptor", "ID", "5");
  std::stringstream s;
  s << old.rdbuf();
  EXPECT_EQ(s.str(), "[HostAdaptor]\nID=1\n");
  EXPECT_EQ(Read(), "[HostAdaptor]\nID=5\n");
}

}  // namespace
}  // namespace morv
