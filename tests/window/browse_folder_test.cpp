// The folder browser, answered by a watcher thread that finds this
// process's browser window, reads what it shows and presses OK or Cancel.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "qxdll32.h"
#include "support/test_support.h"

namespace {

// What the browser showed before the watcher answered it.
struct Seen {
  bool found = false;
  HWND owner = nullptr;
  std::string texts;  // every static text, joined by '|'
  std::string caret;  // the selected tree item's label
};

HWND FindBrowser() {
  struct Search {
    DWORD pid;
    HWND found;
  } search{GetCurrentProcessId(), nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        char cls[32] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        if (pid == s->pid && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(hwnd) &&
            FindWindowExA(hwnd, nullptr, "SysTreeView32", nullptr) != nullptr) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string CaretLabel(HWND tree) {
  const auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (item == nullptr) return {};
  char label[MAX_PATH] = {};
  TVITEMA tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = label;
  tv.cchTextMax = MAX_PATH;
  SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  return label;
}

// Runs on its own thread while the browser's modal loop runs on the test's:
// finds the browser, lets `before` act on it, records it and sends `button`.
class Watcher {
 public:
  explicit Watcher(int button, std::function<void(HWND)> before = nullptr)
      : thread_([this, button, before] { Run(button, before); }) {}
  ~Watcher() { Join(); }
  const Seen& Join() {
    if (thread_.joinable()) thread_.join();
    return seen_;
  }
  // For a call that must show nothing: it has returned, so stop looking.
  const Seen& StopAndJoin() {
    stop_ = true;
    return Join();
  }

 private:
  void Run(int button, const std::function<void(HWND)>& before) {
    HWND browser = nullptr;
    for (int tries = 0; tries < 1000 && browser == nullptr && !stop_; ++tries) {
      browser = FindBrowser();
      if (browser == nullptr) Sleep(10);
    }
    if (browser == nullptr) return;
    seen_.found = true;
    const HWND tree = FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
    // The start folder is selected while the browser initialises; give a
    // busy machine a moment to show it.
    std::string label;
    for (int tries = 0; tries < 40; ++tries) {
      Sleep(50);
      const std::string now = CaretLabel(tree);
      if (!now.empty() && now == label) break;
      label = now;
    }
    if (before) before(browser);
    seen_.caret = CaretLabel(tree);
    seen_.owner = GetWindow(browser, GW_OWNER);
    EnumChildWindows(
        browser,
        [](HWND child, LPARAM param) -> BOOL {
          char cls[32] = {}, text[256] = {};
          GetClassNameA(child, cls, sizeof cls);
          if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0)
            *reinterpret_cast<std::string*>(param) += std::string(text) + "|";
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen_.texts));
    PostMessageA(browser, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  }

  Seen seen_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class BrowseFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    // At the root of the private Wine prefix's C: drive rather than in the
    // temp folder, which other test programs keep changing: Wine's browser
    // walks to the start folder comparing item data that includes each
    // folder's modification time.
    scratch_ = "C:\\qx_browse_" + std::to_string(GetCurrentProcessId());
    RemoveScratch();
    ASSERT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((scratch_ + "\\sub").c_str(), nullptr));
  }

  void TearDown() override {
    RemoveScratch();
    CoUninitialize();
  }
  void RemoveScratch() {
    RemoveDirectoryA((scratch_ + "\\sub").c_str());
    RemoveDirectoryA((scratch_ + "\\\x95\x5C").c_str());
    RemoveDirectoryA(scratch_.c_str());
  }

  // Browses from `start` and answers with `button`; the result, the path
  // buffer and what was seen. Under load Wine's browser now and then opens
  // with nothing selected (its walk to the start folder compares item data
  // that can change underneath); such a showing is retried, with the error
  // code put back as it was, so that only a steady failure counts.
  QXBOOL Browse(const char* start, int button, Seen& seen, HWND owner = nullptr,
                const char* title = "Pick a folder") {
    const QXDWORD primed = qxGetErrCode();
    QXBOOL result = FALSE;
    for (int attempt = 0; attempt < 3; ++attempt) {
      qxtest::PrimeErrCode(primed);
      Watcher watcher(button);
      std::memset(path_, '#', sizeof path_);
      path_[sizeof path_ - 1] = '\0';
      result = qxBrowseFolderA(owner, title, path_, start);
      seen = watcher.Join();
      if (!seen.found || !seen.caret.empty()) break;
    }
    return result;
  }

  std::string scratch_;
  char path_[MAX_PATH];
};

TEST_F(BrowseFolder, OkReturnsTheTidiedStartFolder) {
  const struct {
    std::string start, path, caret;
  } rows[] = {
      {scratch_ + "\\sub\\", scratch_ + "\\sub", "sub"},
      {scratch_ + "\\\\\\sub", scratch_ + "\\sub", "sub"},
      {"C:", "C:\\", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.start);
    qxtest::PrimeErrCode(QXERR_BADPARAM);
    Seen seen;
    EXPECT_TRUE(Browse(row.start.c_str(), IDOK, seen));
    ASSERT_TRUE(seen.found);
    EXPECT_STREQ(path_, row.path.c_str());
    if (!row.caret.empty()) {
      EXPECT_EQ(seen.caret, row.caret);
    }
    EXPECT_EQ(qxGetErrCode(), QXERR_NONE) << "every call clears the error code first";
  }
}

TEST_F(BrowseFolder, CancelReturnsZeroWithTheErrorCodeCleared) {
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  qxtest::PrimeErrCode(QXERR_BADPARAM);
  Seen seen;
  EXPECT_FALSE(Browse((scratch_ + "\\sub").c_str(), IDCANCEL, seen, owner, "Choose the target"));
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(qxGetErrCode(), QXERR_NONE);
  EXPECT_EQ(seen.owner, owner);
  EXPECT_NE(seen.texts.find("Choose the target|"), std::string::npos) << seen.texts;
  EXPECT_EQ(seen.caret, "sub");
  EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner is enabled again";
  DestroyWindow(owner);
}

TEST_F(BrowseFolder, ItemWithoutAFileSystemPathIsUnavailable) {
  LPITEMIDLIST computer = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetFolderLocation(nullptr, CSIDL_DRIVES, nullptr, 0, &computer)));
  // Select "My Computer" behind the browser's back and confirm it.
  Watcher watcher(IDOK, [&](HWND browser) {
    SendMessageA(browser, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(computer));
    Sleep(100);
  });
  const QXBOOL result = qxBrowseFolderA(nullptr, nullptr, path_, scratch_.c_str());
  ASSERT_TRUE(watcher.Join().found);
  CoTaskMemFree(computer);
  EXPECT_FALSE(result);
  EXPECT_EQ(qxGetErrCode(), QXERR_UNAVAILABLE);
}

