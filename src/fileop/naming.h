// File naming helpers on A and W paths, written once as templates on the
// character type: a free name made with date, time and running-number
// suffixes, a rename through a temporary name, and a chain of folders. Each
// core returns a library error code (QXERR_NONE on success) and leaves
// setting it to the caller, so the file operation engine can call them too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "frame/char_step.h"
#include "platform/system_calls.h"
#include "platform/unique_handle.h"
#include "qxdll32.h"
#include "text/decimal.h"
#include "text/path_names.h"

namespace qx::fileop {

// Rename, folder and unique-name work happens in buffers of this many
// characters, terminator included; longer paths are refused up front.
inline constexpr std::size_t kWorkChars = 1024;

// The longest suffix: "_yymdd", "_hhmmss" and "(4294967295)".
inline constexpr std::size_t kMaxSuffixChars = 25;

// What the unique-name mode bits ask for; either bit of a pair will do.
inline constexpr DWORD kUniqTime = QXUNIQ_TIME | QXUNIQ_TIMENODATE;
inline constexpr DWORD kUniqDate = QXUNIQ_DATE | QXUNIQ_DATE2;

inline constexpr char kTempName[] = "qxdll32.tmp";

// Copies `count` units and terminates.
template <class Ch, class From>
Ch* CopyUnits(Ch* out, const From* from, std::size_t count) noexcept {
  for (std::size_t i = 0; i < count; ++i)
    out[i] = static_cast<Ch>(from[i]);
  out[count] = 0;
  return out + count;
}

// An existing file opened without read or write access, for its times and
// information only, shared with every other opener.
template <class Ch>
unique_file OpenForQuery(const Ch* name) noexcept {
  return unique_file(win::CreateFileT(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL));
}

// A name is free when it does not open as an existing file, for whatever
// reason: a folder of that name does not make it taken.
template <class Ch>
bool IsFreeName(const Ch* name) noexcept {
  return !OpenForQuery(name);
}

// The suffix of a unique name as it grows: date, time, then "(n)".
template <class Ch>
class NameSuffix {
 public:
  void Append(char c) noexcept { text_[length_++] = static_cast<Ch>(c); }
  void AppendTwoDigits(unsigned value) noexcept {
    Append(static_cast<char>('0' + value / 10 % 10));
    Append(static_cast<char>('0' + value % 10));
  }
  // The month as one lower-case hexadecimal digit: 1 to 9, then a, b, c.
  void AppendHexDigit(unsigned value) noexcept { Append("0123456789abcdef"[value & 0xF]); }
  void AppendNumber(std::uint32_t value) noexcept {
    char digits[21];
    qx::text::WriteDecimal(value, digits);
    for (const char* p = digits; *p != 0; ++p)
      Append(*p);
  }
  void AppendDate(const SYSTEMTIME& time) noexcept {
    Append('_');
    AppendTwoDigits(time.wYear % 100u);
    AppendHexDigit(time.wMonth);
    AppendTwoDigits(time.wDay);
  }
  void AppendTime(const SYSTEMTIME& time) noexcept {
    Append('_');
    AppendTwoDigits(time.wHour);
    AppendTwoDigits(time.wMinute);
    AppendTwoDigits(time.wSecond);
  }
  std::size_t length() const noexcept { return length_; }
  void Truncate(std::size_t length) noexcept { length_ = length; }
  const Ch* data() const noexcept { return text_; }

