#include "framework/list_order.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

TEST(ListOrder, SortsLikeADesktopListBox) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"abc.OUC", "ABD.OUC", -1},   // case-insensitive
      {"ABC.OUC", "abc.ouc", 0},    // equal apart from case
      {"9.OUC", "A.OUC", -1},       // digits before letters
      {"_X.OUC", "0.OUC", -1},      // punctuation before digits
      {"A.OUC", "A1.OUC", -1},      // '.' before digits
      {"RE-LOAD.OUC", "RELOAD.OUC", 1},  // hyphen skipped first, then decides
      {"AB", "ABC", -1},            // prefix first
  };
  for (const auto& c : cases) {
    int d = ListBoxCompare(c.a, c.b);
    EXPECT_EQ((d > 0) - (d < 0), c.sign) << c.a << " vs " << c.b;
    int r = ListBoxCompare(c.b, c.a);
    EXPECT_EQ((r > 0) - (r < 0), -c.sign) << c.b << " vs " << c.a;
  }
}

TEST(ListOrder, InsertsAfterEqualEntries) {
  std::vector<std::string> entries{"A.OUC", "C.OUC"};
  EXPECT_EQ(InsertionIndex(entries, "B.OUC"), 1);
  EXPECT_EQ(InsertionIndex(entries, "a.ouc"), 1);
  EXPECT_EQ(InsertionIndex(entries, "0.OUC"), 0);
  EXPECT_EQ(InsertionIndex(entries, "Z.OUC"), 2);
  EXPECT_EQ(InsertionIndex({}, "X"), 0);
}

}  // namespace
}  // namespace morv
