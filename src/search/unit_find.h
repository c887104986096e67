// Finding the first wanted unit of a NUL-terminated A or W text a block at
// a time, with the terminator found in the same pass (so a scan never
// measures the text first).
//
// A block is 16 bytes (SSE2) or 8 bytes (a 64-bit word, where SSE2 is not
// the baseline, as on i686), always read from an address that is a multiple
// of its size. Such a block never straddles a page, so it is readable
// whenever its first unit is, even when the text ends inside it: the units
// read past the terminator are never used, since a block's first hit is
// taken in order and the terminator is always a hit. Units before the first
// aligned block are tested one at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qx::search {
namespace unit_find {

template <class Ch>
inline std::uint32_t Unit(Ch c) noexcept {
  return static_cast<std::make_unsigned_t<Ch>>(c);
}

// A 64-bit word as lanes of one unit each.
template <class Ch>
inline constexpr std::uint64_t kOnes = sizeof(Ch) == 1 ? 0x0101010101010101 : 0x0001000100010001;
template <class Ch>
inline constexpr std::uint64_t kHighs = kOnes<Ch> << (8 * sizeof(Ch) - 1);
template <class Ch>
inline constexpr std::uint32_t kHighBit = 1u << (8 * sizeof(Ch) - 1);

// Nonzero when some lane of w is below `bound` (at most the lane's high
// bit); the lowest flagged lane is exact, as a borrow only runs upward from
// a lane that is below the bound. Bound 1 finds zero lanes.
template <class Ch>
inline std::uint64_t LaneBelow(std::uint64_t w, std::uint32_t bound) noexcept {
  return (w - kOnes<Ch> * bound) & ~w & kHighs<Ch>;
}

#if defined(__SSE2__)
template <class Ch>
inline __m128i Splat(std::uint32_t u) noexcept {
  if constexpr (sizeof(Ch) == 1)
    return _mm_set1_epi8(static_cast<char>(u));
  else
    return _mm_set1_epi16(static_cast<short>(u));
}
template <class Ch>
inline __m128i Equal(__m128i a, __m128i b) noexcept {
  if constexpr (sizeof(Ch) == 1)
    return _mm_cmpeq_epi8(a, b);
  else
    return _mm_cmpeq_epi16(a, b);
}
// Lane by lane a - b, wrapping, and max(a - b, 0) as unsigned values.
template <class Ch>
inline __m128i Minus(__m128i a, __m128i b) noexcept {
  if constexpr (sizeof(Ch) == 1)
    return _mm_sub_epi8(a, b);
  else
    return _mm_sub_epi16(a, b);
}
template <class Ch>
inline __m128i MinusOrZero(__m128i a, __m128i b) noexcept {
  if constexpr (sizeof(Ch) == 1)
    return _mm_subs_epu8(a, b);
  else
    return _mm_subs_epu16(a, b);
}
#endif

}  // namespace unit_find

// Two units (the same one twice when there is one) or the NUL.
template <class Ch>
struct UnitPair {
  std::uint32_t a, b;

  bool Hit(std::uint32_t u) const noexcept { return u == a || u == b || u == 0; }
  bool Word(std::uint64_t w) const noexcept {
    using namespace unit_find;
    return (LaneBelow<Ch>(w, 1) | LaneBelow<Ch>(w ^ (kOnes<Ch> * a), 1) |
            LaneBelow<Ch>(w ^ (kOnes<Ch> * b), 1)) != 0;
  }
#if defined(__SSE2__)
  __m128i Block(__m128i v) const noexcept {
    using namespace unit_find;
    const __m128i hit = _mm_or_si128(Equal<Ch>(v, Splat<Ch>(a)), Equal<Ch>(v, Splat<Ch>(b)));
    return _mm_or_si128(hit, Equal<Ch>(v, _mm_setzero_si128()));
  }
#endif
};

// A unit in [low, low + span] or the NUL.
template <class Ch>
struct UnitRange {
  std::uint32_t low, span;

  bool Hit(std::uint32_t u) const noexcept { return u == 0 || u - low <= span; }
  // Flags the words with a unit up to the range's end: a superset, which
  // Hit sorts out. A range reaching the lanes' high bit filters nothing.
  bool Word(std::uint64_t w) const noexcept {
    const std::uint32_t end = low + span + 1;
    return end > unit_find::kHighBit<Ch> || unit_find::LaneBelow<Ch>(w, end) != 0;
  }
#if defined(__SSE2__)
  // In range exactly when the saturating difference to the span is zero.
  __m128i Block(__m128i v) const noexcept {
    using namespace unit_find;
    const __m128i zero = _mm_setzero_si128();
    const __m128i over = MinusOrZero<Ch>(Minus<Ch>(v, Splat<Ch>(low)), Splat<Ch>(span));
    return _mm_or_si128(Equal<Ch>(over, zero), Equal<Ch>(v, zero));
  }
#endif
};

