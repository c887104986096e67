// The "qxHSplitter" and "qxVSplitter" window classes. A splitter never moves
// itself: while the left button drags it, each mouse move is reported to the
// parent as (notification message, control id, coordinate along the axis of
// movement in the splitter's client coordinates), and the parent lays out.
#include <windows.h>

#include <atomic>

#include "frame/module.h"
#include "qxdll32.h"
#include "resource.h"

namespace {

// Window extra slot 0 holds the dragging flag: 0 idle, 1 while dragging.
constexpr int kDraggingSlot = 0;
constexpr LONG kIdle = 0;
constexpr LONG kDragging = 1;

// Registration happens once per process and is never retried or undone; the
// first registering call fixes the notification message for both classes.
std::atomic<bool> g_registered{false};
std::atomic<UINT> g_notifyMessage{WM_COMMAND};

enum class Axis { kVertical, kHorizontal };

// A horizontal bar moves up and down, so it reports y (the high word of the
// mouse position); a vertical bar reports x. The 16-bit client coordinate is
// sign-extended: it is negative above or left of the splitter while the
// capture carries moves past its edge.
template <Axis kMoves>
LPARAM PositionAlongAxis(LPARAM mouse) noexcept {
  const WORD word = kMoves == Axis::kVertical ? HIWORD(mouse) : LOWORD(mouse);
  return static_cast<LPARAM>(static_cast<SHORT>(word));
}

template <Axis kMoves>
LRESULT CALLBACK SplitterProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      if (GetWindowLongA(hwnd, kDraggingSlot) == kIdle) {
        SetCapture(hwnd);
        SetWindowLongA(hwnd, kDraggingSlot, kDragging);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (GetWindowLongA(hwnd, kDraggingSlot) != kDragging) break;
      SendMessageA(GetParent(hwnd), g_notifyMessage.load(std::memory_order_relaxed),
                   static_cast<WPARAM>(GetDlgCtrlID(hwnd)), PositionAlongAxis<kMoves>(lparam));
      return 0;
    case WM_LBUTTONUP:
      if (GetWindowLongA(hwnd, kDraggingSlot) == kDragging) {
        ReleaseCapture();
        SetWindowLongA(hwnd, kDraggingSlot, kIdle);
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wparam, lparam);
}

// Both classes are global (usable by every module of the process and by
// dialog templates), keep the dragging flag in 4 window extra bytes and
// paint in the button-face colour. Failures are not retried.
void RegisterSplitterClass(WNDPROC procedure, WORD cursor, const char* name) noexcept {
  WNDCLASSA wc{};
  wc.style = CS_GLOBALCLASS;
  wc.lpfnWndProc = procedure;
  wc.cbWndExtra = sizeof(LONG);
  wc.hInstance = qx::g_module;
  wc.hCursor = LoadCursorA(qx::g_module, MAKEINTRESOURCEA(cursor));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

// True for the one call that registers the classes.
bool RegisterOnce(UINT message) noexcept {
  if (g_registered.exchange(true)) return false;
  g_notifyMessage.store(message, std::memory_order_relaxed);
  RegisterSplitterClass(SplitterProc<Axis::kVertical>, IDC_QX_HSPLITTER, "qxHSplitter");
  RegisterSplitterClass(SplitterProc<Axis::kHorizontal>, IDC_QX_VSPLITTER, "qxVSplitter");
  return true;
}

}  // namespace

extern "C" void QXAPI qxInitSplitter(void) {
  RegisterOnce(WM_COMMAND);
}

extern "C" UINT QXAPI qxInitSplitterEx(UINT message) {
  RegisterOnce(message != 0 ? message : WM_COMMAND);
  return g_notifyMessage.load(std::memory_order_relaxed);
}
