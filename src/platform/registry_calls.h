// The A and W registry calls under one name each, as system_calls.h does
// for the file and locale calls.
#pragma once

#include "platform/win32_api.h"

namespace qx::win {

inline LSTATUS RegOpenKeyExT(HKEY root, const char* path, REGSAM access, HKEY* key) noexcept {
  return RegOpenKeyExA(root, path, 0, access, key);
}
inline LSTATUS RegOpenKeyExT(HKEY root, const WCHAR* path, REGSAM access, HKEY* key) noexcept {
  return RegOpenKeyExW(root, path, 0, access, key);
}

inline LSTATUS RegCreateKeyExT(HKEY root, const char* path, REGSAM access, HKEY* key) noexcept {
  return RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, key,
                         nullptr);
}
inline LSTATUS RegCreateKeyExT(HKEY root, const WCHAR* path, REGSAM access, HKEY* key) noexcept {
  return RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, key,
                         nullptr);
}

inline LSTATUS RegQueryValueExT(HKEY key, const char* name, DWORD* type, BYTE* data,
                                DWORD* size) noexcept {
  return RegQueryValueExA(key, name, nullptr, type, data, size);
}
inline LSTATUS RegQueryValueExT(HKEY key, const WCHAR* name, DWORD* type, BYTE* data,
                                DWORD* size) noexcept {
  return RegQueryValueExW(key, name, nullptr, type, data, size);
}

inline LSTATUS RegSetValueExT(HKEY key, const char* name, DWORD type, const BYTE* data,
                              DWORD size) noexcept {
  return RegSetValueExA(key, name, 0, type, data, size);
}
inline LSTATUS RegSetValueExT(HKEY key, const WCHAR* name, DWORD type, const BYTE* data,
                              DWORD size) noexcept {
  return RegSetValueExW(key, name, 0, type, data, size);
}

inline LSTATUS RegEnumKeyExT(HKEY key, DWORD index, char* name, DWORD* units) noexcept {
  return RegEnumKeyExA(key, index, name, units, nullptr, nullptr, nullptr, nullptr);
}
inline LSTATUS RegEnumKeyExT(HKEY key, DWORD index, WCHAR* name, DWORD* units) noexcept {
  return RegEnumKeyExW(key, index, name, units, nullptr, nullptr, nullptr, nullptr);
}

inline LSTATUS RegDeleteKeyT(HKEY root, const char* path) noexcept {
  return RegDeleteKeyA(root, path);
}
inline LSTATUS RegDeleteKeyT(HKEY root, const WCHAR* path) noexcept {
  return RegDeleteKeyW(root, path);
}

}  // namespace qx::win
