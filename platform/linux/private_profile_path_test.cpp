// Where the profile lives on Linux: the XDG configuration folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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

}  // namespace
}  // namespace morv
