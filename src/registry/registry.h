// Registry access in one call each: open or create the key, do one thing,
// close it, and leave the reason for a failure in the library error code.
// Written once for both character types; the exports are thin shims.
#pragma once

#include <string>

#include "frame/error_code.h"
#include "platform/win32_api.h"
#include "registry/reg_calls.h"
#include "registry/reg_key.h"
#include "registry/text_builder.h"

namespace qx::reg {

// Key paths are composed in 1024 units (bytes in the A form).
inline constexpr std::size_t kPathUnits = 1024;

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

// Opens root\keyPath[\subKey] with full access into `key`, setting the
// error code on failure.
template <class Ch>
bool OpenComposed(HKEY root, const Ch* keyPath, const Ch* subKey, RegKey& key) noexcept {
  KeyPath<Ch> path;
  if (!ComposePath(keyPath, subKey, path)) {
    SetErrCode(QXERR_BADPARAM);
    return false;
  }
  if (RegCalls<Ch>::Open(root, path.c_str(), key.put()) != ERROR_SUCCESS) {
    SetErrCode(QXERR_REGOPEN);
    return false;
  }
  return true;
}

template <class Ch>
BOOL FindKey(HKEY root, const Ch* keyPath, const Ch* subKey) noexcept {
  if (keyPath == nullptr) {
    SetErrCode(QXERR_BADPARAM);
    return FALSE;
  }
  RegKey key;
  return OpenComposed(root, keyPath, subKey, key) ? TRUE : FALSE;
}

// Queries a value straight into the caller's buffer of `size` bytes and
// checks that its type is `type`. On a type mismatch the data already
// copied stays in the buffer.
template <class Ch>
BOOL GetValue(HKEY root, const Ch* keyPath, const Ch* subKey, const Ch* valueName, DWORD type,
              BYTE* data, DWORD size) noexcept {
  if (keyPath == nullptr || data == nullptr) {
    SetErrCode(QXERR_BADPARAM);
    return FALSE;
  }
  RegKey key;
  if (!OpenComposed(root, keyPath, subKey, key)) return FALSE;
  DWORD stored = REG_NONE;
  if (RegCalls<Ch>::Query(key.get(), valueName, &stored, data, &size) != ERROR_SUCCESS) {
    SetErrCode(QXERR_REGQUERY);
    return FALSE;
  }
  if (stored != type) {
    SetErrCode(QXERR_BADDATA);
    return FALSE;
  }
  return TRUE;
}

// Creates root\keyPath[\subKey] with every missing key above it and, when
// `data` is not null, writes the value. A failed write leaves the key.
template <class Ch>
BOOL SetKeyAndValue(HKEY root, const Ch* keyPath, const Ch* subKey, const Ch* valueName, DWORD type,
                    const BYTE* data, DWORD size) noexcept {
  if (keyPath == nullptr) {
    SetErrCode(QXERR_BADPARAM);
    return FALSE;
  }
  KeyPath<Ch> path;
  if (!ComposePath(keyPath, subKey, path)) {
    SetErrCode(QXERR_BADPARAM);
    return FALSE;
  }
  RegKey key;
  if (RegCalls<Ch>::Create(root, path.c_str(), key.put()) != ERROR_SUCCESS) {
    SetErrCode(QXERR_REGCREATE);
    return FALSE;
  }
  if (data != nullptr &&
      RegCalls<Ch>::Set(key.get(), valueName, type, data, size) != ERROR_SUCCESS) {
    SetErrCode(QXERR_REGSET);
    return FALSE;
  }
  return TRUE;
}

// A string value with its terminator; a null string only creates the key.
template <class Ch>
BOOL SetKeyAndString(HKEY root, const Ch* keyPath, const Ch* subKey, const Ch* valueName,
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
// keeps that level's error code; what was deleted stays deleted.
//
// The recursion goes one level per key depth, and the registry limits key
// nesting (512 levels), so the stack holds at most that many frames of one
// name buffer each. A null or empty path would name the root itself and
// empty its whole subtree, so it is refused; that also stops an empty
// enumerated name from deleting its own parent's children over and over.
template <class Ch>
BOOL DeleteTree(HKEY root, const Ch* keyPath) noexcept {
  if (keyPath == nullptr || *keyPath == 0) {
    SetErrCode(QXERR_BADPARAM);
    return FALSE;
  }
  RegKey key;
  if (RegCalls<Ch>::Open(root, keyPath, key.put()) != ERROR_SUCCESS) {
    SetErrCode(QXERR_REGOPEN);
    return FALSE;
  }
  for (;;) {
    Ch name[RegCalls<Ch>::kNameUnits];
    DWORD units = RegCalls<Ch>::kNameUnits;
    if (RegCalls<Ch>::FirstSubKey(key.get(), name, &units) != ERROR_SUCCESS) break;
    if (!DeleteTree(key.get(), name)) return FALSE;
  }
  key.Close();
  if (RegCalls<Ch>::Delete(root, keyPath) != ERROR_SUCCESS) {
    SetErrCode(QXERR_REGDELETE);
    return FALSE;
  }
  return TRUE;
}

}  // namespace qx::reg
