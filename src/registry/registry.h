// Registry access in one call each: open or create the key, do one thing,
// close it, and return QXERR_NONE or the reason for the failure. Written
// once for both character types; the exports are thin shims.
#pragma once

#include <string>

#include "platform/registry_calls.h"
#include "platform/win32_api.h"
#include "qxdll32.h"
#include "registry/reg_key.h"
#include "registry/text_builder.h"

namespace qx::reg {

// Every key is opened or created with full access, so a key the caller may
// only read fails to open.
inline constexpr REGSAM kAccess = KEY_ALL_ACCESS;

// Key paths are composed in 1024 units (bytes in the A form).
inline constexpr std::size_t kPathUnits = 1024;

// Key names hold at most 255 characters, which in a double-byte code page
// can take twice as many bytes.
template <class Ch>
inline constexpr DWORD kNameUnits = sizeof(Ch) == 1 ? 512 : 256;

template <class Ch>
using KeyPath = TextBuilder<Ch, kPathUnits>;

// keyPath, or keyPath "\" subKey when subKey is not null. An empty subKey
// still adds the backslash. False when the result does not fit.
template <class Ch>
bool ComposePath(const Ch* keyPath, const Ch* subKey, KeyPath<Ch>& out) noexcept {
  out.Append(keyPath);
  if (subKey != nullptr) out.Append(static_cast<Ch>('\\')).Append(subKey);
  return out.fits();
}

// Opens root\keyPath[\subKey] into `key`.
template <class Ch>
DWORD OpenComposed(HKEY root, const Ch* keyPath, const Ch* subKey, RegKey& key) noexcept {
  KeyPath<Ch> path;
  if (!ComposePath(keyPath, subKey, path)) return QXERR_BADPARAM;
  if (win::RegOpenKeyExT(root, path.c_str(), kAccess, key.put()) != ERROR_SUCCESS)
    return QXERR_REGOPEN;
  return QXERR_NONE;
}

template <class Ch>
DWORD FindKey(HKEY root, const Ch* keyPath, const Ch* subKey) noexcept {
  if (keyPath == nullptr) return QXERR_BADPARAM;
  RegKey key;
  return OpenComposed(root, keyPath, subKey, key);
}

// Queries a value straight into the caller's buffer of `size` bytes and
// checks that its type is `type`. On a type mismatch the data already
// copied stays in the buffer.
template <class Ch>
DWORD GetValue(HKEY root, const Ch* keyPath, const Ch* subKey, const Ch* valueName, DWORD type,
               BYTE* data, DWORD size) noexcept {
  if (keyPath == nullptr || data == nullptr) return QXERR_BADPARAM;
  RegKey key;
  if (const DWORD status = OpenComposed(root, keyPath, subKey, key); status != QXERR_NONE)
    return status;
  DWORD stored = REG_NONE;
  if (win::RegQueryValueExT(key.get(), valueName, &stored, data, &size) != ERROR_SUCCESS)
    return QXERR_REGQUERY;
  return stored == type ? QXERR_NONE : QXERR_BADDATA;
}

// Creates root\keyPath[\subKey] with every missing key above it and, when
// `data` is not null, writes the value. A failed write leaves the key.
template <class Ch>
DWORD SetKeyAndValue(HKEY root, const Ch* keyPath, const Ch* subKey, const Ch* valueName,
                     DWORD type, const BYTE* data, DWORD size) noexcept {
  if (keyPath == nullptr) return QXERR_BADPARAM;
  KeyPath<Ch> path;
  if (!ComposePath(keyPath, subKey, path)) return QXERR_BADPARAM;
  RegKey key;
  if (win::RegCreateKeyExT(root, path.c_str(), kAccess, key.put()) != ERROR_SUCCESS)
    return QXERR_REGCREATE;
  if (data != nullptr &&
      win::RegSetValueExT(key.get(), valueName, type, data, size) != ERROR_SUCCESS) {
    return QXERR_REGSET;
  }
  return QXERR_NONE;
}

// A string value with its terminator; a null string only creates the key.
template <class Ch>
DWORD SetKeyAndString(HKEY root, const Ch* keyPath, const Ch* subKey, const Ch* valueName,
                      const Ch* text) noexcept {
  const DWORD bytes =
      text == nullptr ? 0
                      : static_cast<DWORD>((std::char_traits<Ch>::length(text) + 1) * sizeof(Ch));
  return SetKeyAndValue(root, keyPath, subKey, valueName, REG_SZ,
                        reinterpret_cast<const BYTE*>(text), bytes);
}

// Deletes root\keyPath and its whole subtree, depth first: children are
// taken one at a time from index 0 (a deleted child frees that index) and
// the key itself goes last. A failure at any level stops the deletion and
// returns that level's status; what was deleted stays deleted.
//
// The recursion goes one level per key depth, and the registry limits key
// nesting (512 levels), so the stack holds at most that many frames of one
// name buffer each. A null or empty path would name the root itself and
// empty its whole subtree, so it is refused; that also stops an empty
// enumerated name from deleting its own parent's children over and over.
template <class Ch>
DWORD DeleteTree(HKEY root, const Ch* keyPath) noexcept {
  if (keyPath == nullptr || *keyPath == 0) return QXERR_BADPARAM;
  RegKey key;
  if (win::RegOpenKeyExT(root, keyPath, kAccess, key.put()) != ERROR_SUCCESS) return QXERR_REGOPEN;
  for (;;) {
    Ch name[kNameUnits<Ch>];
    DWORD units = kNameUnits<Ch>;
    if (win::RegEnumKeyExT(key.get(), 0, name, &units) != ERROR_SUCCESS) break;
    if (const DWORD status = DeleteTree(key.get(), name); status != QXERR_NONE) return status;
  }
  key.reset();
  return win::RegDeleteKeyT(root, keyPath) == ERROR_SUCCESS ? QXERR_NONE : QXERR_REGDELETE;
}

}  // namespace qx::reg
