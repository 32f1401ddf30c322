#pragma once
// From the parameter file's path to the image file's path.

#include <string>

namespace morv {

/// The parameter file path up to, not including, its first '.', followed by ".bin".
/// The search runs over the whole path, directories included ("a.b/X.OUC" gives
/// "a.bin"; "./X.OUC" gives ".bin"), and a path without '.' gives ".bin". The case
/// of the name is kept. The dialog passes bare file names, where this is the plain rule.
std::string ImageFileName(const std::string& parameterPath);

/// The file to open for the image name `name`: `name` itself when it exists; otherwise
/// the one regular file in the same directory whose name equals it apart from ASCII
/// case (packages copied from other systems often carry ".BIN"). With no such file, or
/// several, returns `name` unchanged, so opening it fails as for a missing image.
std::string FindImageFile(const std::string& name);

}  // namespace morv
