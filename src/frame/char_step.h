// How A and W text algorithms step one character. An A string is walked by
// character through the DBCS lead table, so a trail byte (which may be 0x5C
// or 0x2F) is never examined on its own; a W string steps by code unit.
#pragma once

#include <cstddef>

#include "frame/tables.h"
#include "platform/win32_api.h"

namespace qx {

template <class Ch>
struct CharStep;

template <>
struct CharStep<char> {
  // A lead byte pairs with the byte after it, except a lead byte right
  // before the terminator, which stands alone: no walk steps past the end.
  static std::size_t Width(const char* p) noexcept {
    return IsLeadByte(p[0]) && p[1] != '\0' ? 2 : 1;
  }
};

template <>
struct CharStep<WCHAR> {
  static std::size_t Width(const WCHAR*) noexcept { return 1; }
};

}  // namespace qx
