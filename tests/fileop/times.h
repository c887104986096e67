// File times in ticks of 100 ns since 1601-01-01 UTC, with the calendar of
// <chrono> as the oracle.
#pragma once

#include <chrono>
#include <cstdint>

#include "support/qxtest.h"

namespace qxtest {

using Ticks100ns = std::chrono::duration<std::int64_t, std::ratio<1, 10000000>>;
constexpr std::uint64_t kSecond = 10000000;

inline std::uint64_t Ticks(const QXFILETIME& time) {
  return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}
inline QXFILETIME FileTime(std::uint64_t ticks) {
  return {static_cast<QXDWORD>(ticks), static_cast<QXDWORD>(ticks >> 32)};
}
inline std::uint64_t CalendarTicks(int year, unsigned month, unsigned day, int hour = 0,
                                   int minute = 0, int second = 0) {
  // 134,774 days from 1601-01-01, the file times' start, to 1970-01-01, sys_days's.
  const std::chrono::sys_days date = std::chrono::year{year} / month / day;
  const long long days = date.time_since_epoch().count() + 134774;
  return (((days * 24 + hour) * 60 + minute) * 60 + second) * kSecond;
}

}  // namespace qxtest
