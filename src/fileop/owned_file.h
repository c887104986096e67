// A file handle from CreateFile, closed on every path out of its scope.
// The thread's last error survives the close, so a failure read after
// cleanup is still the failing call's.
#pragma once

#include <utility>

#include "platform/win32_api.h"

namespace qx::fileop {

class OwnedFile {
 public:
  explicit OwnedFile(HANDLE handle) noexcept : handle_(handle) {}
  OwnedFile(const OwnedFile&) = delete;
  OwnedFile& operator=(const OwnedFile&) = delete;
  ~OwnedFile() { reset(); }

  HANDLE get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != INVALID_HANDLE_VALUE; }

  void reset() noexcept {
    HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    if (handle == INVALID_HANDLE_VALUE) return;
    const DWORD saved = GetLastError();
    CloseHandle(handle);
    SetLastError(saved);
  }

 private:
  HANDLE handle_;
};

}  // namespace qx::fileop
