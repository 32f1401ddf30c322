#pragma once
// Shortening a text that is too wide for its place, the way every toolkit shows
// long package names: the characters that tell it apart from its neighbours in a
// list stay, then as much of its start and its end as fits.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace morv {

/// `text` whole when `fits` accepts it; otherwise `text` with runs of it replaced by
/// `mark`, as long as `fits` accepts. What differs from the most alike of `others`
/// is kept first (for "..._V104_FINAL.OUC" next to "..._V105_FINAL.OUC" the "4"),
/// then start, end and the difference's surroundings grow in turn. With no other
/// text to tell it from, the middle goes. Cuts fall between UTF-8 characters only.
/// When not even `mark` fits, the longest start of `text` that fits comes back.
std::string ElideKeepingDifference(const std::string& text, const std::vector<std::string>& others,
                                   std::string_view mark, const std::function<bool(std::string_view)>& fits);

}  // namespace morv
