// Scratch folders for tests that touch real files, fixed times, and the
// Win32 calls the tests make themselves (Wine's own under Wine).
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cstdlib>
#include <ctime>

#include "platform/win32_api.h"
#endif

#include "qxdll32.h"
#include "support/test_support.h"

namespace qxtest {

namespace fs = std::filesystem;

// A folder of its own under the temporary folder, deleted first and after.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& tag) {
    path_ =
        fs::temp_directory_path() / ("qx-" + tag + "-" + std::to_string(std::random_device()()));
    Remove();
    fs::create_directories(path_);
  }
  ~ScratchDir() { Remove(); }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // A path below the folder as a caller spells it: `relative` uses backslashes.
  std::string A(const std::string& relative = "") const {
    return relative.empty() ? path_.string() : path_.string() + "\\" + relative;
  }
  WString W(const std::string& relative = "") const { return Widen(A(relative)); }
  fs::path Fs(std::string relative) const {
    for (char& c : relative)
      c = c == '\\' ? '/' : c;
    return path_ / relative;
  }
  void Touch(const std::string& relative, const std::string& content = "x") const {
    std::ofstream(Fs(relative), std::ios::binary) << content;
  }
  std::string Read(const std::string& relative) const {
    std::ifstream in(Fs(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Exists(const std::string& relative) const { return fs::exists(Fs(relative)); }

 private:
  void Remove() {
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(path_, error))
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(path_, error);
  }
  fs::path path_;
};

inline std::uint64_t Ticks(const QXFILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

inline QXFILETIME FileTime(std::uint64_t ticks) {
  return QXFILETIME{static_cast<QXDWORD>(ticks), static_cast<QXDWORD>(ticks >> 32)};
}

// Ticks of a calendar time in no particular zone (days from civil dates).
inline std::uint64_t CalendarTicks(int year, int month, int day, int hour = 0, int minute = 0,
                                   int second = 0) {
  const int y = year - (month <= 2 ? 1 : 0);
  const int yearOfEra = y % 400;
  const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t days = std::int64_t{y / 400} * 146097 + yearOfEra * 365 + yearOfEra / 4 -
                            yearOfEra / 100 + dayOfYear - 584694;  // 1601-01-01 is day 0
  return static_cast<std::uint64_t>(days * 86400 + hour * 3600 + minute * 60 + second) * 10000000u;
}

// The UTC time that the running system shows as the given local time.
inline QXFILETIME UtcForLocal(int year, int month, int day, int hour, int minute, int second) {
  const std::uint64_t local = CalendarTicks(year, month, day, hour, minute, second);
  const FILETIME asUtc{static_cast<DWORD>(local), static_cast<DWORD>(local >> 32)};
  FILETIME shifted;
  FileTimeToLocalFileTime(&asUtc, &shifted);
  return FileTime(2 * local -
                  ((std::uint64_t{shifted.dwHighDateTime} << 32) | shifted.dwLowDateTime));
}

// Natively, a fixed time zone while it lives (Wine keeps its own).
class FixedTimeZone {
 public:
  explicit FixedTimeZone([[maybe_unused]] const char* zone) {
#if !defined(_WIN32)
    const char* old = std::getenv("TZ");
    old_ = old != nullptr ? old : "";
    ::setenv("TZ", zone, 1);
    ::tzset();
#endif
  }
  ~FixedTimeZone() {
#if !defined(_WIN32)
    if (old_.empty())
      ::unsetenv("TZ");
    else
      ::setenv("TZ", old_.c_str(), 1);
    ::tzset();
#endif
  }

 private:
  std::string old_;
};

}  // namespace qxtest
