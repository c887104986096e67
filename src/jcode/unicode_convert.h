// Conversion between Shift_JIS (code page 932), EUC-JP, ISO-2022-JP, UTF-8
// and UTF-16 in either byte order, over sized buffers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32_api.h"
#include "qxdll32.h"

namespace qx::jcode {

// Converts `srcSize` bytes at `src` from `srcCode` to `dstCode` (QXJCODE_
// values) with the QXCVT_ `flags`. With `dst` null only counts: `written`
// is the bytes a conversion would write. Otherwise writes at most `dstSize`
// bytes and `written` is the count. Returns QXERR_NONE, QXERR_BADPARAM for
// a code it does not convert, QXERR_TOOLONG when `dst` is too small, or
// QXERR_BADDATA under QXCVT_STRICT, whichever the text meets first; on a
// failure `written` is 0 and `dst` holds the text converted so far, and
// perhaps more bytes up to `dstSize`.
DWORD ConvertText(unsigned char* dst, std::size_t dstSize, int dstCode, const unsigned char* src,
                  std::size_t srcSize, int srcCode, DWORD flags, std::size_t& written) noexcept;

}  // namespace qx::jcode
