// Scan(node, s) matches the node at text place s and then its next node
// behind it, trying its alternative (or an empty match for an optional
// node) when it fails. Nesting follows the chain, one level per node, so it
// is bounded by the number of nodes; a repetition loop (a node whose next is
// itself) is walked iteratively, however many elements it takes. A node's
// match length is left in its matchLength field: a node seeds its next
// node's with its own and takes the total back.
#include "search/scanner.h"

#include <cstddef>
#include <cstring>

#include "frame/char_step.h"
#include "search/search_char.h"
#include "search/unit_find.h"

namespace qx::search {
namespace {

template <class Ch>
class Scanner {
  using C = SearchChar<Ch>;
  static constexpr bool kAnsi = C::kForm == Form::kAnsi;

 public:
  const Ch* Scan(SaaNode& node, const Ch* s) noexcept {
    if (node.positionCount == 0) return ScanEmpty(node, s);
    return node.Has(SN_ANCHORED) ? ScanAnchored(node, s) : ScanSearching(node, s);
  }

 private:
  static std::size_t Width(const Ch* p) noexcept { return CharStep<Ch>::Width(p); }

  static std::uint32_t Step(std::uint32_t state, std::uint32_t mask) noexcept {
    return ((state << 1) | 1) & mask;
  }

  const Ch* End(const Ch* from) noexcept {
    if (end_ == nullptr) {
      end_ = from;
      while (*end_ != 0)
        ++end_;
    }
    return end_;
  }

  // The start of the `count`-th character before `to`, characters counted
  // from `from` (a match may begin on a trail byte: the character it is
  // part of then counts as one before it).
  static const Ch* Before(const Ch* from, const Ch* to, std::uint32_t count) noexcept {
    if constexpr (!kAnsi) {
      return to - count;
    } else {
      if (count == 0) return to;
      std::size_t starts = 0;
      for (const Ch* p = from; p < to; p += Width(p))
        ++starts;
      for (std::size_t i = count; i < starts; ++i)
        from += Width(from);
      return from;
    }
  }

  // Steps over the node's skip-count characters; null when the text ends.
  static const Ch* Skip(const SaaNode& node, const Ch* s) noexcept {
    for (std::uint32_t i = 0; i < node.skipCount; ++i) {
      if (*s == 0) return nullptr;
      s += Width(s);
    }
    return s;
  }

  // A double-byte class node's code for the character at p.
  static std::uint32_t Code(const Ch* p, std::size_t width) noexcept {
    const std::uint32_t first = C::Unit(p[0]) << 8;
    return width == 2 ? first | C::Unit(p[1]) : first;
  }

  // Feeds an anchored node's positions from t; the place after them when
  // they all matched, else null.
  static const Ch* Feed(const SaaNode& node, const Ch* t) noexcept {
    if (kAnsi && node.byteTable != 0) {
      if (*t == 0) return nullptr;
      const std::size_t width = Width(t);
      return (node.CodeBits()[Code(t, width)] & 1) != 0 ? t + width : nullptr;
    }
    const std::uint32_t* masks = node.Masks();
    std::uint32_t state = 0;
    const Ch* u = t;
    for (std::uint32_t i = 0; i < node.positionCount && *u != 0; ++i, ++u) {
      state = Step(state, masks[C::Unit(*u)]);
      if (state == 0) return nullptr;
    }
    return (state & node.finalBit) != 0 ? u : nullptr;
  }

  // A node that fails at s: its alternative from s, an empty match when
  // optional, else no match.
  const Ch* Fail(SaaNode& node, const Ch* s) noexcept {
    if (node.alternative != nullptr) {
      node.alternative->matchLength = 0;
      const Ch* r = Scan(*node.alternative, s);
      node.matchLength = node.alternative->matchLength;
      return r;
    }
    return node.Has(SN_OPTIONAL) ? s : nullptr;
  }

  // The match of a node that ends at u with nothing after it.
  const Ch* FinishAtEnd(const SaaNode& node, const Ch* u) noexcept {
    if (!node.Has(SN_ENDANCHOR)) return u;
    if (node.Has(SN_TOEND)) return End(u);
    return *u == 0 ? u : nullptr;
  }

  static const Ch* FindInSet(const SaaNode& node, const Ch* from) noexcept;
  const Ch* FindRare(const SaaNode& node, const Ch* from) noexcept;
  const Ch* SkipAhead(const SaaNode& node, const Ch* p) noexcept;

  const Ch* ScanEmpty(SaaNode& node, const Ch* s) noexcept;
  const Ch* ScanAnchored(SaaNode& node, const Ch* s) noexcept;
  const Ch* ScanSearching(SaaNode& node, const Ch* s) noexcept;
  const Ch* SearchNormal(const SaaNode& node, const Ch* t, std::uint32_t& state) noexcept;

