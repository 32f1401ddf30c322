#pragma once
// Keeping untrusted text (file names, drive answers) on one line and in its field of
// a log line or a one-line error, so that it cannot start a line, move the cursor,
// recolour the terminal or pass for something the program wrote.

#include <string>
#include <string_view>

namespace morv {

/// `text` with a backslash, tab, line feed and carriage return written as \\, \t, \n
/// and \r, and every other byte that is not part of printable UTF-8 (control
/// characters C0, DEL and C1, the line and paragraph separators, the bidirectional
/// and zero-width marks, malformed sequences) written as \xHH per byte.
std::string EscapedForLine(std::string_view text);

/// `text` as EscapedForLine writes it, but with backslashes kept as they are: for a
/// name in a one-line message, where a Windows path keeps its separators and nothing
/// has to be read back.
std::string ShownOnOneLine(std::string_view text);

}  // namespace morv
