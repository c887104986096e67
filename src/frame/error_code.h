// The library error code: one process-wide value that exported functions
// set when they fail (and a few clear when they start), read back by
// qxGetErrCode. Atomic so that concurrent callers never race on it; the
// value read may still come from another thread's call.
#pragma once

#include <atomic>

#include "platform/win32_api.h"
#include "qxdll32.h"

namespace qx {

inline std::atomic<DWORD> g_errCode{QXERR_NONE};

inline void SetErrCode(DWORD code) noexcept {
  g_errCode.store(code, std::memory_order_relaxed);
}

// An export's result from its core's status: a failure sets the error
// code, success leaves it alone.
inline QXBOOL Report(DWORD status) noexcept {
  if (status != QXERR_NONE) SetErrCode(status);
  return status == QXERR_NONE;
}

inline DWORD ErrCode() noexcept {
  return g_errCode.load(std::memory_order_relaxed);
}

}  // namespace qx
