#include "apps/start_location.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "engine/line_escape.h"
#include "platform/regular_file.h"
#include "ui/file_list.h"

namespace morv {
namespace {

namespace fs = std::filesystem;

// A name with a line break or a control character must not split or garble the
// one-line error, so names are shown escaped.
std::string CannotOpen(const char* what, const std::string& path, const std::string& reason) {
  return std::string("cannot open ") + what + " " + ShownOnOneLine(path) + ": " + reason;
}

/// Empty when the folder's entries can be listed, else why not.
std::string FolderProblem(const fs::path& folder) {
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  return error ? error.message() : std::string();
}

}  // namespace

std::string ResolveStartLocation(const std::string& argument, StartLocation& location) {
  const fs::path path(argument);
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status))
    return CannotOpen("folder or file", argument, error ? error.message() : std::strerror(ENOENT));

  if (fs::is_directory(status)) {
    if (const std::string problem = FolderProblem(path); !problem.empty())
      return CannotOpen("folder", argument, problem);
    location = {argument, {}};
    return {};
  }

  const std::string name = path.filename().string();
  if (!IsParameterFileName(name)) return ShownOnOneLine(argument) + " is not a parameter file (*.OUC)";
  // Opened, not only looked at, so that an unreadable file is refused here; a FIFO or
  // a device is refused without waiting on it.
  int openError = 0;
  std::FILE* file = OpenRegularFile(argument, openError);
  if (file == nullptr) return CannotOpen("file", argument, RegularFileErrorText(openError));
  std::fclose(file);
  const fs::path parent = path.parent_path().empty() ? fs::path(".") : path.parent_path();
  // The update reads the image from the same folder, so that folder must be listable too.
  if (const std::string problem = FolderProblem(parent); !problem.empty())
    return CannotOpen("folder", parent.string(), problem);
  location = {parent.string(), name};
  return {};
}

std::string EnterStartLocation(const StartLocation& location) {
  std::error_code error;
  fs::current_path(location.folder, error);
  return error ? CannotOpen("folder", location.folder, error.message()) : std::string();
}

}  // namespace morv
