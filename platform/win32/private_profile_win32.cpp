// The private profile on Windows: the system's own profile functions. A program's
// profile lives in the user's local application data folder (%LOCALAPPDATA%), since
// the Windows folder, where a profile without a directory would go, is not writable
// for programs on current Windows.

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/private_profile.h"
#include "platform/win32/utf16.h"

namespace morv {
namespace {

using win32::Utf8;
using win32::Wide;

// Paths, sections, keys and values are UTF-8 here and go to the system's W
// functions as UTF-16, so a folder or user name outside ASCII ("Jürgen") is the same
// file whatever code page the process runs with.

std::string LastErrorText(const std::string& what) {
  return what + ": Windows error " + std::to_string(GetLastError());
}

/// The profile functions look for a file named without a folder in the Windows
/// folder; ours are always named with their full path.
std::wstring FullPath(const std::string& path) {
  const std::wstring wide = Wide(path);
  const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (length == 0) return wide;
  std::wstring full(length, L'\0');
  const DWORD written = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
  if (written == 0 || written >= length) return wide;
  full.resize(written);
  return full;
}

}  // namespace

int PrivateProfile::GetInt(const std::string& section, const std::string& key, int defaultValue) const {
  return static_cast<int>(
      GetPrivateProfileIntW(Wide(section).c_str(), Wide(key).c_str(), defaultValue, FullPath(m_path).c_str()));
}

bool PrivateProfile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  return WriteStrings({{section, key, value}});
}

bool PrivateProfile::WriteStrings(const std::vector<ProfileValue>& values) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path target(FullPath(m_path));
  // A profile that is a link is written through it, so the link stays; a link that
  // leads nowhere is refused rather than followed into creating a file.
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    target = fs::canonical(target, ec);
    if (ec) {
      m_error = "cannot write " + m_path + ": the symbolic link leads to no file";
      return false;
    }
  }
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  // The values go into a copy, which then replaces the profile in one step: never a
  // file holding only some of them.
  const std::wstring path = target.wstring();
  const std::wstring temp = path + L".tmp" + std::to_wstring(GetCurrentProcessId());
  if (!CopyFileW(path.c_str(), temp.c_str(), FALSE) && GetLastError() != ERROR_FILE_NOT_FOUND) {
    m_error = LastErrorText("cannot copy " + m_path);
    return false;
  }
  for (const ProfileValue& v : values)
    if (!WritePrivateProfileStringW(Wide(v.section).c_str(), Wide(v.key).c_str(), Wide(v.value).c_str(),
                                    temp.c_str())) {
      m_error = LastErrorText("cannot write " + Utf8(temp));
      DeleteFileW(temp.c_str());
      return false;
    }
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, temp.c_str());  // flushes the system's cache
  if (!MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    m_error = LastErrorText("cannot replace " + m_path);
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

std::string PrivateProfile::DefaultPath(const std::string& programName) {
  const wchar_t* folder = _wgetenv(L"LOCALAPPDATA");
  const std::string directory = folder && *folder ? Utf8(folder) : ".";
  return directory + "\\" + programName + ".INI";
}

}  // namespace morv
