// Window placement: the restored (normal) rectangle of normal, minimised
// and maximised windows, and centring on the primary screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "qxdll32.h"
#include "support/test_support.h"

namespace {

class Placement : public ::testing::Test {
 protected:
  // A popup without a sizing border keeps whatever size it is given, even
  // one larger than the screen.
  HWND Make(int x, int y, int width, int height, DWORD style = WS_POPUP) {
    hwnd_ = CreateWindowExA(0, "STATIC", "placement", style, x, y, width, height, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    return hwnd_;
  }
  void TearDown() override {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  }

  RECT Normal() const {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(hwnd_, &placement);
    return placement.rcNormalPosition;
  }

  RECT Actual() const {
    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    return rect;
  }

  HWND hwnd_ = nullptr;
};

void ExpectRect(const RECT& rect, LONG left, LONG top, LONG width, LONG height) {
  EXPECT_EQ(rect.left, left);
  EXPECT_EQ(rect.top, top);
  EXPECT_EQ(rect.right - rect.left, width);
  EXPECT_EQ(rect.bottom - rect.top, height);
}

TEST_F(Placement, NormalWindowMovesAndKeepsItsSize) {
  ASSERT_NE(Make(10, 20, 150, 90, WS_POPUP | WS_VISIBLE), nullptr);
  qxtest::PrimeErrCode(QXERR_BADPARAM);
  const POINT before = qxGetWindowPosi(hwnd_);
  EXPECT_EQ(before.x, 10);
  EXPECT_EQ(before.y, 20);

  EXPECT_TRUE(qxSetWindowPosi(hwnd_, 33, -44));
  ExpectRect(Actual(), 33, -44, 150, 90);
  const POINT after = qxGetWindowPosi(hwnd_);
  EXPECT_EQ(after.x, 33);
  EXPECT_EQ(after.y, -44);
  EXPECT_TRUE(IsWindowVisible(hwnd_)) << "the show state is written back as read";
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "placement leaves the error code alone";
}

TEST_F(Placement, MinimisedWindowTakesTheNewPositionWhenRestored) {
  ASSERT_NE(Make(50, 60, 200, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE), nullptr);
  ShowWindow(hwnd_, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(hwnd_));
  EXPECT_EQ(qxGetWindowPosi(hwnd_).x, 50);

  EXPECT_TRUE(qxSetWindowPosi(hwnd_, 120, 130));
  EXPECT_TRUE(IsIconic(hwnd_)) << "still minimised";
  ExpectRect(Normal(), 120, 130, 200, 100);
  ShowWindow(hwnd_, SW_RESTORE);
  ExpectRect(Actual(), 120, 130, 200, 100);
}

TEST_F(Placement, MaximisedWindowKeepsItsFrameAndMovesItsRestoredPosition) {
  ASSERT_NE(Make(50, 60, 200, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE), nullptr);
  ShowWindow(hwnd_, SW_MAXIMIZE);
  ASSERT_TRUE(IsZoomed(hwnd_));
  const RECT maximised = Actual();

  EXPECT_TRUE(qxSetWindowPosi(hwnd_, 140, 150));
  EXPECT_TRUE(IsZoomed(hwnd_));
  // The maximised frame keeps its size and stays at the screen's corner
  // (the system may re-apply its own maximised position).
  const RECT now = Actual();
  EXPECT_EQ(now.right - now.left, maximised.right - maximised.left);
  EXPECT_EQ(now.bottom - now.top, maximised.bottom - maximised.top);
  EXPECT_LE(std::abs(now.left - maximised.left), 8);
  EXPECT_LE(std::abs(now.top - maximised.top), 8);
  const POINT restored = qxGetWindowPosi(hwnd_);
  EXPECT_EQ(restored.x, 140);
  EXPECT_EQ(restored.y, 150);
  ShowWindow(hwnd_, SW_RESTORE);
  ExpectRect(Actual(), 140, 150, 200, 100);
}

// Widths chosen against the real screen so that the halves are odd: on an
// 800-pixel screen these are the 401- and 1001-pixel windows.
TEST_F(Placement, CentringTruncatesHalvesTowardZero) {
  const int cx = GetSystemMetrics(SM_CXSCREEN);
  const int cy = GetSystemMetrics(SM_CYSCREEN);
  ASSERT_NE(Make(0, 0, cx - 399, cy - 101), nullptr);
  EXPECT_TRUE(qxCenterWindowPosi(hwnd_));
  ExpectRect(Normal(), 199, 50, cx - 399, cy - 101);

  EXPECT_TRUE(SetWindowPos(hwnd_, nullptr, 7, 9, cx + 201, cy + 3, SWP_NOZORDER));
  ASSERT_EQ(Actual().right - Actual().left, cx + 201);
  EXPECT_TRUE(qxCenterWindowPosi(hwnd_));
  // Larger than the screen: a negative corner, not clipped.
  ExpectRect(Normal(), -100, -1, cx + 201, cy + 3);
}

TEST_F(Placement, SomethingThatIsNotAWindow) {
  const HWND gone = Make(0, 0, 10, 10);
  DestroyWindow(gone);
  hwnd_ = nullptr;
  const POINT p = qxGetWindowPosi(gone);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 0);
  EXPECT_FALSE(qxSetWindowPosi(gone, 1, 2));
  EXPECT_FALSE(qxCenterWindowPosi(nullptr));
}

}  // namespace
