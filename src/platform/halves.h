// 64-bit values that Win32 records keep as two 32-bit halves, joined and
// split in one place: a file time's halves (FILETIME or QXFILETIME), or any
// low and high pair (sizes, offsets).
#pragma once

#include <cstdint>

namespace qx {

constexpr std::uint64_t JoinHalves(std::uint32_t low, std::uint32_t high) noexcept {
  return (static_cast<std::uint64_t>(high) << 32) | low;
}

template <class Time>
constexpr std::uint64_t Join(const Time& time) noexcept {
  return JoinHalves(time.dwLowDateTime, time.dwHighDateTime);
}

template <class Time>
constexpr void Split(std::uint64_t value, Time& time) noexcept {
  time.dwLowDateTime = static_cast<std::uint32_t>(value);
  time.dwHighDateTime = static_cast<std::uint32_t>(value >> 32);
}

}  // namespace qx
