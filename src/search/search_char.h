// How the search engine reads A and W characters: the unit value, whether a
// unit leads a double-byte character (A only), the other-case form used by
// case-folded converters, and the escape sequences of the pattern syntax.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/tables.h"
#include "platform/win32_api.h"
#include "search/saa_node.h"

namespace qx::search {

template <class Ch>
struct SearchChar;

template <>
struct SearchChar<char> {
  static constexpr Form kForm = Form::kAnsi;
  static constexpr std::size_t kEntries = kByteEntries;
  static std::uint32_t Unit(char c) noexcept { return static_cast<unsigned char>(c); }
  static bool IsLead(std::uint32_t unit) noexcept { return IsLeadByte(static_cast<char>(unit)); }
  // The case-flip table built at load; lead bytes map to themselves.
  static std::uint32_t OtherCase(std::uint32_t unit) noexcept { return g_caseFlipTable[unit]; }
  static constexpr std::uint32_t kMaxOctal = 0xFF;
};

template <>
struct SearchChar<WCHAR> {
  static constexpr Form kForm = Form::kWide;
  static constexpr std::size_t kEntries = kCodeEntries;
  static std::uint32_t Unit(WCHAR c) noexcept { return c; }
  static bool IsLead(std::uint32_t) noexcept { return false; }
  // Upper case, or lower case when upper-casing changes nothing; units from
  // 0x2000 up (full-width letters among them) are not folded.
  static std::uint32_t OtherCase(std::uint32_t unit) noexcept {
    if (unit >= 0x2000) return unit;
    auto convert = [unit](LPWSTR(WINAPI * call)(LPWSTR)) {
      return static_cast<std::uint32_t>(
          reinterpret_cast<std::uintptr_t>(call(reinterpret_cast<LPWSTR>(std::uintptr_t{unit}))) &
          0xFFFF);
    };
    const std::uint32_t upper = convert(&::CharUpperW);
    return upper != unit ? upper : convert(&::CharLowerW);
  }
  static constexpr std::uint32_t kMaxOctal = 0x1FF;
};

// An escape sequence read after a backslash: its value and where it ends.
// `raw` marks a plain escaped character (not a numeric or letter code).
struct Escape {
  std::uint32_t value;
  std::size_t end;
  bool raw;
};

inline int HexDigit(std::uint32_t unit) noexcept {
  if (unit >= '0' && unit <= '9') return static_cast<int>(unit - '0');
  if (unit >= 'a' && unit <= 'f') return static_cast<int>(unit - 'a' + 10);
  if (unit >= 'A' && unit <= 'F') return static_cast<int>(unit - 'A' + 10);
  return -1;
}

// Decodes the sequence at text[at] (just after the backslash), reading no
// further than `limit`. Nothing left before the limit gives value 0, which
// ends the pattern or class as the end of the text would.
template <class Ch>
Escape DecodeEscape(const Ch* text, std::size_t at, std::size_t limit) noexcept {
  using C = SearchChar<Ch>;
  if (at >= limit) return {0, at, false};
  const std::uint32_t first = C::Unit(text[at]);
  if (first >= '0' && first <= '7') {
    std::uint32_t value = 0;
    std::size_t i = at;
    for (int digits = 0; digits < 3 && i < limit; ++digits, ++i) {
      const std::uint32_t u = C::Unit(text[i]);
      if (u < '0' || u > '7') break;
      value = value * 8 + (u - '0');
    }
    return {value & C::kMaxOctal, i, false};
  }
  if (first == 'x') {
    std::uint32_t value = 0;
    std::size_t i = at + 1;
    for (int digits = 0; digits < 2 && i < limit; ++digits, ++i) {
      const int d = HexDigit(C::Unit(text[i]));
      if (d < 0) break;
      value = value * 16 + static_cast<std::uint32_t>(d);
    }
    return {value, i, false};
  }
  switch (first) {
    case 'a':
      return {0x07, at + 1, false};
    case 'b':
      return {0x08, at + 1, false};
    case 't':
      return {0x09, at + 1, false};
    case 'n':
      return {0x0A, at + 1, false};
    case 'v':
      return {0x0B, at + 1, false};
    case 'f':
      return {0x0C, at + 1, false};
    case 'r':
      return {0x0D, at + 1, false};
    case 'z':
      return {0x1A, at + 1, false};
    case 'e':
      return {0x1B, at + 1, false};
    default:
      return {first, at + 1, true};
  }
}

}  // namespace qx::search
