// Runs of ASCII between encodings that pass it through: sixteen units at
// a time as vectors, byte units or UTF-16 units in either byte order on
// either side (the layouts of text_codecs.h), widened or narrowed on the
// way.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace qx::jcode::ascii_run {

using In = const unsigned char*;
using Out = unsigned char*;

inline constexpr unsigned kUnits = 16;

// Vectors where the machine has them and lanes sit in memory order (SSE2,
// every x86-64). Elsewhere, as in the i686 DLL, the compiler would split
// them into byte operations that cost more code than they save: one unit
// at a time there.
#if defined(__SSE2__) || defined(__ARM_NEON)
inline constexpr bool kVectors = std::endian::native == std::endian::little;
#else
inline constexpr bool kVectors = false;
#endif

// The ASCII units that end a run besides the non-ASCII ones (CR and LF
// when line ends are rewritten, the escape byte where JIS is read or
// written); `any` says whether there are any.
struct Stops {
  bool any;
  std::uint16_t unit[3];
  bool Plain(char32_t u) const {
    return u < 0x80 && !(any && (u == unit[0] || u == unit[1] || u == unit[2]));
  }
};

namespace detail {

using Bytes = std::uint8_t __attribute__((vector_size(16)));
using SignedBytes = signed char __attribute__((vector_size(16)));
using Units = std::uint16_t __attribute__((vector_size(16)));
using Halves = std::uint64_t __attribute__((vector_size(16)));

// Vectors go by reference: where SSE is not enabled (the i686 DLL), a
// vector passed by value would have an ABI of its own.
template <class V>
inline void Load(V& v, In p) {
  std::memcpy(&v, p, sizeof v);
}

inline void Swap(Units& v) {
  v = v << 8 | v >> 8;
}

// The lanes of a 16-byte vector flagged with all bits, as a run of the
// lanes before the first flag (lanes of kLaneBits), at most all of them.
template <unsigned kLaneBits, class V>
inline unsigned Unflagged(const V& flags) {
  const Halves halves = reinterpret_cast<Halves>(flags);
  if (halves[0] != 0) return std::countr_zero(halves[0]) / kLaneBits;
  if (halves[1] != 0) return (64 + std::countr_zero(halves[1])) / kLaneBits;
  return 128 / kLaneBits;
}

template <class Lane, class Flags, class Lanes>
inline void AddStops(Flags& flags, const Lanes& lanes, const Stops& stops) {
  if (stops.any) {
    flags |= reinterpret_cast<Flags>((lanes == static_cast<Lane>(stops.unit[0])) |
                                     (lanes == static_cast<Lane>(stops.unit[1])) |
                                     (lanes == static_cast<Lane>(stops.unit[2])));
  }
}

// How many of the sixteen units at p are plain ASCII before the first
// that is not (little-endian machines: lanes in memory order).
template <class Src>
inline unsigned PlainRun(In p, const Stops& stops) {
  if constexpr (Src::kUnitBytes == 1) {
    SignedBytes bytes;
    Load(bytes, p);
    SignedBytes flags = bytes < 0;
    AddStops<signed char>(flags, bytes, stops);
    return Unflagged<8>(flags);
  } else {
    unsigned run = 0;
    for (unsigned half = 0; half < 2; ++half) {
      Units units;
      Load(units, p + 16 * half);
      if constexpr (Src::kBigEndian) Swap(units);
      Units flags = reinterpret_cast<Units>((units & 0xFF80) != 0);
      AddStops<std::uint16_t>(flags, units, stops);
      const unsigned part = Unflagged<16>(flags);
      run += part;
      if (part < 8) break;
    }
    return run;
  }
}

// Copies sixteen units from p to out, changing their width and byte order
// where the two sides differ.
template <class Src, class Dst>
inline void CopyUnits(In p, Out out) {
  if constexpr (Src::kUnitBytes == Dst::kUnitBytes) {
    if constexpr (Src::kBigEndian == Dst::kBigEndian) {
      std::memcpy(out, p, kUnits * Src::kUnitBytes);
    } else {
      for (unsigned half = 0; half < 2; ++half) {
        Units units;
        Load(units, p + 16 * half);
        Swap(units);
        std::memcpy(out + 16 * half, &units, sizeof units);
      }
    }
  } else if constexpr (Src::kUnitBytes == 1) {
    Bytes bytes;
    Load(bytes, p);
    const Bytes zero{};
    // Interleaved with zero bytes: before each byte for big-endian units.
    const Bytes low = Dst::kBigEndian ? __builtin_shufflevector(zero, bytes, 0, 16, 1, 17, 2, 18, 3,
                                                                19, 4, 20, 5, 21, 6, 22, 7, 23)
                                      : __builtin_shufflevector(bytes, zero, 0, 16, 1, 17, 2, 18, 3,
                                                                19, 4, 20, 5, 21, 6, 22, 7, 23);
    const Bytes high = Dst::kBigEndian
                           ? __builtin_shufflevector(zero, bytes, 8, 24, 9, 25, 10, 26, 11, 27, 12,
                                                     28, 13, 29, 14, 30, 15, 31)
                           : __builtin_shufflevector(bytes, zero, 8, 24, 9, 25, 10, 26, 11, 27, 12,
                                                     28, 13, 29, 14, 30, 15, 31);
    std::memcpy(out, &low, sizeof low);
    std::memcpy(out + 16, &high, sizeof high);
  } else {
    // The low byte of each unit: the first of little-endian units.
    Bytes a, b;
    Load(a, p);
    Load(b, p + 16);
    const Bytes bytes = Src::kBigEndian ? __builtin_shufflevector(a, b, 1, 3, 5, 7, 9, 11, 13, 15,
                                                                  17, 19, 21, 23, 25, 27, 29, 31)
                                        : __builtin_shufflevector(a, b, 0, 2, 4, 6, 8, 10, 12, 14,
                                                                  16, 18, 20, 22, 24, 26, 28, 30);
    std::memcpy(out, &bytes, sizeof bytes);
  }
}

}  // namespace detail

// Copies the plain ASCII units at p, up to sixteen, and returns how many.
// p must hold sixteen units and out must have room for sixteen: all may be
// copied, and the caller moves on by the run within them.
template <class Src, class Dst>
inline unsigned Copy(In p, Out out, const Stops& stops) {
  if constexpr (kVectors) {
    detail::CopyUnits<Src, Dst>(p, out);
    return detail::PlainRun<Src>(p, stops);
  } else {
    const char32_t u = Src::LoadUnit(p);
    if (!stops.Plain(u)) return 0;
    Dst::StoreUnit(u, out);
    return 1;
  }
}

}  // namespace qx::jcode::ascii_run
