// Where the profile lives on Linux: the XDG configuration folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "framework/testing/unique_directory.h"
#include "platform/private_profile.h"

namespace morv {
namespace {

TEST(PrivateProfilePath, FollowsTheConfigFolder) {
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  std::string keep = saved ? saved : "";
  setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
  EXPECT_EQ(PrivateProfile::DefaultPath("Morvantide4"), "/tmp/cfg/Morvantide4.INI");
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", "/home/op", 1);
  EXPECT_EQ(PrivateProfile::DefaultPath("Morvantide4"), "/home/op/.config/Morvantide4.INI");
  if (saved) setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
}

TEST(PrivateProfilePath, AHomeNamedOutsideAsciiHoldsTheProfile) {
  const std::filesystem::path home = testing::MakeUniqueDirectory(std::filesystem::temp_directory_path(), "morv-home-");
  const std::string saved = std::getenv("HOME") ? std::getenv("HOME") : "";
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string savedConfig = config ? config : "";
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", (home.string() + "/J\xC3\xBCrgen").c_str(), 1);  // a user named Jürgen
  PrivateProfile profile(PrivateProfile::DefaultPath("Morvantide4"));
  EXPECT_TRUE(profile.WriteString("TargetID", "HA0 ", "5")) << profile.Error();
  EXPECT_EQ(PrivateProfile(profile.Path()).GetInt("TargetID", "HA0 ", 0), 5);
  EXPECT_TRUE(std::filesystem::exists(home / "J\xC3\xBCrgen" / ".config" / "Morvantide4.INI"));
  setenv("HOME", saved.c_str(), 1);
  if (config) setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
  std::filesystem::remove_all(home);
}

}  // namespace
}  // namespace morv
