#include "framework/text_wrap.h"

#include <algorithm>

namespace morv {
namespace {

/// The longest prefix of `line` (at least one character) that fits `width`,
/// ending on a character boundary of UTF-8.
size_t FittingLength(const std::string& line, int width, const std::function<int(std::string_view)>& measure) {
  size_t fit = 1;
  for (size_t n = 1; n <= line.size(); ++n) {
    if (n < line.size() && (static_cast<unsigned char>(line[n]) & 0xC0) == 0x80) continue;
    if (measure(std::string_view(line).substr(0, n)) > width) break;
    fit = n;
  }
  return fit;
}

void WrapInto(std::vector<std::string>& out, std::string line, int width,
              const std::function<int(std::string_view)>& measure) {
  while (measure(line) > width) {
    const size_t fit = FittingLength(line, width, measure);
    size_t cut = line.rfind(' ', fit);
    if (cut == std::string::npos || cut == 0 || line.find_first_not_of(' ') >= cut) cut = fit;
    out.push_back(line.substr(0, cut));
    const size_t next = line.find_first_not_of(' ', cut);
    line = next == std::string::npos ? std::string() : line.substr(next);
  }
  out.push_back(line);
}

}  // namespace

std::vector<std::string> WrapLines(const std::string& text, int width,
                                   const std::function<int(std::string_view)>& measure) {
  width = std::max(width, 1);
  std::vector<std::string> out;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      WrapInto(out, line, width, measure);
      line.clear();
    } else {
      line += c == '\t' ? ' ' : c;
    }
  }
  WrapInto(out, line, width, measure);
  return out;
}

}  // namespace morv
