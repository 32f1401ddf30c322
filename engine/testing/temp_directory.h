#pragma once
// A fresh directory for one test's package files, removed with everything in it when
// the test ends. Its path holds no '.', so image names derived from paths inside it
// follow the file name alone.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "engine/package_writer.h"
#include "framework/testing/unique_directory.h"

namespace morv::testing {

class TempDirectory {
 public:
  TempDirectory() {
    std::string base = std::filesystem::temp_directory_path().string();
    if (base.find('.') != std::string::npos) base = "/tmp";
    m_path = MakeUniqueDirectory(base, "morvantide-").string();
  }
  ~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  /// The full path of `name` inside the directory.
  std::string Path(const std::string& name) const { return m_path + "/" + name; }
  /// Writes `bytes` as file `name` and returns its full path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    WriteFileBytes(Path(name), bytes.data(), bytes.size());
    return Path(name);
  }
  /// Writes the first `size` bytes of `image` as file `name` and returns its full path.
  std::string Write(const std::string& name, const FirmwareImage& image, std::size_t size = kImageSize) const {
    WriteFileBytes(Path(name), image.data(), std::min(size, kImageSize));
    return Path(name);
  }
  /// The bytes of file `name` (empty when it cannot be read).
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  std::string m_path;
};

}  // namespace morv::testing
