// Whole-buffer detection. The quick decisions come first: a byte order
// mark; text of ASCII bytes only, which is ASCII, or JIS when it holds an
// ISO-2022-JP escape sequence. Everything else is read as Shift_JIS,
// EUC-JP, UTF-8 and UTF-16 in both byte orders, and each reading is
// weighed as Japanese text: every character it yields costs -log2 of its
// probability in a simple model of Japanese text (see kCost), and the
// cheapest reading wins. A reading that yields kana where another yields
// half-width katakana pairs or broken sequences is cheaper by several bits
// per character, so the evidence of the whole text decides, not the first
// byte that rules an encoding out.
//
// The text is read in blocks; a reading that falls more than kPruneMargin
// bits behind the best after a block cannot catch up on any real text and
// is dropped, so on a long text only the winning reading runs to the end.
// UTF-8 is only a candidate while the bytes are valid UTF-8.
//
// Binary data: whichever reading wins, the data is not text when that
// reading holds a NUL, or when more than one byte in 16 belongs to a
// control character (other than tab, line feed, vertical tab, form feed,
// carriage return, 0x1A and escape), an invalid sequence or a code no text
// uses (unassigned rows, user-defined and private-use codes).
//
// A last character cut short costs nothing in any reading, so cutting a
// text anywhere does not change its verdict.
#include "jcode/judge_text.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "jcode/byte_lanes.h"
#include "jcode/char_class.h"
#include "jcode/iso2022_jp.h"
#include "jcode/sjis.h"
#include "jcode/text_model.h"

namespace qx::jcode {
namespace {

using namespace text_model;
using namespace byte_lanes;

// A block's tally in one word, one add per character: cost in bits 0-23,
// bad characters in bits 24-43, NULs in bits 44-63. A block of kBlock
// bytes cannot overflow a field.
constexpr std::size_t kBlock = std::size_t{1} << 16;
constexpr int kBadShift = 24;
constexpr int kNulShift = 44;
constexpr std::uint64_t kFieldMask = (std::uint64_t{1} << 20) - 1;
static_assert(kCost[kInvalid] * kBlock < (std::uint64_t{1} << kBadShift));

constexpr auto kPacked = [] {
  std::array<std::uint64_t, kKinds> packed{};
  for (unsigned k = 0; k < kKinds; ++k) {
    packed[k] = kCost[k] | (std::uint64_t{IsBad(Kind(k))} << kBadShift) |
                (std::uint64_t{k == kNul} << kNulShift);
  }
  return packed;
}();

// The cost of a kind in a lane. AddKnown adds up four vectors of costs in
// bytes, so the kinds that it weighs cost less than 64 bits.
template <Kind kKind>
constexpr signed char LaneCost() {
  static_assert(kPacked[kKind] < 64);
  return static_cast<signed char>(kPacked[kKind]);
}

// How far behind the best, in bits, a reading may fall and still run on.
constexpr std::uint64_t kPruneMargin = 1024;

// What a byte of random data costs: a reading that costs more than this
// explains the data worse than noise does.
constexpr std::uint64_t kRandomByteCost = 8;

// One candidate reading of the text.
struct Reading {
  int code = QXJCODE_NOTTEXT;
  std::size_t pos = 0;  // where the next character starts
  std::uint64_t cost = 0;
  std::uint64_t bad = 0;
  std::uint64_t nuls = 0;
  bool alive = true;
  bool multibyte = false;  // UTF-8: a character of two bytes or more

  void AddBlock(std::uint64_t packed) {
    cost += packed & ((std::uint64_t{1} << kBadShift) - 1);
    bad += (packed >> kBadShift) & kFieldMask;
    nuls += packed >> kNulShift;
  }
};

// A reader's tally of one block, kept in a register.
struct Tally {
  std::uint64_t packed = 0;
  void Add(Kind kind) { packed += kPacked[kind]; }

