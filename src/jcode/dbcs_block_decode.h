// Block decoders of Shift_JIS and EUC-JP (see block_codec.h).
//
// Both find the bytes that begin pairs over the whole block at once
// (byte_lanes.h PairStarts), make a key of each character sixteen bytes at a time, a
// pair's from both its bytes and a single byte's from itself, pack the
// keys of the bytes that begin characters and look each up in a flat
// table (block_tables.h). A key that is no character ends the block
// there, and so does a pair cut by the block's end.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "jcode/block_codec.h"
#include "jcode/block_tables.h"
#include "jcode/byte_lanes.h"

namespace qx::jcode::block {

#if QX_BLOCK_CODECS

namespace dbcs_detail {

// The bits below `limit` (0-64).
inline std::uint64_t BitsBelow(unsigned limit) {
  return limit >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << limit) - 1;
}

// The bytes of the bits of a 16-bit mask, as all-ones lanes: one shuffle
// where byte_lanes::LanesOf, which needs no more than SSE2, multiplies
// (that, and testing lead bytes by byte_lanes::Chunk, cost 9% here).
QX_BLOCK_TARGET inline __m128i ByteLanes(unsigned mask) {
  const __m128i spread =
      _mm_shuffle_epi8(_mm_cvtsi32_si128(static_cast<int>(mask)),
                       _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1));
  const __m128i bits = _mm_set1_epi64x(static_cast<long long>(0x8040201008040201));
  return _mm_cmpeq_epi8(_mm_and_si128(spread, bits), bits);
}

// Packs the key of each character that begins at a bit of `starts` into
// units (keys go where their characters will): a single byte itself, or
// the first byte and the second byte of a pair as the high and low byte.
// Returns the count.
QX_BLOCK_TARGET inline std::size_t PackKeys(In p, std::uint64_t pairs, std::uint64_t starts,
                                            char16_t* units) {
  std::size_t count = 0;
  for (unsigned i = 0; i < kBlock; i += 16) {
    const __m128i pair = ByteLanes(static_cast<unsigned>(pairs >> i) & 0xFFFF);
    const __m128i bytes = Load(p + i);
    const __m128i high = _mm_and_si128(bytes, pair);
    const __m128i low = _mm_blendv_epi8(bytes, Load(p + i + 1), pair);
    const unsigned begin = static_cast<unsigned>(starts >> i);
    Store(units + count, PackUnits(_mm_unpacklo_epi8(low, high), begin & 0xFF));
    count += static_cast<unsigned>(std::popcount(begin & 0xFF));
    Store(units + count, PackUnits(_mm_unpackhi_epi8(low, high), begin >> 8 & 0xFF));
    count += static_cast<unsigned>(std::popcount(begin >> 8 & 0xFF));
  }
  return count;
}

// Turns the keys into characters in place, eight at a time, and stops at
// the first key that is no character. Returns the bytes read: up to the
// character of that key, or `limit`.
QX_BLOCK_TARGET inline std::size_t LookUp(const char16_t* table, std::uint64_t starts,
                                          std::size_t limit, char16_t* units, std::size_t& count) {
  for (std::size_t i = 0; i < count; i += 8) {
    const __m128i v = Gather(table, units + i);
    Store(units + i, v);
    const unsigned lanes = count - i >= 8 ? 0xFFFF : (1u << 2 * (count - i)) - 1;
    const unsigned none =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(v, _mm_setzero_si128()))) & lanes;
    if (none == 0) continue;
    count = i + static_cast<std::size_t>(std::countr_zero(none)) / 2;
    for (std::size_t skip = 0; skip < count; ++skip)
      starts &= starts - 1;
    return static_cast<std::size_t>(std::countr_zero(starts));
  }
  return limit;
}

// The bytes that begin characters, up to a pair cut by the block's end;
// `limit` is where they end.
inline std::uint64_t Starts(std::uint64_t pairs, std::size_t& limit) {
  limit = (pairs >> 63) != 0 ? kBlock - 1 : kBlock;
  return ~(pairs << 1) & BitsBelow(static_cast<unsigned>(limit));
}

// Reads a block of a double-byte encoding whose lead bytes `leadsOf`
// flags and whose characters `table` holds by key.
template <class Leads>
QX_BLOCK_TARGET inline std::size_t Decode(In p, char16_t* units, std::size_t& count,
                                          const char16_t* table, Leads leadsOf) {
  std::uint64_t leads = 0;
  __m128i any = _mm_setzero_si128();
  for (unsigned i = 0; i < kBlock; i += 16) {
    const __m128i v = Load(p + i);
    any = _mm_or_si128(any, v);
    leads |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(leadsOf(v)))} << i;
  }
  if (_mm_movemask_epi8(any) == 0) {
    WidenAscii(p, units);
    count = kBlock;
    return kBlock;
  }
  const std::uint64_t pairs = byte_lanes::PairStarts(leads);
  std::size_t limit;
  const std::uint64_t starts = Starts(pairs, limit);
  count = PackKeys(p, pairs, starts, units);
  ClearAfter(units, count);
  return LookUp(table, starts, limit, units, count);
}

}  // namespace dbcs_detail

// Lead bytes 0x81-0x9F and 0xE0-0xFC; every other byte is a character of
// its own. Flipping bits 0xA0 moves the lead bytes to 0x21-0x5C, and
// adding 0x5F then to 0x80-0xBB, the signed bytes below -68.
QX_BLOCK_TARGET inline std::size_t DecodeSjis(In p, char16_t* units, std::size_t& count) {
  return dbcs_detail::Decode(p, units, count, Tables().sjis.data(), [](__m128i v) QX_BLOCK_TARGET {
    const __m128i moved =
        _mm_add_epi8(_mm_xor_si128(v, _mm_set1_epi8(static_cast<char>(0xA0))), _mm_set1_epi8(0x5F));
    return _mm_cmpgt_epi8(_mm_set1_epi8(-68), moved);
  });
}

// Pairs of bytes 0xA1-0xFE, and 0x8E before a half-width katakana byte.
// Adding 0xDF moves 0xA1-0xFE to 0x80-0xDD, the signed bytes below -34.
QX_BLOCK_TARGET inline std::size_t DecodeEuc(In p, char16_t* units, std::size_t& count) {
  return dbcs_detail::Decode(p, units, count, Tables().euc.data(), [](__m128i v) QX_BLOCK_TARGET {
    const __m128i moved = _mm_add_epi8(v, _mm_set1_epi8(static_cast<char>(0xDF)));
    return _mm_or_si128(_mm_cmpgt_epi8(_mm_set1_epi8(-34), moved),
                        _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(0x8E))));
  });
}

#endif

}  // namespace qx::jcode::block
