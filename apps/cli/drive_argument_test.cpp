#include "apps/cli/drive_argument.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

// Each accepted way names the drive the program it belongs to would reach; anything
// else, however close, names none.
TEST(DriveArgument, LettersNodesAndAddresses) {
  const struct {
    const char* text;
    const char* named;  // nullptr: refused
  } cases[] = {
      {"E:", "E:"},       {"e:", "E:"},          {"/dev/sg0", "A:"},   {"/dev/sg4", "E:"},  {"/dev/sg25", "Z:"},
      {"0:2:0", "0:2:0"}, {"7:7:7", "7:7:7"},    {"E", nullptr},       {"E:x", nullptr},   {"1:", nullptr},
      {"/dev/sg26", nullptr}, {"/dev/sg04", nullptr}, {"/dev/sg", nullptr}, {"/dev/sg4x", nullptr},
      {"/dev/sr0", nullptr},  {"0:8:0", nullptr},     {"0:2", nullptr},    {"10:2:0", nullptr}, {"", nullptr},
  };
  for (const auto& c : cases) {
    const auto named = ParseDriveArgument(c.text);
    if (c.named == nullptr) {
      EXPECT_FALSE(named) << c.text;
    } else {
      ASSERT_TRUE(named) << c.text;
      EXPECT_EQ(named->Text(), c.named) << c.text;
    }
  }
}

}  // namespace
}  // namespace morv
