#pragma once
// The private profile: a file of "[section]" headers and "key=value" lines, read one
// integer at a time and written one string at a time, with the semantics programs
// have always relied on:
//  - section and key names match case-insensitively, blanks around them ignored;
//  - a key is written as given (so "HA0 " becomes "HA0 =5") and found again;
//  - a write changes one value in place and keeps every other line (comments too);
//  - a missing, unreadable or garbled file reads as the defaults, never an error.
//  - the file is read once, at the first GetInt, and again only after a write.
// Every write goes to a temporary file that is then renamed over the profile, so a
// crash never leaves a torn file; the new file keeps the old one's mode, a profile
// that is a symbolic link is written through it (the link stays), and a read-only
// profile, a link to nothing or a FIFO or device at its place is refused.

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace morv {

/// One value for PrivateProfile::WriteStrings.
struct ProfileValue {
  std::string section;
  std::string key;
  std::string value;
};

/// The values of a profile by section and key name (compared without blanks and case).
using ProfileValues = std::map<std::pair<std::string, std::string>, std::string>;

class PrivateProfile {
 public:
  explicit PrivateProfile(std::string path) : m_path(std::move(path)) {}

  /// The integer value of `key` in `section`: leading blanks skipped, an optional
  /// sign, decimal digits up to the first other character (none gives 0);
  /// `defaultValue` when the section or key is missing or the file cannot be read.
  /// The file is read at the first call and kept until the next write.
  int GetInt(const std::string& section, const std::string& key, int defaultValue) const;

  /// Sets `key` in `section` to `value`, adding the section or key when missing.
  /// Returns false, with `Error()` set, when the file cannot be written.
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);
  /// Sets each value in turn, exactly as that many WriteString calls would, but
  /// replaces the file once: one flushed write instead of one per value, and never
  /// a file holding only some of them. Returns false, with `Error()` set, when the
  /// file cannot be written.
  bool WriteStrings(const std::vector<ProfileValue>& values);

  /// Why the last write failed.
  const std::string& Error() const { return m_error; }
  const std::string& Path() const { return m_path; }

  /// "<config dir>/<programName>.INI": $XDG_CONFIG_HOME, else $HOME/.config.
  static std::string DefaultPath(const std::string& programName);

 private:
  std::string m_path;
  std::string m_error;
  mutable std::optional<ProfileValues> m_values;  ///< the file as last read (Linux)
};

}  // namespace morv
