// Encoding detection over a whole sized buffer: Shift_JIS, EUC-JP,
// ISO-2022-JP, UTF-8, UTF-16 in either byte order, plain ASCII, or binary.
#pragma once

#include <cstddef>

#include "qxdll32.h"

namespace qx::jcode {

// One of QXJCODE_SJIS, _EUC, _JIS, _UTF8, _UTF16LE, _UTF16BE, _ASCII or
// QXJCODE_NOTTEXT. Reads `size` bytes at `data` and no more; `data` may be
// null only when `size` is 0.
int JudgeText(const unsigned char* data, std::size_t size) noexcept;

}  // namespace qx::jcode
