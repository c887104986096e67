// An open registry key, closed on every path out of a scope.
#pragma once

#include "platform/unique_handle.h"

namespace qx::reg {

struct RegKeyTraits {
  using type = HKEY;
  static type Invalid() noexcept { return nullptr; }
  static void Close(type key) noexcept { RegCloseKey(key); }
};

using RegKey = unique_handle<RegKeyTraits>;

}  // namespace qx::reg
