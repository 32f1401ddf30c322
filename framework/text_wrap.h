#pragma once
// Breaking a message's lines to a width, the way every toolkit shows box texts: at
// each line end, and where a line is too wide, at its last blank that fits, never
// inside a word (only a word wider than the whole width is cut).

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace morv {

/// `text` split into lines at CR LF, LF or CR (a tab counts as a blank), each line
/// wrapped so that `measure` of every piece is at most `width`.
std::vector<std::string> WrapLines(const std::string& text, int width,
                                   const std::function<int(std::string_view)>& measure);

}  // namespace morv
