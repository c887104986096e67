// Block codecs: the conversion's fast path, a block of characters at a
// time through UTF-16 units, with SSE4.2 on x86-64 machines that have it.
// Shift_JIS and EUC-JP also have block converters straight to UTF-8
// (dbcs_block_decode.h), which skip the units.
//
// A block decoder reads the characters that lie wholly within the first
// kBlock bytes at p, in order, and stops before the first that is not
// plain (one its scalar twin in text_codecs.h would call malformed, one
// outside the BMP, a surrogate) or sooner: any character may be left to
// the scalar codecs. It writes a UTF-16 unit per character (0 for NUL)
// and returns the bytes it read:
//
//   std::size_t Decode(In p, char16_t* units, std::size_t& count);
//
// p holds kBlock + kReadSlack readable bytes; units has room for kUnitRoom
// units, all of which it may write. 0 says the first character is not
// plain.
//
// A block encoder writes `count` such units (BMP, no surrogates) and moves
// `out` past them, or, when one has no code in the target, returns false
// and leaves `out` alone:
//
//   bool Encode(const char16_t* units, std::size_t count, Out& out);
//
// units holds the `count` units and zeros after them up to a multiple of
// eight, which an encoder may take for NULs and step back over; out has
// room for count times the encoder's kMaxBytes plus kWriteSlack, all of
// which it may write.
//
// Neither keeps state between blocks, so a block either converts whole or
// is left to the scalar codecs, which write what they always write.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#if defined(__x86_64__)
#include <immintrin.h>
#define QX_BLOCK_CODECS 1
// On the functions of the fast path: the rest of the library assumes no
// more than SSE2, and the fast path runs only where BlockTier() says.
#define QX_BLOCK_TARGET __attribute__((target("sse4.2,popcnt")))
// On the callers that run the same kernels as the AVX2 tier.
#define QX_BLOCK_AVX2 __attribute__((target("avx2,bmi,bmi2,popcnt")))
#else
#define QX_BLOCK_CODECS 0
#define QX_BLOCK_TARGET
#define QX_BLOCK_AVX2
#endif

namespace qx::jcode::block {

using In = const unsigned char*;
using Out = unsigned char*;

inline constexpr std::size_t kBlock = 64;
inline constexpr std::size_t kReadSlack = 16;
inline constexpr std::size_t kUnitRoom = kBlock + 16;
inline constexpr std::size_t kWriteSlack = 32;

// The instruction sets the fast path runs with, narrowest first. Its
// kernels are written once, for SSE4.2. The AVX2 tier inlines the same
// kernels into callers marked QX_BLOCK_AVX2, where the compiler gives them
// three-operand forms and no register copies (2-7% faster), and runs the
// UTF-8 decoder 32 bytes at a time (utf8_block_decode.h).
enum class Tier { kNone, kSse42, kAvx2 };

inline std::atomic<Tier> g_widestTier{Tier::kAvx2};

// Test-only: keeps conversions on tiers no wider than `widest`, so that a
// machine with AVX2 runs the SSE4.2 tier and the scalar path too.
inline void LimitBlockTier(Tier widest) noexcept {
  g_widestTier.store(widest, std::memory_order_relaxed);
}

// The widest tier this machine runs, within that limit.
inline Tier BlockTier() noexcept {
#if QX_BLOCK_CODECS
  static const Tier machine = [] {
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("sse4.2") || !__builtin_cpu_supports("popcnt")) return Tier::kNone;
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
                   __builtin_cpu_supports("bmi2")
               ? Tier::kAvx2
               : Tier::kSse42;
  }();
  return std::min(machine, g_widestTier.load(std::memory_order_relaxed));
#else
  return Tier::kNone;
#endif
}

#if QX_BLOCK_CODECS

// Shuffles that move the 16-bit lanes an 8-bit mask flags to the front,
// in order.
inline constexpr auto kPackUnits = [] {
  std::array<std::array<unsigned char, 16>, 256> shuffles{};
  for (unsigned mask = 0; mask < 256; ++mask) {
    unsigned next = 0;
    for (unsigned lane = 0; lane < 8; ++lane) {
      if ((mask >> lane & 1) == 0) continue;
      shuffles[mask][next++] = static_cast<unsigned char>(2 * lane);
      shuffles[mask][next++] = static_cast<unsigned char>(2 * lane + 1);
    }
    while (next < 16)
      shuffles[mask][next++] = 0x80;
  }
  return shuffles;
}();

QX_BLOCK_TARGET inline __m128i PackUnits(__m128i v, unsigned mask) {
  return _mm_shuffle_epi8(
      v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kPackUnits[mask].data())));
}

QX_BLOCK_TARGET inline __m128i Load(const void* p) {
  return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

QX_BLOCK_TARGET inline void Store(void* p, __m128i v) {
  _mm_storeu_si128(static_cast<__m128i*>(p), v);
}

// The entries of `table` at eight keys, in the lanes of a vector: a load
// and an insert each. Stored one by one and read back as a vector instead,
// they would wait for the stores to land.
template <class Entry>
QX_BLOCK_TARGET inline __m128i Gather(const Entry* table, const char16_t* keys) {
  __m128i v = _mm_cvtsi32_si128(table[keys[0]]);
  v = _mm_insert_epi16(v, table[keys[1]], 1);
  v = _mm_insert_epi16(v, table[keys[2]], 2);
  v = _mm_insert_epi16(v, table[keys[3]], 3);
  v = _mm_insert_epi16(v, table[keys[4]], 4);
  v = _mm_insert_epi16(v, table[keys[5]], 5);
  v = _mm_insert_epi16(v, table[keys[6]], 6);
  return _mm_insert_epi16(v, table[keys[7]], 7);
}

// Clears the eight units after `count`, which encoders may read.
QX_BLOCK_TARGET inline void ClearAfter(char16_t* units, std::size_t count) {
  Store(units + count, _mm_setzero_si128());
}

QX_BLOCK_TARGET inline bool AllAscii(In p) {
  const __m128i any =
      _mm_or_si128(_mm_or_si128(Load(p), Load(p + 16)), _mm_or_si128(Load(p + 32), Load(p + 48)));
  return _mm_movemask_epi8(any) == 0;
}

// The units of a block of ASCII bytes.
QX_BLOCK_TARGET inline void WidenAscii(In p, char16_t* units) {
  const __m128i zero = _mm_setzero_si128();
  for (unsigned i = 0; i < kBlock; i += 16) {
    const __m128i v = Load(p + i);
    Store(units + i, _mm_unpacklo_epi8(v, zero));
    Store(units + i + 8, _mm_unpackhi_epi8(v, zero));
  }
}

#endif

}  // namespace qx::jcode::block
