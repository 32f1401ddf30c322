#pragma once
// A selector's entries and, beside each, what it stands for. A sorting selector puts
// an entry wherever its text sorts, so the item is kept at the position the selector
// gave the entry: a position always finds its own item, whatever the text says.

#include <cstddef>
#include <string>
#include <vector>

#include "framework/controls.h"

namespace morv {

template <typename Item>
class SelectorEntries {
 public:
  /// Empties the selector and the items.
  void Reset(CComboBox& selector) {
    selector.ResetContent();
    m_items.clear();
  }
  /// Adds `text` to the selector and keeps `item` at the entry's position; an entry
  /// the selector did not take keeps nothing.
  void Add(CComboBox& selector, const std::string& text, Item item) {
    const int position = selector.AddString(text);
    if (position < 0 || static_cast<size_t>(position) > m_items.size()) return;
    m_items.insert(m_items.begin() + position, std::move(item));
  }
  /// The item of `selector`'s entry `position`; null when the selector has no such
  /// entry (a selector whose window has gone has none).
  /// The position of the first entry whose item satisfies `matches`; -1 when none does.
  template <typename Match>
  int Find(Match matches) const {
    for (size_t position = 0; position < m_items.size(); ++position)
      if (matches(m_items[position])) return static_cast<int>(position);
    return -1;
  }
  /// Every item, in the selector's order.
  const std::vector<Item>& Items() const { return m_items; }
  const Item* At(const CComboBox& selector, int position) const {
    if (position < 0 || position >= selector.GetCount() || static_cast<size_t>(position) >= m_items.size())
      return nullptr;
    return &m_items[position];
  }

 private:
  std::vector<Item> m_items;
};

}  // namespace morv
