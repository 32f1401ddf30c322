#include "ui/app_title.h"

namespace morv {

std::string ProgramTitle(std::string_view programPath, std::string_view fallback) {
  size_t slash = programPath.find_last_of('/');
  std::string_view base = slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
  return std::string(base.empty() ? fallback : base);
}

}  // namespace morv