// Start folders the buffer cannot take, and a missing path buffer, are
// refused before anything is shown.
TEST_F(BrowseFolder, BadArgumentsShowNothing) {
  const std::string longest(MAX_PATH - 2, 'a');
  const std::string tooLong(MAX_PATH - 1, 'a');
  const struct {
    const char* start;
    char* path;
  } rows[] = {{nullptr, path_}, {tooLong.c_str(), path_}, {"C:\\", nullptr}};
  for (const auto& row : rows) {
    Watcher watcher(IDCANCEL);
    qxtest::PrimeErrCode(QXERR_NONE);
    EXPECT_FALSE(qxBrowseFolderA(nullptr, nullptr, row.path, row.start));
    EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
    EXPECT_FALSE(watcher.StopAndJoin().found);
  }
  Seen seen;
  EXPECT_FALSE(Browse(longest.c_str(), IDCANCEL, seen)) << "258 bytes still fit";
  EXPECT_TRUE(seen.found);
  EXPECT_EQ(qxGetErrCode(), QXERR_NONE);
}

TEST_F(BrowseFolder, TrailByte5CIsNotASeparator) {
  QX_REQUIRE_CP932();
  // U+8868 is 0x95 0x5C in Shift_JIS.
  const std::string name = "\x95\x5C";
  std::wstring wide(scratch_.begin(), scratch_.end());
  ASSERT_TRUE(CreateDirectoryW((wide + L"\\\u8868").c_str(), nullptr));
  Seen seen;
  EXPECT_TRUE(Browse((scratch_ + "\\" + name + "\\").c_str(), IDOK, seen));
  EXPECT_STREQ(path_, (scratch_ + "\\" + name).c_str());
  EXPECT_EQ(seen.caret, name);
}

TEST(BrowseFolderW, IsNotSupportedAndTouchesNothing) {
  QXWCHAR path[4] = {'x', 'y', 'z', 0};
  const QXWCHAR start[] = {'C', ':', 0};
  qxtest::PrimeErrCode(QXERR_NONE);
  EXPECT_FALSE(qxBrowseFolderW(nullptr, start, path, start));
  EXPECT_EQ(qxGetErrCode(), QXERR_NOTSUPPORTED);
  EXPECT_EQ(path[0], 'x');
  EXPECT_FALSE(qxBrowseFolderW(nullptr, nullptr, nullptr, nullptr));
}

}  // namespace