  // Weighs the bytes of a chunk in `single`, which stand alone: text
  // ASCII, NULs, controls, and bytes of 0x80 or more, which are invalid
  // unless `kana` says that 0xA1-0xDF are half-width katakana.
  void AddSingles(const Chunk& chunk, std::uint64_t single, bool kana) {
    if (single == 0) return;
    const std::uint64_t text = chunk.Mask([](Lanes a) { return IsAsciiText(a); });
    packed += std::popcount(single & text) * kPacked[kAscii];
    const std::uint64_t rest = single & ~text;
    if (rest == 0) return;
    const std::uint64_t high = chunk.Mask([](Lanes a) { return a < 0; });
    const std::uint64_t nul = chunk.Mask([](Lanes a) { return a == 0; });
    const std::uint64_t own =
        kana ? chunk.Mask([](Lanes a) { return (a >= LaneByte(0xA1)) & (a <= LaneByte(0xDF)); })
             : 0;
    packed += std::popcount(rest & nul) * kPacked[kNul];
    packed += std::popcount(rest & ~high & ~nul) * kPacked[kControl];
    packed += std::popcount(rest & own) * kPacked[kHalfKana];
    packed += std::popcount(rest & high & ~own) * kPacked[kInvalid];
  }

  // Weighs the common characters of a chunk in its lanes: weigh(i) yields
  // the cost of the character that starts in each lane of bytes i * 16 to
  // i * 16 + 15, or 0 where it knows none. Returns the mask of the lanes
  // it weighed. Without a vector unit, where weighing lane by lane costs
  // more than it saves, it weighs none.
  template <class Weigh>
  std::uint64_t AddKnown(Weigh weigh) {
    if constexpr (!kVectorLanes) {
      return 0;
    } else {
      Lanes sum{};
      std::uint64_t known = 0;
      for (std::size_t i = 0; i < 4; ++i) {
        const Lanes cost = weigh(i);
        sum += cost;
        known |= std::uint64_t{MaskOf(cost != 0)} << (i * kLaneBytes);
      }
      packed += SumLanes(sum);
      return known;
    }
  }

