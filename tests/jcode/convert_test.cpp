// Conversion: texts given in all three encodings and converted through
// every direction, the one-way quirks of each direction, and every
// double-byte code against an oracle written apart from the tables.
// (Out-of-range bytes in JIS double-byte mode are left to the fuzzer.)
#include <gtest/gtest.h>

#include <string>

#include "jcode/convert_support.h"
#include "qxdll32.h"
#include "support/test_support.h"

namespace {

using qxtest::Convert;
using qxtest::SjisOf;

constexpr int kCodes[] = {QXJCODE_SJIS, QXJCODE_JIS, QXJCODE_EUC};

#define KANJI "\x1B$B"
#define ROMAN "\x1B(J"

// One text in the three encodings (indexed by code); each converts into
// each other and copies onto itself.
struct Triple {
  std::string text[3];
};

const Triple kTriples[] = {
    {{"", "", ""}},
    {{"plain\nASCII\n", "plain\nASCII\n", "plain\nASCII\n"}},
    {{"\x88\x9F", KANJI "\x30\x21" ROMAN, "\xB0\xA1"}},  // first kanji of level 1
    {{"\x82\xA0\x82\xA2", KANJI "\x24\x22\x24\x24" ROMAN, "\xA4\xA2\xA4\xA4"}},  // one bracket
    {{"\x81\x40", KANJI "\x21\x21" ROMAN, "\xA1\xA1"}},  // ideographic space
    {{"\x9F\xFC", KANJI "\x5E\x7E" ROMAN, "\xDE\xFE"}},  // last cell of row 62
    {{"\xEA\xA4", KANJI "\x74\x26" ROMAN, "\xF4\xA6"}},  // last kanji of level 2
    {{"a\x88\x9F"
      "b\x82\xA0\n\x81\x42",
      "a" KANJI "\x30\x21" ROMAN "b" KANJI "\x24\x22" ROMAN "\n" KANJI "\x21\x23" ROMAN,
      "a\xB0\xA1"
      "b\xA4\xA2\n\xA1\xA3"}},
};

TEST(ConvertJpnCode, TriplesThroughEveryDirection) {
  qxtest::PrimeErrCode(QXERR_BADPARAM);
  for (const Triple& triple : kTriples) {
    for (int from : kCodes) {
      for (int to : kCodes)
        EXPECT_EQ(Convert(triple.text[from], from, to), triple.text[to]) << from << " -> " << to;
    }
  }
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "conversion leaves the error code alone";
}

struct OneWayRow {
  const char* src;
  int from;
  int to;
  const char* dst;
  const char* why;
};

const OneWayRow kOneWay[] = {
    {"a\r\nb\rc\n\r", QXJCODE_SJIS, QXJCODE_JIS, "a\nb\nc\n\n", "line ends"},
    {"a\r\nb\rc\n\r", QXJCODE_SJIS, QXJCODE_EUC, "a\nb\nc\n\n", "line ends"},
    {"\xA4\xA2\r\n\r", QXJCODE_EUC, QXJCODE_JIS, KANJI "\x24\x22" ROMAN "\n\n", "line ends"},
    {"\xA4\xA2\r\n", QXJCODE_EUC, QXJCODE_SJIS, "\x82\xA0\n", "line ends"},
    {KANJI "\x24\x22" ROMAN "\r\n", QXJCODE_JIS, QXJCODE_EUC, "\xA4\xA2\n", "line ends"},
    {"x\r\n" KANJI "\r", QXJCODE_JIS, QXJCODE_JIS, "x\n" KANJI "\n", "copy: escapes kept"},
    {"\x88\r\n", QXJCODE_SJIS, QXJCODE_EUC, "\xAF\xA1\n", "lead byte pairs with any byte"},
    {"a\x82", QXJCODE_SJIS, QXJCODE_JIS, "a" KANJI ROMAN "\x82", "lone lead byte last"},
    {"\x88\x9F\x82", QXJCODE_SJIS, QXJCODE_JIS, KANJI "\x30\x21" ROMAN "\x82", "lone lead last"},
    {"a\x82", QXJCODE_SJIS, QXJCODE_EUC, "a\x82", "lone lead byte last"},
    {"\xF0\x40\xFC\xFC", QXJCODE_SJIS, QXJCODE_JIS, KANJI "\x21\x21\x22\x7E" ROMAN, "no JIS row"},
    {"\xB1\xDF", QXJCODE_SJIS, QXJCODE_EUC, "\xB1\xDF", "half-width kana unchanged"},
    {"\xB1", QXJCODE_SJIS, QXJCODE_JIS, "\xB1", "half-width kana unchanged"},
    {"\xA4"
     "a\xA4",
     QXJCODE_EUC, QXJCODE_SJIS,
     "\xA4"
     "a\xA4",
     "unpaired high bytes copied"},
    {"\x8E\xB1", QXJCODE_EUC, QXJCODE_SJIS, "\x8E\xB1", "0x8E prefix copied"},
    {"\x8E\xB1", QXJCODE_EUC, QXJCODE_JIS, "\x8E" KANJI "\x31" ROMAN, "0x8E prefix copied"},
    {"\xA4\xA2\xA4", QXJCODE_EUC, QXJCODE_JIS, KANJI "\x24\x22\x24" ROMAN, "high bytes unpaired"},
    {KANJI "\x30\x21\x1B(B", QXJCODE_JIS, QXJCODE_SJIS, "\x88\x9F", "ESC ( B"},
    {"\x1BK\x30\x21\x1BHx", QXJCODE_JIS, QXJCODE_SJIS, "\x88\x9Fx", "ESC K and ESC H"},
    {"\x1B$@\x30\x21\x1B(Ix", QXJCODE_JIS, QXJCODE_EUC, "\xB0\xA1x", "third byte unexamined"},
    {"a\x1BNb\x1B\x1B$B\x30\x21", QXJCODE_JIS, QXJCODE_SJIS, "a\x1BNb\x1B\x88\x9F", "plain ESC"},
    {KANJI "\x30\x21\x30", QXJCODE_JIS, QXJCODE_SJIS, "\x88\x9F", "single byte left dropped"},
    {KANJI "\x30\r", QXJCODE_JIS, QXJCODE_SJIS, "\x88\x40", "any two bytes pair"},
    {KANJI "\xB0\xA1", QXJCODE_JIS, QXJCODE_SJIS, "\x40\x40", "high bytes take the filler"},
    {KANJI "\xB0\xA1", QXJCODE_JIS, QXJCODE_EUC, "\xB0\xA1", "OR 0x80"},
    {"ab\x1B", QXJCODE_JIS, QXJCODE_SJIS, "ab", "escape cut short"},
    {"ab\x1B$", QXJCODE_JIS, QXJCODE_EUC, "ab", "escape cut short"},
    {"ab\x1B(", QXJCODE_JIS, QXJCODE_SJIS, "ab", "escape cut short"},
    {"a\r\nb", 7, 7, "a\nb", "equal codes copy"},
};

TEST(ConvertJpnCode, OneWayRules) {
  for (const OneWayRow& row : kOneWay)
    EXPECT_EQ(Convert(row.src, row.from, row.to), row.dst) << row.why;
}

TEST(ConvertJpnCode, RefusalsAndNullArguments) {
  const struct { int from, to; } refused[] = {{0, 3}, {3, 0}, {-1, -1}, {-1, 0}, {2, -1}, {1, 5}};
  for (const auto& codes : refused) {
    char dst[8] = "xxxxxxx";
    EXPECT_EQ(qxConvertJpnCode(dst, codes.to, "abc", codes.from), 0);
    EXPECT_STREQ(dst, "") << codes.from << " -> " << codes.to;
    EXPECT_EQ(dst[1], 'x') << "only the terminator is written";
  }
  char dst[4] = "xxx";
  EXPECT_EQ(qxConvertJpnCode(dst, QXJCODE_EUC, nullptr, QXJCODE_SJIS), 0);
  EXPECT_STREQ(dst, "");
  EXPECT_EQ(qxConvertJpnCode(nullptr, QXJCODE_EUC, "abc", QXJCODE_SJIS), 0);
}

// Every JIS X 0208 code point, alone, through all six directions.
TEST(ConvertJpnCode, EveryJisCodeThroughEveryDirection) {
  for (unsigned j1 = 0x21; j1 <= 0x7E; ++j1) {
    for (unsigned j2 = 0x21; j2 <= 0x7E; ++j2) {
      const Triple t{{SjisOf(j1, j2),
                      std::string(KANJI) + char(j1) + char(j2) + ROMAN,
                      {char(j1 | 0x80), char(j2 | 0x80)}}};
      for (int from : kCodes) {
        for (int to : kCodes) {
          if (from == to) continue;
          ASSERT_EQ(Convert(t.text[from], from, to), t.text[to])
              << std::hex << j1 << j2 << " " << from << " -> " << to;
        }
      }
    }
  }
}

// Every two-byte Shift_JIS text: valid pairs round-trip through EUC-JP and
// JIS; invalid ones come out through the fillers (the guard checks of
// Convert hold for all).
TEST(ConvertJpnCode, EveryShiftJisPair) {
  for (unsigned s1 = 0x81; s1 <= 0xFC; ++s1) {
    if (s1 >= 0xA0 && s1 <= 0xDF) continue;
    for (unsigned s2 = 1; s2 <= 0xFF; ++s2) {
      const std::string sjis{char(s1), char(s2)};
      const std::string euc = Convert(sjis, QXJCODE_SJIS, QXJCODE_EUC);
      ASSERT_EQ(euc.size(), 2u);
      const bool validTrail = (s2 >= 0x40 && s2 <= 0xFC && s2 != 0x7F);
      if (s1 <= 0xEF && validTrail) {
        ASSERT_EQ(Convert(euc, QXJCODE_EUC, QXJCODE_SJIS), sjis) << std::hex << s1 << s2;
        ASSERT_EQ(Convert(Convert(sjis, QXJCODE_SJIS, QXJCODE_JIS), QXJCODE_JIS, QXJCODE_SJIS),
                  sjis);
      } else {
        const unsigned j1 = static_cast<unsigned char>(euc[0]) & 0x7F;
        const unsigned j2 = static_cast<unsigned char>(euc[1]) & 0x7F;
        if (s1 >= 0xF0) {
          ASSERT_EQ(j1, s2 >= 0x9F ? 0x22u : 0x21u) << std::hex << s1 << s2;
        }
        if (!validTrail) {
          ASSERT_EQ(j2, 0x21u) << std::hex << s1 << s2;
        }
      }
    }
  }
}

}  // namespace
