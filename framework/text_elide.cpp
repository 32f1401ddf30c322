#include "framework/text_elide.h"

#include <algorithm>
#include <array>
#include <utility>

namespace morv {
namespace {

bool StartsCharacter(const std::string& text, size_t at) {
  return at == 0 || at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
}

size_t NextCharacter(const std::string& text, size_t at) {
  do ++at;
  while (!StartsCharacter(text, at));
  return at;
}

size_t PreviousCharacter(const std::string& text, size_t at) {
  do --at;
  while (!StartsCharacter(text, at));
  return at;
}

// The part of `text` that differs from the most alike of `others`: from the end of
// the longest start it shares with one of them to the start of the longest end.
std::pair<size_t, size_t> DifferingPart(const std::string& text, const std::vector<std::string>& others) {
  size_t shared_start = 0, shared_end = 0;
  bool any = false;
  for (const std::string& other : others) {
    if (other == text) continue;
    any = true;
    auto start = std::mismatch(text.begin(), text.end(), other.begin(), other.end()).first - text.begin();
    auto end = std::mismatch(text.rbegin(), text.rend(), other.rbegin(), other.rend()).first - text.rbegin();
    shared_start = std::max(shared_start, static_cast<size_t>(start));
    shared_end = std::max(shared_end, static_cast<size_t>(end));
  }
  size_t from = any ? shared_start : text.size() / 2;
  while (!StartsCharacter(text, from)) --from;
  size_t to = std::max(from, text.size() - std::min(shared_end, text.size()));
  while (!StartsCharacter(text, to)) ++to;
  return {from, any ? to : from};
}

// `text`'s bytes [0, head), [from, to) and [tail, end), joined by `mark` where
// something between them is left out; a gap no longer than the mark is kept, since
// leaving it out would save nothing.
std::string Compose(const std::string& text, const std::array<size_t, 4>& cut, std::string_view mark) {
  const auto [head, from, to, tail] = cut;
  std::vector<std::pair<size_t, size_t>> kept{{0, 0}};
  for (auto [a, b] : {std::pair{size_t{0}, head}, std::pair{from, to}, std::pair{tail, text.size()}}) {
    if (b <= a) continue;
    if (a <= kept.back().second + mark.size()) kept.back().second = std::max(kept.back().second, b);
    else kept.emplace_back(a, b);
  }
  if (text.size() <= kept.back().second + mark.size()) kept.back().second = text.size();
  std::string shown;
  size_t at = 0;
  for (auto [a, b] : kept) {
    if (a > at) shown += mark;
    shown.append(text, a, b - a);
    at = b;
  }
  if (at < text.size()) shown += mark;
  return shown;
}

}  // namespace

std::string ElideKeepingDifference(const std::string& text, const std::vector<std::string>& others,
                                   std::string_view mark, const std::function<bool(std::string_view)>& fits) {
  if (fits(text)) return text;
  auto longest_start = [&] {
    size_t end = 0;
    for (size_t next; end < text.size() && fits(std::string_view(text).substr(0, next = NextCharacter(text, end)));)
      end = next;
    return text.substr(0, end);
  };
  if (!fits(mark)) return longest_start();
  auto [from, differs_to] = DifferingPart(text, others);
  const bool differs = differs_to > from;
  // head, from, to, tail: kept are [0, head), [from, to) and [tail, end).
  std::array<size_t, 4> cut{0, from, from, text.size()};
  auto grow = [&](size_t which) {
    std::array<size_t, 4> wider = cut;
    size_t& edge = wider[which];
    bool forward = which == 0 || which == 2;
    if (forward ? edge >= text.size() : edge == 0) return false;
    edge = forward ? NextCharacter(text, edge) : PreviousCharacter(text, edge);
    if (!fits(Compose(text, wider, mark))) return false;
    cut = wider;
    return true;
  };
  // The difference first, then start, end and the difference's surroundings in turn.
  while (cut[2] < differs_to && grow(2)) {
  }
  for (bool grew = true; grew;) {
    grew = false;
    for (size_t which : {0, 3, 1, 2})
      if (differs || which == 0 || which == 3) grew = grow(which) || grew;
  }
  std::string shown = Compose(text, cut, mark);
  return shown == mark ? longest_start() : shown;
}

}  // namespace morv