 private:
  Ch text_[32];
  std::size_t length_ = 0;
};

// The last-write time of the file at `path`.
template <class Ch>
bool ReadWriteTime(const Ch* path, FILETIME& time) noexcept {
  const unique_file file = OpenForQuery(path);
  return file && GetFileTime(file.get(), nullptr, nullptr, &time);
}

// Writes into `out` (room for the path, 25 more characters and the
// terminator) the first free name of base + suffix + tail, where the tail
// is the extension with its period. `time` (UTC) or, when null, the file's
// own last-write time gives the date and time parts, in local time.
template <class Ch>
DWORD MakeUniqPath(Ch* out, const Ch* path, const FILETIME* time, DWORD mode) noexcept {
  if (out == nullptr || path == nullptr) return QXERR_BADPARAM;
  const std::size_t length = std::char_traits<Ch>::length(path);
  if (length + kMaxSuffixChars >= kWorkChars) return QXERR_BADPARAM;
  Ch work[kWorkChars];
  CopyUnits(work, path, length);  // `out` may be `path` itself

  FILETIME utc;
  if (time != nullptr) {
    utc = *time;
  } else if (!ReadWriteTime(work, utc)) {
    return QXERR_SRCOPEN;
  }
  FILETIME local;
  SYSTEMTIME fields;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &fields))
    return QXERR_BADPARAM;

  const Ch* extension = text::FindExtension(work);
  const std::size_t baseLength =
      extension != nullptr ? static_cast<std::size_t>(extension - work) - 1 : length;
  NameSuffix<Ch> suffix;
  // Composes base + suffix + tail in `out` and tells whether it is free.
  const auto offer = [&]() noexcept {
    Ch* end = CopyUnits(out, work, baseLength);
    end = CopyUnits(end, suffix.data(), suffix.length());
    CopyUnits(end, work + baseLength, length - baseLength);
    return IsFreeName(out);
  };

  if ((mode & kUniqDate) != 0) {
    suffix.AppendDate(fields);
    if ((mode & (QXUNIQ_NUMBERED | QXUNIQ_TIMENODATE)) == 0 && offer()) return QXERR_NONE;
  }
  if ((mode & kUniqTime) != 0) {
    suffix.AppendTime(fields);
    if ((mode & QXUNIQ_NUMBERED) == 0 && offer()) return QXERR_NONE;
  }
  const std::size_t stem = suffix.length();
  for (std::uint32_t number = 1; number != 0; ++number) {
    suffix.Truncate(stem);
    suffix.Append('(');
    suffix.AppendNumber(number);
    suffix.Append(')');
    if (offer()) return QXERR_NONE;
  }
  return QXERR_EXISTS;  // every running number taken
}

// Renames the file at `path` to `newName` (a bare name) in its own folder,
// through the folder's "qxdll32.tmp"; when the second move fails, the file
// is moved back to its old name.
template <class Ch>
DWORD RenameFile(const Ch* path, const Ch* newName) noexcept {
  if (path == nullptr || newName == nullptr) return QXERR_BADPARAM;
  const std::size_t length = std::char_traits<Ch>::length(path);
  if (length >= kWorkChars) return QXERR_BADPARAM;
  Ch from[kWorkChars];
  CopyUnits(from, path, length);
  const Ch* name = text::FindFileName(from);
  if (name == nullptr) return QXERR_BADPARAM;
  const auto folderLength = static_cast<std::size_t>(name - from);
  const std::size_t newLength = std::char_traits<Ch>::length(newName);
  if (folderLength + sizeof kTempName - 1 >= kWorkChars || folderLength + newLength >= kWorkChars)
    return QXERR_BADPARAM;

  Ch temp[kWorkChars];
  CopyUnits(CopyUnits(temp, from, folderLength), kTempName, sizeof kTempName - 1);
  Ch to[kWorkChars];
  CopyUnits(CopyUnits(to, from, folderLength), newName, newLength);

  if (unique_find(win::FindFirstFileT(to))) return QXERR_EXISTS;
  if (!win::MoveFileT(from, temp)) return QXERR_RENAME;
  if (win::MoveFileT(temp, to)) return QXERR_NONE;
  win::MoveFileT(temp, from);
  return QXERR_RENAME;
}

// Makes the folder that ends at the last separator of `path` (a working
// copy, cut and mended in place) and, where it is missing, each one above
// it. Stops without making anything at the top of the path: a separator
// after a colon, a leading separator, or a doubled separator. Recursion
// goes one level per separator, so a working buffer bounds its depth.
template <class Ch>
DWORD MakeFolderChain(Ch* path) noexcept {
  Ch* last = nullptr;
  Ch before = 0;
  Ch previous = 0;
  for (Ch* p = path; *p != 0; p += CharStep<Ch>::Width(p)) {
    if (text::IsSeparator(*p)) {
      before = p == path ? *p : previous;
      last = p;
    }
    previous = *p;
  }
  if (last == nullptr) return QXERR_BADPARAM;
  if (before == Ch(':') || text::IsSeparator(before)) return QXERR_NONE;

  const Ch separator = *last;
  *last = 0;
  DWORD status = QXERR_NONE;
  if (!win::CreateDirectoryT(path) && GetLastError() != ERROR_ALREADY_EXISTS) {
    status = MakeFolderChain(path);
    // A folder that another caller made meanwhile is as good as our own.
    if (status == QXERR_NONE && !win::CreateDirectoryT(path) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      status = QXERR_MKDIR;
  }
  *last = separator;
  return status;
}

// Makes every missing folder above the last component of `path`.
template <class Ch>
DWORD MakeDirectories(const Ch* path) noexcept {
  if (path == nullptr) return QXERR_BADPARAM;
  const std::size_t length = std::char_traits<Ch>::length(path);
  if (length >= kWorkChars) return QXERR_BADPARAM;
  Ch work[kWorkChars];
  CopyUnits(work, path, length);
  return MakeFolderChain(work);
}

}  // namespace qx::fileop
