// Scratch folders for tests that touch real files, and the Win32 API the
// tests call directly (the real one under Wine, the platform layer's
// natively). Each folder is deleted before use and after.
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

class ScratchDir {
 public:
  explicit ScratchDir(const std::string& tag) {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("qx-" + tag + "-" + std::to_string(random()));
    Remove();
    fs::create_directories(path_);
  }
  ~ScratchDir() { Remove(); }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // The Windows spelling of a path below the folder: `relative` uses
  // backslashes, and so does the result on Windows.
  std::string A(const std::string& relative = "") const {
    std::string base = path_.string();
    return relative.empty() ? base : base + "\\" + relative;
  }
  WString W(const std::string& relative = "") const { return Widen(A(relative)); }
  // The same path for std::filesystem, separators as it likes them.
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
  bool IsFolder(const std::string& relative) const { return fs::is_directory(Fs(relative)); }

 private:
  void Remove() {
    std::error_code error;
    if (!fs::exists(path_, error)) return;
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
  QXFILETIME time;
  time.dwLowDateTime = static_cast<QXDWORD>(ticks);
  time.dwHighDateTime = static_cast<QXDWORD>(ticks >> 32);
  return time;
}

// Ticks of a calendar time, counted without any time zone.
inline std::uint64_t CalendarTicks(int year, int month, int day, int hour = 0, int minute = 0,
                                   int second = 0) {
  const int y = year - (month <= 2 ? 1 : 0);
  const int era = y / 400;
  const int yearOfEra = y - era * 400;
  const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const std::int64_t days = std::int64_t{era} * 146097 + dayOfEra - 584694;  // from 1601-01-01
  const std::int64_t seconds = days * 86400 + hour * 3600 + minute * 60 + second;
  return static_cast<std::uint64_t>(seconds) * 10000000u;
}

// The UTC time whose local time (by the running system's rules) is the
// given calendar time, away from daylight-saving changes.
inline QXFILETIME UtcForLocal(int year, int month, int day, int hour, int minute, int second) {
  const std::uint64_t local = CalendarTicks(year, month, day, hour, minute, second);
  FILETIME asUtc{static_cast<DWORD>(local), static_cast<DWORD>(local >> 32)};
  FILETIME shifted;
  FileTimeToLocalFileTime(&asUtc, &shifted);
  const std::uint64_t offset =
      ((static_cast<std::uint64_t>(shifted.dwHighDateTime) << 32) | shifted.dwLowDateTime) - local;
  return FileTime(local - offset);
}

// Natively, a fixed zone for the duration of a test (Wine keeps its own).
class FixedTimeZone {
 public:
  explicit FixedTimeZone(const char* zone) {
#if !defined(_WIN32)
    const char* old = std::getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    ::setenv("TZ", zone, 1);
    ::tzset();
#else
    (void)zone;
#endif
  }
  ~FixedTimeZone() {
#if !defined(_WIN32)
    if (had_) {
      ::setenv("TZ", old_.c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
#endif
  }

 private:
  bool had_ = false;
  std::string old_;
};

}  // namespace qxtest
