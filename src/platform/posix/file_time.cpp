// Win32 file-time calls: handle times through fstat/futimens, local time
// through the C library's TZ rules, calendar fields by plain arithmetic.
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/posix/file_time_convert.h"
#include "platform/posix/file_handle.h"
#include "platform/posix/last_error.h"
#include "platform/posix/native_path.h"
#include "platform/win32_api.h"

using qx::platform::Fail;
using qx::platform::FdFromHandle;
using qx::platform::FileTimeFromTimespec;
using qx::platform::FileTimeOf;
using qx::platform::kTicksPerSecond;

namespace {

// Win32 takes values from 2^63 up as invalid in its calendar conversions.
constexpr std::uint64_t kLargestTime = 0x7FFFFFFFFFFFFFFFull;

timespec TimeOrOmit(const FILETIME* time) {
  timespec out{};
  // A missing time, or 0 (as NTFS reads it), leaves that time alone.
  if (time == nullptr || qx::Join(*time) == 0) {
    out.tv_nsec = UTIME_OMIT;
    return out;
  }
  return qx::platform::TimespecFromFileTime(*time);
}

}  // namespace

extern "C" BOOL GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME access, LPFILETIME write) {
  struct stat status;
  const int fd = FdFromHandle(file);
  if (fd < 0 || ::fstat(fd, &status) != 0) return Fail(ERROR_INVALID_HANDLE);
  if (creation != nullptr) *creation = FileTimeFromTimespec(status.st_ctim);
  if (access != nullptr) *access = FileTimeFromTimespec(status.st_atim);
  if (write != nullptr) *write = FileTimeFromTimespec(status.st_mtim);
  return TRUE;
}

extern "C" BOOL SetFileTime(HANDLE file, const FILETIME*, const FILETIME* access,
                            const FILETIME* write) {
  const int fd = FdFromHandle(file);
  const int flags = fd < 0 ? -1 : ::fcntl(fd, F_GETFL);
  if (flags < 0) return Fail(ERROR_INVALID_HANDLE);
  // Setting times is writing the file's attributes: a read-only handle may not.
  if ((flags & O_ACCMODE) == O_RDONLY) return Fail(ERROR_ACCESS_DENIED);
  const timespec times[2] = {TimeOrOmit(access), TimeOrOmit(write)};
  if (::futimens(fd, times) != 0) return Fail(qx::platform::ErrorFromErrno(errno, {}));
  return TRUE;
}

extern "C" BOOL FileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local) {
  if (utc == nullptr || local == nullptr || qx::Join(*utc) > kLargestTime)
    return Fail(ERROR_INVALID_PARAMETER);
  const timespec when = qx::platform::TimespecFromFileTime(*utc);
  tm fields{};
  if (::localtime_r(&when.tv_sec, &fields) == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  const std::int64_t shift = static_cast<std::int64_t>(fields.tm_gmtoff) * kTicksPerSecond;
  const std::uint64_t ticks = qx::Join(*utc);
  if ((shift < 0 && ticks < static_cast<std::uint64_t>(-shift)) ||
      (shift > 0 && ticks + static_cast<std::uint64_t>(shift) > kLargestTime)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  *local = FileTimeOf(ticks + static_cast<std::uint64_t>(shift));
  return TRUE;
}

extern "C" BOOL FileTimeToSystemTime(const FILETIME* time, LPSYSTEMTIME system) {
  if (time == nullptr || system == nullptr || qx::Join(*time) > kLargestTime)
    return Fail(ERROR_INVALID_PARAMETER);
  const std::uint64_t ticks = qx::Join(*time);
  const std::uint64_t seconds = ticks / kTicksPerSecond;
  const std::uint64_t days = seconds / 86400;
  const std::uint64_t secondOfDay = seconds % 86400;
  // Civil date from a day count (Gregorian, 400-year eras of 146097 days),
  // counted here from 0000-03-01 so that leap days fall at the end of a year.
  // 1601-01-01 is day 584694 of that count.
  const std::uint64_t z = days + 584694;
  const std::uint64_t era = z / 146097;
  const std::uint64_t dayOfEra = z - era * 146097;
  const std::uint64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::uint64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::uint64_t monthIndex = (5 * dayOfYear + 2) / 153;  // 0 is March
  const std::uint64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
  system->wYear = static_cast<WORD>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
  system->wMonth = static_cast<WORD>(month);
  system->wDay = static_cast<WORD>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  system->wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
  system->wHour = static_cast<WORD>(secondOfDay / 3600);
  system->wMinute = static_cast<WORD>(secondOfDay / 60 % 60);
  system->wSecond = static_cast<WORD>(secondOfDay % 60);
  system->wMilliseconds = static_cast<WORD>(ticks % kTicksPerSecond / 10000);
  return TRUE;
}

extern "C" LONG CompareFileTime(const FILETIME* a, const FILETIME* b) {
  const std::uint64_t left = qx::Join(*a);
  const std::uint64_t right = qx::Join(*b);
  return left < right ? -1 : left > right ? 1 : 0;
}
