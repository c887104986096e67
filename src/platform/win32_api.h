// The Win32 API as the library's families call it. On Windows this is the
// system's own header; elsewhere the platform layer supplies the subset the
// portable families use, with Win32 semantics and GetLastError.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include "posix/win32_posix.h"
#endif
