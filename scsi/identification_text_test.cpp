#include "scsi/identification_text.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

TEST(IdentificationText, ZeroEndsTheTextAndUnprintableBytesReadAsSpaces) {
  struct Case {
    const char* what;
    std::string field;
    std::string text;
  } cases[] = {
      {"padded with spaces, as the standard asks", "KESTREL ", "KESTREL "},
      {"padded with a zero", std::string("KESTREL\0", 8), "KESTREL "},
      {"text after the zero is not shown", std::string("KES\0TREL", 8), "KES     "},
      {"all zero", std::string(8, '\0'), "        "},
      {"control and high bytes", "A\tB\x7F" "C\xC3\xA9" "D", "A B C  D"},
      {"every printable byte kept", "~ !0Az{}", "~ !0Az{}"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IdentificationText(reinterpret_cast<const uint8_t*>(c.field.data()), c.field.size()), c.text)
        << c.what;
}

}  // namespace
}  // namespace morv
