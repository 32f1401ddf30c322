#include "framework/list_order.h"

#include <algorithm>
#include <cctype>

namespace morv {
namespace {

// Collation class: blanks/punctuation < digits < letters.
int Weight(unsigned char c) {
  if (std::isalpha(c)) return 0x300 + std::tolower(c);
  if (std::isdigit(c)) return 0x200 + c;
  return 0x100 + c;
}

bool Skipped(unsigned char c) { return c == '-' || c == '\''; }

int Compare(const std::string& a, const std::string& b, bool skipWordMarks) {
  size_t i = 0, j = 0;
  for (;;) {
    if (skipWordMarks) {
      while (i < a.size() && Skipped(a[i])) ++i;
      while (j < b.size() && Skipped(b[j])) ++j;
    }
    if (i == a.size() || j == b.size()) break;
    int d = Weight(a[i]) - Weight(b[j]);
    if (d != 0) return d;
    ++i, ++j;
  }
  size_t restA = a.size() - i, restB = b.size() - j;
  return (restA > restB) - (restA < restB);
}

}  // namespace

int ListBoxCompare(const std::string& a, const std::string& b) {
  int d = Compare(a, b, true);
  if (d != 0) return d;
  // Equal but for hyphens and apostrophes: the text without them comes first.
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return Compare(a, b, false);
}

int InsertionIndex(const std::vector<std::string>& entries, const std::string& text) {
  int index = 0;
  for (const auto& entry : entries) {
    if (ListBoxCompare(entry, text) > 0) break;
    ++index;
  }
  return index;
}

int MovedSelection(ListMove move, int current, int count, int page) {
  if (count <= 0) return -1;
  int step = std::max(page - 1, 1);
  int last = count - 1;
  switch (move) {
    case ListMove::Up: return current < 0 ? 0 : std::max(current - 1, 0);
    case ListMove::Down: return current < 0 ? 0 : std::min(current + 1, last);
    case ListMove::Home: return 0;
    case ListMove::End: return last;
    case ListMove::PageUp: return current < 0 ? 0 : std::max(current - step, 0);
    case ListMove::PageDown: return current < 0 ? std::min(step, last) : std::min(current + step, last);
  }
  return current;
}

}  // namespace morv