  // Weighs the byte below 0x80 at d[p] and the text ASCII after it, 16
  // at a time, up to `end`; returns where it stopped.
  std::size_t AddAscii(const unsigned char* d, std::size_t p, std::size_t end) {
    Add(kByteKind[d[p]]);
    const std::size_t from = ++p;
    while (end - p >= kLaneBytes && AllAsciiText(d + p))
      p += kLaneBytes;
    packed += (p - from) * kPacked[kAscii];
    return p;
  }
};

// The cost of the common Shift_JIS pair that starts in each lane (a, with
// b its second byte): rows 1-4 (punctuation, symbols, hiragana), the
// katakana of row 5 and the kanji of rows 16-84; 0 for any other.
Lanes SjisPairCost(Lanes a, Lanes b) {
  const Lanes even = (b < 0) & (b >= LaneByte(sjis_detail::kEvenRowTrail));
  const Lanes odd = ~even;
  const Lanes lead81 = a == LaneByte(0x81), lead82 = a == LaneByte(0x82);
  const Lanes kanji1 = ((a >= LaneByte(0x89)) & (a <= LaneByte(0x97))) |
                       ((a == LaneByte(0x88)) & even) | ((a == LaneByte(0x98)) & odd);
  const Lanes kanji2 = ((a >= LaneByte(0x99)) & (a <= LaneByte(0x9F))) |
                       ((a >= LaneByte(0xE0)) & (a <= LaneByte(0xEA))) |
                       ((a == LaneByte(0x98)) & even);
  return (lead81 & odd & LaneCost<kPunct>()) |
         (((lead81 & even) | (lead82 & odd)) & LaneCost<kSymbol>()) |
         (lead82 & even & LaneCost<kHiragana>()) |
         ((a == LaneByte(0x83)) & odd & LaneCost<kKatakana>()) | (kanji1 & LaneCost<kKanji1>()) |
         (kanji2 & LaneCost<kKanji2>());
}

// Whether the pairs of lead bytes from..to are all of one kind, for a
// second byte below 0x9F (odd rows) or from it (even rows).
constexpr bool IsPairKindOf(unsigned from, unsigned to, bool even, Kind kind) {
  for (unsigned lead = from; lead <= to; ++lead) {
    if (kSjisPairKind[lead][even] != kind) return false;
  }
  return true;
}
static_assert(IsPairKindOf(0x81, 0x81, false, kPunct) && IsPairKindOf(0x81, 0x81, true, kSymbol) &&
              IsPairKindOf(0x82, 0x82, false, kSymbol) &&
              IsPairKindOf(0x82, 0x82, true, kHiragana) &&
              IsPairKindOf(0x83, 0x83, false, kKatakana) &&
              IsPairKindOf(0x88, 0x97, true, kKanji1) && IsPairKindOf(0x89, 0x98, false, kKanji1) &&
              IsPairKindOf(0x98, 0x9F, true, kKanji2) && IsPairKindOf(0x99, 0x9F, false, kKanji2) &&
              IsPairKindOf(0xE0, 0xEA, false, kKanji2) && IsPairKindOf(0xE0, 0xEA, true, kKanji2));

// The cost of the byte that stands alone in each lane of Shift_JIS when
// it is text ASCII or half-width katakana; 0 for any other.
Lanes SjisSingleCost(Lanes a) {
  const Lanes kana = (a >= LaneByte(0xA1)) & (a <= LaneByte(0xDF));
  return (IsAsciiText(a) & LaneCost<kAscii>()) | (kana & LaneCost<kHalfKana>());
}

// Reads the 64 bytes at p as Shift_JIS, all at once: returns the bytes
// taken, 65 when the last pair ends on the byte after them. The common
// characters are weighed in lanes, the other pairs one by one.
std::size_t SjisChunk(const unsigned char* p, Tally& t) {
  const Chunk chunk(p), second(p + 1);
  const std::uint64_t trail =
      chunk.Mask([](Lanes a) { return ((a >= 0x40) & (a != 0x7F)) | (a <= -4); });
  const std::uint64_t leads = PairStarts(chunk.Mask(SjisLeads));
  const std::uint64_t pairs = leads & (trail >> 1 | std::uint64_t{IsSjisTrail(p[64])} << 63);
  const std::uint64_t seconds = pairs << 1;
  // Lead bytes are never ASCII or half-width katakana, so those stand
  // alone where they are not second bytes.
  const std::uint64_t known = t.AddKnown([&](std::size_t i) {
    const int at = static_cast<int>(i * kLaneBytes);
    const Lanes pair = LanesOf(static_cast<std::uint32_t>(pairs >> at));
    const Lanes alone = ~LanesOf(static_cast<std::uint32_t>(seconds >> at));
    return (pair & SjisPairCost(chunk[i], second[i])) | (alone & SjisSingleCost(chunk[i]));
  });
  t.AddSingles(chunk, ~(leads | seconds | known), true);
  if (const std::uint64_t lone = leads & ~pairs; lone != 0)
    t.packed += std::popcount(lone) * kPacked[kInvalid];
  for (std::uint64_t rest = pairs & ~known; rest != 0; rest &= rest - 1) {
    const unsigned char* pair = p + std::countr_zero(rest);
    t.Add(kSjisPairKind[pair[0]][pair[1] >= sjis_detail::kEvenRowTrail]);
  }
  return Chunk::kBytes + (pairs >> 63);
}

// Each reader takes the characters that start before `end`, the last of
// them reading on up to `size`; a character cut short by `size` ends the
// reading at no cost.
void ReadSjis(const unsigned char* d, std::size_t size, std::size_t end, Reading& r) {
  Tally t;
  std::size_t p = r.pos;
  while (end - p > Chunk::kBytes)
    p += SjisChunk(d + p, t);
  while (p < end) {
    const unsigned char c = d[p];
    if (c < 0x80) {
      p = t.AddAscii(d, p, end);
    } else if ((kCharClass[c] & JC_KANA) != 0) {
      t.Add(kHalfKana);
      ++p;
    } else if (!IsSjisLead(c)) {
      t.Add(kInvalid);
      ++p;
    } else if (p + 1 == size) {
      p = size;
    } else if (IsSjisTrail(d[p + 1])) {
      t.Add(kSjisPairKind[c][d[p + 1] >= sjis_detail::kEvenRowTrail]);
      p += 2;
    } else {
      t.Add(kInvalid);
      ++p;
    }
  }
  r.pos = p;
  r.AddBlock(t.packed);
}

// How many of the `n` bytes at p are EUC-JP second bytes 0xA1-0xFE.
std::size_t EucTrail(const unsigned char* p, std::size_t n) {
  std::size_t i = 0;
  while (i < n && (kCharClass[p[i]] & JC_EUC2) != 0)
    ++i;
  return i;
}

// The kind of the EUC-JP pair that starts with c, 0xA1-0xFE: row c - 0xA0.
constexpr Kind EucPairKind(unsigned char c) {
  return RowKind(c - 0xA0u);
}

// Reads the character at d[p] as EUC-JP (or the text ASCII after it, up
// to `end`); returns where the next one starts.
std::size_t EucChar(const unsigned char* d, std::size_t size, std::size_t p, std::size_t end,
                    Tally& t) {
  constexpr unsigned char kSs2 = 0x8E, kSs3 = 0x8F;
  const unsigned char c = d[p];
  if (c < 0x80) return t.AddAscii(d, p, end);
  // The bytes after c that the character needs, and its kind.
  const std::size_t need = c == kSs3 ? 2 : 1;
  Kind kind = kInvalid;
  if (c == kSs2) kind = kHalfKana;
  if (c == kSs3) kind = kForeign;
  if ((kCharClass[c] & JC_EUC2) != 0) kind = EucPairKind(c);
  const std::size_t have = size - p - 1 < need ? size - p - 1 : need;
  const std::size_t trail = kind == kInvalid ? 0 : EucTrail(d + p + 1, have);
  if (trail == need && (c != kSs2 || (kCharClass[d[p + 1]] & JC_KANA) != 0)) {
    t.Add(kind);
    return p + need + 1;
  }
  if (kind != kInvalid && have < need && trail == have) return size;
  t.Add(kInvalid);
  return p + 1;
}

// The cost of the common EUC-JP pair that starts in each lane: rows 1-5
// (punctuation, symbols, hiragana, katakana) and the kanji of rows 16-84;
// 0 for any other.
Lanes EucPairCost(Lanes a) {
  const Lanes symbol = (a >= LaneByte(0xA2)) & (a <= LaneByte(0xA3));
  const Lanes kanji1 = (a >= LaneByte(0xB0)) & (a <= LaneByte(0xCF));
  const Lanes kanji2 = (a >= LaneByte(0xD0)) & (a <= LaneByte(0xF4));
  return ((a == LaneByte(0xA1)) & LaneCost<kPunct>()) | (symbol & LaneCost<kSymbol>()) |
         ((a == LaneByte(0xA4)) & LaneCost<kHiragana>()) |
         ((a == LaneByte(0xA5)) & LaneCost<kKatakana>()) | (kanji1 & LaneCost<kKanji1>()) |
         (kanji2 & LaneCost<kKanji2>());
}

// Whether the pairs with first bytes from..to are all of one kind.
constexpr bool IsEucKindOf(unsigned char from, unsigned char to, Kind kind) {
  for (unsigned c = from; c <= to; ++c) {
    if (EucPairKind(static_cast<unsigned char>(c)) != kind) return false;
  }
  return true;
}
static_assert(IsEucKindOf(0xA1, 0xA1, kPunct) && IsEucKindOf(0xA2, 0xA3, kSymbol) &&
              IsEucKindOf(0xA4, 0xA4, kHiragana) && IsEucKindOf(0xA5, 0xA5, kKatakana) &&
              IsEucKindOf(0xB0, 0xCF, kKanji1) && IsEucKindOf(0xD0, 0xF4, kKanji2));

// Reads the 64 bytes at p as EUC-JP, all at once, when none of them is a
// single shift (0x8E, 0x8F): returns the bytes taken, 65 when the last
// pair ends on the byte after them, or 0 for a chunk with a single shift.
// Every byte 0xA1-0xFE can start a pair (PairStarts); a run of odd length
// ends on a byte that is invalid. The common pairs are weighed in lanes,
// the others one by one.
std::size_t EucChunk(const unsigned char* p, Tally& t) {
  const Chunk chunk(p);
  const std::uint64_t high = chunk.Mask([](Lanes a) { return a < 0; });
  const std::uint64_t shift =
      chunk.Mask([](Lanes a) { return (a == LaneByte(0x8E)) | (a == LaneByte(0x8F)); });
  if (shift != 0) return 0;
  const std::uint64_t euc =
      chunk.Mask([](Lanes a) { return (a >= LaneByte(0xA1)) & (a <= LaneByte(0xFE)); });
  const std::uint64_t leads = PairStarts(euc);
  const bool nextEuc = (kCharClass[p[64]] & JC_EUC2) != 0;
  const std::uint64_t pairs = leads & (euc >> 1 | std::uint64_t{nextEuc} << 63);
  // ASCII bytes are never second bytes here.
  const std::uint64_t known = t.AddKnown([&](std::size_t i) {
    const int at = static_cast<int>(i * kLaneBytes);
    const Lanes pair = LanesOf(static_cast<std::uint32_t>(pairs >> at));
    return (pair & EucPairCost(chunk[i])) | (IsAsciiText(chunk[i]) & LaneCost<kAscii>());
  });
  // What stands alone: ASCII, 0x80-0xA0, 0xFF, and a run's odd last byte.
  t.AddSingles(chunk, (~high & ~known) | (high & ~euc) | (leads & ~pairs), false);
  for (std::uint64_t rest = pairs & ~known; rest != 0; rest &= rest - 1)
    t.Add(EucPairKind(p[std::countr_zero(rest)]));
  return Chunk::kBytes + (pairs >> 63);
}

void ReadEuc(const unsigned char* d, std::size_t size, std::size_t end, Reading& r) {
  Tally t;
  std::size_t p = r.pos;
  // Without a vector unit, the masks of a chunk cost more than reading
  // its characters one by one.
  while (kVectorLanes && end - p > Chunk::kBytes) {
    const std::size_t taken = EucChunk(d + p, t);
    // A chunk with a single shift is read character by character.
    const std::size_t stop = p + Chunk::kBytes;
    p += taken;
    while (p < stop)
      p = EucChar(d, size, p, end, t);
  }
  while (p < end)
    p = EucChar(d, size, p, end, t);
  r.pos = p;
  r.AddBlock(t.packed);
}

// The cost of the text ASCII byte or the common character of Japanese
// text that starts in each lane of valid UTF-8 (a, with b and c the
// bytes after it): punctuation U+3000-303F, hiragana U+3040-309F,
// katakana U+30A0-30FF and kanji U+4E00-9FFF; 0 for any other.
Lanes Utf8KnownCost(Lanes a, Lanes b, Lanes c) {
  const Lanes e3 = a == LaneByte(0xE3);
  const Lanes kana = e3 & (b == LaneByte(0x82));
  const Lanes punct = e3 & (b == LaneByte(0x80));
  const Lanes hiragana = (e3 & (b == LaneByte(0x81))) | (kana & (c < LaneByte(0xA0)));
  const Lanes katakana = (e3 & (b == LaneByte(0x83))) | (kana & (c >= LaneByte(0xA0)));
  const Lanes kanji = ((a >= LaneByte(0xE5)) & (a <= LaneByte(0xE9))) |
                      ((a == LaneByte(0xE4)) & (b >= LaneByte(0xB8)));
  return (IsAsciiText(a) & LaneCost<kAscii>()) | (punct & LaneCost<kPunct>()) |
         (hiragana & LaneCost<kHiragana>()) | (katakana & LaneCost<kKatakana>()) |
         (kanji & LaneCost<kKanjiU>());
}

// Whether the code points from..to are all of one kind.
constexpr bool IsKindOf(std::uint32_t from, std::uint32_t to, Kind kind) {
  for (std::uint32_t cp = from; cp <= to; ++cp) {
    if (CodePointKind(cp) != kind) return false;
  }
  return true;
}
static_assert(IsKindOf(0x3000, 0x303F, kPunct) && IsKindOf(0x3040, 0x309F, kHiragana) &&
              IsKindOf(0x30A0, 0x30FF, kKatakana) && IsKindOf(0x4E00, 0x9FFF, kKanjiU));

// Reads the 64 bytes at p as UTF-8, all at once: returns the bytes taken,
// up to 67 when the last sequence ends after them, or 0 when they are not
// UTF-8. The masks check that continuation bytes stand exactly where the
// first bytes call for them; the common characters are then weighed in
// lanes and the other sequences one by one.
std::size_t Utf8Chunk(const unsigned char* p, Tally& t, bool& multibyte) {
  const Chunk chunk(p);
  // Bytes that valid UTF-8 never holds: 0xC0, 0xC1, 0xF5-0xFF. Without
  // them, the top bits of a byte tell its part in a sequence.
  if (chunk.Any([](Lanes a) {
        return (a == LaneByte(0xC0)) | (a == LaneByte(0xC1)) | ((a >= LaneByte(0xF5)) & (a < 0));
      }))
    return 0;
  // Masks of the top bits (a lane shifted left by n holds bit 7 - n of its
  // byte in the sign bit, which Mask reads): continuation bytes 10xxxxxx,
  // and the first bytes of sequences of two bytes or more 11xxxxxx, of
  // three or four 111xxxxx, and of four 1111xxxx.
  const std::uint64_t follow = chunk.Mask([](Lanes a) { return a & ~(a << 1); });
  const std::uint64_t leads = chunk.Mask([](Lanes a) { return a & (a << 1); });
  const std::uint64_t three = chunk.Mask([](Lanes a) { return a & (a << 1) & (a << 2); });
  const std::uint64_t four = chunk.Mask([](Lanes a) { return a & (a << 1) & (a << 2) & (a << 3); });
  if ((leads << 1 | three << 2 | four << 3) != follow) return 0;
  const std::uint64_t high = follow | leads;
  const Chunk second(p + 1), third(p + 2);
  const std::uint64_t known =
      t.AddKnown([&](std::size_t i) { return Utf8KnownCost(chunk[i], second[i], third[i]); });
  t.AddSingles(chunk, ~high & ~known, false);
  if (leads == 0) return Chunk::kBytes;
  multibyte = true;
  for (std::uint64_t rest = leads & ~known; rest != 0; rest &= rest - 1) {
    const unsigned char* c = p + std::countr_zero(rest);
    const Utf8Lead lead = kUtf8Lead[c[0]];
    if (c[1] < lead.low || c[1] > lead.high) return 0;
    if (lead.length == 3) {
      t.Add(kUnicodeKind[(c[0] & 0x0Fu) << 8 | (c[1] & 0x3Fu) << 2 | (c[2] & 0x3Fu) >> 4]);
    } else {
      t.Add(lead.length == 2 ? kUnicodeKind[((c[0] & 0x1Fu) << 6 | (c[1] & 0x3Fu)) >> 4]
                             : kForeign);
    }
  }
  // The last sequence may end after the chunk.
  const std::size_t last = 63 - std::countl_zero(leads);
  const std::size_t end = last + kUtf8Lead[p[last]].length;
  for (std::size_t i = Chunk::kBytes; i < end; ++i) {
    if (!IsContinuation(p[i])) return 0;
  }
  return end > Chunk::kBytes ? end : Chunk::kBytes;
}

void ReadUtf8(const unsigned char* d, std::size_t size, std::size_t end, Reading& r) {
  Tally t;
  std::size_t p = r.pos;
  bool multibyte = false;
  while (end - p > Chunk::kBytes + 3) {
    const std::size_t taken = Utf8Chunk(d + p, t, multibyte);
    if (taken == 0) {
      r.alive = false;
      return;
    }
    p += taken;
  }
  while (p < end) {
    const unsigned char c = d[p];
    if (c < 0x80) {
      p = t.AddAscii(d, p, end);
      continue;
    }
    const Utf8Lead lead = kUtf8Lead[c];
    // The common case, a whole three-byte sequence (all of kana and kanji).
    if (lead.length == 3 && size - p >= 3 && d[p + 1] >= lead.low && d[p + 1] <= lead.high &&
        IsContinuation(d[p + 2])) {
      t.Add(kUnicodeKind[(c & 0x0Fu) << 8 | (d[p + 1] & 0x3Fu) << 2 | (d[p + 2] & 0x3Fu) >> 4]);
      multibyte = true;
      p += 3;
      continue;
    }
    const std::size_t have = size - p < lead.length ? size - p : lead.length;
    std::size_t i = 1;
    std::uint32_t cp = c & (0x7Fu >> lead.length);
    for (; i < have; ++i) {
      const unsigned char next = d[p + i];
      if (next < (i == 1 ? lead.low : 0x80) || next > (i == 1 ? lead.high : 0xBF)) break;
      cp = cp << 6 | (next & 0x3Fu);
    }
    if (lead.length == 0 || i < have) {
      r.alive = false;
      return;
    }
    if (have < lead.length) {
      p = size;
      break;
    }
    t.Add(CodePointKind(cp));
    multibyte = true;
    p += lead.length;
  }
  r.pos = p;
  r.multibyte = r.multibyte || multibyte;
  r.AddBlock(t.packed);
}

template <bool kBigEndian>
std::uint32_t UnitAt(const unsigned char* p) {
  return kBigEndian ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
}

template <bool kBigEndian>
void ReadUtf16(const unsigned char* d, std::size_t size, std::size_t end, Reading& r) {
  constexpr std::uint32_t kHighSurrogate = 0xD800, kLowSurrogate = 0xDC00, kSurrogateEnd = 0xE000;
  Tally t;
  std::size_t p = r.pos;
  while (p < end) {
    if (size - p < 2) {
      p = size;
      break;
    }
    const std::uint32_t unit = UnitAt<kBigEndian>(d + p);
    p += 2;
    if (unit < kHighSurrogate || unit >= kLowSurrogate) {
      t.Add(CodePointKind(unit));
    } else if (size - p < 2) {
      p = size;
    } else {
      const std::uint32_t next = UnitAt<kBigEndian>(d + p);
      const bool paired = next >= kLowSurrogate && next < kSurrogateEnd;
      t.Add(paired ? kForeign : kInvalid);
      p += paired ? 2 : 0;
    }
  }
  r.pos = p;
  r.AddBlock(t.packed);
}

using Reader = void (*)(const unsigned char*, std::size_t, std::size_t, Reading&);
constexpr std::size_t kReadings = 5;

// Whether an ISO-2022-JP escape sequence starts at p (p[0] is escape), or
// one that the end of the text cuts short after its second byte.
bool IsJisEscape(const unsigned char* p, std::size_t left) {
  static constexpr const char* kSequences[] = {"(B",  "(J",  "(I",  "(H",  "$@", "$B", "$A",
                                               "$(D", "$(O", "$(P", "$(Q", "&@", "K",  "H"};
  for (const char* seq : kSequences) {
    const std::size_t n = std::strlen(seq);
    const std::size_t have = left - 1 < n ? left - 1 : n;
    if (have >= 1 && std::memcmp(p + 1, seq, have) == 0) return true;
  }
  return false;
}

// What a scan of the bytes below the first one of 0x80 or more finds.
struct Prefix {
  std::size_t length = 0;  // up to the first byte of 0x80 or more
  bool control = false;    // a NUL or a control byte (escape excluded)
  bool escape = false;
};

Prefix ScanPrefix(const unsigned char* d, std::size_t size) {
  Prefix f;
  std::size_t p = 0;
  Lanes control{}, escape{};
  for (; size - p >= kLaneBytes; p += kLaneBytes) {
    Lanes a;
    std::memcpy(&a, d + p, kLaneBytes);
    if (AnyLane(a < 0)) break;
    control |= ((a < 0x20) & ((a < 0x09) | (a > 0x0D)) & (a != 0x1A) & (a != 0x1B)) | (a == 0x7F);
    escape |= (a == 0x1B);
  }
  f.control = AnyLane(control);
  f.escape = AnyLane(escape);
  for (; p < size && d[p] < 0x80; ++p) {
    f.control = f.control || kByteKind[d[p]] != kAscii;
    f.escape = f.escape || d[p] == kEsc;
  }
  f.length = p;
  return f;
}

bool HasJisEscape(const unsigned char* d, std::size_t size) {
  for (std::size_t p = 0; p < size; ++p) {
    const void* esc = std::memchr(d + p, kEsc, size - p);
    if (esc == nullptr) return false;
    p = static_cast<std::size_t>(static_cast<const unsigned char*>(esc) - d);
    if (IsJisEscape(d + p, size - p)) return true;
  }
  return false;
}

// A byte order mark: the reading it names (an index into the readings of
// JudgeText) and its length, 0 when there is none.
struct Bom {
  std::size_t reading = 0;
  std::size_t length = 0;
};

Bom FindBom(const unsigned char* d, std::size_t size) {
  if (size >= 3 && d[0] == 0xEF && d[1] == 0xBB && d[2] == 0xBF) return {0, 3};
  if (size >= 2 && d[0] == 0xFF && d[1] == 0xFE) return {3, 2};
  if (size >= 2 && d[0] == 0xFE && d[1] == 0xFF) return {4, 2};
  return {};
}

// Runs the live readings over the text block by block, dropping the ones
// that fall behind.
void Weigh(Reading (&readings)[kReadings], const unsigned char* data, std::size_t size) {
  constexpr Reader kReaders[] = {ReadUtf8, ReadSjis, ReadEuc, ReadUtf16<false>, ReadUtf16<true>};
  static_assert(std::size(kReaders) == kReadings);
  for (std::size_t start = 0; start < size; start += kBlock) {
    const std::size_t end = size - start < kBlock ? size : start + kBlock;
    std::uint64_t best = UINT64_MAX;
    for (std::size_t i = 0; i < kReadings; ++i) {
      if (readings[i].alive) kReaders[i](data, size, end, readings[i]);
      if (readings[i].alive && readings[i].cost < best) best = readings[i].cost;
    }
    for (Reading& r : readings)
      r.alive = r.alive && r.cost <= best + kPruneMargin;
  }
}

// The cheapest live reading, the first of equals, or null.
const Reading* Cheapest(const Reading (&readings)[kReadings]) {
  const Reading* winner = nullptr;
  for (const Reading& r : readings) {
    if (r.alive && (winner == nullptr || r.cost < winner->cost)) winner = &r;
  }
  return winner;
}

bool IsBinary(const Reading& r, std::size_t size) {
  return r.nuls > 0 || r.bad * 16 > size || r.cost > kRandomByteCost * size;
}

}  // namespace

int JudgeText(const unsigned char* data, std::size_t size) noexcept {
  if (size == 0) return QXJCODE_ASCII;
  // In the order that wins a tie.
  Reading readings[kReadings] = {
      {QXJCODE_UTF8}, {QXJCODE_SJIS}, {QXJCODE_EUC}, {QXJCODE_UTF16LE}, {QXJCODE_UTF16BE}};
  const Bom bom = FindBom(data, size);
  bool sevenBit = false;
  bool jis = false;
  if (bom.length > 0) {
    for (Reading& r : readings)
      r.alive = &r == &readings[bom.reading];
    readings[bom.reading].pos = bom.length;
    readings[bom.reading].multibyte = true;
  } else {
    const Prefix prefix = ScanPrefix(data, size);
    sevenBit = prefix.length == size;
    jis = sevenBit && prefix.escape && HasJisEscape(data, size);
    if (sevenBit && !prefix.control) return jis ? QXJCODE_JIS : QXJCODE_ASCII;
    // UTF-8 needs a byte of 0x80 or more; JIS is weighed byte by byte
    // (as Shift_JIS reads it) for the binary test alone.
    readings[0].alive = !sevenBit;
    if (jis) readings[2].alive = readings[3].alive = readings[4].alive = false;
  }
  Weigh(readings, data, size);
  // Valid UTF-8 without a sequence of two bytes or more is not UTF-8.
  readings[0].alive = readings[0].alive && readings[0].multibyte;
  const Reading* winner = Cheapest(readings);
  if (winner == nullptr) return bom.length > 0 ? readings[bom.reading].code : QXJCODE_NOTTEXT;
  if (IsBinary(*winner, size)) return QXJCODE_NOTTEXT;
  if (jis) return QXJCODE_JIS;
  // ASCII with a few control bytes.
  if (sevenBit && (winner->code == QXJCODE_SJIS || winner->code == QXJCODE_EUC))
    return QXJCODE_ASCII;
  return winner->code;
}

}  // namespace qx::jcode
