// How rare each unit is in Japanese text, in bits: the rounded -log2 of its
// share of the units of a corpus of Japanese prose (Debian's Japanese manual
// pages, 6 MB in Shift_JIS, CR counted as often as LF), 24 for the units it
// lacks. A search skips ahead to its needle's rarest units, so a byte that is
// rare within the needle but common as a trail byte in the text is no help.
#pragma once

#include <cstdint>

namespace qx::search {

// clang-format off
// Shift_JIS bytes (the A form, whatever its code page: Japanese text is what
// the library searches).
inline constexpr std::uint8_t kByteRarity[256] = {
    24, 24, 24, 24, 24, 24, 24, 24, 24,  9,  6, 24, 24,  6, 24, 24,
    24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 23, 24, 24, 24, 24, 24,
     5, 13, 10, 12, 12, 12, 11, 10,  8,  8, 11, 12,  9,  8,  8,  8,
     9,  9,  9, 10, 10, 10, 10, 11, 10, 11, 10, 11, 12, 11, 11, 14,
     8,  6,  6,  7,  9,  8,  9,  9,  9,  8, 10, 10,  8,  9,  8,  8,
     8, 11,  8,  8,  8,  9,  8,  9,  7, 11,  9,  7,  8, 10,  9,  9,
     9,  7,  8,  7,  8,  6,  7,  7,  7,  7, 11,  9,  7,  8,  7,  6,
     7, 11,  7,  7,  6,  7,  7,  8,  9,  9, 10, 11, 10,  9, 11, 24,
     9,  5,  3,  3, 11, 11, 10,  8,  8,  8,  7,  7,  7,  7,  7,  7,
     7,  7,  7,  7,  8,  7,  8,  7, 11, 14, 10, 16, 12, 10, 10, 11,
     9, 12,  7, 13,  9, 15,  9, 11, 11,  9,  7,  9, 11,  9,  9,  9,
    14,  8, 13,  8, 14,  7,  9,  7, 11, 10, 11,  9,  9,  8, 10, 11,
    10,  9,  9, 13,  7,  7,  7, 10,  7,  7, 10, 13,  6,  7,  9, 10,
    14, 12, 12, 11, 10, 15, 10, 11, 12, 12, 10, 11,  8,  9, 12, 10,
     9, 11, 10, 10, 12, 11,  9,  9,  8,  6,  7, 12, 11, 10, 11, 14,
     7,  9, 15, 10, 16, 12, 13, 14, 10, 14, 12, 11, 10, 24, 24, 24,
};

// ASCII units of the W form.
inline constexpr std::uint8_t kAsciiRarity[128] = {
    24, 24, 24, 24, 24, 24, 24, 24, 24,  8,  5, 24, 24,  5, 24, 24,
    24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 22, 24, 24, 24, 24, 24,
     4, 12,  9, 12, 12, 11, 10,  9,  7,  7, 10, 12,  8,  7,  8,  8,
     8,  8,  8,  9, 10, 10, 10, 10, 10, 10,  9, 10, 11, 10, 11, 13,
    12,  8, 10,  8,  9,  8,  9, 10, 10,  8, 13, 11,  8,  9,  9,  9,
     8, 12,  8,  8,  8,  9, 11, 11, 11, 11, 12, 10,  8, 10, 13,  8,
    10,  6,  8,  7,  7,  6,  8,  8,  8,  6, 11,  9,  7,  7,  6,  6,
     7, 11,  6,  6,  6,  7,  9,  9,  9,  9, 11, 12, 11, 12, 14, 24,
};

// CJK punctuation, hiragana and katakana (U+3000 to U+30FF).
inline constexpr std::uint8_t kKanaRarity[256] = {
    17,  6,  6, 24, 24, 13, 24, 24, 24, 24, 24, 24, 12, 12, 17, 17,
    18, 18, 24, 21, 24, 24, 24, 24, 24, 24, 24, 24, 16, 24, 24, 24,
    24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24,
    24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24,
    24, 22,  8, 24,  7, 22,  8, 24, 10, 24, 10,  8,  7,  8, 14,  9,
    14,  9, 14,  7, 13,  7, 16,  7, 11,  6, 11, 10, 15,  9, 12,  7,
    10, 11, 24,  9,  9, 14,  7,  7,  7, 10,  7,  6, 17, 15,  5,  6,
    10, 18, 14, 11, 19, 17, 15, 21, 11, 11, 22, 12, 15, 19,  7,  9,
    12, 10,  8, 17, 10, 22, 15, 14,  9,  8,  8,  6,  7, 12, 24, 10,
    24, 24,  6, 10, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 24,
    24,  8,  9,  9,  7, 20, 10, 10, 10,  9,  9, 10, 15, 10, 14,  8,
     9, 10, 13,  9, 14, 10, 10,  8,  9,  7, 11,  9, 15, 11, 14,  9,
    11, 10, 24,  8, 14, 24,  9,  8,  7,  8, 11, 12, 15, 10, 14, 12,
     9,  9, 15, 11, 12,  7,  9,  8, 12, 11, 11, 11, 12, 10,  8, 13,
     9,  9, 10, 11, 14, 10, 10,  8, 16,  8,  8,  7,  9,  8, 24, 11,
    24, 24, 24,  7, 20, 24, 21, 24, 24, 24, 24, 12,  6, 24, 24, 24,
};
// clang-format on

template <class Ch>
inline int Rarity(std::uint32_t unit) noexcept {
  if constexpr (sizeof(Ch) == 1) {
    return kByteRarity[unit & 0xFF];
  } else {
    if (unit < 0x80) return kAsciiRarity[unit];
    if (unit >= 0x3000 && unit <= 0x30FF) return kKanaRarity[unit - 0x3000];
    if (unit >= 0x4E00 && unit <= 0x9FFF) return 13;  // a kanji in use, on average
    return 20;
  }
}

}  // namespace qx::search
