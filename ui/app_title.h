#pragma once
// The application title: the caption of the start-up notice and of every framework
// message box.

#include <string>
#include <string_view>

namespace morv {

/// The program file's base name taken from the path it was started by (argv[0]):
/// everything after the last '/' or '\\', without a final ".exe" in any case.
/// `fallback` when that is empty.
std::string ProgramTitle(std::string_view programPath, std::string_view fallback);

}  // namespace morv
