// Profiles live in %LOCALAPPDATA%. The C runtime's copy of the environment is the one
// getenv reads, so it is changed through _putenv_s (an empty value removes the variable).

#include <cstdlib>

#include "platform/testing/scoped_profile_folder.h"

namespace morv {

ScopedProfileFolder::ScopedProfileFolder(const std::filesystem::path& folder) {
  if (const char* value = std::getenv("LOCALAPPDATA")) m_previous = value;
  _putenv_s("LOCALAPPDATA", folder.string().c_str());
}

ScopedProfileFolder::~ScopedProfileFolder() { _putenv_s("LOCALAPPDATA", m_previous ? m_previous->c_str() : ""); }

}  // namespace morv
