#include "engine/line_escape.h"

#include <cstdint>

namespace morv {
namespace {

/// The length of the well-formed UTF-8 sequence at the start of `text` and its code
/// point, or 0 when it is malformed (overlong, a surrogate, beyond U+10FFFF, cut short).
std::size_t DecodeUtf8(std::string_view text, char32_t& codePoint) {
  const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(0);
  std::size_t length;
  char32_t minimum;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, minimum = 0x80, codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, minimum = 0x800, codePoint = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, minimum = 0x10000, codePoint = lead & 0x07;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (byte(i) & 0x3F);
  }
  if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
  return length;
}

/// Characters that would change how the line reads without showing themselves.
bool Printable(char32_t c) {
  if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;       // C0, DEL, C1
  if (c >= 0x200B && c <= 0x200F) return false;                 // zero-width and direction marks
  if (c >= 0x2028 && c <= 0x202E) return false;                 // line/paragraph separators, embeddings
  if (c >= 0x2066 && c <= 0x2069) return false;                 // direction isolates
  return c != 0xFEFF;                                           // zero-width no-break space
}

void AppendHex(std::string& out, uint8_t byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += "\\x";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0x0F];
}

std::string Escaped(std::string_view text, bool backslashes) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    switch (text.front()) {
      case '\\':
        out += backslashes ? "\\\\" : "\\";
        text.remove_prefix(1);
        continue;
      case '\t': out += "\\t"; text.remove_prefix(1); continue;
      case '\n': out += "\\n"; text.remove_prefix(1); continue;
      case '\r': out += "\\r"; text.remove_prefix(1); continue;
      default: break;
    }
    char32_t codePoint = 0;
    std::size_t length = DecodeUtf8(text, codePoint);
    if (length == 0 || !Printable(codePoint)) {
      // Malformed: only the lead byte is escaped, so what follows is judged afresh.
      const std::size_t escaped = length == 0 ? 1 : length;
      for (std::size_t i = 0; i < escaped; ++i) AppendHex(out, static_cast<uint8_t>(text[i]));
      length = escaped;
    } else {
      out.append(text.substr(0, length));
    }
    text.remove_prefix(length);
  }
  return out;
}

}  // namespace

std::string EscapedForLine(std::string_view text) { return Escaped(text, true); }

std::string ShownOnOneLine(std::string_view text) { return Escaped(text, false); }

}  // namespace morv
