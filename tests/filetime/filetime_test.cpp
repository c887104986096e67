// File-time utilities: FAT clamping at its exact bounds, rounding, tick
// arithmetic across the 32-bit halves, and stamping real files.
#include <gtest/gtest.h>

#include <cstdint>

#include "fileop/scratch.h"

namespace {

namespace fs = std::filesystem;
using qxtest::CalendarTicks;
using qxtest::FileTime;
using qxtest::PrimeErrCode;
using qxtest::Ticks;

constexpr std::uint64_t kLowest = 119600496000000000ull;
constexpr std::uint64_t kHighest = 159992495980000000ull;
constexpr std::uint32_t kTwoSeconds = 20000000;

TEST(FileTimeFat, ClampsIntoTheRange) {
  ASSERT_EQ(kLowest, CalendarTicks(1980, 1, 1, 12, 0, 0));
  ASSERT_EQ(kHighest, CalendarTicks(2107, 12, 31, 11, 59, 58));
  const struct {
    std::uint64_t in;
    int result;
    std::uint64_t out;
  } rows[] = {
      {CalendarTicks(1979, 12, 31, 23, 59, 59), -1, kLowest},
      {kLowest - 1, -1, kLowest},
      {kLowest, 0, kLowest},
      {kHighest, 0, kHighest},
      {kHighest + 1, 1, kHighest},
      {~0ull, 1, kHighest},
      {0, 0, 0},  // no time: nothing to clamp, and no error code
  };
  for (const auto& row : rows) {
    QXFILETIME time = FileTime(row.in);
    PrimeErrCode(QXERR_NONE);
    EXPECT_EQ(qxControlFileTimeAtFat(&time), row.result) << row.in;
    EXPECT_EQ(Ticks(time), row.out) << row.in;
    EXPECT_EQ(qxGetErrCode(), QXERR_NONE);
  }
  QXFILETIME low = FileTime(1);
  qxControlFileTimeAtFat(&low);
  EXPECT_EQ(low.dwHighDateTime, 0x01A8E804u);
  EXPECT_EQ(low.dwLowDateTime, 0x770A6000u);
  EXPECT_EQ(qxControlFileTimeAtFat(nullptr), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
}

TEST(FileTimeArithmetic, RoundsAndMovesAcrossTheHalves) {
  const std::uint64_t minute = CalendarTicks(2001, 3, 5, 10, 30, 0);
  EXPECT_EQ(minute % 600000000, 0u);
  const struct {
    std::uint64_t in;
    std::uint32_t value;
    std::uint64_t rounded, sum;
  } rows[] = {
      {minute + 139999999, kTwoSeconds, minute + 120000000, minute + 159999999},
      {minute + 120000000, kTwoSeconds, minute + 120000000, minute + 140000000},
      {0x100000005ull, 0x10, 0x100000000ull, 0x100000015ull},
      {0xFFFFFFFFull, 1, 0xFFFFFFFFull, 0x100000000ull},
      {0x1FFFFFFFFull, 0xFFFFFFFFu, 0x1FFFFFFFEull, 0x2FFFFFFFEull},
      {~0ull, 2, ~0ull - 1, 1},  // wraps at 2^64
  };
  for (const auto& row : rows) {
    QXFILETIME time = FileTime(row.in);
    PrimeErrCode(QXERR_BADPARAM);
    ASSERT_EQ(qxAddTimeToFileTime(&time, row.value), 1);
    EXPECT_EQ(Ticks(time), row.sum) << row.in;
    ASSERT_EQ(qxSubTimeToFileTime(&time, row.value), 1);
    EXPECT_EQ(Ticks(time), row.in);
    ASSERT_EQ(qxRegulateFileTime(&time, row.value), 1);
    EXPECT_EQ(Ticks(time), row.rounded) << row.in;
    EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "success leaves the code";
  }
}

TEST(FileTimeArithmetic, ZeroAndNullTimesAndUnitZeroAreRefused) {
  QXFILETIME zero = FileTime(0);
  QXFILETIME some = FileTime(kLowest + 1);
  for (const QXBOOL result : {qxRegulateFileTime(&zero, kTwoSeconds), qxAddTimeToFileTime(&zero, 1),
                              qxSubTimeToFileTime(&zero, 1), qxRegulateFileTime(nullptr, 1),
                              qxAddTimeToFileTime(nullptr, 1), qxSubTimeToFileTime(nullptr, 1),
                              qxRegulateFileTime(&some, 0)}) {
    EXPECT_EQ(result, 0);
  }
  EXPECT_EQ(Ticks(zero), 0u);
  EXPECT_EQ(Ticks(some), kLowest + 1);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(qxRegulateFileTime(&some, 0), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(qxSubTimeToFileTime(&zero, 1), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
}

std::uint64_t WriteTimeOf(const std::string& path) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME write{};
  GetFileTime(file, nullptr, nullptr, &write);
  CloseHandle(file);
  return (std::uint64_t{write.dwHighDateTime} << 32) | write.dwLowDateTime;
}

TEST(FileTimeStamp, SetsTheLastWriteTimeOrFails) {
  qxtest::ScratchDir dir("filetime");
  dir.Touch("a.txt");
  const QXFILETIME time = FileTime(CalendarTicks(2001, 3, 5, 13, 5, 8) + 1234567);
  PrimeErrCode(QXERR_BADPARAM);
  ASSERT_EQ(qxSetFileTimeA(dir.A("a.txt").c_str(), &time), 1);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "success leaves the code";
  EXPECT_EQ(WriteTimeOf(dir.A("a.txt")), Ticks(time));
  const QXFILETIME later = FileTime(Ticks(time) + kTwoSeconds);
  ASSERT_EQ(qxSetFileTimeW(dir.W("a.txt").c_str(), &later), 1);
  EXPECT_EQ(WriteTimeOf(dir.A("a.txt")), Ticks(later));

  dir.Touch("ro.txt");
  fs::permissions(dir.Fs("ro.txt"),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  // Wine run as root may write a read-only file all the same.
  HANDLE probe =
      CreateFileA(dir.A("ro.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const bool readOnlyHolds = probe == INVALID_HANDLE_VALUE;
  if (!readOnlyHolds) CloseHandle(probe);
  const QXFILETIME zero = FileTime(0);
  const struct {
    std::string name;
    const QXFILETIME* time;
    QXDWORD code;
  } rows[] = {
      {dir.A("missing.txt"), &time, QXERR_OPEN},
      {readOnlyHolds ? dir.A("ro.txt") : dir.A("missing.txt"), &time, QXERR_OPEN},
      {dir.A("a.txt"), &zero, QXERR_BADPARAM},
      {dir.A("a.txt"), nullptr, QXERR_BADPARAM},
  };
  for (const auto& row : rows) {
    PrimeErrCode(QXERR_NONE);
    EXPECT_EQ(qxSetFileTimeA(row.name.c_str(), row.time), 0) << row.name;
    EXPECT_EQ(qxGetErrCode(), row.code) << row.name;
    PrimeErrCode(QXERR_NONE);
    EXPECT_EQ(qxSetFileTimeW(qxtest::Widen(row.name).c_str(), row.time), 0);
    EXPECT_EQ(qxGetErrCode(), row.code);
  }
  EXPECT_EQ(WriteTimeOf(dir.A("a.txt")), Ticks(later)) << "failures write nothing";
  EXPECT_EQ(qxSetFileTimeA(nullptr, &time), 0);
}

}  // namespace
