// A host that never initialises the common controls: the full dialog
// cannot be made (no progress bar class), and create says so instead of
// waiting for ever; the short dialog, which has no bar, still opens.
#include <gtest/gtest.h>
#include <windows.h>

#include "qxdll32.h"

namespace {

TEST(NoCommonControls, FullDialogFailsWithThreadError) {
  if (GetModuleHandleA("comctl32.dll") != nullptr) GTEST_SKIP() << "comctl32 is loaded";
  EXPECT_EQ(qxCreateFileOpA(nullptr, 0), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_THREAD);
  EXPECT_EQ(qxCreateFileOpW(nullptr, QXFOC_NOABORT), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_THREAD);

  QXHFILEOP op = qxCreateFileOpA(nullptr, QXFOC_SHORT);
  ASSERT_NE(op, nullptr);
  EXPECT_EQ(qxCloseFileOp(op), 1);
}

}  // namespace
