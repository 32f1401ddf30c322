#pragma once
// $XDG_CONFIG_HOME set to a test's own folder while the object lives, so that no test
// reads or writes the profile of the developer running it.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace morv {

class ScopedConfigHome {
 public:
  explicit ScopedConfigHome(const std::filesystem::path& path) {
    if (const char* value = std::getenv("XDG_CONFIG_HOME")) m_previous = value;
    setenv("XDG_CONFIG_HOME", path.c_str(), 1);
  }
  ~ScopedConfigHome() {
    if (m_previous)
      setenv("XDG_CONFIG_HOME", m_previous->c_str(), 1);
    else
      unsetenv("XDG_CONFIG_HOME");
  }
  ScopedConfigHome(const ScopedConfigHome&) = delete;
  ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

 private:
  std::optional<std::string> m_previous;
};

}  // namespace morv
