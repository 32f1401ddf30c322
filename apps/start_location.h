#pragma once
// The optional start argument: a folder to run in, or a parameter file to run beside
// and to choose at start. A program started from the desktop runs in the home folder;
// this is how it finds the package it was opened with.

#include <string>

namespace morv {

/// Where a program runs: the folder it lists and reads packages from, and the
/// parameter file to choose in the list (empty: none).
struct StartLocation {
  std::string folder;
  std::string fileName;
};

/// Checks `argument`, a folder or a parameter file (*.OUC, any case), and works out
/// where to run. Returns the empty text, or a one-line reason when the folder or file
/// does not exist, cannot be read, or the file is not a parameter file.
std::string ResolveStartLocation(const std::string& argument, StartLocation& location);

/// Makes `location.folder` the current directory. Returns the empty text or a one-line
/// reason.
std::string EnterStartLocation(const StartLocation& location);

}  // namespace morv
