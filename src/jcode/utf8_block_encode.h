// The block encoder to UTF-8 (the contract in block_codec.h), eight units
// at a time and without a branch on any one unit's length: Japanese text
// switches between ASCII and kana or kanji every few characters, which no
// branch predictor follows.
//
// Each unit's candidate bytes go into a four-byte slot, and one shuffle
// per four slots keeps of each the bytes its unit's length calls for. A
// unit at or past U+0800 keeps the slot's first three bytes (E0|u>>12,
// 80|u>>6 and 80|u, six bits each), one from U+0080 the second and third
// (where the second is C0|u>>6), and an ASCII unit the fourth, itself.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "jcode/block_codec.h"

namespace qx::jcode::block {

#if QX_BLOCK_CODECS

namespace utf8_encode {

// A lane's two bits of _mm_movemask_epi8 on its flags: the low one says
// bits 7-10 of the unit are clear, the high one bits 11-15. Both make
// ASCII, the high one alone a unit below U+0800, and the rest three bytes
// (the low one alone is a unit such as U+3000 or U+4000).
inline constexpr unsigned kAscii = 3;
inline constexpr unsigned kTwo = 2;

// By the flags of four lanes, lane 0 in the low two bits: the shuffle that
// packs the bytes their slots keep to the front, in order, and zeros after
// them.
alignas(16) inline constexpr auto kShuffles = [] {
  std::array<std::array<unsigned char, 16>, 256> shuffles{};
  for (unsigned index = 0; index < 256; ++index) {
    unsigned next = 0;
    for (unsigned lane = 0; lane < 4; ++lane) {
      const unsigned flags = index >> (2 * lane) & 3;
      const unsigned first = flags == kAscii ? 3 : flags == kTwo ? 1 : 0;
      const unsigned end = flags == kAscii ? 4 : 3;
      for (unsigned byte = first; byte < end; ++byte)
        shuffles[index][next++] = static_cast<unsigned char>(4 * lane + byte);
    }
    while (next < 16)
      shuffles[index][next++] = 0x80;
  }
  return shuffles;
}();

// How many bytes those shuffles keep.
inline constexpr auto kLengths = [] {
  std::array<unsigned char, 256> lengths{};
  for (unsigned index = 0; index < 256; ++index) {
    unsigned length = 0;
    for (unsigned lane = 0; lane < 4; ++lane) {
      const unsigned flags = index >> (2 * lane) & 3;
      length += flags == kAscii ? 1 : flags == kTwo ? 2 : 3;
    }
    lengths[index] = static_cast<unsigned char>(length);
  }
  return lengths;
}();

// Writes the UTF-8 of the eight units of v at out, 16 bytes for each four
// (so up to 12 bytes past the end of the last four's), and returns its end.
QX_BLOCK_TARGET inline Out EncodeEight(__m128i v, Out out) {
  const __m128i flags = _mm_cmpeq_epi8(
      _mm_and_si128(_mm_srli_epi16(v, 3), _mm_set1_epi16(static_cast<short>(0xFFF0))),
      _mm_setzero_si128());
  const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(flags));

  // Bytes 0 and 1 of the slot: E0|u>>12 and 80|u>>6, C0|u>>6 below U+0800.
  const __m128i lead =
      _mm_or_si128(_mm_or_si128(_mm_srli_epi16(v, 12),
                                _mm_and_si128(_mm_slli_epi16(v, 2), _mm_set1_epi16(0x3F00))),
                   _mm_or_si128(_mm_and_si128(flags, _mm_set1_epi16(0x4000)),
                                _mm_set1_epi16(static_cast<short>(0x80E0))));
  // Bytes 2 and 3: 80|u, and the low byte of u, all of an ASCII unit.
  const __m128i tail = _mm_or_si128(
      _mm_and_si128(
          _mm_shuffle_epi8(v, _mm_setr_epi8(0, 0, 2, 2, 4, 4, 6, 6, 8, 8, 10, 10, 12, 12, 14, 14)),
          _mm_set1_epi16(static_cast<short>(0xFF3F))),
      _mm_set1_epi16(0x80));

  const unsigned low = mask & 0xFF;
  const unsigned high = mask >> 8;
  Store(out,
        _mm_shuffle_epi8(_mm_unpacklo_epi16(lead, tail),
                         _mm_load_si128(reinterpret_cast<const __m128i*>(kShuffles[low].data()))));
  out += kLengths[low];
  Store(out,
        _mm_shuffle_epi8(_mm_unpackhi_epi16(lead, tail),
                         _mm_load_si128(reinterpret_cast<const __m128i*>(kShuffles[high].data()))));
  return out + kLengths[high];
}

}  // namespace utf8_encode

// Thirty-two ASCII units at a time take two narrowing stores, and any
// other eight EncodeEight. A test on fewer would be taken more often in
// prose, and mispredicted more often than it saves.
//
// The last eight may stand partly past count: their lanes past it turn
// into zeros, a byte each, which the end steps back over. So the writes
// go at most 19 bytes past the end of the UTF-8, within kWriteSlack.
QX_BLOCK_TARGET inline bool EncodeUtf8(const char16_t* units, std::size_t count, Out& out) {
  using namespace utf8_encode;
  Out o = out;
  std::size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    const __m128i v0 = Load(units + i);
    const __m128i v1 = Load(units + i + 8);
    const __m128i v2 = Load(units + i + 16);
    const __m128i v3 = Load(units + i + 24);
    const __m128i any = _mm_or_si128(_mm_or_si128(v0, v1), _mm_or_si128(v2, v3));
    if (_mm_testz_si128(any, _mm_set1_epi16(-0x80))) {
      Store(o, _mm_packus_epi16(v0, v1));
      Store(o + 16, _mm_packus_epi16(v2, v3));
      o += 32;
    } else {
      o = EncodeEight(v3, EncodeEight(v2, EncodeEight(v1, EncodeEight(v0, o))));
    }
  }
  for (; i + 8 < count; i += 8)
    o = EncodeEight(Load(units + i), o);
  if (i < count) {
    const int rest = static_cast<int>(count - i);
    const __m128i keep = _mm_cmpgt_epi16(_mm_set1_epi16(static_cast<short>(rest)),
                                         _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7));
    o = EncodeEight(_mm_and_si128(Load(units + i), keep), o) - (8 - rest);
  }
  out = o;
  return true;
}

#endif

}  // namespace qx::jcode::block
