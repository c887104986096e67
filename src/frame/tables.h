// Byte tables built once when the library loads, from the ANSI code page
// and user locale of that moment; read-only afterwards, so any thread may
// read them.
#pragma once

#include <cstddef>

#include "platform/win32_api.h"

namespace qx {

// Entry c is 1 when byte c leads a double-byte character, else 0.
inline unsigned char g_dbcsLeadTable[256];

// Entry c is the other-case form of single-byte character c (lower-case if
// lower-casing changes it, else upper-case); lead bytes and 0-31 map to
// themselves.
inline unsigned char g_caseFlipTable[256];

// Fills both tables: entries below 32 fixed, the rest from IsDBCSLeadByte,
// CharLowerA and CharUpperA one character at a time.
void BuildCodePageTables() noexcept;

inline bool IsLeadByte(char c) noexcept {
  return g_dbcsLeadTable[static_cast<unsigned char>(c)] != 0;
}

}  // namespace qx
