// A real client end to end: Wine's regsvr32 registers qxtest_adder.dll,
// whose DllRegisterServer calls qxRegisterServerA; the client finds the
// class by both ProgIDs, creates the object and calls it; regsvr32 /u then
// leaves no key behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "registry/adder/adder.h"
#include "registry/reg_scratch.h"

namespace {

using qxtest::KeyExists;

std::string ServerPath() {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string path = exe;
  return path.substr(0, path.find_last_of('\\') + 1) + "qxtest_adder.dll";
}

// Runs regsvr32 in this Wine prefix and returns its exit code.
DWORD Regsvr32(const std::string& options) {
  std::string command = "regsvr32.exe " + options + " \"" + ServerPath() + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return GetLastError() | 0x80000000u;
  DWORD code = 0xFFFFFFFFu;
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

void RemoveAdderKeys() {
  for (const char* key : {qxtest::kAdderClassKey, qxtest::kAdderProgId, qxtest::kAdderViProgId})
    qxtest::DeleteTree(HKEY_CLASSES_ROOT, key);
}

std::wstring Wide(const char* text) {
  return std::wstring(text, text + std::char_traits<char>::length(text));
}

TEST(ComServerEndToEnd, RegsvrRegistersTheClientCallsRegsvrUnregisters) {
  RemoveAdderKeys();
  ASSERT_EQ(Regsvr32("/s"), 0u);
  const std::string server = std::string(qxtest::kAdderClassKey) + "\\InprocServer32";
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(qxtest::ReadRaw(HKEY_CLASSES_ROOT, server, nullptr, &type, &data));
  EXPECT_EQ(lstrcmpiA(data.c_str(), ServerPath().c_str()), 0) << data;
  ASSERT_TRUE(qxtest::ReadRaw(HKEY_CLASSES_ROOT, server, "ThreadingModel", &type, &data));
  EXPECT_STREQ(data.c_str(), "Both");

  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  for (const char* progId : {qxtest::kAdderProgId, qxtest::kAdderViProgId}) {
    CLSID clsid = {};
    EXPECT_EQ(CLSIDFromProgID(Wide(progId).c_str(), &clsid), S_OK) << progId;
    EXPECT_TRUE(IsEqualCLSID(clsid, qxtest::kAdderClsid)) << progId;
  }
  qxtest::IAdder* adder = nullptr;
  ASSERT_EQ(CoCreateInstance(qxtest::kAdderClsid, nullptr, CLSCTX_INPROC_SERVER, qxtest::kAdderIid,
                             reinterpret_cast<void**>(&adder)),
            S_OK);
  int sum = 0;
  EXPECT_EQ(adder->Add(40, 2, &sum), S_OK);
  EXPECT_EQ(sum, 42);
  adder->Release();
  CoUninitialize();

  EXPECT_EQ(Regsvr32("/u /s"), 0u);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, qxtest::kAdderClassKey));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, qxtest::kAdderProgId));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, qxtest::kAdderViProgId));
  RemoveAdderKeys();
}

}  // namespace
