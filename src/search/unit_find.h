// Finding the first wanted unit of a NUL-terminated UTF-16 text a block at
// a time, with the terminator found in the same pass (so a scan never
// measures the text first).
//
// A block is 16 bytes (SSE2) or 8 bytes (a 64-bit word, where SSE2 is not
// the baseline, as on i686), always read from an address that is a multiple
// of its size. Such a block never straddles a page, so it is readable
// whenever its first unit is, even when the text ends inside it: the units
// read past the terminator are never looked at, since the in-order test of
// a block's units stops at the terminator. Units before the first aligned
// block are tested one at a time, and so is a whole text at an odd address,
// whose units never line up with blocks.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/win32_api.h"

namespace qx::search {

// Two units (the same one twice when there is one) or the NUL.
struct UnitPair {
  std::uint16_t a, b;

  bool Hit(std::uint16_t u) const noexcept { return u == a || u == b || u == 0; }
#if defined(__SSE2__)
  __m128i Block(__m128i v) const noexcept {
    const __m128i hit = _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(static_cast<short>(a))),
                                     _mm_cmpeq_epi16(v, _mm_set1_epi16(static_cast<short>(b))));
    return _mm_or_si128(hit, _mm_cmpeq_epi16(v, _mm_setzero_si128()));
  }
#endif
};

// A unit in [low, low + span] or the NUL.
struct UnitRange {
  std::uint16_t low, span;

  bool Hit(std::uint16_t u) const noexcept {
    return u == 0 || static_cast<std::uint16_t>(u - low) <= span;
  }
#if defined(__SSE2__)
  // In range exactly when the saturating difference to the span is zero.
  __m128i Block(__m128i v) const noexcept {
    const __m128i offset = _mm_sub_epi16(v, _mm_set1_epi16(static_cast<short>(low)));
    const __m128i over = _mm_subs_epu16(offset, _mm_set1_epi16(static_cast<short>(span)));
    const __m128i zero = _mm_setzero_si128();
    return _mm_or_si128(_mm_cmpeq_epi16(over, zero), _mm_cmpeq_epi16(v, zero));
  }
#endif
};

namespace unit_find {

using Word [[gnu::may_alias]] = std::uint64_t;
inline constexpr std::uint64_t kOnes = 0x0001000100010001;
inline constexpr std::uint64_t kHighs = 0x8000800080008000;

// Nonzero when some 16-bit lane of w is zero; the lowest flagged lane is
// exact (a borrow runs only upward from a lane that is zero).
inline std::uint64_t ZeroLane(std::uint64_t w) noexcept {
  return (w - kOnes) & ~w & kHighs;
}

// Nonzero when some lane of w is below `bound` (at most 0x8000); flags a
// superset of the lanes in range, which Hit then sorts out.
inline std::uint64_t LaneBelow(std::uint64_t w, std::uint16_t bound) noexcept {
  return (w - kOnes * bound) & ~w & kHighs;
}

inline bool WordHit(std::uint64_t w, const UnitPair& t) noexcept {
  return (ZeroLane(w) | ZeroLane(w ^ (kOnes * t.a)) | ZeroLane(w ^ (kOnes * t.b))) != 0;
}

inline bool WordHit(std::uint64_t w, const UnitRange& t) noexcept {
  const std::uint32_t high = static_cast<std::uint32_t>(t.low) + t.span;
  // A range reaching past 0x7FFF is not filtered: every word is tested.
  if (high >= 0x8000) return true;
  return LaneBelow(w, static_cast<std::uint16_t>(high + 1)) != 0;
}

// The first unit of the aligned block at p that is a hit, else null.
template <class Target>
const WCHAR* FirstInBlock(const WCHAR* p, std::size_t units, const Target& target) noexcept {
  for (std::size_t i = 0; i < units; ++i) {
    if (target.Hit(p[i])) return p + i;
  }
  return nullptr;
}

}  // namespace unit_find

// The first unit at or after p that is a hit of `target` (the terminator
// always is), tested a 64-bit word at a time. Kept separate from FindUnit
// so that tests can run it where SSE2 is there too.
//
// Not checked by AddressSanitizer: an aligned word may hold units past the
// terminator, which lie outside the text's allocation but inside its page
// (see the top of this file); they are read, never used.
template <class Target>
__attribute__((no_sanitize("address"))) const WCHAR* FindUnitByWords(
    const WCHAR* p, const Target& target) noexcept {
  using unit_find::Word;
  constexpr std::size_t kBytes = sizeof(Word);
  constexpr std::size_t kUnits = kBytes / sizeof(WCHAR);
  while (reinterpret_cast<std::uintptr_t>(p) % kBytes != 0) {
    if (target.Hit(*p)) return p;
    ++p;
  }
  for (;; p += kUnits) {
    if (!unit_find::WordHit(*reinterpret_cast<const Word*>(p), target)) continue;
    if (const WCHAR* hit = unit_find::FirstInBlock(p, kUnits, target)) return hit;
  }
}

#if defined(__SSE2__)
// The same a 16-byte block at a time. Not checked by AddressSanitizer, for
// the reason given above FindUnitByWords.
template <class Target>
__attribute__((no_sanitize("address"))) const WCHAR* FindUnitByVectors(
    const WCHAR* p, const Target& target) noexcept {
  constexpr std::size_t kBytes = sizeof(__m128i);
  constexpr std::size_t kUnits = kBytes / sizeof(WCHAR);
  while (reinterpret_cast<std::uintptr_t>(p) % kBytes != 0) {
    if (target.Hit(*p)) return p;
    ++p;
  }
  for (;; p += kUnits) {
    const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(target.Block(v)));
    if (hits != 0) return p + __builtin_ctz(hits) / sizeof(WCHAR);
  }
}
#endif

// The first unit at or after p that is a hit of `target`; the terminator
// always is one, so the result is never past the text. A text at an odd
// address never reaches a block boundary and is tested unit by unit.
template <class Target>
const WCHAR* FindUnit(const WCHAR* p, const Target& target) noexcept {
#if defined(__SSE2__)
  return FindUnitByVectors(p, target);
#else
  return FindUnitByWords(p, target);
#endif
}

}  // namespace qx::search
