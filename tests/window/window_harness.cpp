#include "window/window_harness.h"

namespace qxtest {

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (!done()) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

namespace {

const char* ParentClass() {
  static const char* const name = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = "qxTestRecordingParent";
    RegisterClassA(&wc);
    return wc.lpszClassName;
  }();
  return name;
}

}  // namespace

RecordingParent::RecordingParent(int x, int y, int width, int height) {
  hwnd_ = CreateWindowExA(WS_EX_TOPMOST, ParentClass(), "qx test parent",
                          WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height, nullptr,
                          nullptr, GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
  UpdateWindow(hwnd_);
}

RecordingParent::~RecordingParent() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

HWND RecordingParent::AddChild(const char* className, int id, int x, int y, int width, int height) {
  return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE, x, y, width, height, hwnd_,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleA(nullptr), nullptr);
}

LRESULT CALLBACK RecordingParent::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<RecordingParent*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self != nullptr && (message == kSplitterNotify || message == WM_COMMAND)) {
    self->received_.push_back({message, wparam, lparam});
    return 0;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

}  // namespace qxtest
