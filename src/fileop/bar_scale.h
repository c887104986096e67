// Progress bars take a 16-bit range, so a bar counts in units of
// `scale` = value / 65536 + 1; its upper end value / scale then never
// exceeds 65535 and a position done / scale never passes it.
#pragma once

#include <cstdint>
#include <type_traits>

namespace qx::fileop {

// A negative value (a caller's odd total) would give a scale of 0 or below
// and a division by zero later; such a bar counts in single units.
template <class Int>
constexpr Int BarScale(Int value) noexcept {
  return value < 0 ? Int{1} : value / 65536 + 1;
}

// The bar's upper end for `value` in units of `scale`, in 16 bits.
template <class Int>
constexpr std::uint16_t BarUpper(Int value, Int scale) noexcept {
  return value < 0 ? 0 : static_cast<std::uint16_t>(value / scale);
}

// done * 100 / total with the wrap-around of the integer width (never an
// overflow trap), or 0 for a total of 0.
template <class Int>
constexpr Int Percent(Int done, Int total) noexcept {
  using U = std::make_unsigned_t<Int>;
  if (total == 0) return 0;
  const Int scaled = static_cast<Int>(static_cast<U>(done) * 100u);
  if (total == -1) return static_cast<Int>(U{0} - static_cast<U>(scaled));
  return scaled / total;
}

}  // namespace qx::fileop
