// qxDispLastError under a real window system (Wine with Xvfb): a watcher
// thread finds the box by its caption, reads it and presses OK.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "qxdll32.h"
#include "support/test_support.h"

namespace {

struct SeenBox {
  bool found = false;
  std::string text;
  HWND owner = nullptr;
};

std::string TrimEnd(std::string s) {
  while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' '))
    s.pop_back();
  return s;
}

std::string SystemMessage(DWORD code) {
  char* message = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                 MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&message), 0,
                 nullptr);
  std::string text = message != nullptr ? message : "";
  LocalFree(message);
  return TrimEnd(text);
}

BOOL CALLBACK CollectText(HWND child, LPARAM param) {
  char buffer[512] = {};
  char cls[32] = {};
  GetClassNameA(child, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, buffer, sizeof buffer) > 0) {
    *reinterpret_cast<std::string*>(param) += buffer;
  }
  return TRUE;
}

// Shows the box for `code` owned by `owner` and reports what appeared.
SeenBox ShowAndClose(DWORD code, HWND owner) {
  SeenBox seen;
  const std::string caption = "LastError : " + std::to_string(code);
  std::thread watcher([&] {
    for (int tries = 0; tries < 1000 && !seen.found; ++tries) {
      if (HWND box = FindWindowA("#32770", caption.c_str())) {
        seen.found = true;
        EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&seen.text));
        seen.text = TrimEnd(seen.text);
        seen.owner = GetWindow(box, GW_OWNER);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(10);
    }
  });
  SetLastError(code);
  qxDispLastError(owner);
  watcher.join();
  return seen;
}

TEST(DispLastError, ShowsTheSystemMessageOfTheLastError) {
  qxtest::PrimeErrCode(QXERR_BADPARAM);
  const SeenBox seen = ShowAndClose(ERROR_FILE_NOT_FOUND, nullptr);
  ASSERT_TRUE(seen.found) << "no box captioned \"LastError : 2\"";
  EXPECT_EQ(seen.text, SystemMessage(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(seen.owner, nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "the library error code is not touched";
}

TEST(DispLastError, BoxBelongsToTheGivenOwner) {
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  const SeenBox seen = ShowAndClose(ERROR_ACCESS_DENIED, owner);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.owner, owner);
  EXPECT_EQ(seen.text, SystemMessage(ERROR_ACCESS_DENIED));
  DestroyWindow(owner);
}

}  // namespace
