// The module handle recorded at process attach; dialogs, strings and
// cursors are loaded from it.
#pragma once

#include "platform/win32_api.h"

namespace qx {

inline HINSTANCE g_module = nullptr;

}  // namespace qx
