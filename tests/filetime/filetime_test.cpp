// File-time utilities: FAT clamping at its exact bounds, rounding, tick
// arithmetic across the 32-bit halves, and stamping real files.
#include <gtest/gtest.h>

#include <cstdint>

#include "fileop/scratch.h"

namespace {

using qxtest::CalendarTicks;
namespace fs = std::filesystem;
using qxtest::FileTime;
using qxtest::PrimeErrCode;
using qxtest::Ticks;

constexpr std::uint64_t kLowest = 119600496000000000ull;
constexpr std::uint64_t kHighest = 159992495980000000ull;
constexpr std::uint32_t kTwoSeconds = 20000000;

TEST(FileTimeFat, BoundsAreTheDocumentedInstants) {
  EXPECT_EQ(kLowest, CalendarTicks(1980, 1, 1, 12, 0, 0));
  EXPECT_EQ(kHighest, CalendarTicks(2107, 12, 31, 11, 59, 58));
  // And the system reads them the same way.
  for (const std::uint64_t bound : {kLowest, kHighest}) {
    const FILETIME time{static_cast<DWORD>(bound), static_cast<DWORD>(bound >> 32)};
    SYSTEMTIME fields;
    ASSERT_TRUE(FileTimeToSystemTime(&time, &fields));
    EXPECT_EQ(fields.wHour, bound == kLowest ? 12 : 11);
    EXPECT_EQ(fields.wYear, bound == kLowest ? 1980 : 2107);
  }
}

TEST(FileTimeFat, ClampsIntoTheRange) {
  const struct {
    std::uint64_t in;
    int result;
    std::uint64_t out;
  } rows[] = {
      {CalendarTicks(1979, 12, 31, 0, 0, 0), -1, kLowest},
      {CalendarTicks(1979, 12, 31, 23, 59, 59), -1, kLowest},
      {kLowest - 1, -1, kLowest},
      {1, -1, kLowest},
      {kLowest, 0, kLowest},
      {CalendarTicks(2024, 2, 29, 10, 0, 0), 0, CalendarTicks(2024, 2, 29, 10, 0, 0)},
      {kHighest, 0, kHighest},
      {kHighest + 1, 1, kHighest},
      {~0ull, 1, kHighest},
      {0, 0, 0},  // no time: nothing to clamp
  };
  for (const auto& row : rows) {
    QXFILETIME time = FileTime(row.in);
    PrimeErrCode(QXERR_NONE);
    EXPECT_EQ(qxControlFileTimeAtFat(&time), row.result) << row.in;
    EXPECT_EQ(Ticks(time), row.out) << row.in;
    EXPECT_EQ(qxGetErrCode(), QXERR_NONE) << "never touched, even for zero";
  }
  EXPECT_EQ(qxControlFileTimeAtFat(nullptr), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  // The lower bound's halves, as callers compare them.
  QXFILETIME low = FileTime(1);
  qxControlFileTimeAtFat(&low);
  EXPECT_EQ(low.dwHighDateTime, 0x01A8E804u);
  EXPECT_EQ(low.dwLowDateTime, 0x770A6000u);
}

TEST(FileTimeArithmetic, RegulateRoundsDown) {
  const std::uint64_t minute = CalendarTicks(2001, 3, 5, 10, 30, 0);
  const struct {
    std::uint64_t in;
    std::uint32_t unit;
    std::uint64_t out;
  } rows[] = {
      {minute + 139999999, kTwoSeconds, minute + 120000000},
      {minute + 120000000, kTwoSeconds, minute + 120000000},
      {minute + 1, kTwoSeconds, minute},
      // Across the halves: the remainder comes from all 64 bits.
      {0x100000005ull, 0x10, 0x100000000ull},
      {0x1FFFFFFFFull, 0xFFFFFFFFu, 0x1FFFFFFFEull},
      {12345, 1, 12345},
  };
  for (const auto& row : rows) {
    QXFILETIME time = FileTime(row.in);
    PrimeErrCode(QXERR_BADPARAM);
    ASSERT_EQ(qxRegulateFileTime(&time, row.unit), 1);
    EXPECT_EQ(Ticks(time), row.out);
  }
}

TEST(FileTimeArithmetic, AddAndSubCarryAcrossTheHalves) {
  const struct {
    std::uint64_t in;
    std::uint32_t ticks;
    std::uint64_t sum;
  } rows[] = {
      {0x1FFFFFFFFull - 5, kTwoSeconds, 0x1FFFFFFFFull - 5 + kTwoSeconds},
      {0xFFFFFFFFull, 1, 0x100000000ull},
      {0x100000000ull, 0xFFFFFFFFu, 0x1FFFFFFFFull},
      {CalendarTicks(2001, 3, 5), kTwoSeconds, CalendarTicks(2001, 3, 5, 0, 0, 2)},
  };
  for (const auto& row : rows) {
    QXFILETIME time = FileTime(row.in);
    PrimeErrCode(QXERR_BADPARAM);
    ASSERT_EQ(qxAddTimeToFileTime(&time, row.ticks), 1);
    EXPECT_EQ(Ticks(time), row.sum);
    ASSERT_EQ(qxSubTimeToFileTime(&time, row.ticks), 1);
    EXPECT_EQ(Ticks(time), row.in);
    EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "success leaves the code";
  }
  QXFILETIME top = FileTime(~0ull);
  ASSERT_EQ(qxAddTimeToFileTime(&top, 2), 1);
  EXPECT_EQ(Ticks(top), 1u) << "wraps at 2^64";
  ASSERT_EQ(qxSubTimeToFileTime(&top, 3), 1);
  EXPECT_EQ(Ticks(top), ~0ull - 1);
}

TEST(FileTimeArithmetic, ZeroAndNullTimesAreRefused) {
  QXFILETIME zero = FileTime(0);
  const auto refused = [](QXBOOL result) {
    EXPECT_EQ(result, 0);
    EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
    qxtest::PrimeErrCode(QXERR_NONE);
  };
  PrimeErrCode(QXERR_NONE);
  refused(qxRegulateFileTime(&zero, kTwoSeconds));
  refused(qxAddTimeToFileTime(&zero, 1));
  refused(qxSubTimeToFileTime(&zero, 1));
  EXPECT_EQ(Ticks(zero), 0u);
  refused(qxRegulateFileTime(nullptr, kTwoSeconds));
  refused(qxAddTimeToFileTime(nullptr, 1));
  refused(qxSubTimeToFileTime(nullptr, 1));
  QXFILETIME some = FileTime(kLowest + 1);
  refused(qxRegulateFileTime(&some, 0));
  EXPECT_EQ(Ticks(some), kLowest + 1) << "unit 0 changes nothing";
}

// The file's last-write time through the system.
std::uint64_t WriteTimeOf(const std::string& path) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  FILETIME write{};
  GetFileTime(file, nullptr, nullptr, &write);
  CloseHandle(file);
  return (static_cast<std::uint64_t>(write.dwHighDateTime) << 32) | write.dwLowDateTime;
}

TEST(FileTimeStamp, SetsTheLastWriteTime) {
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
}

TEST(FileTimeStamp, Failures) {
  qxtest::ScratchDir dir("filetime-fail");
  dir.Touch("ro.txt");
  fs::permissions(dir.Fs("ro.txt"),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  // Wine run as root may write a read-only file all the same.
  HANDLE probe =
      CreateFileA(dir.A("ro.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const bool readOnlyHolds = probe == INVALID_HANDLE_VALUE;
  if (!readOnlyHolds) CloseHandle(probe);
  const QXFILETIME time = FileTime(CalendarTicks(2001, 3, 5));
  const QXFILETIME zero = FileTime(0);
  const struct {
    std::string name;
    const QXFILETIME* time;
    QXDWORD code;
  } rows[] = {
      {dir.A("missing.txt"), &time, QXERR_OPEN},
      {dir.A("ro.txt"), &time, QXERR_OPEN},  // read-only: no write access
      {dir.A("ro.txt"), &zero, QXERR_BADPARAM},
      {dir.A("ro.txt"), nullptr, QXERR_BADPARAM},
  };
  for (const auto& row : rows) {
    if (!readOnlyHolds && row.code == QXERR_OPEN && row.name == dir.A("ro.txt")) continue;
    PrimeErrCode(QXERR_NONE);
    EXPECT_EQ(qxSetFileTimeA(row.name.c_str(), row.time), 0) << row.name;
    EXPECT_EQ(qxGetErrCode(), row.code) << row.name;
    PrimeErrCode(QXERR_NONE);
    EXPECT_EQ(qxSetFileTimeW(qxtest::Widen(row.name).c_str(), row.time), 0);
    EXPECT_EQ(qxGetErrCode(), row.code);
  }
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(qxSetFileTimeA(nullptr, &time), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
}

}  // namespace
