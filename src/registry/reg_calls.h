// The A and W registry calls behind one name per operation, so that each
// registry algorithm is written once for both character types. Every key
// is opened or created with full access, so a key the caller may only read
// fails to open.
#pragma once

#include "platform/win32_api.h"

namespace qx::reg {

template <class Ch>
struct RegCalls;

template <>
struct RegCalls<char> {
  // Key names hold at most 255 characters, which in a double-byte code page
  // can take twice as many bytes.
  static constexpr DWORD kNameUnits = 512;

  static LSTATUS Open(HKEY root, const char* path, HKEY* key) noexcept {
    return RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, key);
  }
  static LSTATUS Create(HKEY root, const char* path, HKEY* key) noexcept {
    return RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                           key, nullptr);
  }
  static LSTATUS Query(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) noexcept {
    return RegQueryValueExA(key, name, nullptr, type, data, size);
  }
  static LSTATUS Set(HKEY key, const char* name, DWORD type, const BYTE* data,
                     DWORD size) noexcept {
    return RegSetValueExA(key, name, 0, type, data, size);
  }
  static LSTATUS FirstSubKey(HKEY key, char* name, DWORD* units) noexcept {
    return RegEnumKeyExA(key, 0, name, units, nullptr, nullptr, nullptr, nullptr);
  }
  static LSTATUS Delete(HKEY root, const char* path) noexcept { return RegDeleteKeyA(root, path); }
};

template <>
struct RegCalls<wchar_t> {
  static constexpr DWORD kNameUnits = 256;

  static LSTATUS Open(HKEY root, const wchar_t* path, HKEY* key) noexcept {
    return RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS, key);
  }
  static LSTATUS Create(HKEY root, const wchar_t* path, HKEY* key) noexcept {
    return RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                           key, nullptr);
  }
  static LSTATUS Query(HKEY key, const wchar_t* name, DWORD* type, BYTE* data,
                       DWORD* size) noexcept {
    return RegQueryValueExW(key, name, nullptr, type, data, size);
  }
  static LSTATUS Set(HKEY key, const wchar_t* name, DWORD type, const BYTE* data,
                     DWORD size) noexcept {
    return RegSetValueExW(key, name, 0, type, data, size);
  }
  static LSTATUS FirstSubKey(HKEY key, wchar_t* name, DWORD* units) noexcept {
    return RegEnumKeyExW(key, 0, name, units, nullptr, nullptr, nullptr, nullptr);
  }
  static LSTATUS Delete(HKEY root, const wchar_t* path) noexcept {
    return RegDeleteKeyW(root, path);
  }
};

}  // namespace qx::reg
