// File handles as the POSIX layer gives them out: the descriptor plus a
// bias, so that no descriptor looks like a null handle or
// INVALID_HANDLE_VALUE. Anything below the bias is no file of ours.
#pragma once

#include <cstdint>

#include "platform/win32_api.h"

namespace qx::platform {

inline constexpr std::intptr_t kHandleBias = 0x4000;

inline HANDLE HandleFromFd(int fd) noexcept {
  return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(fd) + kHandleBias);
}

inline int FdFromHandle(HANDLE handle) noexcept {
  const auto value = reinterpret_cast<std::intptr_t>(handle);
  return value < kHandleBias ? -1 : static_cast<int>(value - kHandleBias);
}

}  // namespace qx::platform
