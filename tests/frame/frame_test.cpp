// The frame's queries and the life of the library error code, checked on a
// freshly loaded copy of the library so its state is known.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "qxdll32.h"
#include "support/test_support.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

// A second, private instance of the library: on Windows a copy of the DLL
// under another name, natively the shared object (the test itself links the
// objects). Its state starts as a process attach leaves it.
class FreshLibrary {
 public:
  FreshLibrary() {
#if defined(_WIN32)
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dir(self);
    dir.resize(dir.find_last_of(L'\\') + 1);
    copy_ = dir + L"qxdll32-fresh-" + std::to_wstring(GetCurrentProcessId()) + L".dll";
    CopyFileW((dir + L"qxdll32.dll").c_str(), copy_.c_str(), FALSE);
    module_ = LoadLibraryW(copy_.c_str());
#else
    module_ = dlopen(QX_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
#endif
  }
  ~FreshLibrary() {
#if defined(_WIN32)
    if (module_ != nullptr) FreeLibrary(module_);
    DeleteFileW(copy_.c_str());
#else
    if (module_ != nullptr) dlclose(module_);
#endif
  }
  bool loaded() const {
    return module_ != nullptr;
  }

  template <class Fn>
  Fn Get(const char* name) const {
#if defined(_WIN32)
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
#else
    return reinterpret_cast<Fn>(dlsym(module_, name));
#endif
  }

 private:
#if defined(_WIN32)
  HMODULE module_ = nullptr;
  std::wstring copy_;
#else
  void* module_ = nullptr;
#endif
};

using GetErrCodeFn = QXDWORD(QXAPI*)();
using PathFn = char*(QXAPI*)(char*);
using ControlFn = QXBOOL(QXAPI*)(char*);

TEST(Frame, VersionIs113) {
  EXPECT_EQ(qxGetVersion(), 113u);
}

TEST(Frame, ErrorCodeStartsAtZeroAndPersistsUntilOverwritten) {
  FreshLibrary lib;
  ASSERT_TRUE(lib.loaded());
  auto getErr = lib.Get<GetErrCodeFn>("qxGetErrCode");
  auto scanFile = lib.Get<PathFn>("qxScanFileNameA");
  auto scanExt = lib.Get<PathFn>("qxScanExtNameA");
  auto controlPath = lib.Get<ControlFn>("qxControlRightPathA");
  ASSERT_NE(getErr, nullptr);
  ASSERT_NE(scanFile, nullptr);

  EXPECT_EQ(getErr(), QXERR_NONE);
  EXPECT_EQ(controlPath(nullptr), 0);
  EXPECT_EQ(getErr(), QXERR_BADPARAM);
  EXPECT_EQ(getErr(), QXERR_BADPARAM) << "reading the code must not clear it";

  char path[] = "dir\\file.txt";
  EXPECT_NE(scanFile(path), nullptr);
  EXPECT_NE(controlPath(path), 0);
  EXPECT_EQ(getErr(), QXERR_BADPARAM) << "successful calls that do not clear leave it";
  EXPECT_NE(scanExt(path), nullptr);
  EXPECT_EQ(getErr(), QXERR_NONE);

  // The instances keep separate state.
  qxtest::PrimeErrCode(QXERR_BADPARAM);
  EXPECT_EQ(getErr(), QXERR_NONE);
}

TEST(Frame, LeadTableIsOneStableArrayOfZerosAndOnes) {
  const unsigned char* table = qxGetDBCSLeadTable();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table, qxGetDBCSLeadTable());
  for (int c = 0; c < 256; ++c)
    EXPECT_LE(table[c], 1) << c;
  for (int c = 0; c < 32; ++c)
    EXPECT_EQ(table[c], 0) << c;
}

TEST(Frame, QueriesLeaveTheErrorCodeAlone) {
  qxtest::PrimeErrCode(QXERR_BADPARAM);
  qxGetVersion();
  qxGetDBCSLeadTable();
  qxGetErrCode();
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
}

}  // namespace
