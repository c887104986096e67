// Code page 932 and Unicode, both ways, from the generated tables of
// cp932_table.h.
//
// Decoding reads a single byte's character from kSingle, or a pair's from
// the row its lead byte picks, at its second byte. Encoding looks a
// character up in two levels built here at compile time: the page of its
// high byte, then the code at its low byte. The rows hold every code; the
// generated list names the codes Windows reads but never writes (the
// NEC-selected rows 0xED-0xEE, and codes of NEC row 13 and the IBM rows
// that repeat a character of an earlier row), so inverting the other codes
// gives Windows' choice for each character.
//
// JIS X 0208 reaches only the lead bytes up to 0xEF (see sjis.h). Of the
// codes Windows writes beyond them, the IBM rows 0xFA-0xFC have their
// NEC-selected twin in rows 0xED-0xEE, which JIS rows 89-92 hold; the
// user-defined rows 0xF0-0xF9 have no JIS form.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "jcode/cp932_table.h"
#include "jcode/sjis.h"

namespace qx::jcode {

namespace cp932_detail {

using namespace cp932_table;

constexpr unsigned kTrailBase = 0x40;
constexpr unsigned kRowWidth = sizeof(kPairs[0]) / sizeof(kPairs[0][0]);

constexpr char16_t PairAt(unsigned code) {
  return kPairs[kLeadRow[code >> 8]][(code & 0xFF) - kTrailBase];
}

// Calls `visit(code, character)` for every code Windows writes above
// 0x7F, single bytes first, then pairs in order (which walks the sorted
// list of decode-only codes alongside).
template <class Visit>
constexpr void ForEachWritten(Visit visit) {
  for (unsigned b = 0x80; b < 0x100; ++b) {
    if (kSingle[b] != 0) visit(b, kSingle[b]);
  }
  const std::uint16_t* decodeOnly = std::begin(kDecodeOnly);
  for (unsigned lead = 0x80; lead < 0x100; ++lead) {
    for (unsigned trail = kTrailBase; kLeadRow[lead] != 0 && trail < 0x100; ++trail) {
      const unsigned code = lead << 8 | trail;
      if (decodeOnly != std::end(kDecodeOnly) && *decodeOnly == code) {
        ++decodeOnly;
      } else if (PairAt(code) != 0) {
        visit(code, PairAt(code));
      }
    }
  }
}

// Page 0 is empty: the high bytes that no character uses point at it.
constexpr std::size_t kPageCount = [] {
  std::array<bool, 256> used{};
  ForEachWritten([&](unsigned, char16_t u) { used[u >> 8] = true; });
  return 1 + static_cast<std::size_t>(std::count(used.begin(), used.end(), true));
}();

struct EncodeTable {
  std::array<std::uint8_t, 256> pageOf{};
  std::array<std::array<std::uint16_t, 256>, kPageCount> pages{};
};

constexpr EncodeTable kEncode = [] {
  EncodeTable table{};
  std::size_t next = 1;
  ForEachWritten([&](unsigned code, char16_t u) {
    if (table.pageOf[u >> 8] == 0) table.pageOf[u >> 8] = static_cast<std::uint8_t>(next++);
    table.pages[table.pageOf[u >> 8]][u & 0xFF] = static_cast<std::uint16_t>(code);
  });
  return table;
}();

// The rows again, 256 second bytes wide, so that any byte pair indexes
// them: a byte that is no lead byte has row 0, and second bytes below 0x40
// hold 0 in every row.
constexpr auto kWideRows = [] {
  std::array<std::array<char16_t, 256>, std::size(kPairs)> rows{};
  for (std::size_t row = 0; row < rows.size(); ++row) {
    for (unsigned i = 0; i < kRowWidth; ++i)
      rows[row][kTrailBase + i] = kPairs[row][i];
  }
  return rows;
}();

// The row of each JIS first byte, through its Shift_JIS lead byte.
constexpr auto kJisRow = [] {
  std::array<std::uint8_t, 256> rows{};
  for (unsigned j1 = 0; j1 < 256; ++j1)
    rows[j1] = kLeadRow[sjis_detail::kJisLeadToSjis[j1]];
  return rows;
}();

constexpr unsigned kIbmFirst = 0xFA40;
constexpr unsigned kNecSelectedFirst = 0xED40;

constexpr std::uint16_t Encode(char32_t u) {
  return u > 0xFFFF ? 0 : kEncode.pages[kEncode.pageOf[u >> 8]][u & 0xFF];
}

// The NEC-selected twin of each IBM code Windows writes, by the IBM code's
// distance from 0xFA40 in rows of kRowWidth.
constexpr auto kIbmTwin = [] {
  std::array<std::uint16_t, 3 * kRowWidth> twins{};
  for (std::uint16_t code : kDecodeOnly) {
    const unsigned ibm = code >= kNecSelectedFirst && code < kIbmFirst ? Encode(PairAt(code)) : 0;
    if (ibm >= kIbmFirst)
      twins[((ibm >> 8) - (kIbmFirst >> 8)) * kRowWidth + (ibm & 0xFF) - kTrailBase] = code;
  }
  return twins;
}();

}  // namespace cp932_detail

// The character of a byte that is not a lead byte (every such byte has one).
inline char16_t Cp932Single(unsigned char b) noexcept {
  return cp932_detail::kSingle[b];
}

// The character of a pair of bytes; 0 where they are no pair the code page
// maps (the first no lead byte included).
inline char16_t Cp932Pair(unsigned char lead, unsigned char trail) noexcept {
  using namespace cp932_detail;
  return kWideRows[kLeadRow[lead]][trail];
}

// The character of a JIS X 0208 pair (j1 and j2 in 0x21-0x7E), at its
// Shift_JIS code (JisToSjis, with the row of the lead byte looked up once).
inline char16_t Cp932JisPair(unsigned char j1, unsigned char j2) noexcept {
  using namespace cp932_detail;
  return kWideRows[kJisRow[j1]][sjis_detail::kJisTrailToSjis[((j1 & 1u) << 7) | j2]];
}

// The code Windows writes for a character: below 0x100 a single byte,
// else a lead byte and a second byte; 0 where code page 932 has none.
// Characters below U+0080 are their own single bytes and not looked up.
inline std::uint16_t Cp932Code(char32_t u) noexcept {
  return cp932_detail::Encode(u);
}

// The code of a character among those JIS X 0208 holds (a lead byte of
// 0xEF or less), the NEC-selected twin where Windows writes an IBM code;
// 0 where there is none. Single bytes have no JIS form either.
inline std::uint16_t Cp932JisCode(char32_t u) noexcept {
  using namespace cp932_detail;
  const std::uint16_t code = Encode(u);
  if (code < 0x100) return 0;
  if (code < 0xF000) return code;
  if (code < kIbmFirst) return 0;
  return kIbmTwin[((code >> 8) - (kIbmFirst >> 8)) * kRowWidth + (code & 0xFF) - kTrailBase];
}

}  // namespace qx::jcode
