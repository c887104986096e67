// Win32 moves, folder creation and the first-match search over POSIX calls.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <string>
#include <sys/stat.h>

#include "platform/posix/file_time_convert.h"
#include "platform/posix/last_error.h"
#include "platform/posix/native_path.h"
#include "platform/posix/utf16.h"
#include "platform/win32_api.h"

namespace qx::platform {
namespace {

// A found entry: its POSIX name and status.
struct FoundEntry {
  std::string name;
  struct stat status;
};

// What a search handle points at; nothing is kept past FindFirstFile.
struct FindRecord {
  DWORD signature = 0x646E6946;  // "Find"
};

BOOL MoveNative(const std::string& from, const std::string& to) {
  struct stat status;
  if (::lstat(from.c_str(), &status) != 0) return Fail(ErrorFromErrno(errno, from));
  // Win32 never replaces an existing destination here; RENAME_NOREPLACE
  // makes the test and the move one step where the file system allows it.
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return TRUE;
  if (errno == EINVAL || errno == ENOSYS) {
    if (::lstat(to.c_str(), &status) == 0) return Fail(ERROR_ALREADY_EXISTS);
    if (::rename(from.c_str(), to.c_str()) == 0) return TRUE;
  }
  if (errno == EEXIST || errno == ENOTEMPTY) return Fail(ERROR_ALREADY_EXISTS);
  if (errno == EXDEV) return Fail(ERROR_NOT_SAME_DEVICE);
  return Fail(ErrorFromErrno(errno, to));
}

BOOL CreateDirectoryNative(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return TRUE;
  return Fail(errno == EEXIST ? ERROR_ALREADY_EXISTS : ErrorFromErrno(errno, path));
}

// Win32 wildcard match of one name: * any run, ? any one character.
bool Matches(const char* pattern, const char* name) {
  if (*pattern == '\0') return *name == '\0';
  if (*pattern == '*') {
    for (;; ++name) {
      if (Matches(pattern + 1, name)) return true;
      if (*name == '\0') return false;
    }
  }
  if (*name == '\0') return false;
  return (*pattern == '?' || *pattern == *name) && Matches(pattern + 1, name + 1);
}

// The first entry matching `path`, whose last component may hold * and ?.
bool FindNative(const std::string& path, FoundEntry& found) {
  const auto slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);
  if (pattern.empty()) return Fail(ERROR_FILE_NOT_FOUND, false);
  if (pattern.find_first_of("*?") == std::string::npos) {
    if (::lstat(path.c_str(), &found.status) != 0) return Fail(ErrorFromErrno(errno, path), false);
    found.name = pattern;
    return true;
  }
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return Fail(ErrorFromErrno(errno, path), false);
  bool hit = false;
  while (const dirent* entry = ::readdir(dir)) {
    if (!Matches(pattern.c_str(), entry->d_name)) continue;
    if (::lstat((folder + entry->d_name).c_str(), &found.status) != 0) continue;
    found.name = entry->d_name;
    hit = true;
    break;
  }
  ::closedir(dir);
  if (!hit) SetLastError(ERROR_FILE_NOT_FOUND);
  return hit;
}

template <class FindData>
void FillCommon(const FoundEntry& entry, FindData& data) {
  std::memset(&data, 0, sizeof data);
  const struct stat& st = entry.status;
  data.dwFileAttributes = S_ISDIR(st.st_mode)        ? FILE_ATTRIBUTE_DIRECTORY
                          : (st.st_mode & 0222) == 0 ? FILE_ATTRIBUTE_READONLY
                                                     : FILE_ATTRIBUTE_NORMAL;
  data.ftCreationTime = FileTimeFromTimespec(st.st_ctim);
  data.ftLastAccessTime = FileTimeFromTimespec(st.st_atim);
  data.ftLastWriteTime = FileTimeFromTimespec(st.st_mtim);
  const auto size = S_ISDIR(st.st_mode) ? 0u : static_cast<std::uint64_t>(st.st_size);
  data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data.nFileSizeLow = static_cast<DWORD>(size);
}

HANDLE NewFindHandle() {
  auto* record = new (std::nothrow) FindRecord;
  if (record == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return record == nullptr ? INVALID_HANDLE_VALUE : record;
}

}  // namespace
}  // namespace qx::platform

using qx::platform::Fail;
using qx::platform::NativePath;

namespace {

// Both names in POSIX form, or the Win32 error for a null or unmappable one.
bool NativePair(LPCWSTR a, LPCWSTR b, std::string& outA, std::string& outB) {
  if (a == nullptr || b == nullptr) return Fail(ERROR_INVALID_PARAMETER, false);
  if (!NativePath(a, outA) || !NativePath(b, outB)) return Fail(ERROR_INVALID_NAME, false);
  return true;
}

bool NativeOne(LPCWSTR name, std::string& out) {
  if (name == nullptr || !NativePath(name, out))
    return Fail(name == nullptr ? ERROR_INVALID_PARAMETER : ERROR_INVALID_NAME, false);
  return true;
}

}  // namespace

extern "C" BOOL MoveFileA(LPCSTR from, LPCSTR to) {
  if (from == nullptr || to == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  return qx::platform::MoveNative(NativePath(from), NativePath(to));
}

extern "C" BOOL MoveFileW(LPCWSTR from, LPCWSTR to) {
  std::string nativeFrom, nativeTo;
  if (!NativePair(from, to, nativeFrom, nativeTo)) return FALSE;
  return qx::platform::MoveNative(nativeFrom, nativeTo);
}

extern "C" BOOL CreateDirectoryA(LPCSTR name, LPSECURITY_ATTRIBUTES) {
  if (name == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  return qx::platform::CreateDirectoryNative(NativePath(name));
}

extern "C" BOOL CreateDirectoryW(LPCWSTR name, LPSECURITY_ATTRIBUTES) {
  std::string native;
  if (!NativeOne(name, native)) return FALSE;
  return qx::platform::CreateDirectoryNative(native);
}

extern "C" HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* found) {
  qx::platform::FoundEntry entry;
  if (pattern == nullptr || found == nullptr)
    return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  if (!qx::platform::FindNative(NativePath(pattern), entry)) return INVALID_HANDLE_VALUE;
  qx::platform::FillCommon(entry, *found);
  std::snprintf(found->cFileName, sizeof found->cFileName, "%s", entry.name.c_str());
  return qx::platform::NewFindHandle();
}

extern "C" HANDLE FindFirstFileW(LPCWSTR pattern, WIN32_FIND_DATAW* found) {
  qx::platform::FoundEntry entry;
  std::string native;
  if (found == nullptr) return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
  if (!NativeOne(pattern, native)) return INVALID_HANDLE_VALUE;
  if (!qx::platform::FindNative(native, entry)) return INVALID_HANDLE_VALUE;
  qx::platform::FillCommon(entry, *found);
  qx::platform::Utf8ToUtf16(entry.name, found->cFileName, MAX_PATH);
  return qx::platform::NewFindHandle();
}

extern "C" BOOL FindClose(HANDLE find) {
  // File handles are small biased descriptors, never heap addresses.
  const auto bits = reinterpret_cast<std::uintptr_t>(find);
  auto* record = static_cast<qx::platform::FindRecord*>(find);
  if (bits < 0x10000 || find == INVALID_HANDLE_VALUE || record->signature != 0x646E6946)
    return Fail(ERROR_INVALID_HANDLE);
  record->signature = 0;
  delete record;
  return TRUE;
}
