#include "platform/private_profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <vector>

#include "platform/regular_file.h"
#include "platform/termination_hold.h"

namespace morv {
namespace {

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

// A section or key name as it is compared: blanks around it dropped, in lower case.
std::string NormalName(const std::string& name) {
  std::string normal = Trim(name);
  for (char& c : normal) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return normal;
}

// One line of the file, kept byte for byte (its line end included) so untouched
// lines are written back exactly as they were read.
struct Line {
  std::string text;  // without the line feed and a carriage return before it
  std::string end;   // "\n", "\r\n" or "" for a last line without one
};

// The whole file at `path`, read without waiting on what is not a regular file;
// nullopt when it cannot be read.
std::optional<std::string> ReadText(const std::string& path) {
  int error = 0;
  std::FILE* file = OpenRegularFile(path, error);
  if (file == nullptr) return std::nullopt;
  std::string text;
  char chunk[65536];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, n);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return text;
}

std::vector<Line> ReadLines(const std::string& path) {
  std::vector<Line> lines;
  const std::optional<std::string> text = ReadText(path);
  if (!text) return lines;
  std::size_t start = 0;
  while (start < text->size()) {
    const std::size_t feed = text->find('\n', start);
    const bool last = feed == std::string::npos;
    Line line{text->substr(start, (last ? text->size() : feed) - start), last ? "" : "\n"};
    if (!line.text.empty() && line.text.back() == '\r') {
      line.text.pop_back();
      line.end = line.end.empty() ? "\r" : "\r\n";
    }
    lines.push_back(std::move(line));
    start = last ? text->size() : feed + 1;
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

// Writes `text` to a new file at `path` and flushes it to the disk. The file gets the
// mode (and, for root, the owner) of `model` when there is one, so a replaced profile
// stays as private as it was and does not become root's under sudo.
bool WriteDurably(const std::string& path, const std::string& text, const struct stat* model) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, model != nullptr ? 0600 : 0644);
  if (fd < 0) return false;
  if (model != nullptr) {
    if (::geteuid() == 0) (void)::fchown(fd, model->st_uid, model->st_gid);
    (void)::fchmod(fd, model->st_mode & 07777);
  }
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

// True when a line ends with a line feed. A last line without one, or with a bare
// carriage return, runs on into whatever is written after it.
bool EndsLine(const Line& line) { return !line.end.empty() && line.end.back() == '\n'; }

std::string LineEndOf(const std::vector<Line>& lines) {
  for (const auto& line : lines)
    if (!line.end.empty() && line.end != "\r") return line.end;
  return "\n";
}

// A line of the file with its names as they are compared, worked out once: the
// values of a write look through the lines many times (73 for a saved selection).
struct NamedLine {
  Line line;
  std::optional<std::string> section;  // the section it opens
  std::optional<std::string> key;      // the key it sets, when it opens no section
  bool blank = false;
};

NamedLine Named(Line line) {
  NamedLine named{std::move(line), std::nullopt, std::nullopt, false};
  if (const auto section = SectionName(named.line.text)) {
    named.section = NormalName(*section);
  } else if (const auto key = KeyName(named.line.text)) {
    named.key = NormalName(*key);
  }
  named.blank = named.line.text.find_first_not_of(" \t") == std::string::npos;
  return named;
}

// Sets `key` in `section` to `value` in the lines of a file: in place when the key
// is there (in the first section of the name), else after the section's last
// non-blank line, adding the section when missing.
void SetValue(std::vector<NamedLine>& lines, const std::string& eol, const ProfileValue& v) {
  const std::string section = NormalName(v.section), key = NormalName(v.key);
  size_t header = 0;
  while (header < lines.size() && lines[header].section != section) ++header;
  if (header == lines.size()) {
    if (!lines.empty() && !EndsLine(lines.back().line)) lines.back().line.end = eol;
    lines.push_back(Named({"[" + v.section + "]", eol}));
    lines.push_back(Named({v.key + "=" + v.value, eol}));
    return;
  }
  size_t insertAt = header + 1;
  for (size_t i = header + 1; i < lines.size() && !lines[i].section; ++i) {
    if (lines[i].key == key) {
      lines[i] = Named({*KeyName(lines[i].line.text) + "=" + v.value, lines[i].line.end});
      return;
    }
    if (!lines[i].blank) insertAt = i + 1;
  }
  if (!EndsLine(lines[insertAt - 1].line)) lines[insertAt - 1].line.end = eol;
  lines.insert(lines.begin() + static_cast<long>(insertAt), Named({v.key + "=" + v.value, eol}));
}

// Every value of the file by section and key, as GetInt finds them: in the first
// section of a name, the first line of a key.
ProfileValues ReadValues(const std::string& path) {
  ProfileValues values;
  std::set<std::string> sections;
  std::optional<std::string> section;  // nullopt: before any section or in a repeated one
  for (const Line& line : ReadLines(path)) {
    if (const auto name = SectionName(line.text)) {
      section = sections.insert(NormalName(*name)).second ? std::optional(NormalName(*name)) : std::nullopt;
    } else if (const auto key = KeyName(line.text); key && section) {
      values.emplace(std::make_pair(*section, NormalName(*key)), line.text.substr(line.text.find('=') + 1));
    }
  }
  return values;
}

}  // namespace

int PrivateProfile::GetInt(const std::string& section, const std::string& key, int defaultValue) const {
  if (!m_values) m_values = ReadValues(m_path);
  const auto found = m_values->find({NormalName(section), NormalName(key)});
  return found == m_values->end() ? defaultValue : ParseInt(found->second);
}

bool PrivateProfile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  return WriteStrings({{section, key, value}});
}

