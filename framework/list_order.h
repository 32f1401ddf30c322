#pragma once
// Where a sorted list box or combo box puts a new entry, and where a keyboard move
// lands, the same in every toolkit.

#include <string>
#include <vector>

namespace morv {

/// Orders two entries as a desktop list box does: case-insensitive; blanks and
/// punctuation before digits, digits before letters; hyphens and apostrophes are
/// skipped, and between texts equal apart from them the shorter comes first. Returns <0, 0 or >0.
int ListBoxCompare(const std::string& a, const std::string& b);

/// Position at which a sorted control inserts `text`: after every entry that does
/// not order after it.
int InsertionIndex(const std::vector<std::string>& entries, const std::string& text);

/// The keys that move the selection of a list box or a closed drop-down list.
enum class ListMove { Up, Down, Home, End, PageUp, PageDown };

/// Where `move` lands in a list of `count` entries from `current` (-1: no selection;
/// the first entry is then the one an arrow chooses); `page` entries are shown at
/// once. Returns -1 for an empty list.
int MovedSelection(ListMove move, int current, int count, int page);

}  // namespace morv
