// GUIDs in their registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}":
// 38 characters and the terminator.
#pragma once

#include <cstring>

#include "platform/win32_api.h"

namespace qx::reg {

inline constexpr int kGuidUnits = 39;

// The W form is the system's own conversion straight into the caller's
// buffer, which refuses fewer than 39 units.
inline HRESULT StringFromGuid(const GUID* guid, wchar_t* buffer, int size) noexcept {
  if (guid == nullptr || buffer == nullptr) return E_INVALIDARG;
  return StringFromGUID2(*guid, buffer, size) != 0 ? S_OK : E_FAIL;
}

// The A form converts through the OEM code page. The conversion is made
// locally first so that a buffer that is too small gets E_FAIL and no
// partial, unterminated copy.
inline HRESULT StringFromGuid(const GUID* guid, char* buffer, int size) noexcept {
  if (guid == nullptr || buffer == nullptr) return E_INVALIDARG;
  wchar_t wide[64];
  if (StringFromGUID2(*guid, wide, 64) == 0) return E_FAIL;
  char bytes[64];
  const int needed =
      WideCharToMultiByte(CP_OEMCP, 0, wide, -1, bytes, sizeof bytes, nullptr, nullptr);
  if (needed == 0 || needed > size) return E_FAIL;
  std::memcpy(buffer, bytes, static_cast<std::size_t>(needed));
  return S_OK;
}

}  // namespace qx::reg
