// File-time arithmetic on the 64-bit tick count (100 ns since 1601-01-01
// UTC) that a FILETIME holds as two 32-bit halves.
#pragma once

#include <cstdint>

namespace qx::filetime {

// The range a FAT directory entry can hold, each bound twelve hours inside
// it (1980-01-01 12:00:00 and 2107-12-31 11:59:58 UTC), so that a time
// stays storable whatever the local time zone; the upper bound is even.
inline constexpr std::uint64_t kFatLowest = 119600496000000000ull;
inline constexpr std::uint64_t kFatHighest = 159992495980000000ull;

// Moves `ticks` into the FAT range: -1 raised, 1 lowered, 0 kept. Zero
// means no time and is kept.
constexpr int ClampToFat(std::uint64_t& ticks) noexcept {
  if (ticks == 0) return 0;
  if (ticks < kFatLowest) {
    ticks = kFatLowest;
    return -1;
  }
  if (ticks > kFatHighest) {
    ticks = kFatHighest;
    return 1;
  }
  return 0;
}

// Rounds down (toward 1601) to a multiple of `unit`, which is not 0.
constexpr std::uint64_t RoundDown(std::uint64_t ticks, std::uint32_t unit) noexcept {
  return ticks - ticks % unit;
}

}  // namespace qx::filetime
