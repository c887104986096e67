// Conversion between Shift_JIS, JIS (ISO-2022-JP) and EUC-JP, with every
// line end written as a single LF.
#pragma once

#include <cstddef>

namespace qx::jcode {

// Converts the zero-terminated `src` from `srcCode` to `dstCode` (QXJCODE_
// values) into `dst` and terminates it; `written` is the byte count
// without the terminator. Returns false, leaving dst alone, for a pair of
// codes it does not convert. Equal codes (but -1) copy. Neither pointer
// may be null; `dst` needs room for the bound of DstBound.
bool Convert(unsigned char* dst, int dstCode, const unsigned char* src, int srcCode,
             std::size_t& written) noexcept;

// The most bytes a conversion of `srcLength` bytes can write, terminator
// included: JIS output can take four bytes per input byte plus three (a
// lone lead byte becomes ESC $ B ESC ( J and the byte); everything else
// never grows.
constexpr std::size_t DstBound(int dstCode, std::size_t srcLength) {
  return dstCode == 1 ? srcLength * 4 + 3 + 1 : srcLength + 1;
}

}  // namespace qx::jcode
