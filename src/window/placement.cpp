// Window placement through the placement record, so that each call acts on
// the window's restored (normal) rectangle even while it is minimised or
// maximised. Only rcNormalPosition changes; every other field goes back as
// it was read.
#include <windows.h>

#include "qxdll32.h"

namespace {

// Reads the placement; false when it cannot be read (not a window).
bool ReadPlacement(HWND hwnd, WINDOWPLACEMENT& placement) noexcept {
  placement = WINDOWPLACEMENT{};
  placement.length = sizeof placement;
  return GetWindowPlacement(hwnd, &placement) != FALSE;
}

// Moves the normal rectangle's top-left corner to (x, y), keeping its size,
// and writes the placement back.
BOOL MoveNormalRect(HWND hwnd, WINDOWPLACEMENT& placement, LONG x, LONG y) noexcept {
  RECT& rect = placement.rcNormalPosition;
  OffsetRect(&rect, x - rect.left, y - rect.top);
  return SetWindowPlacement(hwnd, &placement);
}

}  // namespace

extern "C" POINT QXAPI qxGetWindowPosi(QXHWND hwnd) {
  WINDOWPLACEMENT placement;
  ReadPlacement(hwnd, placement);  // an unreadable placement reads as (0, 0)
  return POINT{placement.rcNormalPosition.left, placement.rcNormalPosition.top};
}

// An unreadable placement is never written back: a zeroed record would hide
// the window (show command 0) if the write went through.
extern "C" QXBOOL QXAPI qxSetWindowPosi(QXHWND hwnd, int x, int y) {
  WINDOWPLACEMENT placement;
  if (!ReadPlacement(hwnd, placement)) return FALSE;
  return MoveNormalRect(hwnd, placement, x, y);
}

// Centres on the primary screen's full size (not the work area), with
// division truncating toward zero; a window larger than the screen gets a
// negative left or top and is not clipped.
extern "C" QXBOOL QXAPI qxCenterWindowPosi(QXHWND hwnd) {
  WINDOWPLACEMENT placement;
  if (!ReadPlacement(hwnd, placement)) return FALSE;
  const RECT& rect = placement.rcNormalPosition;
  const LONG screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const LONG screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const LONG left = (screenWidth + rect.left - rect.right) / 2;
  const LONG top = (screenHeight + rect.top - rect.bottom) / 2;
  return MoveNormalRect(hwnd, placement, left, top);
}
