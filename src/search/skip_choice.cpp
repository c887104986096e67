// The skip-ahead choice: a searching node's two rarest narrow positions by
// how rare their units are in Japanese text (unit_rarity.h), or else the
// smallest class of ASCII characters it can skip to.
#include "search/skip_choice.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/win32_api.h"
#include "search/unit_rarity.h"

namespace qx::search {
namespace {

// White space is everywhere in text: a class that takes it skips nothing.
constexpr bool IsSpace(std::uint32_t c) noexcept {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Without a narrow position a node may still skip to a small class of
// ASCII characters other than white space (digits, letters): the smallest
// such class, tested through a 128-entry table.
template <class Ch>
bool ChooseRareSet(SaaNode& node, const PositionUnits& units) noexcept {
  constexpr std::uint32_t kMostMembers = 64;
  std::uint32_t bestMembers = kMostMembers + 1;
  for (std::uint32_t i = 0; i < node.positionCount; ++i) {
    if (units.beyondAscii[i]) continue;
    const std::uint32_t bit = 1u << i;
    std::uint32_t members = 0;
    for (std::uint32_t c = 1; c < kAsciiEntries && members <= kMostMembers; ++c) {
      if ((node.Masks()[c] & bit) != 0) members += IsSpace(c) ? kMostMembers + 1 : 1;
    }
    if (members <= bestMembers) {
      bestMembers = members;
      node.skip.rareOffset = i;
    }
  }
  if (bestMembers > kMostMembers) return true;
  // A tests every byte through a full table; W only ASCII units.
  const std::uint32_t entries = sizeof(Ch) == 1 ? kByteEntries : kAsciiEntries;
  node.skip.rareSet = static_cast<std::uint8_t*>(std::calloc(entries, 1));
  if (node.skip.rareSet == nullptr) return false;
  const std::uint32_t bit = 1u << node.skip.rareOffset;
  for (std::uint32_t c = 0; c < kAsciiEntries; ++c)
    node.skip.rareSet[c] = c == 0 || (node.Masks()[c] & bit) != 0 ? 1 : 0;
  node.skip.rareCount = kRareSet;
  // The members' range, for a quick first test (0 to 0: no members).
  node.skip.rareUnits[0] = node.skip.rareUnits[1] = 0;
  for (std::uint32_t c = 1; c < kAsciiEntries; ++c) {
    if (node.skip.rareSet[c] == 0) continue;
    if (node.skip.rareUnits[0] == 0) node.skip.rareUnits[0] = c;
    node.skip.rareUnits[1] = c;
  }
  return true;
}

}  // namespace

// The two rarest narrow positions by how rare their units are in Japanese
// text (later positions win ties, which leaves more text behind each skip):
// the later one is skipped to, and the earlier one is checked at each
// candidate, so that its unit always lies inside text already read.
template <class Ch>
bool ChooseSkipAhead(SaaNode& node, const PositionUnits& units) noexcept {
  if (node.Has(SN_ANCHORED) || node.byteTable != 0 || node.positionCount == 0) return true;
  // The bits a position's units give: two units of like rarity, one less.
  auto bits = [&](std::uint32_t i) {
    const int one = Rarity<Ch>(units.few[i][0]), other = Rarity<Ch>(units.few[i][1]);
    return std::min(one, other) - (units.count[i] == 2 && std::abs(one - other) <= 1 ? 1 : 0);
  };
  int best = -1, second = -1;
  for (int i = 0; i < static_cast<int>(node.positionCount); ++i) {
    if (units.count[i] == PositionUnits::kMany) continue;
    if (best < 0 || bits(i) >= bits(best)) {
      second = std::exchange(best, i);
    } else if (second < 0 || bits(i) >= bits(second)) {
      second = i;
    }
  }
  if (best < 0) return ChooseRareSet<Ch>(node, units);
  const auto use = [&](int i, std::uint32_t& offset, std::uint32_t& count, std::uint32_t* chosen) {
    offset = static_cast<std::uint32_t>(i);
    count = units.count[i];
    chosen[0] = units.few[i][0];
    chosen[1] = units.few[i][1];
  };
  use(std::max(best, second), node.skip.rareOffset, node.skip.rareCount, node.skip.rareUnits);
  if (second >= 0)
    use(std::min(best, second), node.skip.checkOffset, node.skip.checkCount, node.skip.checkUnits);
  return true;
}

template bool ChooseSkipAhead<char>(SaaNode&, const PositionUnits&) noexcept;
template bool ChooseSkipAhead<WCHAR>(SaaNode&, const PositionUnits&) noexcept;

}  // namespace qx::search
