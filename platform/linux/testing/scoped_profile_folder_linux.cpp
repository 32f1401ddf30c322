// Profiles live in $XDG_CONFIG_HOME.

#include <cstdlib>

#include "platform/testing/scoped_profile_folder.h"

namespace morv {

ScopedProfileFolder::ScopedProfileFolder(const std::filesystem::path& folder) {
  if (const char* value = std::getenv("XDG_CONFIG_HOME")) m_previous = value;
  setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
}

ScopedProfileFolder::~ScopedProfileFolder() {
  if (m_previous)
    setenv("XDG_CONFIG_HOME", m_previous->c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace morv
