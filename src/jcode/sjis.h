// Shift_JIS <-> JIS X 0208, by table.
//
// JIS X 0208 numbers its characters by row and cell, 1-94 each, and codes
// them as the byte pair (j1, j2) = (0x20 + row, 0x20 + cell), both in
// 0x21-0x7E. Shift_JIS folds two rows into one lead byte so that the lead
// bytes stay clear of ASCII and of the half-width katakana 0xA1-0xDF:
//
//   rows 1-62  (j1 0x21-0x5E):  s1 = ((j1 - 0x21) >> 1) + 0x81   0x81-0x9F
//   rows 63-94 (j1 0x5F-0x7E):  s1 = ((j1 - 0x5F) >> 1) + 0xE0   0xE0-0xEF
//
// and tells the two rows of a lead byte apart by the second byte: the odd
// row (j1 odd) takes 0x40-0x9E, skipping 0x7F, the even row 0x9F-0xFC:
//
//   j1 odd,  j2 0x21-0x5F:  s2 = j2 + 0x1F    0x40-0x7E
//   j1 odd,  j2 0x60-0x7E:  s2 = j2 + 0x20    0x80-0x9E
//   j1 even, j2 0x21-0x7E:  s2 = j2 + 0x7E    0x9F-0xFC
//
// Backwards, a lead byte gives the odd row of its pair, one more when the
// second byte is 0x9F or above: j1 = (s1 - 0x81) * 2 + 0x21 (0x81-0x9F) or
// (s1 - 0xE0) * 2 + 0x5F (0xE0-0xEF), then + 1 if s2 >= 0x9F; and
// j2 = s2 - 0x1F (0x40-0x7E), s2 - 0x20 (0x80-0x9E), s2 - 0x7E (0x9F-0xFC).
//
// Worked pair, the ideographic space: Shift_JIS 0x81 0x40 -> j1 = (0x81 -
// 0x81) * 2 + 0x21 = 0x21 (0x40 < 0x9F, no + 1), j2 = 0x40 - 0x1F = 0x21:
// JIS 0x2121. And back: s1 = ((0x21 - 0x21) >> 1) + 0x81 = 0x81; 0x21 is
// odd, so s2 = 0x21 + 0x1F = 0x40.
//
// The four tables below hold exactly this arithmetic, computed at compile
// time. Every entry outside a table's domain holds a filler (0x40 towards
// Shift_JIS, 0x21 towards JIS), so malformed input converts to something
// rather than being refused: Shift_JIS lead bytes 0xF0-0xFC, which have no
// JIS row, come out as JIS 0x21 (0x22 with a second byte of 0x9F or more).
// The JIS lead table covers all 256 byte values, so a byte of 0x80 or more
// met in JIS double-byte mode takes the filler too.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace qx::jcode {

struct BytePair {
  unsigned char first;
  unsigned char second;
};

// Two bytes in one 16-bit store (two byte stores get merged through a
// partial register, which stalls): `first` then `second` in memory.
// Returns the end of what it wrote.
inline unsigned char* PutBytes(unsigned first, unsigned second, unsigned char* out) noexcept {
  const auto value = static_cast<std::uint16_t>(
      std::endian::native == std::endian::little ? first | second << 8 : first << 8 | second);
  std::memcpy(out, &value, 2);
  return out + 2;
}

namespace sjis_detail {

constexpr unsigned char kToSjisFiller = 0x40;
constexpr unsigned char kToJisFiller = 0x21;

using Table = std::array<unsigned char, 256>;

constexpr Table Filled(unsigned char filler) {
  Table table{};
  table.fill(filler);
  return table;
}

// Indexed by the JIS first byte.
constexpr Table kJisLeadToSjis = [] {
  Table t = Filled(kToSjisFiller);
  for (unsigned j1 = 0x21; j1 <= 0x5E; ++j1)
    t[j1] = static_cast<unsigned char>(((j1 - 0x21) >> 1) + 0x81);
  for (unsigned j1 = 0x5F; j1 <= 0x7E; ++j1)
    t[j1] = static_cast<unsigned char>(((j1 - 0x5F) >> 1) + 0xE0);
  return t;
}();

// Indexed by ((j1 & 1) << 7) | j2: even rows in 0-127, odd rows in 128-255.
constexpr Table kJisTrailToSjis = [] {
  Table t = Filled(kToSjisFiller);
  for (unsigned j2 = 0x21; j2 <= 0x7E; ++j2) {
    t[j2] = static_cast<unsigned char>(j2 + 0x7E);
    t[0x80 | j2] = static_cast<unsigned char>(j2 <= 0x5F ? j2 + 0x1F : j2 + 0x20);
  }
  return t;
}();

// Indexed by the Shift_JIS lead byte: the odd JIS row of its pair.
constexpr Table kSjisLeadToJis = [] {
  Table t = Filled(kToJisFiller);
  for (unsigned s1 = 0x81; s1 <= 0x9F; ++s1)
    t[s1] = static_cast<unsigned char>((s1 - 0x81) * 2 + 0x21);
  for (unsigned s1 = 0xE0; s1 <= 0xEF; ++s1)
    t[s1] = static_cast<unsigned char>((s1 - 0xE0) * 2 + 0x5F);
  return t;
}();

// Indexed by the Shift_JIS second byte.
constexpr Table kSjisTrailToJis = [] {
  Table t = Filled(kToJisFiller);
  for (unsigned s2 = 0x40; s2 <= 0xFC; ++s2) {
    if (s2 <= 0x7E) t[s2] = static_cast<unsigned char>(s2 - 0x1F);
    if (s2 >= 0x80 && s2 <= 0x9E) t[s2] = static_cast<unsigned char>(s2 - 0x20);
    if (s2 >= 0x9F) t[s2] = static_cast<unsigned char>(s2 - 0x7E);
  }
  return t;
}();

// The second byte that moves a lead byte to the even row of its pair.
constexpr unsigned char kEvenRowTrail = 0x9F;

}  // namespace sjis_detail

// Shift_JIS pair (s1, s2) to JIS (j1, j2), any byte values.
inline BytePair SjisToJis(unsigned char s1, unsigned char s2) noexcept {
  using namespace sjis_detail;
  return {static_cast<unsigned char>(kSjisLeadToJis[s1] + (s2 >= kEvenRowTrail ? 1 : 0)),
          kSjisTrailToJis[s2]};
}

// JIS pair (j1, j2) to Shift_JIS (s1, s2), any byte values.
inline BytePair JisToSjis(unsigned char j1, unsigned char j2) noexcept {
  using namespace sjis_detail;
  return {kJisLeadToSjis[j1], kJisTrailToSjis[((j1 & 1u) << 7) | j2]};
}

}  // namespace qx::jcode
