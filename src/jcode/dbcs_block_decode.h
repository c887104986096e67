// Block decoders of Shift_JIS and EUC-JP (see block_codec.h), and their
// block converters straight to UTF-8.
//
// Both find the bytes that begin pairs over the whole block at once
// (byte_lanes.h PairStarts), make a key of each character sixteen bytes
// at a time, a pair's from both its bytes and a single byte's from
// itself, pack the keys of the bytes that begin characters and look each
// up in a flat table (block_tables.h): of UTF-16 units, or of UTF-8 in
// slots. A key that is no character ends the block there, and so does a
// pair cut by the block's end.
//
// No key is tested on its own: the lookups of a block run without a
// branch, and one test after them finds whether any key was no
// character. A branch per eight keys, never taken, still cost a sixth.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "jcode/block_codec.h"
#include "jcode/block_tables.h"
#include "jcode/byte_lanes.h"
#include "jcode/utf8_block_encode.h"

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

// The bytes that begin characters, up to a pair cut by the block's end;
// `limit` is where they end.
inline std::uint64_t Starts(std::uint64_t pairs, std::size_t& limit) {
  limit = (pairs >> 63) != 0 ? kBlock - 1 : kBlock;
  return ~(pairs << 1) & BitsBelow(static_cast<unsigned>(limit));
}

// The bytes read before the character of key `index`.
inline std::size_t ReadBefore(std::uint64_t starts, std::size_t index) {
  for (std::size_t skip = 0; skip < index; ++skip)
    starts &= starts - 1;
  return static_cast<std::size_t>(std::countr_zero(starts));
}

// The characters of a block.
struct Keys {
  std::uint64_t starts;  // the bytes that begin them
  std::size_t limit;     // where they end
  std::size_t count;
};

// Packs the key of each character of a block of the encoding whose lead
// bytes Codec::Leads flags into keys, with eight zeros after them; false,
// with nothing packed, for a block of ASCII.
template <class Codec>
QX_BLOCK_TARGET inline bool PackBlock(In p, char16_t* keys, Keys& found) {
  std::uint64_t leads = 0;
  __m128i any = _mm_setzero_si128();
  for (unsigned i = 0; i < kBlock; i += 16) {
    const __m128i v = Load(p + i);
    any = _mm_or_si128(any, v);
    leads |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(Codec::Leads(v)))} << i;
  }
  if (_mm_movemask_epi8(any) == 0) return false;
  const std::uint64_t pairs = byte_lanes::PairStarts(leads);
  found.starts = Starts(pairs, found.limit);
  found.count = PackKeys(p, pairs, found.starts, keys);
  ClearAfter(keys, found.count);
  return true;
}

// Turns the keys into units in place. Key 0 is NUL, whose unit is 0 too;
// any other key whose unit is 0 is no character.
template <class Codec>
QX_BLOCK_TARGET inline std::size_t Decode(In p, char16_t* units, std::size_t& count) {
  Keys found;
  if (!PackBlock<Codec>(p, units, found)) {
    WidenAscii(p, units);
    count = kBlock;
    return kBlock;
  }
  const char16_t* const table = Codec::Units();
  const __m128i zero = _mm_setzero_si128();
  __m128i none = zero;
  for (std::size_t i = 0; i < found.count; i += 8) {
    const __m128i keys = Load(units + i);
    const __m128i v = Gather(table, units + i);
    Store(units + i, v);
    none =
        _mm_or_si128(none, _mm_andnot_si128(_mm_cmpeq_epi16(keys, zero), _mm_cmpeq_epi16(v, zero)));
  }
  count = found.count;
  if (_mm_testz_si128(none, none)) return found.limit;
  count = 0;
  while (units[count] != 0)  // which stops at a NUL too
    ++count;
  return ReadBefore(found.starts, count);
}

// Four slots of UTF-8 from the table.
QX_BLOCK_TARGET inline __m128i GatherSlots(const std::uint32_t* table, const char16_t* keys) {
  __m128i v = _mm_cvtsi32_si128(static_cast<int>(table[keys[0]]));
  v = _mm_insert_epi32(v, static_cast<int>(table[keys[1]]), 1);
  v = _mm_insert_epi32(v, static_cast<int>(table[keys[2]]), 2);
  return _mm_insert_epi32(v, static_cast<int>(table[keys[3]]), 3);
}

