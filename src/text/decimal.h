// Unsigned decimal digits into a character buffer, for A and W text alike.
#pragma once

#include <cstdint>

namespace qx::text {

// Writes the decimal digits of `value` (at most 20) and a terminator to
// `out`; returns the terminator's place.
template <class Ch>
Ch* WriteDecimal(std::uint64_t value, Ch* out) noexcept {
  Ch reversed[20];
  int n = 0;
  do {
    reversed[n++] = static_cast<Ch>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0)
    *out++ = reversed[--n];
  *out = 0;
  return out;
}

}  // namespace qx::text
