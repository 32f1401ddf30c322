#include "engine/read_field.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>

namespace morv {
namespace {

// Reads one field of `bytes` with `limit` into `field`; returns what is left unread, or
// nothing when ReadField raised a file error (stored in `error`).
std::optional<std::string> ReadOne(std::string bytes, int limit, std::string& field, FileError& error) {
  // A temporary file rather than fmemopen, which only POSIX systems have.
  std::FILE* stream = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
  std::rewind(stream);
  PackageFile file(stream);
  try {
    ReadField(file, field, limit);
  } catch (const FileError& e) {
    error = e;
    return std::nullopt;
  }
  std::string rest;
  try {
    for (;;) rest.push_back(static_cast<char>(file.ReadByte()));
  } catch (const FileError&) {
  }
  return rest;
}

TEST(ReadField, KeepsPrintableBytesAndConsumesTheSeparator) {
  struct Case {
    const char* name;
    std::string bytes;
    int limit;
    std::string field;
    std::string rest;
  } cases[] = {
      {"comma ends", "abc,def", 35, "abc", "def"},
      {"line feed ends", "abc\ndef", 35, "abc", "def"},
      {"empty field", ",x", 35, "", "x"},
      {"spaces kept", " 1 ,", 2, " 1 ", ""},
      {"quotes dropped", "\"1\",", 2, "1", ""},
      {"CR and tab dropped", "a\tb\r\n", 35, "ab", ""},
      {"control bytes dropped", std::string("a\0b\x01\x1f" "c,", 7), 35, "abc", ""},
      {"high bytes dropped", "\x80x\xff\xc3\xa9y,", 35, "xy", ""},
      {"DEL kept", "a\x7f,", 35, "a\x7f", ""},
      {"limit + 1 kept, then separator", "123,4", 2, "123", "4"},
      {"byte after limit + 1 lost", "1234,5", 2, "123", ",5"},
      {"rest of line is the next field", "12345\nX", 2, "123", "5\nX"},
      {"dropped byte after limit + 1 lost too", "123\r\nX", 2, "123", "\nX"},
      {"dropped bytes do not count", "\"12\"\r\n", 2, "12", ""},
      {"36 kept for limit 35", std::string(36, 'h') + "\n", 35, std::string(36, 'h'), ""},
      {"37th byte lost", std::string(37, 'h') + "MOD\n", 35, std::string(36, 'h'), "MOD\n"},
      {"21 kept for limit 20", std::string(23, 'm') + "\n", 20, std::string(21, 'm'), "m\n"},
  };
  for (const auto& c : cases) {
    std::string field;
    FileError error;
    auto rest = ReadOne(c.bytes, c.limit, field, error);
    ASSERT_TRUE(rest.has_value()) << c.name;
    EXPECT_EQ(field, c.field) << c.name;
    EXPECT_EQ(*rest, c.rest) << c.name;
  }
}

TEST(ReadField, AppendsToWhatTheFieldHolds) {
  std::string field = "pre-";
  FileError error;
  ASSERT_TRUE(ReadOne("abc,", 2, field, error).has_value());
  EXPECT_EQ(field, "pre-abc");  // the limit counts this call's characters only
}

TEST(ReadField, EndOfFileBeforeTheSeparatorIsAFileError) {
  for (std::string bytes : {"", "abc", "\"1\"\r", "12"}) {
    std::string field;
    FileError error;
    EXPECT_FALSE(ReadOne(bytes, 2, field, error).has_value()) << bytes;
    EXPECT_TRUE(error.endOfFile) << bytes;
    EXPECT_EQ(error.Text(), "End of File") << bytes;
  }
}

TEST(FileError, TextIsEndOfFileOnlyForTheEndOfFile) {
  EXPECT_EQ((FileError{true, 0}).Text(), "End of File");
  EXPECT_EQ((FileError{false, ENOENT}).Text(), "No such file or directory");
  // The number that once stood for the end of file is an ordinary error here.
  EXPECT_EQ((FileError{false, EFAULT}).Text(), "Bad address");
}

}  // namespace
}  // namespace morv
