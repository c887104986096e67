// The model of Japanese text that detection weighs readings against: what
// kind of character each code is, and what each kind costs.
#pragma once

#include <array>
#include <cstdint>

#include "jcode/char_class.h"
#include "jcode/utf8_lead.h"

namespace qx::jcode::text_model {

// What a character is, for weighing.
enum Kind : unsigned char {
  kAscii,       // printable ASCII, white space, 0x1A, escape
  kHiragana,    // JIS row 4, U+3040-309F
  kKatakana,    // row 5, U+30A0-30FF
  kPunct,       // row 1, U+3000-303F
  kSymbol,      // rows 2-3, Latin-1, general punctuation to shapes, full-width
  kKanji1,      // JIS level 1, rows 16-47
  kKanjiU,      // U+4E00-9FFF, of either level
  kKanji2,      // JIS level 2, rows 48-84, extension kanji
  kGreek,       // rows 6-8 and 13, Greek, Cyrillic, Latin extended A
  kHalfKana,    // Shift_JIS 0xA1-0xDF, EUC-JP 0x8E xx, U+FF61-FF9F
  kForeign,     // other scripts, JIS X 0212, beyond the BMP
  kControl,     // the other C0 controls and 0x7F, C1 controls
  kNul,         // 0x00, U+0000
  kInvalid,     // a byte that starts or ends no character
  kUnassigned,  // unassigned rows, user-defined and private-use codes
  kKinds
};

// The cost of each kind in bits: -log2(p / n) for a kind that takes a
// share p of the characters of Japanese prose and holds n characters. The
// shares are round figures of common knowledge about written Japanese
// (about a third hiragana, a fifth kanji, nearly all of them level 1),
// with room for ASCII in mixed technical text; they are not measured on
// any text this library is tested or benchmarked on.
//   hiragana  p 0.35,  83 -> 8         katakana p 0.08,    86 -> 10
//   row 1     p 0.05,  94 -> 11        symbols  p 0.005,  ~90 -> 14
//   kanji 1   p 0.2, 2965 -> 14        kanji 2  p 0.01, 3390 -> 18
//   Greek...  p 0.001, ~200 -> 18      half kana p 0.001,  63 -> 16
//   foreign   p 0.0002, ~1000 -> 22
// ASCII (p 0.3) is far from uniform: letters, digits and spaces carry most
// of it at about 5 bits each, so 2 + 5 -> 7. A kanji read from Unicode may
// be any of the 20992 code points of its block, which a reading cannot
// tell apart: -log2(0.21 / 20992) -> 17.
// Controls, invalid bytes and unassigned codes are priced as near
// impossible; each also counts against the text being text at all.
constexpr unsigned kCost[kKinds] = {7, 8, 10, 11, 14, 14, 17, 18, 18, 16, 22, 20, 20, 28, 26};

constexpr bool IsBad(Kind kind) {
  return kind >= kControl;
}

// Bytes below 0x80, alike in every encoding but UTF-16.
constexpr auto kByteKind = [] {
  std::array<Kind, 0x80> kind{};
  for (unsigned c = 0; c < 0x80; ++c)
    kind[c] = c == 0 ? kNul : kCharClass[c] == JC_CONTROL ? kControl : kAscii;
  return kind;
}();

// A JIS X 0208 row, 1-94, with the extensions Shift_JIS adds past it:
// rows 95-114 user-defined (lead bytes 0xF0-0xF9) and 115-120 the IBM
// extension kanji (0xFA-0xFC). Rows 13 and 89-92 are the NEC and
// NEC-selected IBM extensions that code page 932 texts use.
constexpr Kind RowKind(unsigned row) {
  if (row == 1) return kPunct;
  if (row <= 3) return kSymbol;
  if (row == 4) return kHiragana;
  if (row == 5) return kKatakana;
  if (row <= 8 || row == 13) return kGreek;
  if (row <= 15) return kUnassigned;
  if (row <= 47) return kKanji1;
  if (row <= 84 || (row >= 89 && row <= 92) || row >= 115) return kKanji2;
  return kUnassigned;
}

// The second byte of a Shift_JIS pair: 0x40-0xFC but 0x7F. (JC_SJIS2
// leaves out 0x80, which the katakana mu, 0x83 0x80, ends with.)
constexpr bool IsSjisTrail(unsigned char c) {
  return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// Shift_JIS pairs by lead byte, [lead][second byte >= 0x9F].
constexpr auto kSjisPairKind = [] {
  std::array<std::array<Kind, 2>, 256> kind{};
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    for (unsigned high = 0; high < 2; ++high) {
      // The JIS row arithmetic of sjis.h, continued past 0xEF.
      const unsigned row = lead <= 0x9F ? (lead - 0x81) * 2 + 1 : (lead - 0xE0) * 2 + 63;
      kind[lead][high] = RowKind(row + high);
    }
  }
  return kind;
}();

constexpr Kind BlockKind(unsigned cp) {
  if (cp < 0x80) return kAscii;  // weighed by kByteKind instead
  if (cp < 0xA0) return kControl;
  if (cp < 0x100) return kSymbol;
  if (cp < 0x180 || (cp >= 0x370 && cp < 0x500)) return kGreek;
  if (cp < 0x2000 || (cp >= 0x2C00 && cp < 0x3000)) return kForeign;
  if (cp < 0x3000) return kSymbol;
  if (cp < 0x3040) return kPunct;
  if (cp < 0x30A0) return kHiragana;
  if (cp < 0x3100) return kKatakana;
  if (cp < 0x3400) return kSymbol;
  if (cp < 0x4E00) return kForeign;
  if (cp < 0xA000) return kKanjiU;
  if (cp < 0xD800) return kForeign;
  if (cp < 0xE000) return kInvalid;  // a surrogate on its own
  if (cp < 0xF900) return kUnassigned;
  if (cp < 0xFB00) return kKanji2;
  if (cp < 0xFE00) return kForeign;
  if (cp < 0xFE70) return kSymbol;
  if (cp < 0xFF00) return kForeign;
  if (cp < 0xFF60) return kSymbol;
  if (cp < 0xFFA0) return kHalfKana;
  if (cp < 0xFFE0) return kForeign;
  if (cp < 0xFFF0) return kSymbol;
  return kUnassigned;
}

// BMP code points by blocks of 16.
constexpr auto kUnicodeKind = [] {
  std::array<Kind, 0x1000> kind{};
  for (unsigned block = 0; block < kind.size(); ++block)
    kind[block] = BlockKind(block << 4);
  return kind;
}();

constexpr Kind CodePointKind(std::uint32_t cp) {
  if (cp < 0x80) return kByteKind[cp];
  return cp < 0x10000 ? kUnicodeKind[cp >> 4] : kForeign;
}

constexpr bool IsContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

}  // namespace qx::jcode::text_model
