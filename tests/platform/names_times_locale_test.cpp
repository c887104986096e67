// The POSIX platform layer's moves, folders, searches, file times, locale
// items and number formatter keep their Win32 contract.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fileop/scratch.h"
#include "platform/posix/locale_info.h"
#include "platform/win32_api.h"
#include "text/figure_sep.h"

namespace {

namespace fs = std::filesystem;
using qxtest::CalendarTicks;
using qxtest::ScratchDir;

std::uint64_t TicksOf(const FILETIME& t) {
  return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}
FILETIME Make(std::uint64_t ticks) {
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

TEST(PosixNames, MoveAndCreateDirectoryCodes) {
  ScratchDir dir("posix-move");
  dir.Touch("a", "a");
  dir.Touch("b", "b");
  EXPECT_FALSE(MoveFileA(dir.A("a").c_str(), dir.A("b").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS) << "never replaces";
  EXPECT_EQ(dir.Read("b"), "b");
  EXPECT_FALSE(MoveFileA(dir.A("none").c_str(), dir.A("c").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  ASSERT_TRUE(MoveFileW(dir.W("a").c_str(), dir.W("c").c_str()));
  EXPECT_EQ(dir.Read("c"), "a");
  EXPECT_FALSE(CreateDirectoryA(dir.A("c").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(CreateDirectoryW(dir.W("x\\y").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(PosixNames, FindFirstFileMatchesNamesAndPatterns) {
  ScratchDir dir("posix-find");
  dir.Touch("report.txt", "12345");
  WIN32_FIND_DATAA found;
  for (const char* pattern : {"report.txt", "*.txt", "rep?rt.*"}) {
    HANDLE find = FindFirstFileA(dir.A(pattern).c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE) << pattern;
    EXPECT_STREQ(found.cFileName, "report.txt");
    EXPECT_EQ(found.nFileSizeLow, 5u);
    EXPECT_EQ(found.dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(FindClose(find));
  }
  for (const char* pattern : {"other.txt", "*.doc"}) {
    EXPECT_EQ(FindFirstFileA(dir.A(pattern).c_str(), &found), INVALID_HANDLE_VALUE) << pattern;
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  }
  HANDLE file =
      CreateFileA(dir.A("report.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(FindClose(file)) << "a file handle is not a search";
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  CloseHandle(file);
}

TEST(PosixTimes, SystemTimeFields) {
  const struct {
    std::uint64_t ticks;
    const char* expected;  // date, weekday, time
  } rows[] = {
      {0, "1601-01-01 1 00:00:00.000"},
      {116444736000000000ull, "1970-01-01 4 00:00:00.000"},
      {CalendarTicks(2000, 2, 29, 12, 34, 56) + 7890000, "2000-02-29 2 12:34:56.789"},
      {CalendarTicks(2107, 12, 31, 11, 59, 58), "2107-12-31 6 11:59:58.000"},
      {0x7FFFFFFFFFFFFFFFull, "30828-09-14 4 02:48:05.477"},
  };
  for (const auto& row : rows) {
    const FILETIME time = Make(row.ticks);
    SYSTEMTIME t{};
    ASSERT_TRUE(FileTimeToSystemTime(&time, &t)) << row.ticks;
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %u %02u:%02u:%02u.%03u", t.wYear, t.wMonth,
                  t.wDay, t.wDayOfWeek, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
    EXPECT_STREQ(text, row.expected);
  }
  const FILETIME tooLate = Make(0x8000000000000000ull);
  SYSTEMTIME t;
  EXPECT_FALSE(FileTimeToSystemTime(&tooLate, &t));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(PosixTimes, LocalTimeFollowsTz) {
  const std::uint64_t winter = CalendarTicks(2021, 1, 15, 12, 0, 0);
  const std::uint64_t summer = CalendarTicks(2021, 7, 15, 12, 0, 0);
  const std::uint64_t hour = 36000000000ull;
  const struct {
    const char* zone;
    std::uint64_t utc;
    std::uint64_t local;
  } rows[] = {
      {"UTC0", winter, winter},
      {"JST-9", winter, winter + 9 * hour},
      {"EST5EDT,M3.2.0,M11.1.0", winter, winter - 5 * hour},
      {"EST5EDT,M3.2.0,M11.1.0", summer, summer - 4 * hour},  // the offset then in force
  };
  for (const auto& row : rows) {
    qxtest::FixedTimeZone zone(row.zone);
    const FILETIME utc = Make(row.utc);
    FILETIME local;
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
    EXPECT_EQ(TicksOf(local), row.local) << row.zone;
  }
  qxtest::FixedTimeZone zone("JST-9");
  const FILETIME edge = Make(0x7FFFFFFFFFFFFFFFull - 1);
  FILETIME local;
  EXPECT_FALSE(FileTimeToLocalFileTime(&edge, &local)) << "past the largest time";
}

TEST(PosixLocale, GroupingInWin32Form) {
  EXPECT_EQ(qx::platform::Win32Grouping("\3\3"), "3;0");
  EXPECT_EQ(qx::platform::Win32Grouping("\3"), "3;0");
  EXPECT_EQ(qx::platform::Win32Grouping("\3\2"), "3;2;0");
  EXPECT_EQ(qx::platform::Win32Grouping("\4\177"), "4");
  EXPECT_EQ(qx::platform::Win32Grouping(""), "0");
  EXPECT_EQ(qx::platform::Win32Grouping("\177"), "0");
  // Separators for the A calls on code page 932 (this program's page).
  EXPECT_EQ(qx::platform::CodePageText("1\u00A02\u202F3.4,5\u2019"
                                       "6\u00E9"),
            "1 2 3.4,5'6?");
}

TEST(PosixNumberFormat, RoundingSignsAndFractions) {
  char dot[] = ".";
  char comma[] = ",";
  const struct {
    const char* value;
    UINT digits, leadingZero, grouping, negativeOrder;
    const char* expected;
  } rows[] = {
      {"1234567", 0, 1, 3, 0, "1,234,567"},
      {"1234567", 0, 1, 4, 0, "123,4567"},
      {"-1234", 0, 1, 3, 0, "(1,234)"},
      {"999.5", 0, 1, 3, 0, "1,000"},
      {"12.49", 0, 1, 3, 0, "12"},
      {"-0.4", 0, 1, 3, 0, "0"},
      {"0.5", 1, 0, 3, 0, ".5"},
      {"1234.5", 2, 1, 3, 1, "1,234.50"},
      {"1.995", 2, 1, 3, 1, "2.00"},
      {"123456789", 0, 1, 32, 0, "12,34,56,789"},
      {"123456789", 0, 1, 30, 0, "123456,789"},
      {"-12", 0, 1, 3, 2, "- 12"},
      {"-12", 0, 1, 3, 3, "12-"},
      {"-12", 0, 1, 3, 4, "12 -"},
  };
  for (const auto& row : rows) {
    const NUMBERFMTA format{row.digits, row.leadingZero, row.grouping,
                            dot,        comma,           row.negativeOrder};
    char out[32] = {};
    EXPECT_EQ(GetNumberFormatA(0x400, 0, row.value, &format, out, sizeof out),
              static_cast<int>(std::string(row.expected).size() + 1))
        << row.value;
    EXPECT_STREQ(out, row.expected) << row.value;
  }
  const NUMBERFMTA format{0, 1, 3, dot, comma, 0};
  EXPECT_EQ(GetNumberFormatA(0x400, 0, "1234", &format, nullptr, 0), 6);
  char small[5];
  EXPECT_EQ(GetNumberFormatA(0x400, 0, "1234", &format, small, 5), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  for (const char* value : {"", "-", ".", "+5", "1.2.3", " 12", "0x10"}) {
    EXPECT_EQ(GetNumberFormatA(0x400, 0, value, &format, nullptr, 0), 0) << value;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  EXPECT_EQ(GetNumberFormatA(0x400, 1, "1", &format, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
  const NUMBERFMTA tooMany{10, 1, 3, dot, comma, 0};
  EXPECT_EQ(GetNumberFormatA(0x400, 0, "1", &tooMany, nullptr, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  WCHAR wideSep[] = u"\u2009";
  const NUMBERFMTW wide{0, 1, 3, wideSep, wideSep, 0};
  WCHAR out[16];
  ASSERT_EQ(GetNumberFormatW(0x400, 0, u"-1234567", &wide, out, 16), 12);
  EXPECT_EQ(std::u16string(out), u"(1\u2009234\u2009567)");
}

// The grouping core hands the formatter the separator and size it is given.
TEST(PosixNumberFormat, GroupingCoreUsesItsInputs) {
  qx::text::DigitGrouping<char> style;
  style.separator[0] = '.';
  style.groupSize = 4;
  char out[32];
  ASSERT_NE(qx::text::GroupInteger<char>(12345678901ull, true, false, out, 32, style), nullptr);
  EXPECT_STREQ(out, "(123.4567.8901)");
  ASSERT_NE(qx::text::GroupInteger<char>(0, false, true, out, 3, style), nullptr);
  EXPECT_STREQ(out, "+0");
  EXPECT_EQ(qx::text::GroupInteger<char>(0, false, true, out, 2, style), nullptr);
}

}  // namespace
