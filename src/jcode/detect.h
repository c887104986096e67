// Encoding detection: which of Shift_JIS, JIS (ISO-2022-JP) and EUC-JP a
// zero-terminated byte text is written in, decided by the first byte that
// rules the others out.
#pragma once

#include "qxdll32.h"

namespace qx::jcode {

// One of QXJCODE_SJIS, QXJCODE_JIS, QXJCODE_EUC or QXJCODE_NOTTEXT. Reads
// up to the deciding byte or the terminator; `text` must not be null.
int JudgeCodeType(const unsigned char* text) noexcept;

}  // namespace qx::jcode
