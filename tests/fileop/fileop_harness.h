// What the file operation tests share: common controls for the full
// dialog, a scratch folder, the dialog's control texts read back across
// threads, and a message hook on the dialog thread that records the
// engine's messages and the caption line's texts, and can act mid-call.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "fileop/fileop_record.h"
#include "fileop/scratch.h"
#include "qxdll32.h"
#include "resource.h"

namespace qxtest {

using qx::fileop::FileOpRecord;

inline FileOpRecord& RecordOf(QXHFILEOP op) {
  return *reinterpret_cast<FileOpRecord*>(op);
}

inline HWND DialogOf(QXHFILEOP op) {
  return RecordOf(op).dialogWindow.load();
}

// A control's text, read from the test thread (the dialog thread answers).
inline std::string ControlText(QXHFILEOP op, int id) {
  char text[512] = {};
  GetDlgItemTextA(DialogOf(op), id, text, sizeof text);
  return text;
}

inline bool ControlEnabled(QXHFILEOP op, int id) {
  return IsWindowEnabled(GetDlgItem(DialogOf(op), id)) != 0;
}

// n grouped as the dialog groups it, in the running locale.
inline std::string Grouped(long long n) {
  char text[128];
  return qxFigureSepInt64A(n, text, sizeof text, 0);
}

inline std::string OfTotal(long long done, long long total) {
  std::string text = Grouped(done);
  text += " / ";
  return text += Grouped(total);
}

struct SpyEntry {
  UINT message;
  WPARAM wParam;
  std::string text;
};

struct SpyState {
  HWND dialog = nullptr, caption = nullptr;
  int abortAfter = 0, progress = 0, newFiles = 0;
  std::vector<SpyEntry> seen;
  std::function<void(int)> onNewFile;
};

// Records, on the dialog thread, the engine's messages (message, wParam)
// and every text put into the caption line (as WM_SETTEXT, text). It can
// post Abort after the nth QXFOM_FILEPROGRESS, and run an action as the nth
// QXFOM_NEWFILE arrives, while the engine waits.
class DialogSpy {
 public:
  explicit DialogSpy(QXHFILEOP op, int abortAfter = 0) {
    state_ = SpyState{};
    state_.dialog = DialogOf(op);
    state_.caption = GetDlgItem(state_.dialog, IDC_FILEOP_CAPTION);
    state_.abortAfter = abortAfter;
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, RecordOf(op).threadId);
    EXPECT_NE(hook_, nullptr);
  }
  ~DialogSpy() {
    UnhookWindowsHookEx(hook_);
    state_ = SpyState{};
  }
  DialogSpy(const DialogSpy&) = delete;
  DialogSpy& operator=(const DialogSpy&) = delete;

  void OnNewFile(std::function<void(int)> action) { state_.onNewFile = std::move(action); }
  // Read between calls of the engine, when the dialog thread is idle.
  std::vector<std::pair<UINT, std::string>> Seen(UINT message) const {
    std::vector<std::pair<UINT, std::string>> seen;
    for (const auto& m : state_.seen)
      if (m.message == message) seen.emplace_back(static_cast<UINT>(m.wParam), m.text);
    return seen;
  }
  void Clear() { state_.seen.clear(); }

 private:
  static inline SpyState state_;

  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    using namespace qx::fileop;
    if (code == HC_ACTION && call->hwnd == state_.dialog && call->message >= QXFOM_START &&
        call->message <= QXFOM_CAPTION) {
      state_.seen.push_back({call->message, call->wParam, {}});
      if (call->message == QXFOM_FILEPROGRESS && ++state_.progress == state_.abortAfter) {
        PostMessageA(state_.dialog, WM_COMMAND, IDCANCEL, 0);
      }
      if (call->message == QXFOM_NEWFILE && state_.onNewFile) state_.onNewFile(++state_.newFiles);
    } else if (code == HC_ACTION && call->hwnd == state_.caption && call->message == WM_SETTEXT) {
      state_.seen.push_back({WM_SETTEXT, 0, reinterpret_cast<const char*>(call->lParam)});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  HHOOK hook_ = nullptr;
};

// A scratch folder, the common controls the full dialog needs, and an
// open A operation with the full dialog.
class FileOpTest : public ::testing::Test {
 protected:
  FileOpTest() : dir_("fileop") {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&init);
  }
  void SetUp() override { ASSERT_NE(op_ = qxCreateFileOpA(nullptr, 0), nullptr); }
  void TearDown() override {
    if (op_ != nullptr) {
      EXPECT_EQ(qxCloseFileOp(op_), 1);
    }
  }

  QXBOOL Op(UINT_PTR operation, const std::string& from, const std::string& to, QXDWORD flags = 0) {
    return qxOperateFileOpA(op_, operation, dir_.A(from).c_str(), dir_.A(to).c_str(), flags);
  }
  void ExpectFailure(QXBOOL result, QXDWORD code) {
    EXPECT_EQ(result, 0);
    EXPECT_EQ(qxGetErrCode(), code);
  }

  // A file with its folders.
  void Put(const std::string& relative, const std::string& content) const {
    fs::create_directories(dir_.Fs(relative).parent_path());
    dir_.Touch(relative, content);
  }
  // The last-write time, ticks since 1601.
  std::uint64_t WriteTicks(const std::string& relative) const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(dir_.A(relative).c_str(), GetFileExInfoStandard, &data);
    return Ticks(data.ftLastWriteTime);
  }
  void SetWriteTicks(const std::string& relative, std::uint64_t ticks) const {
    HANDLE file = CreateFileA(dir_.A(relative).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    const FILETIME time = FileTime(ticks);
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
  }
  bool ReadOnly(const std::string& relative) const {
    return GetFileAttributesA(dir_.A(relative).c_str()) & FILE_ATTRIBUTE_READONLY;
  }

  ScratchDir dir_;
  QXHFILEOP op_ = nullptr;
};

}  // namespace qxtest
