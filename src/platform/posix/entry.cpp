// The POSIX stand-in for the Windows loader: calls the library's entry
// function with a process attach when the shared object (or a program
// linking the library's objects) is loaded.
#include <dlfcn.h>

#include "platform/win32_api.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

__attribute__((constructor)) void AttachProcess() {
  Dl_info info{};
  HINSTANCE self = nullptr;
  if (::dladdr(reinterpret_cast<void*>(&AttachProcess), &info) != 0) {
    self = static_cast<HINSTANCE>(info.dli_fbase);
  }
  DllMain(self, DLL_PROCESS_ATTACH, nullptr);
}

}  // namespace
