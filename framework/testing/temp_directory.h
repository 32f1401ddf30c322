#pragma once
// A fresh directory for a test, made the current directory while the object lives.

#include <filesystem>
#include <fstream>
#include <string>

#include "framework/testing/unique_directory.h"

namespace morv {

class TempCurrentDirectory {
 public:
  TempCurrentDirectory() : m_previous(std::filesystem::current_path()) {
    m_path = testing::MakeUniqueDirectory(std::filesystem::temp_directory_path(), "morvantide-test-");
    std::filesystem::current_path(m_path);
  }
  ~TempCurrentDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
    std::filesystem::remove_all(m_path, ignored);
  }
  TempCurrentDirectory(const TempCurrentDirectory&) = delete;
  TempCurrentDirectory& operator=(const TempCurrentDirectory&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  /// Creates a small file `name` in the directory.
  void Touch(const std::string& name) const { std::ofstream(m_path / name) << "x"; }

 private:
  std::filesystem::path m_previous;
  std::filesystem::path m_path;
};

}  // namespace morv
