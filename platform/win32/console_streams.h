#pragma once
// A windowed (GUI-subsystem) program started from a console gets no standard
// streams of its own: what it writes there goes nowhere.

namespace morv::win32 {

/// Connects standard output and standard error, each where it leads nowhere, to
/// the console of the process that started this one (if it has one); streams
/// redirected to a file or pipe are kept.
void ConnectStandardStreamsToStartingConsole();

}  // namespace morv::win32
