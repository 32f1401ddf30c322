#include "ui/file_list.h"

#include <cctype>
#include <system_error>

namespace morv {

bool IsParameterFileName(const std::string& name) {
  static constexpr char kExtension[] = ".OUC";
  constexpr size_t kLength = sizeof kExtension - 1;
  if (name.empty() || name[0] == '.' || name.size() < kLength) return false;
  for (size_t i = 0; i < kLength; ++i) {
    unsigned char c = static_cast<unsigned char>(name[name.size() - kLength + i]);
    if (std::toupper(c) != kExtension[i]) return false;
  }
  return true;
}

std::vector<std::string> ParameterFileNames(const std::filesystem::path& directory) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator it(directory, error), end;
  for (; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (!IsParameterFileName(name)) continue;
    std::error_code statError;
    if (it->is_regular_file(statError)) names.push_back(std::move(name));
  }
  return names;
}

}  // namespace morv
