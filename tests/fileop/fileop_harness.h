// What the file operation tests share: common controls for the full
// dialog, a scratch folder, the dialog's control texts read back across
// threads, and a message hook on the dialog thread that records the
// engine's messages and the caption line's updates (and can press Abort).
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
  return Grouped(done) + " / " + Grouped(total);
}

struct SeenMessage {
  UINT message;
  WPARAM wParam;
  std::string captionText;  // for WM_SETTEXT to the caption line
};

// Records, on the dialog thread, the engine's messages and every text put
// into the caption line. With abortAfter > 0 it posts Abort to the dialog
// once that many QXFOM_FILEPROGRESS messages have been seen.
class DialogSpy {
 public:
  explicit DialogSpy(QXHFILEOP op, int abortAfter = 0) {
    state_ =
        State{DialogOf(op), GetDlgItem(DialogOf(op), IDC_FILEOP_CAPTION), abortAfter, 0, 0, {}, {}};
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, RecordOf(op).threadId);
    EXPECT_NE(hook_, nullptr);
  }
  ~DialogSpy() {
    UnhookWindowsHookEx(hook_);
    state_.onNewFile = nullptr;
  }
  DialogSpy(const DialogSpy&) = delete;
  DialogSpy& operator=(const DialogSpy&) = delete;

  // Runs `action(n)` on the dialog thread as the nth QXFOM_NEWFILE arrives,
  // while the engine waits for it.
  void OnNewFile(std::function<void(int)> action) { state_.onNewFile = std::move(action); }

  // Read between calls of the engine, when the dialog thread is idle.
  const std::vector<SeenMessage>& Seen() const { return state_.seen; }
  void Clear() { state_.seen.clear(); }
  int Count(UINT message) const {
    int n = 0;
    for (const SeenMessage& m : state_.seen)
      n += m.message == message;
    return n;
  }
  std::vector<std::string> CaptionTexts() const {
    std::vector<std::string> texts;
    for (const SeenMessage& m : state_.seen)
      if (m.message == WM_SETTEXT) texts.push_back(m.captionText);
    return texts;
  }

 private:
  struct State {
    HWND dialog;
    HWND caption;
    int abortAfter;
    int progress;
    int newFiles;
    std::vector<SeenMessage> seen;
    std::function<void(int)> onNewFile;
  };
  static inline State state_;

  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION) {
      if (call->hwnd == state_.dialog && call->message >= qx::fileop::QXFOM_START &&
          call->message <= qx::fileop::QXFOM_CAPTION) {
        state_.seen.push_back({call->message, call->wParam, {}});
        if (call->message == qx::fileop::QXFOM_FILEPROGRESS && state_.abortAfter > 0 &&
            ++state_.progress == state_.abortAfter) {
          PostMessageA(state_.dialog, WM_COMMAND, IDCANCEL, 0);
        }
        if (call->message == qx::fileop::QXFOM_NEWFILE && state_.onNewFile) {
          state_.onNewFile(++state_.newFiles);
        }
      } else if (call->hwnd == state_.caption && call->message == WM_SETTEXT) {
        state_.seen.push_back({WM_SETTEXT, 0, reinterpret_cast<const char*>(call->lParam)});
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  HHOOK hook_ = nullptr;
};

// A scratch folder and the common controls the full dialog needs.
class FileOpTest : public ::testing::Test {
 protected:
  FileOpTest() : dir_("fileop") {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&init);
  }

  // A file with its folders.
  void Put(const std::string& relative, const std::string& content) const {
    fs::create_directories(dir_.Fs(relative).parent_path());
    dir_.Touch(relative, content);
  }

  // The file's last-write time, attributes and size.
  static BY_HANDLE_FILE_INFORMATION Info(const std::string& path) {
    BY_HANDLE_FILE_INFORMATION info{};
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
    GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return info;
  }

  static void SetWriteTime(const std::string& path, std::uint64_t ticks) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
  }

  static std::uint64_t WriteTicks(const std::string& path) {
    const FILETIME t = Info(path).ftLastWriteTime;
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  }

  ScratchDir dir_;
};

}  // namespace qxtest
