// qxDispLastError: the system's last error in a message box (Windows only).
#include <windows.h>

#include "qxdll32.h"

extern "C" void QXAPI qxDispLastError(QXHWND hwnd) {
  const DWORD code = GetLastError();
  char caption[36];
  wsprintfA(caption, "LastError : %d", static_cast<int>(code));
  LPSTR message = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                 MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&message), 0,
                 nullptr);
  MessageBoxA(hwnd, message != nullptr ? message : "", caption, MB_ICONINFORMATION | MB_OK);
  LocalFree(message);
}
