#pragma once
// The key that chooses a menu item, as the desktop's menus find it: the character
// after a single '&' in the item's text ("&&" stands for '&' itself), else the
// item's first letter or digit, so that items written without a marker ("Option",
// "About") are still reached with Alt and that letter.

#include <cstddef>
#include <string>

namespace morv {

/// Where the mnemonic character of `text` is, or std::string::npos when it has none.
size_t MnemonicPosition(const std::string& text);
/// Whether that character is marked with '&' in `text` (else it is the first letter).
bool MnemonicMarked(const std::string& text);
/// The mnemonic character of `text` in lower case; 0 when there is none.
char Mnemonic(const std::string& text);

}  // namespace morv
