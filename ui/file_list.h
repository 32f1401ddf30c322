#pragma once
// The parameter files a firmware package starts from.

#include <filesystem>
#include <string>
#include <vector>

namespace morv {

/// Whether `name` is a parameter file name: it ends in ".OUC" in any mix of case
/// and is not hidden (does not start with a dot).
bool IsParameterFileName(const std::string& name);

/// The names (without path) of the parameter files in `directory`: regular files,
/// or links to them, with a parameter file name. Directories, devices and broken
/// links are left out; an unreadable directory lists nothing. In no particular order.
std::vector<std::string> ParameterFileNames(const std::filesystem::path& directory);

}  // namespace morv
