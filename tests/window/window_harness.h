// Test windows for the window utilities: a parent that records what its
// splitter children send it, and message pumping with a deadline.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace qxtest {

// The notification every splitter test registers the classes with.
inline constexpr UINT kSplitterNotify = WM_APP + 0x123;

struct Notification {
  UINT message;
  WPARAM id;
  LPARAM value;
  bool operator==(const Notification&) const = default;
};

// Dispatches this thread's messages until `done` holds or `timeoutMs` pass;
// returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000);

// Dispatches this thread's messages for `ms` milliseconds.
void PumpFor(DWORD ms);

// A visible, topmost, borderless top-level window that records every
// kSplitterNotify and WM_COMMAND it receives.
class RecordingParent {
 public:
  RecordingParent(int x, int y, int width, int height);
  RecordingParent(const RecordingParent&) = delete;
  RecordingParent& operator=(const RecordingParent&) = delete;
  ~RecordingParent();

  HWND hwnd() const { return hwnd_; }
  // Creates a visible child of `className` with control id `id`.
  HWND AddChild(const char* className, int id, int x, int y, int width, int height);
  const std::vector<Notification>& received() const { return received_; }
  void Clear() { received_.clear(); }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  HWND hwnd_ = nullptr;
  std::vector<Notification> received_;
};

}  // namespace qxtest
