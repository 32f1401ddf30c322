#pragma once
// Our texts are UTF-8; the system's W functions take UTF-16. Converting explicitly
// keeps a name outside ASCII ("Prüfung.OUC", "Jürgen") whole whatever code page the
// process or a font's character set would apply to an A function.

#include <string>

namespace morv::win32 {

/// `text` (UTF-8) as UTF-16.
std::wstring Wide(const std::string& text);
/// `wide` (UTF-16) as UTF-8.
std::string Utf8(const std::wstring& wide);

}  // namespace morv::win32
