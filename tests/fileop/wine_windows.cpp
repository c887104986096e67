// Under Wine with Xvfb there is no window manager, and Wine's X11 driver
// waits two seconds for one whenever a managed window is hidden (every
// EndDialog). This program's windows are made unmanaged in its own Wine
// prefix; the driver reads the setting as a process starts, so it holds
// from the next run of the program on (CTest runs each test in a process
// of its own). On Windows nothing is written.
#include <windows.h>

namespace {

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

const bool kUnmanaged = [] {
  if (!UnderWine()) return false;
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  const char* name = path;
  for (const char* p = path; *p != 0; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  char key[MAX_PATH + 64];
  wsprintfA(key, "Software\\Wine\\AppDefaults\\%s\\X11 Driver", name);
  HKEY handle;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS)
    return false;
  RegSetValueExA(handle, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
  RegCloseKey(handle);
  return true;
}();

}  // namespace
