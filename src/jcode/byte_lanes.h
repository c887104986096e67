// Bytes tested 16 or 64 at a time, into lane masks and bit masks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Lanes pass between inline functions of one object only, so GCC's note
// that a vector argument or result changes the calling convention of an
// i686 build without SSE concerns no call that exists; it is silenced for
// this header and the file that reads it.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace qx::jcode::byte_lanes {

// Sixteen bytes as a vector (SSE2 where there is one, plain code
// elsewhere), compared lane by lane as signed bytes: 0x80-0xFF are
// negative.
using Lanes = signed char __attribute__((vector_size(16)));
using LaneHalves = std::uint64_t __attribute__((vector_size(16)));
constexpr std::size_t kLaneBytes = sizeof(Lanes);

inline bool AnyLane(Lanes lanes) {
  const LaneHalves halves = reinterpret_cast<LaneHalves>(lanes);
  return (halves[0] | halves[1]) != 0;
}

// The lanes that hold text ASCII (kByteKind kAscii).
inline Lanes IsAsciiText(Lanes a) {
  return ((a > 0x1F) & (a < 0x7F)) | ((a > 0x08) & (a < 0x0E)) | (a == 0x1A) | (a == 0x1B);
}

inline bool AllAsciiText(const unsigned char* p) {
  Lanes a;
  std::memcpy(&a, p, kLaneBytes);
  const LaneHalves halves = reinterpret_cast<LaneHalves>(IsAsciiText(a));
  return (halves[0] & halves[1]) == ~std::uint64_t{0};
}

// Whether lanes are tested on a vector unit, all at once, rather than
// one by one.
#if defined(__SSE2__)
constexpr bool kVectorLanes = true;
#else
constexpr bool kVectorLanes = false;
#endif

// The lanes where a test holds, as bits.
inline std::uint32_t MaskOf(Lanes test) {
#if defined(__SSE2__)
  using Bytes = char __attribute__((vector_size(16)));
  return static_cast<std::uint32_t>(__builtin_ia32_pmovmskb128(reinterpret_cast<Bytes>(test)));
#else
  std::uint32_t mask = 0;
  for (std::size_t i = 0; i < kLaneBytes; ++i)
    mask |= std::uint32_t{test[i] < 0} << i;
  return mask;
#endif
}

// The lanes whose bits are set in the low 16 bits of `bits`, bit i for
// lane i: each half spreads a byte of bits, one bit to each of its bytes.
inline Lanes LanesOf(std::uint32_t bits) {
  constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
  constexpr std::uint64_t kBitOfByte = 0x8040201008040201u;
  const LaneHalves spread = {(bits & 0xFFu) * kEveryByte & kBitOfByte,
                             (bits >> 8 & 0xFFu) * kEveryByte & kBitOfByte};
  return reinterpret_cast<Lanes>(spread) != 0;
}

// The sum of the lanes, read as bytes 0-255.
inline std::uint64_t SumLanes(Lanes lanes) {
#if defined(__SSE2__)
  using Bytes = char __attribute__((vector_size(16)));
  const LaneHalves sums = reinterpret_cast<LaneHalves>(
      __builtin_ia32_psadbw128(reinterpret_cast<Bytes>(lanes), Bytes{}));
  return sums[0] + sums[1];
#else
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < kLaneBytes; ++i)
    sum += static_cast<unsigned char>(lanes[i]);
  return sum;
#endif
}

// A byte as a lane compares it: 0x80-0xFF are negative, in order.
constexpr signed char LaneByte(unsigned char c) {
  return static_cast<signed char>(c);
}

// 64 bytes, tested lane by lane into 64-bit masks: bit i for byte i.
class Chunk {
 public:
  static constexpr std::size_t kBytes = 4 * kLaneBytes;

  explicit Chunk(const unsigned char* p) { std::memcpy(lanes_, p, kBytes); }

  // Bytes i * 16 to i * 16 + 15.
  Lanes operator[](std::size_t i) const { return lanes_[i]; }

  // Whether a test holds in any lane.
  template <class Test>
  bool Any(Test test) const {
    Lanes any{};
    for (const Lanes& lanes : lanes_)
      any |= test(lanes);
    return AnyLane(any);
  }

  // The lanes where a test holds, or whose sign bit it sets.
  template <class Test>
  std::uint64_t Mask(Test test) const {
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < 4; ++i)
      mask |= std::uint64_t{MaskOf(test(lanes_[i]))} << (i * kLaneBytes);
    return mask;
  }

 private:
  Lanes lanes_[4];
};

constexpr std::uint64_t kEvenBits = 0x5555555555555555u;
constexpr std::uint64_t kOddBits = ~kEvenBits;

// Shift_JIS lead bytes, 0x81-0x9F and 0xE0-0xFC.
inline Lanes SjisLeads(Lanes a) {
  return ((a >= LaneByte(0x81)) & (a <= LaneByte(0x9F))) |
         ((a >= LaneByte(0xE0)) & (a <= LaneByte(0xFC)));
}

// Which of the bytes that may begin a pair of a double-byte encoding
// (`leads`, a bit per byte) do, in bytes that begin at a character: lead
// bytes can also be second bytes, so in a run of them the pairs begin at
// the run's even distances. Adding a run's first bit to the run carries
// through it, which clears the runs that begin at an even bit.
inline std::uint64_t PairStarts(std::uint64_t leads) {
  const std::uint64_t firsts = leads & ~(leads << 1);
  const std::uint64_t evenRuns = leads & ~(leads + (firsts & kEvenBits));
  return (evenRuns & kEvenBits) | (leads & ~evenRuns & kOddBits);
}

}  // namespace qx::jcode::byte_lanes
