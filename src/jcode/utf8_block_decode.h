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
//
// One body (utf8_block_decode.inc) serves both tiers, 16 bytes at a time
// with SSE4.2 and 32 with AVX2, through the vector operations of Lanes16
// and Lanes32: the wider lanes make UTF-8 to code page 932 about 12%
// faster.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "jcode/block_codec.h"

namespace qx::jcode::block {

#if QX_BLOCK_CODECS

namespace utf8_decode {

// The vector operations of the decoder, on 16 bytes at a time.
struct Lanes16 {
  using V = __m128i;
  static constexpr unsigned kBytes = 16;
  QX_BLOCK_TARGET static V Load(In p) { return block::Load(p); }
  // The bytes from kBack (1 or 2) before p + at; those that would come
  // before the block read as zeros.
  template <int kBack>
  QX_BLOCK_TARGET static V Before(In p, unsigned at, V v) {
    return at == 0 ? _mm_slli_si128(v, kBack) : Load(p + at - kBack);
  }
  QX_BLOCK_TARGET static V Bytes(char b) { return _mm_set1_epi8(b); }
  // Bytes are compared as signed ones: 0x80-0xBF are -0x80 to -0x41.
  QX_BLOCK_TARGET static V Continuation(V v) { return Gt(Bytes(-0x40), v); }
  QX_BLOCK_TARGET static V Words(short w) { return _mm_set1_epi16(w); }
  QX_BLOCK_TARGET static V Gt(V a, V b) { return _mm_cmpgt_epi8(a, b); }
  QX_BLOCK_TARGET static V Eq(V a, V b) { return _mm_cmpeq_epi8(a, b); }
  QX_BLOCK_TARGET static V And(V a, V b) { return _mm_and_si128(a, b); }
  QX_BLOCK_TARGET static V AndNot(V a, V b) { return _mm_andnot_si128(a, b); }
  QX_BLOCK_TARGET static V Or(V a, V b) { return _mm_or_si128(a, b); }
  QX_BLOCK_TARGET static V Blend(V a, V b, V mask) { return _mm_blendv_epi8(a, b, mask); }
  QX_BLOCK_TARGET static std::uint64_t Bits(V v) {
    return static_cast<unsigned>(_mm_movemask_epi8(v));
  }
  // The 16-bit lanes of the low (or high) eight of every 16 bytes: from
  // the bytes a, b and c of each, a + 64 * b with the low four bits of c
  // above them (bits 12-15).
  template <bool kHigh>
  QX_BLOCK_TARGET static V Weigh(V a, V b, V c) {
    const V zero = _mm_setzero_si128();
    return kHigh ? _mm_or_si128(_mm_maddubs_epi16(_mm_unpackhi_epi8(a, b), Words(0x4001)),
                                _mm_slli_epi16(_mm_unpackhi_epi8(zero, c), 4))
                 : _mm_or_si128(_mm_maddubs_epi16(_mm_unpacklo_epi8(a, b), Words(0x4001)),
                                _mm_slli_epi16(_mm_unpacklo_epi8(zero, c), 4));
  }
  // Packs the units of the bytes `ends` flags: `low` holds those of bytes
  // 0-7, `high` of 8-15.
  QX_BLOCK_TARGET static void Put(V low, V high, unsigned ends, char16_t* units,
                                  std::size_t& written) {
    Store(units + written, PackUnits(low, ends & 0xFF));
    written += static_cast<unsigned>(_mm_popcnt_u32(ends & 0xFF));
    Store(units + written, PackUnits(high, ends >> 8 & 0xFF));
    written += static_cast<unsigned>(_mm_popcnt_u32(ends >> 8 & 0xFF));
  }
};

// The same on 32 bytes at a time, whose halves the AVX2 instructions
// treat as two lanes of 16.
struct Lanes32 {
  using V = __m256i;
  static constexpr unsigned kBytes = 32;
  QX_BLOCK_AVX2 static V Load(In p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  }
  template <int kBack>
  QX_BLOCK_AVX2 static V Before(In p, unsigned at, V v) {
    return at == 0 ? _mm256_alignr_epi8(v, _mm256_permute2x128_si256(v, v, 0x08), 16 - kBack)
                   : Load(p + at - kBack);
  }
  QX_BLOCK_AVX2 static V Bytes(char b) { return _mm256_set1_epi8(b); }
  QX_BLOCK_AVX2 static V Continuation(V v) { return Gt(Bytes(-0x40), v); }
  QX_BLOCK_AVX2 static V Words(short w) { return _mm256_set1_epi16(w); }
  QX_BLOCK_AVX2 static V Gt(V a, V b) { return _mm256_cmpgt_epi8(a, b); }
  QX_BLOCK_AVX2 static V Eq(V a, V b) { return _mm256_cmpeq_epi8(a, b); }
  QX_BLOCK_AVX2 static V And(V a, V b) { return _mm256_and_si256(a, b); }
  QX_BLOCK_AVX2 static V AndNot(V a, V b) { return _mm256_andnot_si256(a, b); }
  QX_BLOCK_AVX2 static V Or(V a, V b) { return _mm256_or_si256(a, b); }
  QX_BLOCK_AVX2 static V Blend(V a, V b, V mask) { return _mm256_blendv_epi8(a, b, mask); }
  QX_BLOCK_AVX2 static std::uint64_t Bits(V v) {
    return static_cast<unsigned>(_mm256_movemask_epi8(v));
  }
  template <bool kHigh>
  QX_BLOCK_AVX2 static V Weigh(V a, V b, V c) {
    const V zero = _mm256_setzero_si256();
    return kHigh ? _mm256_or_si256(_mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, b), Words(0x4001)),
                                   _mm256_slli_epi16(_mm256_unpackhi_epi8(zero, c), 4))
                 : _mm256_or_si256(_mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, b), Words(0x4001)),
                                   _mm256_slli_epi16(_mm256_unpacklo_epi8(zero, c), 4));
  }
  // `low` holds the units of bytes 0-7 and 16-23, `high` of 8-15 and
  // 24-31.
  QX_BLOCK_AVX2 static void Put(V low, V high, unsigned ends, char16_t* units,
                                std::size_t& written) {
    Lanes16::Put(_mm256_castsi256_si128(low), _mm256_castsi256_si128(high), ends & 0xFFFF, units,
                 written);
    Lanes16::Put(_mm256_extracti128_si256(low, 1), _mm256_extracti128_si256(high, 1), ends >> 16,
                 units, written);
  }
};

}  // namespace utf8_decode

#define QX_UTF8_LANES Lanes16
#define QX_UTF8_TARGET QX_BLOCK_TARGET
#define QX_UTF8_DECODE DecodeUtf8
#include "jcode/utf8_block_decode.inc"
#undef QX_UTF8_LANES
#undef QX_UTF8_TARGET
#undef QX_UTF8_DECODE

#define QX_UTF8_LANES Lanes32
#define QX_UTF8_TARGET QX_BLOCK_AVX2
#define QX_UTF8_DECODE DecodeUtf8Avx2
#include "jcode/utf8_block_decode.inc"
#undef QX_UTF8_LANES
#undef QX_UTF8_TARGET
#undef QX_UTF8_DECODE

#endif

}  // namespace qx::jcode::block
