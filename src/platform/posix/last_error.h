// Failing the Win32 way: the reason goes to the thread's last error and the
// call returns its failure value (FALSE unless the call has another).
#pragma once

#include "platform/win32_api.h"

namespace qx::platform {

template <class Result = BOOL>
Result Fail(DWORD code, Result failure = FALSE) noexcept {
  SetLastError(code);
  return failure;
}

}  // namespace qx::platform
