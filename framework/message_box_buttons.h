#pragma once
// The buttons of each message-box button set, the same in every toolkit.

#include <vector>

namespace morv {

/// The results of the buttons of `type`'s button set, left to right; the first is
/// the default button. An unknown set shows OK alone.
std::vector<int> MessageBoxButtons(unsigned type);

/// The result of closing the box without a button (Escape, the close box), or 0
/// when the set offers no way out but its buttons.
int MessageBoxEscapeResult(unsigned type);

/// The answer of a box that goes without one (its owner closed it, or the program
/// was asked to close): the way out where there is one, else No, else Abort.
int MessageBoxUnansweredResult(unsigned type);

}  // namespace morv
