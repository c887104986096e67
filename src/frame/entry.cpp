// The library entry function. Process attach records the module, clears the
// error code and builds the code-page tables; nothing happens on any other
// reason, and loading never fails on the library's account.
#include "frame/error_code.h"
#include "frame/module.h"
#include "frame/tables.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    qx::g_module = instance;
    qx::SetErrCode(QXERR_NONE);
    qx::BuildCodePageTables();
  }
  return TRUE;
}
