// A real drag: the system's mouse input (SendInput) presses on a splitter,
// moves past its edges while it holds the capture, and lets go.
#include <gtest/gtest.h>
#include <windows.h>

#include "qxdll32.h"
#include "window/window_harness.h"

namespace {

using qxtest::kSplitterNotify;
using qxtest::Notification;
using qxtest::PumpUntil;
using qxtest::RecordingParent;

void SendMouse(DWORD flags, POINT at = {}) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_MOVE) {
    // Absolute coordinates span 0..65535 over the primary screen.
    const int cx = GetSystemMetrics(SM_CXSCREEN);
    const int cy = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = MulDiv(at.x, 65536, cx) + 1;
    input.mi.dy = MulDiv(at.y, 65536, cy) + 1;
    input.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
  }
  SendInput(1, &input, sizeof input);
}

// Moves the pointer to the screen point and waits until it is there.
bool MoveTo(POINT at) {
  SendMouse(MOUSEEVENTF_MOVE, at);
  return PumpUntil([&] {
    POINT now;
    GetCursorPos(&now);
    return now.x == at.x && now.y == at.y;
  });
}

struct DragCase {
  const char* className;
  // The pointer's offsets from the splitter's top-left corner, in order;
  // the first is where the button goes down.
  POINT press;
  POINT moves[2];
  LPARAM expected[2];
};

void Drag(const DragCase& drag) {
  SCOPED_TRACE(drag.className);
  // Towards the bottom-right corner, away from windows centred by other tests.
  RecordingParent parent(GetSystemMetrics(SM_CXSCREEN) - 320, GetSystemMetrics(SM_CYSCREEN) - 320,
                         300, 300);
  const HWND splitter = parent.AddChild(drag.className, 7, 100, 100, 80, 80);
  ASSERT_NE(splitter, nullptr);
  POINT origin{0, 0};
  ClientToScreen(splitter, &origin);
  auto at = [&](POINT offset) { return POINT{origin.x + offset.x, origin.y + offset.y}; };

  ASSERT_TRUE(MoveTo(at(drag.press)));
  EXPECT_EQ(WindowFromPoint(at(drag.press)), splitter) << "nothing covers the splitter";
  parent.Clear();
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(PumpUntil([&] { return GetCapture() == splitter; })) << "button down captures";
  for (const POINT& move : drag.moves) {
    const size_t before = parent.received().size();
    ASSERT_TRUE(MoveTo(at(move)));
    PumpUntil([&] { return parent.received().size() > before; });
  }
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return GetCapture() == nullptr; })) << "button up releases";
  const size_t afterDrag = parent.received().size();
  ASSERT_TRUE(MoveTo(at({40, 40})));
  qxtest::PumpFor(100);
  EXPECT_EQ(parent.received().size(), afterDrag) << "no reports once the button is up";

  // The pointer may pass through positions on its way; the last report of
  // each move is the point it came to rest at.
  ASSERT_GE(parent.received().size(), 2u);
  for (const Notification& n : parent.received()) {
    EXPECT_EQ(n.message, kSplitterNotify);
    EXPECT_EQ(n.id, 7u);
  }
  std::vector<LPARAM> values;
  for (const Notification& n : parent.received())
    if (values.empty() || values.back() != n.value) values.push_back(n.value);
  EXPECT_EQ(values.back(), drag.expected[1]);
  EXPECT_NE(std::find(values.begin(), values.end(), drag.expected[0]), values.end())
      << "the move past the near edge was reported as " << drag.expected[0];
}

// One test for both classes: the pointer is shared by the whole display,
// so no two programs may drive it at once.
TEST(SplitterInput, DragPastTheEdgeReportsSignedCoordinates) {
  ASSERT_EQ(qxInitSplitterEx(kSplitterNotify), kSplitterNotify);
  // 5 pixels above the top edge, then 30 below the bottom edge.
  Drag({"qxHSplitter", {40, 40}, {{40, -5}, {60, 110}}, {-5, 110}});
  // 7 pixels left of the left edge, then past the right edge.
  Drag({"qxVSplitter", {40, 40}, {{-7, 20}, {95, -20}}, {-7, 95}});
}

}  // namespace
