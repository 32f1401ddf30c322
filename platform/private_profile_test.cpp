#include "platform/private_profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
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

// A last line ending in a bare carriage return does not swallow what is added after it.
TEST_F(PrivateProfileTest, AValueAddedAfterABareCarriageReturnIsFoundAgain) {
  for (const char* start : {"[Other]\r\nID=3\r", "[HostAdaptor]\r\nHA=3\r"}) {
    Write(start);
    ASSERT_TRUE(PrivateProfile(path).WriteString("HostAdaptor", "ID", "5"));
    EXPECT_EQ(PrivateProfile(path).GetInt("HostAdaptor", "ID", 0), 5) << start;
  }
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

// The file is read once: what changes on disk afterwards is seen only after a write.
TEST_F(PrivateProfileTest, ReadsTheFileOnceUntilTheNextWrite) {
  Write("[HostAdaptor]\nID=1\n");
  PrivateProfile profile(path);
  EXPECT_EQ(profile.GetInt("HostAdaptor", "ID", 0), 1);
  Write("[HostAdaptor]\nID=2\n[TargetID]\nHA0=3\n");
  EXPECT_EQ(profile.GetInt("HostAdaptor", "ID", 0), 1);
  EXPECT_EQ(profile.GetInt("TargetID", "HA0", 0), 0);
  ASSERT_TRUE(profile.WriteString("TargetID", "HA1", "4"));
  EXPECT_EQ(profile.GetInt("HostAdaptor", "ID", 0), 2);
  EXPECT_EQ(profile.GetInt("TargetID", "HA0", 0), 3);
}

// A replaced profile keeps the mode it had; a new one is 0644 less the umask.
TEST_F(PrivateProfileTest, KeepsItsMode) {
  for (mode_t mode : {0600, 0640, 0664, 0444}) {
    Write("[HostAdaptor]\nID=1\n");
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    PrivateProfile profile(path);
    const bool written = profile.WriteString("HostAdaptor", "ID", "2");
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, mode) << std::oct << mode;
    // Root may write anything; anyone else leaves a read-only profile as it was.
    EXPECT_EQ(written, (mode & 0200) != 0 || geteuid() == 0) << std::oct << mode << " " << profile.Error();
    EXPECT_EQ(Read(), written ? "[HostAdaptor]\nID=2\n" : "[HostAdaptor]\nID=1\n");
  }
}

// A profile linked from elsewhere is written through its link, which stays; a link
// to nothing or a FIFO is refused, and neither is waited on or created through.
TEST_F(PrivateProfileTest, LinksAreWrittenThroughAndOddFilesRefused) {
  const std::string real = (dir / "real.INI").string();
  std::ofstream(real) << "[HostAdaptor]\nID=1\n";
  fs::create_symlink(real, path);
  PrivateProfile linked(path);
  EXPECT_EQ(linked.GetInt("HostAdaptor", "ID", 0), 1);
  ASSERT_TRUE(linked.WriteString("HostAdaptor", "ID", "2")) << linked.Error();
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_EQ(Read(), "[HostAdaptor]\nID=2\n");

  const std::string dangling = (dir / "dangling.INI").string();
  fs::create_symlink(dir / "nowhere.INI", dangling);
  PrivateProfile nowhere(dangling);
  EXPECT_FALSE(nowhere.WriteString("HostAdaptor", "ID", "2"));
  EXPECT_EQ(nowhere.Error(), "cannot write " + dangling + ": the symbolic link leads to no file");
  EXPECT_FALSE(fs::exists(dir / "nowhere.INI"));

  const std::string fifo = (dir / "fifo.INI").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  PrivateProfile pipe(fifo);
  EXPECT_EQ(pipe.GetInt("HostAdaptor", "ID", 7), 7);  // a reader-less FIFO would block a plain open
  EXPECT_FALSE(pipe.WriteString("HostAdaptor", "ID", "2"));
  EXPECT_EQ(pipe.Error(), "cannot replace " + fifo + ": Not a regular file");
  EXPECT_TRUE(fs::is_fifo(fifo));
}

}  // namespace
}  // namespace morv
