// The DBCS lead table against the code page the library loaded under.
#include <gtest/gtest.h>

#include "qxdll32.h"
#include "support/test_support.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

TEST(LeadTable, RunsUnderTheExpectedCodePage) {
  const unsigned expected = qxtest::ExpectedCodePage();
  if (expected == 0) GTEST_SKIP() << "no code page requested for this run";
  EXPECT_EQ(qxtest::ActiveCodePage(), expected);
}

TEST(LeadTable, ShiftJisLeadRanges) {
  QX_REQUIRE_CP932();
  const unsigned char* table = qxGetDBCSLeadTable();
  for (int c = 0; c < 256; ++c) {
    const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    EXPECT_EQ(table[c], lead ? 1 : 0) << std::hex << c;
  }
}

TEST(LeadTable, SingleBytePageHasNoLeadBytes) {
  if (qxtest::ActiveCodePage() == 932) GTEST_SKIP() << "double-byte page";
  const unsigned char* table = qxGetDBCSLeadTable();
  for (int c = 0; c < 256; ++c)
    EXPECT_EQ(table[c], 0) << std::hex << c;
}

#if defined(_WIN32)
TEST(LeadTable, MatchesTheSystemFromByte32Up) {
  const unsigned char* table = qxGetDBCSLeadTable();
  for (int c = 32; c < 256; ++c) {
    EXPECT_EQ(table[c], IsDBCSLeadByte(static_cast<BYTE>(c)) ? 1 : 0) << std::hex << c;
  }
}
#endif

}  // namespace
