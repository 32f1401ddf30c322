#include "platform/private_profile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "platform/termination_hold.h"

namespace morv {
namespace {

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  std::string x = Trim(a), y = Trim(b);
  if (x.size() != y.size()) return false;
  for (size_t i = 0; i < x.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(x[i])) != std::tolower(static_cast<unsigned char>(y[i])))
      return false;
  return true;
}

// One line of the file, kept byte for byte (its line end included) so untouched
// lines are written back exactly as they were read.
struct Line {
  std::string text;  // without the line feed and a carriage return before it
  std::string end;   // "\n", "\r\n" or "" for a last line without one
};

std::vector<Line> ReadLines(const std::string& path, bool& readable) {
  std::vector<Line> lines;
  std::ifstream in(path, std::ios::binary);
  readable = static_cast<bool>(in);
  if (!readable) return lines;
  std::string raw;
  while (std::getline(in, raw)) {
    Line line{raw, in.eof() ? "" : "\n"};
    if (!line.text.empty() && line.text.back() == '\r') {
      line.text.pop_back();
      line.end = line.end.empty() ? "\r" : "\r\n";
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

// "[name]" gives name; anything else is not a section header.
std::optional<std::string> SectionName(const std::string& text) {
  std::string t = Trim(text);
  if (t.size() < 2 || t.front() != '[') return std::nullopt;
  size_t close = t.find(']');
  if (close == std::string::npos) return std::nullopt;
  return t.substr(1, close - 1);
}

// The key of a "key=value" line, or nullopt for comments and other lines.
std::optional<std::string> KeyName(const std::string& text) {
  std::string t = Trim(text);
  if (t.empty() || t[0] == ';') return std::nullopt;
  size_t eq = text.find('=');
  if (eq == std::string::npos) return std::nullopt;
  return text.substr(0, eq);
}

// Position of the section header line, or -1.
int FindSection(const std::vector<Line>& lines, const std::string& section) {
  for (size_t i = 0; i < lines.size(); ++i) {
    auto name = SectionName(lines[i].text);
    if (name && SameName(*name, section)) return static_cast<int>(i);
  }
  return -1;
}

// End (exclusive) of the section starting at `header`.
size_t SectionEnd(const std::vector<Line>& lines, size_t header) {
  size_t i = header + 1;
  while (i < lines.size() && !SectionName(lines[i].text)) ++i;
  return i;
}

int ParseInt(const std::string& value) {
  size_t i = 0;
  while (i < value.size() && std::isspace(static_cast<unsigned char>(value[i]))) ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
  long long result = 0;
  while (i < value.size() && std::isdigit(static_cast<unsigned char>(value[i]))) {
    result = result * 10 + (value[i++] - '0');
    if (result > 0x7FFFFFFFLL) return 0;  // out of range reads as garbage
  }
  return static_cast<int>(negative ? -result : result);
}

// Writes `text` to a new file at `path` and flushes it to the disk.
bool WriteDurably(const std::string& path, const std::string& text) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      int saved = errno;
      ::close(fd);
      errno = saved;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  bool ok = ::fsync(fd) == 0;
  int saved = errno;
  ok = (::close(fd) == 0) && ok;
  if (!ok) errno = saved;
  return ok;
}

std::string LineEndOf(const std::vector<Line>& lines) {
  for (const auto& line : lines)
    if (!line.end.empty() && line.end != "\r") return line.end;
  return "\n";
}

// Sets `key` in `section` to `value` in the lines of a file: in place when the key
// is there, else after the section's last line, adding the section when missing.
void SetValue(std::vector<Line>& lines, const std::string& eol, const std::string& section, const std::string& key,
              const std::string& value) {
  Line entry{key + "=" + value, eol};

  int header = FindSection(lines, section);
  if (header < 0) {
    if (!lines.empty() && lines.back().end.empty()) lines.back().end = eol;
    lines.push_back({"[" + section + "]", eol});
    lines.push_back(entry);
  } else {
    size_t end = SectionEnd(lines, static_cast<size_t>(header));
    size_t insertAt = static_cast<size_t>(header) + 1;
    bool replaced = false;
    for (size_t i = static_cast<size_t>(header) + 1; i < end; ++i) {
      auto name = KeyName(lines[i].text);
      if (name && SameName(*name, key)) {
        lines[i].text = *name + "=" + value;
        replaced = true;
        break;
      }
      if (!Trim(lines[i].text).empty()) insertAt = i + 1;  // after the section's last non-blank line
    }
    if (!replaced) {
      if (insertAt > 0 && lines[insertAt - 1].end.empty()) lines[insertAt - 1].end = eol;
      lines.insert(lines.begin() + static_cast<long>(insertAt), entry);
    }
  }
}

}  // namespace

int PrivateProfile::GetInt(const std::string& section, const std::string& key, int defaultValue) const {
  bool readable = false;
  std::vector<Line> lines = ReadLines(m_path, readable);
  int header = FindSection(lines, section);
  if (header < 0) return defaultValue;
  size_t end = SectionEnd(lines, static_cast<size_t>(header));
  for (size_t i = static_cast<size_t>(header) + 1; i < end; ++i) {
    auto name = KeyName(lines[i].text);
    if (name && SameName(*name, key)) return ParseInt(lines[i].text.substr(lines[i].text.find('=') + 1));
  }
  return defaultValue;
}

bool PrivateProfile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  return WriteStrings({{section, key, value}});
}

bool PrivateProfile::WriteStrings(const std::vector<ProfileValue>& values) {
  bool readable = false;
  std::vector<Line> lines = ReadLines(m_path, readable);
  const std::string eol = LineEndOf(lines);
  for (const ProfileValue& v : values) SetValue(lines, eol, v.section, v.key, v.value);

  std::ostringstream text;
  for (const auto& line : lines) text << line.text << line.end;

  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path target(m_path);
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  // A SIGTERM or a closed terminal in the middle would leave the temporary file
  // behind; held, it takes effect once the profile has been replaced.
  TerminationHold hold;
  std::string temp = m_path + ".tmp" + std::to_string(::getpid());
  if (!WriteDurably(temp, text.str())) {
    m_error = "cannot write " + temp + ": " + std::strerror(errno);
    fs::remove(temp, ec);
    return false;
  }
  if (std::rename(temp.c_str(), m_path.c_str()) != 0) {
    m_error = "cannot replace " + m_path + ": " + std::strerror(errno);
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

std::string PrivateProfile::DefaultPath(const std::string& programName) {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string dir;
  if (xdg != nullptr && xdg[0] == '/') {
    dir = xdg;
  } else {
    const char* home = std::getenv("HOME");
    dir = std::string(home != nullptr ? home : ".") + "/.config";
  }
  return dir + "/" + programName + ".INI";
}

}  // namespace morv