// The first unit at or after p that is a hit of `target` (the terminator
// always is), tested a 64-bit word at a time. Kept apart from FindUnit so
// that tests can run it where there is SSE2 as well.
//
// Not checked by AddressSanitizer: an aligned word may hold units past the
// terminator, which lie outside the text's allocation but inside its page
// (see the top of this file); they are read, never used.
template <class Ch, class Target>
__attribute__((no_sanitize("address"))) const Ch* FindUnitByWords(const Ch* p,
                                                                  const Target& target) noexcept {
  using Word [[gnu::may_alias]] = std::uint64_t;
  constexpr std::size_t kUnits = sizeof(Word) / sizeof(Ch);
  // A W text at an odd address never reaches a boundary: it is tested
  // unit by unit up to its terminator.
  while (reinterpret_cast<std::uintptr_t>(p) % sizeof(Word) != 0) {
    if (target.Hit(unit_find::Unit(*p))) return p;
    ++p;
  }
  for (;; p += kUnits) {
    if (!target.Word(*reinterpret_cast<const Word*>(p))) continue;
    for (std::size_t i = 0; i < kUnits; ++i) {
      if (target.Hit(unit_find::Unit(p[i]))) return p + i;
    }
  }
}

#if defined(__SSE2__)
// The same a 16-byte block at a time. Not checked by AddressSanitizer, for
// the reason given above FindUnitByWords.
template <class Ch, class Target>
__attribute__((no_sanitize("address"))) const Ch* FindUnitByVectors(const Ch* p,
                                                                    const Target& target) noexcept {
  constexpr std::size_t kBytes = sizeof(__m128i);
  while (reinterpret_cast<std::uintptr_t>(p) % kBytes != 0) {
    if (target.Hit(unit_find::Unit(*p))) return p;
    ++p;
  }
  for (;; p += kBytes / sizeof(Ch)) {
    const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(target.Block(v)));
    if (hits != 0) return p + static_cast<unsigned>(__builtin_ctz(hits)) / sizeof(Ch);
  }
}
#endif

// The first place q at or after p where `rare` holds the unit at q and
// `check` the unit `distance` units before it, or the terminator: a pair of
// units a fixed distance apart rules out far more places than either unit.
// The units from p - distance on must be text: the check units are read
// from there, a word or block before the aligned one that holds the rare
// units (never past it, so never into another page).
template <class Ch>
inline bool PairAt(const Ch* q, std::ptrdiff_t distance, const UnitPair<Ch>& rare,
                   const UnitPair<Ch>& check) noexcept {
  const std::uint32_t u = unit_find::Unit(*q), c = unit_find::Unit(q[-distance]);
  return u == 0 || ((u == rare.a || u == rare.b) && (c == check.a || c == check.b));
}

// The pair found a 64-bit word of rare units at a time, the check units
// tested where the word holds one. Not checked by AddressSanitizer, for the
// reason given above FindUnitByWords.
template <class Ch>
__attribute__((no_sanitize("address"))) const Ch* FindPairByWords(
    const Ch* p, std::ptrdiff_t distance, const UnitPair<Ch>& rare,
    const UnitPair<Ch>& check) noexcept {
  using Word [[gnu::may_alias]] = std::uint64_t;
  constexpr std::size_t kUnits = sizeof(Word) / sizeof(Ch);
  while (reinterpret_cast<std::uintptr_t>(p) % sizeof(Word) != 0) {
    if (PairAt(p, distance, rare, check)) return p;
    ++p;
  }
  for (;; p += kUnits) {
    if (!rare.Word(*reinterpret_cast<const Word*>(p))) continue;
    for (std::size_t i = 0; i < kUnits; ++i) {
      if (PairAt(p + i, distance, rare, check)) return p + i;
    }
  }
}

#if defined(__SSE2__)
// The same a 16-byte block at a time: the rare units from an aligned block,
// the check units from the unaligned one `distance` units before it.
template <class Ch>
__attribute__((no_sanitize("address"))) const Ch* FindPairByVectors(
    const Ch* p, std::ptrdiff_t distance, const UnitPair<Ch>& rare,
    const UnitPair<Ch>& check) noexcept {
  using namespace unit_find;
  constexpr std::size_t kBytes = sizeof(__m128i);
  while (reinterpret_cast<std::uintptr_t>(p) % kBytes != 0) {
    if (PairAt(p, distance, rare, check)) return p;
    ++p;
  }
  const __m128i zero = _mm_setzero_si128();
  const __m128i rareA = Splat<Ch>(rare.a), rareB = Splat<Ch>(rare.b);
  const __m128i checkA = Splat<Ch>(check.a), checkB = Splat<Ch>(check.b);
  for (;; p += kBytes / sizeof(Ch)) {
    const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p - distance));
    const __m128i pairs = _mm_and_si128(_mm_or_si128(Equal<Ch>(v, rareA), Equal<Ch>(v, rareB)),
                                        _mm_or_si128(Equal<Ch>(w, checkA), Equal<Ch>(w, checkB)));
    const unsigned hits =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(pairs, Equal<Ch>(v, zero))));
    if (hits != 0) return p + static_cast<unsigned>(__builtin_ctz(hits)) / sizeof(Ch);
  }
}
#endif

template <class Ch>
const Ch* FindPair(const Ch* p, std::ptrdiff_t distance, const UnitPair<Ch>& rare,
                   const UnitPair<Ch>& check) noexcept {
#if defined(__SSE2__)
  return FindPairByVectors(p, distance, rare, check);
#else
  return FindPairByWords(p, distance, rare, check);
#endif
}

// The first unit at or after p that is a hit of `target`; the terminator
// always is one, so the result is never past the text.
template <class Ch, class Target>
const Ch* FindUnit(const Ch* p, const Target& target) noexcept {
#if defined(__SSE2__)
  return FindUnitByVectors(p, target);
#else
  return FindUnitByWords(p, target);
#endif
}

}  // namespace qx::search