  static constexpr std::size_t kMaxWindow = 1 << 20;
  const Ch* end_ = nullptr;
  // A: [scan text, known_) holds no NUL; knownIsEnd_: known_ is the NUL.
  const Ch* known_ = nullptr;
  bool knownIsEnd_ = false;
  std::size_t window_ = 256;
};

// The first unit in the node's rare set (ASCII units only, and the NUL):
// blocks are skipped to the first unit inside the range of the set's
// members, which the table then tests.
template <class Ch>
const Ch* Scanner<Ch>::FindInSet(const SaaNode& node, const Ch* from) noexcept {
  const UnitRange<Ch> range{node.skip.rareUnits[0],
                            node.skip.rareUnits[1] - node.skip.rareUnits[0]};
  for (;; ++from) {
    from = FindUnit(from, range);
    const std::uint32_t unit = C::Unit(*from);
    if (unit == 0) return nullptr;
    if (unit < 128 && node.skip.rareSet[unit] != 0) return from;
  }
}

// The first unit at or after `from` that is one of the node's rare units,
// or null when the text ends first. A searches with memchr inside the part
// of the text already known to hold no NUL, which grows in doubling steps
// measured with strnlen, so each byte is measured once per scan.
template <>
const char* Scanner<char>::FindRare(const SaaNode& node, const char* from) noexcept {
  if (node.skip.rareCount == kRareSet) return FindInSet(node, from);
  if (from > known_) known_ = from;  // the caller has walked this far
  for (;;) {
    if (from == known_) {
      if (knownIsEnd_) return nullptr;
      const std::size_t length = strnlen(known_, window_);
      knownIsEnd_ = length < window_;
      known_ += length;
      if (window_ < kMaxWindow) window_ *= 2;
      continue;
    }
    const std::size_t length = static_cast<std::size_t>(known_ - from);
    const void* hit = std::memchr(from, static_cast<int>(node.skip.rareUnits[0]), length);
    if (node.skip.rareCount == 2) {
      const std::size_t before =
          hit != nullptr ? static_cast<std::size_t>(static_cast<const char*>(hit) - from) : length;
      const void* other = std::memchr(from, static_cast<int>(node.skip.rareUnits[1]), before);
      if (other != nullptr) hit = other;
    }
    if (hit != nullptr) return static_cast<const char*>(hit);
    from = known_;
  }
}

// W finds the rare units and the NUL in one pass, a block at a time.
template <>
const WCHAR* Scanner<WCHAR>::FindRare(const SaaNode& node, const WCHAR* from) noexcept {
  if (node.skip.rareCount == kRareSet) return FindInSet(node, from);
  const UnitPair<WCHAR> pair{node.skip.rareUnits[0], node.skip.rareUnits[1]};
  const WCHAR* hit = FindUnit(from, pair);
  return *hit != 0 ? hit : nullptr;
}

// From a character boundary p where no candidate is alive, the boundary
// at or before the first place a match can start: every match has a rare
// unit at rareOffset (and a check unit at checkOffset), so no match starts
// before the first place where both are found. In A that place may be a
// trail byte; the run of lead-valued bytes right before it (ended by p or by
// a byte that ends a character) pairs up from its start, so its parity tells
// whether to step back one. Null when the text ends first.
template <class Ch>
const Ch* Scanner<Ch>::SkipAhead(const SaaNode& node, const Ch* p) noexcept {
  const std::uint32_t offset = node.skip.rareOffset;
  for (std::uint32_t i = 0; i < offset; ++i) {
    if (p[i] == 0) return nullptr;
  }
  const Ch* hit;
  if (node.skip.checkCount != 0) {
    hit = FindPair(p + offset, static_cast<std::ptrdiff_t>(offset - node.skip.checkOffset),
                   UnitPair<Ch>{node.skip.rareUnits[0], node.skip.rareUnits[1]},
                   UnitPair<Ch>{node.skip.checkUnits[0], node.skip.checkUnits[1]});
    if (*hit == 0) return nullptr;
  } else {
    hit = FindRare(node, p + offset);
    if (hit == nullptr) return nullptr;
  }
  const Ch* start = hit - offset;
  if constexpr (kAnsi) {
    std::size_t leads = 0;
    while (start - leads > p && C::IsLead(C::Unit(start[-1 - static_cast<std::ptrdiff_t>(leads)])))
      ++leads;
    start -= leads & 1;
  }
  return start;
}

template <class Ch>
const Ch* Scanner<Ch>::ScanEmpty(SaaNode& node, const Ch* s) noexcept {
  const Ch* t = Skip(node, s);
  if (t == nullptr) return nullptr;
  if (node.next != nullptr) {
    node.next->matchLength = node.matchLength;
    const Ch* r = Scan(*node.next, t);
    if (r == nullptr) return nullptr;
    const Ch* start = Before(s, r, node.skipCount);
    node.matchLength = node.next->matchLength + static_cast<std::uint32_t>(r - start);
    return start;
  }
  if (node.Has(SN_ENDANCHOR)) {
    if (node.Has(SN_TOEND)) {
      t = End(t);
    } else if (!node.Has(SN_ANCHORED)) {
      // The last skip-count characters of the text, found walking forward.
      const Ch* end = End(t);
      std::size_t total = 0;
      for (const Ch* p = s; p < end; p += Width(p))
        ++total;
      const Ch* start = s;
      for (std::size_t i = node.skipCount; i < total; ++i)
        start += Width(start);
      node.matchLength += static_cast<std::uint32_t>(end - start);
      return start;
    } else if (*t != 0) {
      return nullptr;
    }
  }
  node.matchLength += static_cast<std::uint32_t>(t - s);
  return s;
}

template <class Ch>
const Ch* Scanner<Ch>::ScanAnchored(SaaNode& node, const Ch* s) noexcept {
  // Each pass is one level of the repetition loop; the levels' widths add
  // up to the distance from the first to the failing one.
  const Ch* first = s;
  for (;;) {
    const Ch* t = Skip(node, s);
    if (t == nullptr) return nullptr;
    const Ch* u = Feed(node, t);
    if (u == nullptr) {
      const Ch* r = Fail(node, s);
      if (r == nullptr || s == first) return r;
      node.matchLength += static_cast<std::uint32_t>(s - first);
      return first;
    }
    if (node.next == &node) {
      s = u;
      continue;
    }
    if (node.next != nullptr) {
      node.next->matchLength = node.matchLength;
      if (Scan(*node.next, u) == nullptr) return nullptr;
      node.matchLength = node.next->matchLength;
    } else {
      u = FinishAtEnd(node, u);
      if (u == nullptr) return nullptr;
    }
    node.matchLength += static_cast<std::uint32_t>(u - first);
    return first;
  }
}

// Runs a normal-table searching node from t until its positions match;
// returns the place after the match, or null at the end of the text.
// A lead byte and its trail are fed before the test, so a match never ends
// inside a double-byte character, yet every byte starts a candidate.
template <class Ch>
const Ch* Scanner<Ch>::SearchNormal(const SaaNode& node, const Ch* p,
                                    std::uint32_t& state) noexcept {
  const std::uint32_t* masks = node.Masks();
  const std::uint32_t finalBit = node.finalBit;
  for (;;) {
    if (state == 0 && node.skip.rareCount != 0) {
      p = SkipAhead(node, p);
      if (p == nullptr) return nullptr;
    }
    const std::uint32_t c = C::Unit(*p);
    if (c == 0) return nullptr;
    ++p;
    state = Step(state, masks[c]);
    if (kAnsi && C::IsLead(c) && *p != 0) state = Step(state, masks[C::Unit(*p++)]);
    if ((state & finalBit) != 0) return p;
  }
}

template <class Ch>
const Ch* Scanner<Ch>::ScanSearching(SaaNode& node, const Ch* s) noexcept {
  const Ch* t = Skip(node, s);
  if (t == nullptr) return nullptr;
  std::uint32_t state = 0;
  std::size_t matchWidth = node.positionCount;
  const Ch* p = t;
  const Ch* u = nullptr;
  for (;;) {
    if (kAnsi && node.byteTable != 0) {
      if (*p == 0) return Fail(node, s);
      matchWidth = Width(p);
      state = node.CodeBits()[Code(p, matchWidth)] & 1;
      p += matchWidth;
    } else {
      p = SearchNormal(node, p, state);
      if (p == nullptr) return Fail(node, s);
    }
    if ((state & node.finalBit) == 0) continue;
    u = p;
    if (node.next == nullptr) {
      u = FinishAtEnd(node, u);
      if (u == nullptr) return nullptr;
      break;
    }
    node.next->matchLength = node.matchLength;
    if (Scan(*node.next, u) != nullptr) {
      node.matchLength = node.next->matchLength;
      break;
    }
  }
  if (node.Has(SN_FROMSTART)) {
    node.matchLength += static_cast<std::uint32_t>(u - s);
    return s;
  }
  const Ch* start = Before(s, u - matchWidth, node.skipCount);
  node.matchLength += static_cast<std::uint32_t>(u - start);
  return start;
}

}  // namespace

template <class Ch>
const Ch* ScanText(SaaNode& root, const Ch* text) noexcept {
  root.matchLength = 0;
  return Scanner<Ch>().Scan(root, text);
}

template const char* ScanText<char>(SaaNode&, const char*) noexcept;
template const WCHAR* ScanText<WCHAR>(SaaNode&, const WCHAR*) noexcept;

}  // namespace qx::search
