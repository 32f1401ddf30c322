#include "framework/menu_mnemonic.h"

#include <cctype>

namespace morv {
namespace {

size_t MarkedPosition(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return i + 1;
    ++i;
  }
  return std::string::npos;
}

}  // namespace

size_t MnemonicPosition(const std::string& text) {
  if (size_t marked = MarkedPosition(text); marked != std::string::npos) return marked;
  for (size_t i = 0; i < text.size(); ++i)
    if (std::isalnum(static_cast<unsigned char>(text[i]))) return i;
  return std::string::npos;
}

bool MnemonicMarked(const std::string& text) { return MarkedPosition(text) != std::string::npos; }

char Mnemonic(const std::string& text) {
  size_t at = MnemonicPosition(text);
  return at == std::string::npos ? 0 : static_cast<char>(std::tolower(static_cast<unsigned char>(text[at])));
}

}  // namespace morv
