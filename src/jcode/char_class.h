// The fixed character class table of the Japanese encoding functions: one
// 16-bit set of JC_ bits per byte value, the same on every system (it does
// not follow the ANSI code page). Detection compares whole entries against
// it, and conversion takes its Shift_JIS lead-byte test from it.
#pragma once

#include <array>
#include <cstdint>

namespace qx::jcode {

inline constexpr std::uint16_t JC_CONTROL = 0x0001;  // 0x01-0x1F, 0x7F, 0x80, 0xFF
inline constexpr std::uint16_t JC_SPACE = 0x0002;    // 0x09-0x0D, 0x20
inline constexpr std::uint16_t JC_EOF = 0x0004;      // 0x1A
inline constexpr std::uint16_t JC_ESCAPE = 0x0008;   // 0x1B
inline constexpr std::uint16_t JC_PRINT = 0x0010;    // 0x20-0x7E
inline constexpr std::uint16_t JC_DIGIT = 0x0020;    // 0x30-0x39
inline constexpr std::uint16_t JC_UPPER = 0x0040;    // 0x41-0x5A
inline constexpr std::uint16_t JC_LOWER = 0x0080;    // 0x61-0x7A
inline constexpr std::uint16_t JC_XDIGIT = 0x0100;   // 0x30-0x39, 0x41-0x46, 0x61-0x66
inline constexpr std::uint16_t JC_GRAPH = 0x0200;    // 0x21-0x7E
inline constexpr std::uint16_t JC_SJIS1 = 0x0400;    // 0x81-0x9F, 0xE0-0xFC
inline constexpr std::uint16_t JC_SJIS2 = 0x0800;    // 0x40-0x7E, 0x81-0xFC
inline constexpr std::uint16_t JC_EUC1 = 0x1000;     // 0x8E, 0xA1-0xFE
inline constexpr std::uint16_t JC_EUC2 = 0x2000;     // 0xA1-0xFE
inline constexpr std::uint16_t JC_KANA = 0x4000;     // 0xA1-0xDF (half-width katakana)

namespace detail {

constexpr bool In(unsigned c, unsigned first, unsigned last) {
  return c >= first && c <= last;
}

// The class of one byte, straight from the byte ranges of each bit.
constexpr std::uint16_t ClassOf(unsigned c) {
  std::uint16_t bits = 0;
  if (In(c, 0x01, 0x1F) || c == 0x7F || c == 0x80 || c == 0xFF) bits |= JC_CONTROL;
  if (In(c, 0x09, 0x0D) || c == 0x20) bits |= JC_SPACE;
  if (c == 0x1A) bits |= JC_EOF;
  if (c == 0x1B) bits |= JC_ESCAPE;
  if (In(c, 0x20, 0x7E)) bits |= JC_PRINT;
  if (In(c, 0x30, 0x39)) bits |= JC_DIGIT;
  if (In(c, 0x41, 0x5A)) bits |= JC_UPPER;
  if (In(c, 0x61, 0x7A)) bits |= JC_LOWER;
  if (In(c, 0x30, 0x39) || In(c, 0x41, 0x46) || In(c, 0x61, 0x66)) bits |= JC_XDIGIT;
  if (In(c, 0x21, 0x7E)) bits |= JC_GRAPH;
  if (In(c, 0x81, 0x9F) || In(c, 0xE0, 0xFC)) bits |= JC_SJIS1;
  if (In(c, 0x40, 0x7E) || In(c, 0x81, 0xFC)) bits |= JC_SJIS2;
  if (c == 0x8E || In(c, 0xA1, 0xFE)) bits |= JC_EUC1;
  if (In(c, 0xA1, 0xFE)) bits |= JC_EUC2;
  if (In(c, 0xA1, 0xDF)) bits |= JC_KANA;
  return bits;
}

}  // namespace detail

inline constexpr std::array<std::uint16_t, 256> kCharClass = [] {
  std::array<std::uint16_t, 256> table{};
  for (unsigned c = 0; c < 256; ++c)
    table[c] = detail::ClassOf(c);
  return table;
}();

inline std::uint16_t CharClass(unsigned char c) noexcept {
  return kCharClass[c];
}

inline bool IsSjisLead(unsigned char c) noexcept {
  return (kCharClass[c] & JC_SJIS1) != 0;
}

}  // namespace qx::jcode
