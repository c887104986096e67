// The case-flip table (internal; the search compiler folds case with it).
#include <gtest/gtest.h>

#include "frame/tables.h"
#include "support/test_support.h"

namespace {

using qx::g_caseFlipTable;

TEST(CaseFlip, ControlBytesAndDigitsMapToThemselves) {
  for (int c = 0; c < 32; ++c)
    EXPECT_EQ(g_caseFlipTable[c], c) << c;
  for (int c = '0'; c <= '9'; ++c)
    EXPECT_EQ(g_caseFlipTable[c], c);
  for (int c : {' ', '!', '.', '/', '\\', '@', '[', '`', '{', '~', '\x7F'}) {
    EXPECT_EQ(g_caseFlipTable[c], c) << c;
  }
}

TEST(CaseFlip, AsciiLettersFlipBothWays) {
  for (int c = 'A'; c <= 'Z'; ++c) {
    EXPECT_EQ(g_caseFlipTable[c], c + 32);
    EXPECT_EQ(g_caseFlipTable[c + 32], c);
  }
}

TEST(CaseFlip, ShiftJisLeadBytesAndKanaStay) {
  QX_REQUIRE_CP932();
  for (int c = 0x80; c < 256; ++c)
    EXPECT_EQ(g_caseFlipTable[c], c) << std::hex << c;
}

TEST(CaseFlip, Windows1252AccentedLetters) {
  if (qxtest::ActiveCodePage() != 1252) GTEST_SKIP() << "needs cp1252";
  EXPECT_EQ(g_caseFlipTable[0xC0], 0xE0);  // A grave
  EXPECT_EQ(g_caseFlipTable[0xE0], 0xC0);
  EXPECT_EQ(g_caseFlipTable[0xDE], 0xFE);  // thorn
  EXPECT_EQ(g_caseFlipTable[0x8A], 0x9A);  // S caron
  EXPECT_EQ(g_caseFlipTable[0x9F], 0xFF);  // Y diaeresis
  EXPECT_EQ(g_caseFlipTable[0xFF], 0x9F);
  EXPECT_EQ(g_caseFlipTable[0xD7], 0xD7);  // multiplication sign
  EXPECT_EQ(g_caseFlipTable[0xF7], 0xF7);  // division sign
  EXPECT_EQ(g_caseFlipTable[0xDF], 0xDF);  // sharp s has no single-byte capital
}

}  // namespace
