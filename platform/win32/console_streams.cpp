#include "platform/win32/console_streams.h"

#include <windows.h>

#include <cstdio>

namespace morv::win32 {
namespace {

/// Which standard streams were connected to the starting console; empty when none.
struct Attached {
  bool output = false;
  bool error = false;
};
Attached g_attached;

/// Whether the handle leads somewhere (a console, a file, a pipe).
bool Connected(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

/// Attaches to the starting console and reopens the given streams on it.
bool Attach(Attached streams) {
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  if (streams.output) std::freopen("CONOUT$", "w", stdout);
  if (streams.error) std::freopen("CONOUT$", "w", stderr);
  return true;
}

}  // namespace

void ConnectStandardStreamsToStartingConsole() {
  const Attached wanted{!Connected(STD_OUTPUT_HANDLE), !Connected(STD_ERROR_HANDLE)};
  if ((wanted.output || wanted.error) && Attach(wanted)) g_attached = wanted;
}

StartingConsoleSetAside::StartingConsoleSetAside() {
  if (!g_attached.output && !g_attached.error) return;
  std::fflush(stdout);
  std::fflush(stderr);
  m_left = FreeConsole() != 0;
}

StartingConsoleSetAside::~StartingConsoleSetAside() {
  if (m_left && !Attach(g_attached)) g_attached = {};
}

}  // namespace morv::win32
