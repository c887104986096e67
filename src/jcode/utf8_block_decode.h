// The block decoder of UTF-8 (the contract in block_codec.h), for the
// characters of one to three bytes, without a branch on any one
// character's length: Japanese text switches between ASCII and kana or
// kanji every few characters, which no branch predictor follows.
//
// It reads the block twice. The first time it classes the 64 bytes into
// bit masks and judges them all at once: each lead must be followed by as
// many continuation bytes as it calls for, within the block, and each
// continuation byte must be called for by a lead. The first byte that
// breaks a rule begins the character the block stops before. The second
// time it makes the unit of each character at the byte that ends it, from
// that byte and the two before, whatever the character's length, and
// packs the units of the bytes that end characters.
#pragma once

#include <cstddef>
#include <cstdint>

#include "jcode/block_codec.h"

namespace qx::jcode::block {

#if QX_BLOCK_CODECS

namespace utf8_decode {

QX_BLOCK_TARGET inline void AddBits(std::uint64_t& mask, __m128i lanes, unsigned at) {
  mask |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(lanes))} << at;
}

// Bytes are compared as signed ones: 0x80-0xBF are -0x80 to -0x41.
QX_BLOCK_TARGET inline __m128i Continuation(__m128i v) {
  return _mm_cmpgt_epi8(_mm_set1_epi8(-0x40), v);
}

// The 16 bytes from one and from two before p + at; those that would come
// before the block read as zeros.
QX_BLOCK_TARGET inline __m128i Before(In p, unsigned at, __m128i v) {
  return at == 0 ? _mm_slli_si128(v, 1) : Load(p + at - 1);
}

QX_BLOCK_TARGET inline __m128i TwoBefore(In p, unsigned at, __m128i v) {
  return at == 0 ? _mm_slli_si128(v, 2) : Load(p + at - 2);
}

}  // namespace utf8_decode

// Reads only the kBlock bytes at p, none of the slack, and writes at most
// kBlock units: eight from wherever the units of the first 56 bytes end.
QX_BLOCK_TARGET inline std::size_t DecodeUtf8(In p, char16_t* units, std::size_t& count) {
  using namespace utf8_decode;
  if (AllAscii(p)) {
    WidenAscii(p, units);
    count = kBlock;
    return kBlock;
  }

  // Leads of two bytes are C2-DF (C0 and C1 would be overlong), of three
  // E0-EF. E0 wants its second byte from A0 (below, it is overlong) and ED
  // below A0 (from there, a surrogate): such a second byte is taken for no
  // continuation byte, which cuts its lead short. As signed bytes, C2-DF
  // are -0x3E to -0x21, E0 is -0x20, ED -0x13 and A0 -0x60.
  std::uint64_t high = 0, continuation = 0, lead2 = 0, lead3 = 0;
#pragma GCC unroll 4
  for (unsigned at = 0; at < kBlock; at += 16) {
    const __m128i v = Load(p + at), before = Before(p, at, v);
    const __m128i belowA0 = _mm_cmpgt_epi8(_mm_set1_epi8(-0x60), v);
    const __m128i outOfRange =
        _mm_blendv_epi8(_mm_cmpeq_epi8(before, _mm_set1_epi8(-0x13)),
                        _mm_cmpeq_epi8(before, _mm_set1_epi8(-0x20)), belowA0);
    AddBits(high, v, at);
    AddBits(continuation, _mm_andnot_si128(outOfRange, Continuation(v)), at);
    AddBits(lead2,
            _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(-0x3F)),
                          _mm_cmpgt_epi8(_mm_set1_epi8(-0x20), v)),
            at);
    AddBits(lead3, _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(-0x10)), _mm_set1_epi8(-0x20)),
            at);
  }
  // A lead fails where it stands when its continuation bytes are not all
  // there or not all within the block (the shifts bring in no bits from
  // past it); so does a continuation byte no lead calls for, and any other
  // byte above 0x7F (C0, C1, F0-FF).
  const std::uint64_t cut =
      (lead2 & ~(continuation >> 1)) | (lead3 & ~(continuation >> 1 & continuation >> 2));
  const std::uint64_t called = (lead2 | lead3) << 1 | lead3 << 2;
  const std::uint64_t other = high & ~(continuation | lead2 | lead3);
  const std::uint64_t fails = cut | (continuation & ~called) | other;
  // The bytes below the first failure, all 64 without one.
  const std::uint64_t read = ~fails & (fails - 1);
  // A byte ends a character where the next begins one or fails. Only the
  // continuation bytes read are taken: one that fails would hide the end
  // of the character before it.
  const std::uint64_t ends = ~((continuation & read) >> 1);

  // A unit is low + 64 * middle + 4096 * top, made at the character's last
  // byte: its low seven bits (six of a continuation byte), then after a
  // continuation byte six bits of the byte before (five of a lead of two
  // bytes, whose sixth is 0), then after two the lead of three, of which
  // the 16-bit shift by 12 keeps the low four bits.
  std::size_t written = 0;
#pragma GCC unroll 4
  for (unsigned at = 0; at < kBlock; at += 16) {
    const __m128i v = Load(p + at), before = Before(p, at, v), twoBefore = TwoBefore(p, at, v);
    const __m128i last = Continuation(v);
    const __m128i low = _mm_and_si128(v, _mm_set1_epi8(0x7F));
    const __m128i middle = _mm_and_si128(before, _mm_and_si128(last, _mm_set1_epi8(0x3F)));
    const __m128i top = _mm_and_si128(twoBefore, _mm_and_si128(last, Continuation(before)));
    const __m128i weights = _mm_set1_epi16(0x4001);
    const __m128i zero = _mm_setzero_si128();
    const __m128i first = _mm_or_si128(_mm_maddubs_epi16(_mm_unpacklo_epi8(low, middle), weights),
                                       _mm_slli_epi16(_mm_unpacklo_epi8(zero, top), 4));
    const __m128i second = _mm_or_si128(_mm_maddubs_epi16(_mm_unpackhi_epi8(low, middle), weights),
                                        _mm_slli_epi16(_mm_unpackhi_epi8(zero, top), 4));
    const unsigned atEnds = static_cast<unsigned>(ends >> at);
    Store(units + written, PackUnits(first, atEnds & 0xFF));
    written += static_cast<unsigned>(_mm_popcnt_u32(atEnds & 0xFF));
    Store(units + written, PackUnits(second, atEnds >> 8 & 0xFF));
    written += static_cast<unsigned>(_mm_popcnt_u32(atEnds >> 8 & 0xFF));
  }
  count = static_cast<std::size_t>(_mm_popcnt_u64(read & ~continuation));
  return static_cast<std::size_t>(_mm_popcnt_u64(read));
}

#endif

}  // namespace qx::jcode::block
