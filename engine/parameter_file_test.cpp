#include "engine/parameter_file.h"

#include <gtest/gtest.h>

#include <string>

namespace morv {
namespace {

TEST(ParameterFile, ChecksumParsesLikeAtolAndSaturates) {
  struct Case {
    const char* text;
    int32_t value;
  } cases[] = {
      {"12345", 12345},
      {"   42", 42},
      {"\t\v\f 9", 9},
      {"+7", 7},
      {"-7", -7},
      {"12abc", 12},
      {"1 2", 1},
      {"000133693440", 133693440},
      {"abc", 0},
      {"", 0},
      {"+", 0},
      {"- 5", 0},
      {"+-5", 0},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      // Overlong values saturate instead of wrapping onto a reachable image sum
      // (4294967396 would wrap to 100).
      {"2147483648", 2147483647},
      {"4294967396", 2147483647},
      {"999999999999999999999999999999999999", 2147483647},
      {"-4294967296", -2147483647 - 1},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseChecksum(c.text), c.value) << '"' << c.text << '"';
}

TEST(ParameterFile, HeaderNeedsPrefixAndVersion) {
  const std::string prefix = "MorvantideParameterFile Ver.";
  struct Case {
    std::string header;
    bool matches;
  } cases[] = {
      {prefix + "4.00", true},
      {prefix + "xx4.00", true},
      {prefix + "abcd4.00", true},  // 36 characters, the most a header keeps
      {prefix + "4.01", false},
      {prefix + "4.0", false},
      {prefix + "4.00 ", false},
      {prefix, false},
      {"morvantideParameterFile Ver.4.00", false},
      {"MorvantideParameterFile Ver 4.00", false},
      {"4.00", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(HeaderMatches(c.header), c.matches) << '"' << c.header << '"';
}

TEST(ParameterFile, OnlyTheExactTextOneSelectsARegion) {
  struct Case {
    const char* flag;
    bool selected;
  } cases[] = {{"1", true}, {" 1", false}, {"1 ", false}, {"01", false}, {"11", false},
               {"0", false}, {"", false},  {"I", false}};
  for (const auto& c : cases) EXPECT_EQ(RegionSelected(c.flag), c.selected) << '"' << c.flag << '"';

  ParameterFile parameters;
  parameters.region1 = "1";
  parameters.region2 = "01";
  parameters.region3 = "1";
  EXPECT_EQ(SelectedRegions(parameters), (std::array<bool, 3>{true, false, true}));
}

}  // namespace
}  // namespace morv
