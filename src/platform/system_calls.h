// The A and W system calls under one name each, so that a template on the
// character type calls the form that matches its strings. The T suffix
// keeps clear of the Windows header's own A/W switching macros. The
// registry's calls are in registry_calls.h, which only Windows builds use.
#pragma once

#include "platform/win32_api.h"

namespace qx::win {

inline HANDLE CreateFileT(const char* name, DWORD access, DWORD share, DWORD disposition,
                          DWORD flags) noexcept {
  return CreateFileA(name, access, share, nullptr, disposition, flags, nullptr);
}
inline HANDLE CreateFileT(const WCHAR* name, DWORD access, DWORD share, DWORD disposition,
                          DWORD flags) noexcept {
  return CreateFileW(name, access, share, nullptr, disposition, flags, nullptr);
}

#ifdef _WIN32
// Only the file operation engine, a Windows family, sets attributes.
inline BOOL SetFileAttributesT(const char* name, DWORD attributes) noexcept {
  return SetFileAttributesA(name, attributes);
}
inline BOOL SetFileAttributesT(const WCHAR* name, DWORD attributes) noexcept {
  return SetFileAttributesW(name, attributes);
}
#endif

inline BOOL DeleteFileT(const char* name) noexcept {
  return DeleteFileA(name);
}
inline BOOL DeleteFileT(const WCHAR* name) noexcept {
  return DeleteFileW(name);
}

inline BOOL MoveFileT(const char* from, const char* to) noexcept {
  return MoveFileA(from, to);
}
inline BOOL MoveFileT(const WCHAR* from, const WCHAR* to) noexcept {
  return MoveFileW(from, to);
}

inline BOOL CreateDirectoryT(const char* name) noexcept {
  return CreateDirectoryA(name, nullptr);
}
inline BOOL CreateDirectoryT(const WCHAR* name) noexcept {
  return CreateDirectoryW(name, nullptr);
}

inline HANDLE FindFirstFileT(const char* pattern) noexcept {
  WIN32_FIND_DATAA found;
  return FindFirstFileA(pattern, &found);
}
inline HANDLE FindFirstFileT(const WCHAR* pattern) noexcept {
  WIN32_FIND_DATAW found;
  return FindFirstFileW(pattern, &found);
}

inline int GetLocaleInfoT(LCID locale, LCTYPE type, char* data, int size) noexcept {
  return GetLocaleInfoA(locale, type, data, size);
}
inline int GetLocaleInfoT(LCID locale, LCTYPE type, WCHAR* data, int size) noexcept {
  return GetLocaleInfoW(locale, type, data, size);
}

template <class Ch>
struct NumberFormat;
template <>
struct NumberFormat<char> {
  using type = NUMBERFMTA;
};
template <>
struct NumberFormat<WCHAR> {
  using type = NUMBERFMTW;
};

inline int GetNumberFormatT(LCID locale, const char* value, const NUMBERFMTA* format, char* out,
                            int size) noexcept {
  return GetNumberFormatA(locale, 0, value, format, out, size);
}
inline int GetNumberFormatT(LCID locale, const WCHAR* value, const NUMBERFMTW* format, WCHAR* out,
                            int size) noexcept {
  return GetNumberFormatW(locale, 0, value, format, out, size);
}

}  // namespace qx::win
