#include "engine/image_file_name.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace morv {
namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

std::string ImageFileName(const std::string& parameterPath) {
  const std::size_t dot = parameterPath.find('.');
  if (dot == std::string::npos) return ".bin";
  return parameterPath.substr(0, dot) + ".bin";
}

std::string FindImageFile(const std::string& name) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path path(name);
  if (fs::exists(path, error) || !path.has_filename()) return name;

  const fs::path directory = path.has_parent_path() ? path.parent_path() : fs::path(".");
  const std::string wanted = path.filename().string();
  std::string found;
  int matches = 0;
  for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
    const std::string candidate = it->path().filename().string();
    std::error_code typeError;
    if (!EqualIgnoringCase(candidate, wanted) || !it->is_regular_file(typeError)) continue;
    found = (path.parent_path() / candidate).string();
    ++matches;
  }
  return matches == 1 ? found : name;
}

}  // namespace morv
