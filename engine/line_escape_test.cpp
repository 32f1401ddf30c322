#include "engine/line_escape.h"

#include <gtest/gtest.h>

#include <string>

namespace morv {
namespace {

TEST(EscapedForLine, KeepsPrintableUtf8AndEscapesEverythingElse) {
  const struct {
    std::string text;
    std::string escaped;
  } kCases[] = {
      {"R4410.OUC", "R4410.OUC"},
      {"a\\b\tc\nd\re", "a\\\\b\\tc\\nd\\re"},
      {std::string("nul\0bel\a", 8), "nul\\x00bel\\x07"},
      {"\x1b[31mred\x7f", "\\x1B[31mred\\x7F"},
      {"Gr\xc3\xbc\xc3\x9f \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x92\xbf", "Gr\xc3\xbc\xc3\x9f \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x92\xbf"},
      {"c1 \xc2\x9b csi", "c1 \\xC2\\x9B csi"},                      // C1 control
      {"\xe2\x80\xae" "cod.exe", "\\xE2\\x80\\xAEcod.exe"},           // right-to-left override
      {"ls\xe2\x80\xa8", "ls\\xE2\\x80\\xA8"},                        // line separator
      {"latin1 \xe9t\xe9", "latin1 \\xE9t\\xE9"},                     // not UTF-8
      {"overlong \xc0\xaf", "overlong \\xC0\\xAF"},
      {"surrogate \xed\xa0\x80", "surrogate \\xED\\xA0\\x80"},
      {"cut \xe6\x97", "cut \\xE6\\x97"},
      {"beyond \xf4\x90\x80\x80", "beyond \\xF4\\x90\\x80\\x80"},
  };
  for (const auto& c : kCases) EXPECT_EQ(EscapedForLine(c.text), c.escaped) << c.escaped;
}

TEST(ShownOnOneLine, KeepsBackslashesOfWindowsPaths) {
  EXPECT_EQ(ShownOnOneLine("C:\\Users\\A\nB.OUC\x1b"), "C:\\Users\\A\\nB.OUC\\x1B");
}

}  // namespace
}  // namespace morv
