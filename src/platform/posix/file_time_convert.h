// FILETIME (100 ns ticks since 1601-01-01 UTC) and POSIX times.
#pragma once

#include <cstdint>
#include <ctime>

#include "platform/halves.h"
#include "platform/win32_api.h"

namespace qx::platform {

// Ticks from 1601-01-01 to 1970-01-01.
inline constexpr std::uint64_t kUnixEpochTicks = 116444736000000000ull;
inline constexpr std::uint64_t kTicksPerSecond = 10000000ull;

inline FILETIME FileTimeOf(std::uint64_t ticks) {
  FILETIME time;
  Split(ticks, time);
  return time;
}

// Times before 1601 come out as 1601 itself.
inline FILETIME FileTimeFromTimespec(const timespec& time) {
  const std::int64_t epochSeconds = static_cast<std::int64_t>(kUnixEpochTicks / kTicksPerSecond);
  if (time.tv_sec < -epochSeconds) return FileTimeOf(0);
  const auto seconds = static_cast<std::uint64_t>(time.tv_sec + epochSeconds);
  return FileTimeOf(seconds * kTicksPerSecond + static_cast<std::uint64_t>(time.tv_nsec) / 100);
}

// Seconds are floored, so the nanoseconds are never negative.
inline timespec TimespecFromFileTime(const FILETIME& time) {
  const std::int64_t ticks = static_cast<std::int64_t>(Join(time) - kUnixEpochTicks);
  std::int64_t seconds = ticks / static_cast<std::int64_t>(kTicksPerSecond);
  std::int64_t rest = ticks % static_cast<std::int64_t>(kTicksPerSecond);
  if (rest < 0) rest += kTicksPerSecond, --seconds;
  timespec out{};
  out.tv_sec = static_cast<time_t>(seconds);
  out.tv_nsec = static_cast<long>(rest * 100);
  return out;
}

}  // namespace qx::platform
