// Win32 path strings turned into POSIX file names at the OS boundary.
#pragma once

#include <string>

#include "platform/win32_api.h"

namespace qx::platform {

// Code-page bytes as they stand, with each single-byte backslash turned
// into a slash (a 0x5C trail byte of a double-byte character is kept).
std::string NativePath(LPCSTR path);

// UTF-16 turned into UTF-8, backslashes into slashes. False for an unpaired
// surrogate, which no POSIX name can carry.
bool NativePath(LPCWSTR path, std::string& out);

// The Win32 error code for an errno value from a call on `path`. ENOENT
// becomes ERROR_PATH_NOT_FOUND when the containing folder is missing too.
DWORD ErrorFromErrno(int error, const std::string& path);

}  // namespace qx::platform
