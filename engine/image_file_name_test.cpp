#include "engine/image_file_name.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

TEST(ImageFileName, CutsAtTheFirstDotOfThePath) {
  struct Case {
    const char* parameterPath;
    const char* imageName;
  } cases[] = {
      {"ABC.OUC", "ABC.bin"},
      {"abc.ouc", "abc.bin"},
      {"A.B.OUC", "A.bin"},
      {"FW 1.2.OUC", "FW 1.bin"},
      {".OUC", ".bin"},
      {"NODOT", ".bin"},
      {"", ".bin"},
      {"/tmp/pkgs/X.OUC", "/tmp/pkgs/X.bin"},
      {"/tmp/v1.0/X.OUC", "/tmp/v1.bin"},  // a dot in a directory name counts too
      {"./X.OUC", ".bin"},
  };
  for (const auto& c : cases) EXPECT_EQ(ImageFileName(c.parameterPath), c.imageName) << c.parameterPath;
}

}  // namespace
}  // namespace morv