// Writes the UTF-8 of four slots at out (16 bytes) and returns its end.
// The sign bits of a slot's bytes 1 and 0 are, inverted, the flags
// utf8_encode::EncodeEight makes of its unit, and their count is its
// length past one (SlotLength): counting them takes the length off the
// path of a load.
QX_BLOCK_TARGET inline Out PutSlots(__m128i slots, Out out) {
  const __m128i pick = _mm_setr_epi8(1, 0, 5, 4, 9, 8, 13, 12, -1, -1, -1, -1, -1, -1, -1, -1);
  const auto signs = static_cast<unsigned>(_mm_movemask_epi8(_mm_shuffle_epi8(slots, pick)));
  Store(out, _mm_shuffle_epi8(slots, Load(utf8_encode::kShuffles[signs ^ 0xFF].data())));
  return out + 4 + std::popcount(signs);
}

// Writes the UTF-8 of a block at out, which has room for three bytes a
// byte and kWriteSlack, and moves out past it.
template <class Codec>
QX_BLOCK_TARGET inline std::size_t ToUtf8(In p, Out& out) {
  alignas(16) char16_t keys[kUnitRoom];
  Keys found;
  if (!PackBlock<Codec>(p, keys, found)) {
    for (unsigned i = 0; i < kBlock; i += 16)
      Store(out + i, Load(p + i));
    out += kBlock;
    return kBlock;
  }
  // The keys after the count are NUL, a byte each, which the end steps
  // back over.
  const std::uint32_t* const table = Codec::Utf8();
  const __m128i zero = _mm_setzero_si128();
  __m128i none = zero;
  Out o = out;
  for (std::size_t i = 0; i < found.count; i += 8) {
    const __m128i first = GatherSlots(table, keys + i);
    const __m128i second = GatherSlots(table, keys + i + 4);
    none = _mm_or_si128(none,
                        _mm_or_si128(_mm_cmpeq_epi32(first, zero), _mm_cmpeq_epi32(second, zero)));
    o = PutSlots(second, PutSlots(first, o));
  }
  if (_mm_testz_si128(none, none)) {
    out = o - (-found.count & 7);
    return found.limit;
  }
  // What comes before the key that is no character stands as written.
  std::size_t count = 0;
  for (std::uint32_t slot; (slot = table[keys[count]]) != 0; ++count)
    out += SlotLength(slot);
  return ReadBefore(found.starts, count);
}

}  // namespace dbcs_detail

// Lead bytes 0x81-0x9F and 0xE0-0xFC; every other byte is a character of
// its own. Flipping bits 0xA0 moves the lead bytes to 0x21-0x5C, and
// adding 0x5F then to 0x80-0xBB, the signed bytes below -68.
struct SjisBlocks {
  QX_BLOCK_TARGET static __m128i Leads(__m128i v) {
    const __m128i moved =
        _mm_add_epi8(_mm_xor_si128(v, _mm_set1_epi8(static_cast<char>(0xA0))), _mm_set1_epi8(0x5F));
    return _mm_cmpgt_epi8(_mm_set1_epi8(-68), moved);
  }
  static const char16_t* Units() { return Tables().sjis.data(); }
  static const std::uint32_t* Utf8() { return Tables().sjisUtf8.data(); }
};

// Pairs of bytes 0xA1-0xFE, and 0x8E before a half-width katakana byte.
// Adding 0xDF moves 0xA1-0xFE to 0x80-0xDD, the signed bytes below -34.
struct EucBlocks {
  QX_BLOCK_TARGET static __m128i Leads(__m128i v) {
    const __m128i moved = _mm_add_epi8(v, _mm_set1_epi8(static_cast<char>(0xDF)));
    return _mm_or_si128(_mm_cmpgt_epi8(_mm_set1_epi8(-34), moved),
                        _mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(0x8E))));
  }
  static const char16_t* Units() { return Tables().euc.data(); }
  static const std::uint32_t* Utf8() { return Tables().eucUtf8.data(); }
};

QX_BLOCK_TARGET inline std::size_t DecodeSjis(In p, char16_t* units, std::size_t& count) {
  return dbcs_detail::Decode<SjisBlocks>(p, units, count);
}

QX_BLOCK_TARGET inline std::size_t DecodeEuc(In p, char16_t* units, std::size_t& count) {
  return dbcs_detail::Decode<EucBlocks>(p, units, count);
}

QX_BLOCK_TARGET inline std::size_t SjisToUtf8(In p, Out& out) {
  return dbcs_detail::ToUtf8<SjisBlocks>(p, out);
}

QX_BLOCK_TARGET inline std::size_t EucToUtf8(In p, Out& out) {
  return dbcs_detail::ToUtf8<EucBlocks>(p, out);
}

#endif

}  // namespace qx::jcode::block
