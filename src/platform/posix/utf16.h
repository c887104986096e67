// UTF-8 text (POSIX file names, locale strings) as UTF-16 for the W calls.
#pragma once

#include <string_view>

#include "platform/win32_api.h"

namespace qx::platform {

// Writes at most `size` - 1 units and a terminator; false when the text did
// not fit. A malformed byte becomes U+FFFD.
bool Utf8ToUtf16(std::string_view text, WCHAR* out, std::size_t size);

}  // namespace qx::platform
