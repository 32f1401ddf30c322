#include "framework/text_elide.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

constexpr const char* kV104 = "KESTREL_MX-R4410_FIRMWARE_UPDATE_PACKAGE_V104_FINAL_RELEASE.OUC";
constexpr const char* kV105 = "KESTREL_MX-R4410_FIRMWARE_UPDATE_PACKAGE_V105_FINAL_RELEASE.OUC";

struct Case {
  std::string text;
  std::vector<std::string> others;
  size_t room;  // bytes
  std::string shown;
};

TEST(TextElide, KeepsWhatTellsANameApartThenBothEnds) {
  const std::vector<Case> cases = {
      // Both ends plus the version, where a middle cut alone would show the same for both.
      {kV104, {kV104, kV105}, 24, "KESTR..._V104_FIN....OUC"},
      {kV105, {kV104, kV105}, 24, "KESTR..._V105_FIN....OUC"},
      {kV104, {kV104, kV105}, 9, "K...4...C"},
      // Nothing to tell it from: the middle goes.
      {kV104, {}, 20, "KESTREL_M...EASE.OUC"},
      {kV104, {kV104}, 11, "KEST....OUC"},
      // The difference at the end joins the end.
      {"PACKAGE_ONE_A.OUC", {"PACKAGE_ONE_B.OUC"}, 12, "PA...E_A.OUC"},
      // A text that fits, and room for less than the mark.
      {"SHORT.OUC", {"SHORT2.OUC"}, 9, "SHORT.OUC"},
      {"LONGER.OUC", {}, 2, "LO"},
      // Cuts never split a character ("ü" is two bytes).
      {"Prüfung_Prüfung.OUC", {}, 10, "Prü...OUC"},
      {"Prüfung.OUC", {}, 3, "Pr"},
  };
  for (const Case& c : cases) {
    auto fits = [&](std::string_view s) { return s.size() <= c.room; };
    EXPECT_EQ(ElideKeepingDifference(c.text, c.others, "...", fits), c.shown) << c.text << " in " << c.room;
  }
}

}  // namespace
}  // namespace morv
