// The POSIX platform layer's moves, folders, searches, file times, locale
// items and number formatter keep their Win32 contract.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "fileop/scratch.h"
#include "platform/posix/locale_info.h"
#include "platform/win32_api.h"

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

TEST(PosixNames, MoveNeverReplaces) {
  ScratchDir dir("posix-move");
  dir.Touch("a", "a");
  dir.Touch("b", "b");
  EXPECT_FALSE(MoveFileA(dir.A("a").c_str(), dir.A("b").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(dir.Read("b"), "b");
  EXPECT_FALSE(MoveFileA(dir.A("none").c_str(), dir.A("c").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  ASSERT_TRUE(MoveFileW(dir.W("a").c_str(), dir.W("c").c_str()));
  EXPECT_EQ(dir.Read("c"), "a");
  EXPECT_FALSE(dir.Exists("a"));
}

TEST(PosixNames, CreateDirectoryCodes) {
  ScratchDir dir("posix-mkdir");
  ASSERT_TRUE(CreateDirectoryA(dir.A("d").c_str(), nullptr));
  EXPECT_FALSE(CreateDirectoryA(dir.A("d").c_str(), nullptr));
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
  for (const char* pattern : {"other.txt", "*.doc", "report.txt?"}) {
    EXPECT_EQ(FindFirstFileA(dir.A(pattern).c_str(), &found), INVALID_HANDLE_VALUE) << pattern;
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  }
  WIN32_FIND_DATAW wide;
  HANDLE find = FindFirstFileW(dir.W("*.txt").c_str(), &wide);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  EXPECT_EQ(qxtest::WString(wide.cFileName), qxtest::Widen("report.txt"));
  FindClose(find);

  HANDLE file =
      CreateFileA(dir.A("report.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(FindClose(file)) << "a file handle is not a search";
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  CloseHandle(file);
}

TEST(PosixTimes, SystemTimeFields) {
  const struct {
    std::uint64_t ticks;
    SYSTEMTIME expected;  // year, month, weekday, day, h, m, s, ms
  } rows[] = {
      {0, {1601, 1, 1, 1, 0, 0, 0, 0}},
      {116444736000000000ull, {1970, 1, 4, 1, 0, 0, 0, 0}},
      {CalendarTicks(2000, 2, 29, 12, 34, 56) + 7890000, {2000, 2, 2, 29, 12, 34, 56, 789}},
      {CalendarTicks(2107, 12, 31, 11, 59, 58), {2107, 12, 6, 31, 11, 59, 58, 0}},
      {0x7FFFFFFFFFFFFFFFull, {30828, 9, 4, 14, 2, 48, 5, 477}},
  };
  for (const auto& row : rows) {
    const FILETIME time = Make(row.ticks);
    SYSTEMTIME got{};
    ASSERT_TRUE(FileTimeToSystemTime(&time, &got)) << row.ticks;
    EXPECT_EQ(got.wYear, row.expected.wYear);
    EXPECT_EQ(got.wMonth, row.expected.wMonth);
    EXPECT_EQ(got.wDayOfWeek, row.expected.wDayOfWeek) << row.ticks;
    EXPECT_EQ(got.wDay, row.expected.wDay);
    EXPECT_EQ(got.wHour, row.expected.wHour);
    EXPECT_EQ(got.wMinute, row.expected.wMinute);
    EXPECT_EQ(got.wSecond, row.expected.wSecond);
    EXPECT_EQ(got.wMilliseconds, row.expected.wMilliseconds);
  }
  const FILETIME tooLate = Make(0x8000000000000000ull);
  SYSTEMTIME got;
  EXPECT_FALSE(FileTimeToSystemTime(&tooLate, &got));
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

TEST(PosixTimes, HandleTimesRoundTripAndNeedWriteAccess) {
  ScratchDir dir("posix-times");
  dir.Touch("f");
  const FILETIME stamp = Make(CalendarTicks(2001, 3, 5, 1, 2, 3) + 4567);
  HANDLE file =
      CreateFileA(dir.A("f").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &stamp));
  FILETIME access{}, write{};
  ASSERT_TRUE(GetFileTime(file, nullptr, &access, &write));
  EXPECT_EQ(TicksOf(write), TicksOf(stamp));
  EXPECT_NE(TicksOf(access), TicksOf(stamp)) << "only the given time changes";
  CloseHandle(file);

  file = CreateFileA(dir.A("f").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(SetFileTime(file, nullptr, nullptr, &stamp));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  CloseHandle(file);
  EXPECT_EQ(CompareFileTime(&stamp, &write), 0);
  EXPECT_EQ(CompareFileTime(&stamp, &access), TicksOf(stamp) < TicksOf(access) ? -1 : 1);
}

TEST(PosixLocale, GroupingInWin32Form) {
  EXPECT_EQ(qx::platform::Win32Grouping("\3\3"), "3;0");
  EXPECT_EQ(qx::platform::Win32Grouping("\3"), "3;0");
  EXPECT_EQ(qx::platform::Win32Grouping("\3\2"), "3;2;0");
  EXPECT_EQ(qx::platform::Win32Grouping("\4\177"), "4");
  EXPECT_EQ(qx::platform::Win32Grouping(""), "0");
  EXPECT_EQ(qx::platform::Win32Grouping("\177"), "0");
}

TEST(PosixLocale, ItemsOfTheCLocale) {
  const char* old = std::getenv("LC_ALL");
  const std::string saved = old != nullptr ? old : "";
  ::setenv("LC_ALL", "C", 1);
  char text[8] = "junk";
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, text, 8), 1);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, text, 8), 2);
  EXPECT_STREQ(text, "0");
  WCHAR wide[8];
  EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, wide, 8), 2);
  EXPECT_EQ(wide[0], u'.');
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, nullptr, 0), 2);
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, text, 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, 0x1234, text, 8), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
  if (old != nullptr) {
    ::setenv("LC_ALL", saved.c_str(), 1);
  } else {
    ::unsetenv("LC_ALL");
  }
}

TEST(PosixNumberFormat, RoundingSignsAndFractions) {
  char dot[] = ".";
  char comma[] = ",";
  const struct {
    const char* value;
    UINT digits, leadingZero, grouping, negativeOrder;
    const char* expected;
  } rows[] = {
      {"999.5", 0, 1, 3, 0, "1,000"},
      {"-0.4", 0, 1, 3, 0, "0"},
      {"0.5", 1, 0, 3, 0, ".5"},
      {"0.5", 1, 1, 3, 0, "0.5"},
      {"1234.5", 2, 1, 3, 1, "1,234.50"},
      {"1.995", 2, 1, 3, 1, "2.00"},
      {"123456789", 0, 1, 32, 0, "12,34,56,789"},
      {"123456789", 0, 1, 30, 0, "123456,789"},
      {"-12", 0, 1, 3, 1, "-12"},
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
  for (const char* value : {"", "-", "."}) {
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

}  // namespace
