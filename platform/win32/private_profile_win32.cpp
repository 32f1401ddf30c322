// The private profile on Windows: the system's own profile functions. A program's
// profile lives in the user's local application data folder (%LOCALAPPDATA%), since
// the Windows folder, where a profile without a directory would go, is not writable
// for programs on current Windows.

#include <windows.h>

#include <cstdlib>
#include <filesystem>

#include "platform/private_profile.h"

namespace morv {
namespace {

std::string LastErrorText(const std::string& what) {
  return what + ": Windows error " + std::to_string(GetLastError());
}

/// The profile functions look for a file named without a folder in the Windows
/// folder; ours are always named with their full path.
std::string FullPath(const std::string& path) {
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(path, ec);
  return ec ? path : full.string();
}

}  // namespace

int PrivateProfile::GetInt(const std::string& section, const std::string& key, int defaultValue) const {
  return static_cast<int>(GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, FullPath(m_path).c_str()));
}

bool PrivateProfile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  return WriteStrings({{section, key, value}});
}

bool PrivateProfile::WriteStrings(const std::vector<ProfileValue>& values) {
  namespace fs = std::filesystem;
  std::error_code ec;
  std::string path = FullPath(m_path);
  // A profile that is a link is written through it, so the link stays; a link that
  // leads nowhere is refused rather than followed into creating a file.
  if (fs::is_symlink(fs::symlink_status(path, ec))) {
    path = fs::canonical(path, ec).string();
    if (ec) {
      m_error = "cannot write " + m_path + ": the symbolic link leads to no file";
      return false;
    }
  }
  fs::path target(path);
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  // The values go into a copy, which then replaces the profile in one step: never a
  // file holding only some of them.
  const std::string temp = path + ".tmp" + std::to_string(GetCurrentProcessId());
  if (!CopyFileA(path.c_str(), temp.c_str(), FALSE) && GetLastError() != ERROR_FILE_NOT_FOUND) {
    m_error = LastErrorText("cannot copy " + m_path);
    return false;
  }
  for (const ProfileValue& v : values)
    if (!WritePrivateProfileStringA(v.section.c_str(), v.key.c_str(), v.value.c_str(), temp.c_str())) {
      m_error = LastErrorText("cannot write " + temp);
      DeleteFileA(temp.c_str());
      return false;
    }
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, temp.c_str());  // flushes the system's cache
  if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    m_error = LastErrorText("cannot replace " + m_path);
    DeleteFileA(temp.c_str());
    return false;
  }
  return true;
}

std::string PrivateProfile::DefaultPath(const std::string& programName) {
  const char* folder = std::getenv("LOCALAPPDATA");
  std::string directory = folder && *folder ? folder : ".";
  return directory + "\\" + programName + ".INI";
}

}  // namespace morv
