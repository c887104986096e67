// EUC-JP <-> JIS X 0208: EUC-JP codes each JIS byte with its high bit set,
// so JIS 0x2121 (the ideographic space) is EUC-JP 0xA1 0xA1. No table is
// needed; the 8-bit form is told apart from ASCII by the high bit alone.
// The 0x8E (half-width katakana) and 0x8F (JIS X 0212) prefixes are not
// interpreted: their bytes pass through as single bytes.
#pragma once

namespace qx::jcode {

// The lowest byte of an EUC-JP double-byte character (row 1 or cell 1).
inline constexpr unsigned char kEucLow = 0xA1;

inline bool IsEucHigh(unsigned char c) noexcept {
  return c >= kEucLow;
}

inline unsigned char JisToEuc(unsigned char j) noexcept {
  return static_cast<unsigned char>(j | 0x80);
}

inline unsigned char EucToJis(unsigned char e) noexcept {
  return static_cast<unsigned char>(e & 0x7F);
}

}  // namespace qx::jcode