bool PrivateProfile::WriteStrings(const std::vector<ProfileValue>& values) {
  namespace fs = std::filesystem;
  m_values.reset();  // read again after the write
  std::error_code ec;
  // A profile that is a link (kept with the user's other settings elsewhere) is
  // written through it, so the link stays; a link that leads nowhere is refused
  // rather than followed into creating a file at its end.
  std::string target = m_path;
  if (fs::is_symlink(fs::symlink_status(m_path, ec))) {
    target = fs::canonical(m_path, ec).string();
    if (ec) {
      m_error = "cannot write " + m_path + ": the symbolic link leads to no file";
      return false;
    }
  }
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
  if (exists && ::access(target.c_str(), W_OK) != 0) {
    // A profile made read-only keeps its remembered choice.
    m_error = "cannot write " + m_path + ": " + std::strerror(errno);
    return false;
  }
  if (!exists && fs::exists(fs::status(target, ec)) && !fs::is_directory(fs::status(target, ec))) {
    m_error = "cannot replace " + m_path + ": " + RegularFileErrorText(kNotRegularFile);
    return false;
  }

  std::vector<NamedLine> lines;
  const std::vector<Line> read = ReadLines(target);
  const std::string eol = LineEndOf(read);
  for (const Line& line : read) lines.push_back(Named(line));
  for (const ProfileValue& v : values) SetValue(lines, eol, v);

  std::string text;
  for (const auto& named : lines) text.append(named.line.text).append(named.line.end);

  const fs::path targetPath(target);
  if (targetPath.has_parent_path()) fs::create_directories(targetPath.parent_path(), ec);
  // A SIGTERM or a closed terminal in the middle would leave the temporary file
  // behind; held, it takes effect once the profile has been replaced.
  TerminationHold hold;
  std::string temp = target + ".tmp" + std::to_string(::getpid());
  if (!WriteDurably(temp, text, exists ? &existing : nullptr)) {
    m_error = "cannot write " + temp + ": " + std::strerror(errno);
    fs::remove(temp, ec);
    return false;
  }
  if (std::rename(temp.c_str(), target.c_str()) != 0) {
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
