// Block codecs of UTF-16 in either byte order, and the block encoder of
// code page 932 (see block_codec.h).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "jcode/block_codec.h"
#include "jcode/block_tables.h"

namespace qx::jcode::block {

#if QX_BLOCK_CODECS

template <bool kBig>
QX_BLOCK_TARGET inline __m128i InOrder(__m128i v) {
  if constexpr (kBig) return _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
  return v;
}

// Units up to the first surrogate, which the scalar decoder pairs.
template <bool kBig>
QX_BLOCK_TARGET inline std::size_t DecodeUtf16(In p, char16_t* units, std::size_t& count) {
  std::uint32_t surrogates = 0;  // a bit per unit
  for (unsigned i = 0; i < kBlock / 16; ++i) {
    const __m128i v = InOrder<kBig>(Load(p + 16 * i));
    Store(units + 8 * i, v);
    const __m128i surrogate =
        _mm_cmpeq_epi16(_mm_and_si128(v, _mm_set1_epi16(-0x800)), _mm_set1_epi16(-0x2800));
    surrogates |= static_cast<std::uint32_t>(
                      _mm_movemask_epi8(_mm_packs_epi16(surrogate, _mm_setzero_si128())))
                  << (8 * i);
  }
  count = surrogates == 0 ? kBlock / 2 : static_cast<std::size_t>(std::countr_zero(surrogates));
  return 2 * count;
}

template <bool kBig>
QX_BLOCK_TARGET inline bool EncodeUtf16(const char16_t* units, std::size_t count, Out& out) {
  for (std::size_t i = 0; i < count; i += 8)
    Store(out + 2 * i, InOrder<kBig>(Load(units + i)));
  out += 2 * count;
  return true;
}

namespace cp932_block_detail {

// Shuffles that write the codes of eight 16-bit lanes in order, a lane
// flagged in an 8-bit mask as its high byte then its low byte, any other
// as its low byte.
inline constexpr auto kPackCodes = [] {
  std::array<std::array<unsigned char, 16>, 256> shuffles{};
  for (unsigned mask = 0; mask < 256; ++mask) {
    unsigned next = 0;
    for (unsigned lane = 0; lane < 8; ++lane) {
      if ((mask >> lane & 1) != 0)
        shuffles[mask][next++] = static_cast<unsigned char>(2 * lane + 1);
      shuffles[mask][next++] = static_cast<unsigned char>(2 * lane);
    }
    while (next < 16)
      shuffles[mask][next++] = 0x80;
  }
  return shuffles;
}();

}  // namespace cp932_block_detail

// Codes eight units at a time from the flat table, and fails the block
// when a unit has no code (0): one test after the lookups, not one per
// eight. The units after `count` are NUL, a byte each, which the end
// steps back over.
QX_BLOCK_TARGET inline bool EncodeCp932(const char16_t* units, std::size_t count, Out& out) {
  using cp932_block_detail::kPackCodes;
  // ASCII text takes no lookup (lanes past `count` only make this rarer).
  __m128i any = _mm_setzero_si128();
  for (std::size_t i = 0; i < count; i += 8)
    any = _mm_or_si128(any, Load(units + i));
  if (_mm_testz_si128(any, _mm_set1_epi16(-0x80))) {
    for (std::size_t i = 0; i < count; i += 16)
      Store(out + i, _mm_packus_epi16(Load(units + i), Load(units + i + 8)));
    out += count;
    return true;
  }
  const std::uint16_t* const table = Tables().cp932.data();
  const __m128i zero = _mm_setzero_si128();
  __m128i none = zero;
  Out at = out;
  for (std::size_t i = 0; i < count; i += 8) {
    const __m128i v = Gather(table, units + i);
    none = _mm_or_si128(none, _mm_cmpeq_epi16(v, zero));
    // Single bytes are 0xFF00-0xFFFF, the signed values above -0x101;
    // pairs are below, and no code (0) fails the block anyway.
    const __m128i single = _mm_cmpgt_epi16(v, _mm_set1_epi16(-0x101));
    const unsigned pairs =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(single, zero))) ^ 0xFF;
    Store(at, _mm_shuffle_epi8(v, Load(kPackCodes[pairs].data())));
    at += 8 + std::popcount(pairs);
  }
  if (!_mm_testz_si128(none, none)) return false;
  out = at - (-count & 7);
  return true;
}

#endif

}  // namespace qx::jcode::block
