#pragma once
// The folder PrivateProfile::DefaultPath puts a program's profile in, set to a test's
// own folder while the object lives, so that no test reads or writes the profile of
// the developer running it. Where that folder comes from is the system's detail
// ($XDG_CONFIG_HOME on Linux, %LOCALAPPDATA% on Windows): one source file per system.

#include <filesystem>
#include <optional>
#include <string>

namespace morv {

class ScopedProfileFolder {
 public:
  explicit ScopedProfileFolder(const std::filesystem::path& folder);
  ~ScopedProfileFolder();
  ScopedProfileFolder(const ScopedProfileFolder&) = delete;
  ScopedProfileFolder& operator=(const ScopedProfileFolder&) = delete;

 private:
  std::optional<std::string> m_previous;  // the variable's value before, if it was set
};

}  // namespace morv
