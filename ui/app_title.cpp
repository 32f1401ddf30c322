#include "ui/app_title.h"

#include <cctype>

namespace morv {

namespace {

bool EndsWithExe(std::string_view name) {
  constexpr std::string_view kExe = ".exe";
  if (name.size() < kExe.size()) return false;
  std::string_view tail = name.substr(name.size() - kExe.size());
  for (size_t i = 0; i < kExe.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(tail[i])) != kExe[i]) return false;
  return true;
}

}  // namespace

std::string ProgramTitle(std::string_view programPath, std::string_view fallback) {
  // Either separator: a Windows path may use both.
  size_t slash = programPath.find_last_of("/\\");
  std::string_view base = slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
  // The title of a Windows program leaves its ".exe" off.
  if (EndsWithExe(base)) base.remove_suffix(4);
  return std::string(base.empty() ? fallback : base);
}

}  // namespace morv
