// Detection walks the text once with two pairing flags: S while the current
// byte is the second byte of a Shift_JIS pair, E the same for EUC-JP. For
// each byte, in this order: an escape means JIS; a byte whose class holds
// only Shift_JIS bits (0x81-0x8D, 0x8F-0x9F, 0xA0) means Shift_JIS; an
// EUC-only byte (0xFD, 0xFE) means EUC-JP; a pure control byte means not
// text. Then the byte may open a pair, and a next byte that cannot close
// it rules that encoding out. A text in which nothing decides is Shift_JIS.
//
// Long runs of ASCII decide nothing and open nothing, so while no pair is
// open they are skipped 32 bytes at a time.
#include "jcode/detect.h"

#include <cstddef>
#include <cstdint>

#include "jcode/byte_lanes.h"
#include "jcode/char_class.h"
#include "jcode/iso2022_jp.h"

namespace qx::jcode {
namespace {

// A first byte in 0xA1-0xDF enters without its JC_KANA bit; that class
// (JC_SJIS2 | JC_EUC1 | JC_EUC2) belongs to no other byte, and means EUC-JP.
constexpr std::uint16_t kKanaFirst = JC_SJIS2 | JC_EUC1 | JC_EUC2;
constexpr std::uint16_t kSjisOnlyBits = JC_SJIS1 | JC_SJIS2;
constexpr std::uint16_t kEucOnly = JC_EUC1 | JC_EUC2;

// Bytes that, with no pair open, neither decide nor open a pair: tab to
// carriage return, 0x1A and the printable ASCII range.
constexpr bool IsNeutralClass(std::uint16_t c) {
  return c != 0 && (c & JC_ESCAPE) == 0 && (c & ~kSjisOnlyBits) != 0 && c != kEucOnly &&
         c != JC_CONTROL && (c & (JC_SJIS1 | JC_EUC1)) == 0;
}

constexpr auto kNeutral = [] {
  std::array<bool, 256> table{};
  for (unsigned c = 0; c < 256; ++c)
    table[c] = IsNeutralClass(kCharClass[c]);
  return table;
}();

using byte_lanes::kLaneBytes;
using byte_lanes::LaneHalves;
using byte_lanes::Lanes;
// Lanes read in place from an aligned block.
using AliasedLanes __attribute__((may_alias, aligned(16))) = Lanes;

constexpr std::size_t kStepBytes = 2 * kLaneBytes;

// Whether all 32 bytes at p are neutral. p is 32-aligned, so the block
// never straddles a page: the loads may run past the terminator, but not
// into a page that may be unmapped. The address sanitizer would still
// call that an overflow, so this function is kept out of its view.
__attribute__((no_sanitize_address)) bool AllNeutral32(const unsigned char* p) {
  const Lanes a = *reinterpret_cast<const AliasedLanes*>(p);
  const Lanes b = *reinterpret_cast<const AliasedLanes*>(p + kLaneBytes);
  // Text ASCII but the escape byte; 0x80-0xFF are negative lanes and
  // never text.
  const Lanes neutralA = byte_lanes::IsAsciiText(a) & (a != byte_lanes::LaneByte(kEsc));
  const Lanes neutralB = byte_lanes::IsAsciiText(b) & (b != byte_lanes::LaneByte(kEsc));
  const LaneHalves both = reinterpret_cast<LaneHalves>(neutralA & neutralB);
  return (both[0] & both[1]) == ~std::uint64_t{0};
}

// The first byte at or after p that is not neutral (the terminator
// included).
const unsigned char* SkipNeutral(const unsigned char* p) {
  while (reinterpret_cast<std::uintptr_t>(p) % kStepBytes != 0) {
    if (!kNeutral[*p]) return p;
    ++p;
  }
  while (AllNeutral32(p))
    p += kStepBytes;
  while (kNeutral[*p])
    ++p;
  return p;
}

}  // namespace

int JudgeCodeType(const unsigned char* p) noexcept {
  if ((kCharClass[*p] & ~JC_KANA) == kKanaFirst) return QXJCODE_EUC;
  bool sjisSecond = false;
  bool eucSecond = false;
  for (;;) {
    if (!sjisSecond && !eucSecond) p = SkipNeutral(p);
    const std::uint16_t c = kCharClass[*p];
    // Only the terminator has class 0, and an open pair never stands on it.
    if (c == 0) return QXJCODE_SJIS;
    if ((c & JC_ESCAPE) != 0) return QXJCODE_JIS;
    if ((c & ~kSjisOnlyBits) == 0) return QXJCODE_SJIS;
    if (c == kEucOnly) return QXJCODE_EUC;
    if (c == JC_CONTROL) return QXJCODE_NOTTEXT;
    const std::uint16_t n = kCharClass[p[1]];
    if (sjisSecond) {
      sjisSecond = false;
    } else if ((c & JC_SJIS1) != 0) {
      sjisSecond = true;
      if ((n & JC_SJIS2) == 0) return QXJCODE_EUC;
    }
    if (eucSecond) {
      eucSecond = false;
    } else if ((c & JC_EUC1) != 0) {
      eucSecond = true;
      if ((n & JC_EUC2) == 0) return QXJCODE_SJIS;
    }
    if (n == 0) return QXJCODE_SJIS;
    ++p;
  }
}

}  // namespace qx::jcode
