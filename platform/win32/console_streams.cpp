#include "platform/win32/console_streams.h"

#include <windows.h>

#include <cstdio>

namespace morv::win32 {
namespace {

/// Whether the handle leads somewhere (a console, a file, a pipe).
bool Connected(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void ConnectStandardStreamsToStartingConsole() {
  const bool output = Connected(STD_OUTPUT_HANDLE);
  const bool error = Connected(STD_ERROR_HANDLE);
  if ((output && error) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
  if (!output) std::freopen("CONOUT$", "w", stdout);
  if (!error) std::freopen("CONOUT$", "w", stderr);
}

}  // namespace morv::win32
