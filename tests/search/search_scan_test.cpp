// Converter scans as rows of {search string, flags, text, start, length}:
// each row runs through the A and the W form; double-byte rows run in the A
// form on code page 932.
#include <gtest/gtest.h>

#include <string>

#include "search/search_forms.h"

namespace {

using qxtest::AnsiForm;
using qxtest::ExactCopy;
using qxtest::WideForm;

struct ScanRow {
  const char* search;
  unsigned flags;
  const char* text;
  int start;  // -1: no match
  unsigned length;
};

template <class Form, class S>
void ExpectScan(const S& search, unsigned flags, const S& text, int start, unsigned length,
                const char* label) {
  const QXHCVT cvt = Form::Create(search.c_str(), flags);
  ASSERT_NE(cvt, nullptr) << Form::kName << " " << label;
  auto block = ExactCopy(text);
  qxtest::PrimeErrCode(QXERR_BADPARAM);
  const auto* found = Form::Scan(cvt, block.get());
  EXPECT_EQ(qxGetErrCode(), QXERR_NONE) << label;
  if (start < 0) {
    EXPECT_EQ(found, nullptr) << Form::kName << " " << label;
    EXPECT_EQ(qxSaaGetMatchLength(cvt), 0u) << Form::kName << " " << label;
  } else {
    EXPECT_EQ(found, block.get() + start) << Form::kName << " " << label;
    EXPECT_EQ(qxSaaGetMatchLength(cvt), length) << Form::kName << " " << label;
  }
  EXPECT_EQ(qxSaaCloseCvt(cvt), 1);
}

template <class Form>
void ExpectRow(const ScanRow& row) {
  const std::string label = std::string(row.search) + " / " + row.text;
  ExpectScan<Form>(Form::Make(row.search), row.flags, Form::Make(row.text), row.start, row.length,
                   label.c_str());
}

const ScanRow kLiteralRows[] = {
    {"abc", 0, "xxabcabc", 2, 3},
    {"ABC", 0, "xxabc", -1, 0},
    {"ABC", 1, "xxabcabc", 2, 3},
    {"a.c", 0, "abc a.c", 4, 3},
    {"^a", 0, "x^a", 1, 2},
    {"[x]*", 1, "[X]*", 0, 4},
    {"aab", 0, "aaab", 1, 3},
    {"abcdefghijklmnopqrstuvwxyz0123456", 0,
     "abcdefghijklmnopqrstuvwxyz012345_abcdefghijklmnopqrstuvwxyz0123456", 33, 33},
    {"abcdefghijklmnopqrstuvwxyz0123456", 0, "abcdefghijklmnopqrstuvwxyz012345", -1, 0},
};

const ScanRow kPatternRows[] = {
    {"ab.d", 2, "xxabcd", 2, 4},
    {"x*y", 2, "xxy", 0, 3},
    {"a*b", 2, "b", 0, 1},
    {"a*b", 2, "zb", -1, 0},  // a leading optional element anchors the match
    {"ax*", 2, "axx", 0, 3},
    {"ax*", 2, "a", 0, 1},
    {"abc$", 2, "abcxabc", -1, 0},
    {"abc$", 2, "xabc", 1, 3},
    {"$", 2, "abc", 3, 0},
    {".*c", 2, "abcabc", 0, 3},
    {".*", 2, "abc", 0, 3},
    {".*", 2, "", 0, 0},
    {".+", 2, "", -1, 0},
    {".+", 2, "ab", 0, 2},
    {"b+", 2, "abbbc", 1, 3},
    {"ABC", 3, "xabc", 1, 3},
    {"x+y", 2, "zzxxy", 2, 3},
    {"xy+z", 2, "axyyyz", 1, 5},
    {"xy+z", 2, "xz", -1, 0},
    {"a**", 2, "aa**", 0, 3},
    {"*a", 2, "x*a", 1, 2},
    {"??", 2, "x", 0, 0},
    {"a??", 2, "a?x", 0, 2},
    {"a??", 2, "?", 0, 1},
    // Greedy, and nothing is given back.
    {"a*ab", 2, "aab", -1, 0},
    {"xa*ab", 2, "xaab", -1, 0},
    {"xa?b", 2, "zxbq", 1, 2},
    {"xa?b", 2, "xab", 0, 3},
    {"a\\n*b", 2, "xa\n\nb", 1, 4},
    {"a\\n*b", 2, "annb", -1, 0},
    {"\\x4g", 2, "a\x04g", 1, 2},
    {"a\\.b", 2, "axba.b", 3, 3},
    {"a\\", 2, "ba", 1, 1},
    // Classes.
    {"[a-c]+", 2, "xxbcaz", 2, 3},
    {"[^a-c]", 2, "abcd", 3, 1},
    {"[c-a]", 2, "b", 0, 1},
    {"[]", 2, "abc", -1, 0},
    {"[^]", 2, "abc", 0, 1},
    {"[a-]", 2, "x-", 1, 1},
    {"[A-C]", 3, "xb", 1, 1},
    {"[^A-C]", 3, "bcd", 2, 1},
    {"x[0-9]*y", 2, "x123y", 0, 5},
    // Any-character forms.
    {"a.", 2, "ab", 0, 2},
    {"a.", 2, "a", -1, 0},
    {"x.?y", 2, "xzy", 0, 3},
    {"x.?y", 2, "xy", -1, 0},  // '.?' takes exactly one character
    {".?bc", 2, "xyzbc", 2, 3},
    {"..$", 2, "abcd", 2, 2},
    {"a.*", 2, "zabc", 1, 3},
    {"a.+b", 2, "xaqqb", 1, 4},
    {"a.+b", 2, "ab", -1, 0},
    {".*x*y", 2, "aaxy", -1, 0},
    {".*x*y", 2, "xxy", 0, 3},
    {"^ab", 2, "ab", 0, 2},
    {"^ab", 2, "xab", -1, 0},
    {"^.*", 2, "ab", 0, 2},
};

TEST(SaaScan, LiteralRows) {
  for (const ScanRow& row : kLiteralRows) {
    ExpectRow<AnsiForm>(row);
    ExpectRow<WideForm>(row);
  }
}

TEST(SaaScan, PatternRows) {
  for (const ScanRow& row : kPatternRows) {
    ExpectRow<AnsiForm>(row);
    ExpectRow<WideForm>(row);
  }
}

TEST(SaaScan, EscapeValuesDifferByForm) {
  ExpectScan<AnsiForm>(std::string("\\777"), 2, std::string("a\xFF"), 1, 1, "A \\777");
  ExpectScan<WideForm>(qxtest::Widen("\\777"), 2, qxtest::FromU16(u"a\u01FF\u00FF"), 1, 1,
                       "W \\777");
}

TEST(SaaScan, WideFolding) {
  ExpectScan<WideForm>(qxtest::FromU16(u"\u03B1b"), 1, qxtest::FromU16(u"x\u0391B"), 1, 2, "alpha");
  ExpectScan<WideForm>(qxtest::FromU16(u"\uFF41"), 1, qxtest::FromU16(u"\uFF21"), -1, 0,
                       "full-width");
  ExpectScan<WideForm>(qxtest::FromU16(u"[\u00E0-\u00E2]"), 3, qxtest::FromU16(u"x\u00C1"), 1, 1,
                       "Latin-1 class");
}

const ScanRow kShiftJisRows[] = {
    {"A", 0, "\x83\x41", 1, 1},      // a match may begin on a trail byte
    {"\x83", 0, "\x83\x41", -1, 0},  // but never ends inside a character
    {".", 2, "\x83\x41", 0, 2},
    {"a.b", 2,
     "xa\x83\x41"
     "b",
     1, 4},
    {"\x95\x5C", 0, "x\x95\x5C", 1, 2},
    {"\x95\x5C*x", 2, "\x95\x5C\x95\x5Cx", 0, 5},
    {"\x83\x61", 1, "\x83\x41", -1, 0},  // trail bytes are never folded
    {"\x83\x61", 1, "\x83\x61", 0, 2},
    {"[\x95\x5C]", 2, "a\x95\x5C", 1, 2},
    {"[\x82\xA0-\x82\xF1]+", 2,
     "ab\x82\xA0\x82\xA2"
     "c",
     2, 4},
    {"[^\x82\xA0]", 2, "\x82\xA0x", 2, 1},
    {"[a\x82\xA0]", 3, "xA", 1, 1},
    {"x[\x82\xA0]*y", 2, "x\x82\xA0\x82\xA0y", 0, 6},
    {"x[\x82\xA0]?y", 2, "x\x82\xA0y", 0, 4},
    {"[\x82\xA0].", 2, "\x82\xA0\x82\xA2", 0, 4},
    {".?\x82\xA2", 2, "\x82\xA0\x82\xA2", 0, 4},
    {"..$", 2, "a\x82\xA0\x82\xA2", 1, 4},
    {"\\x83*A", 2, "\x83\x83\x41", 0, 3},
    // Skipping ahead to a rare byte keeps the character alignment.
    {"\x83\x41", 0, "\x83\x83\x83\x41", 2, 2},
    {"\x83\x41", 0, "\x83\x83\x41", 1, 2},
    {"\x83\x41", 0, "x\x83\x83\x83\x83\x83\x41", 5, 2},
    {"qqqqqqqqqqqqqqqqqqqqqqqqqqqqqqq\x82\xA0", 0, "qqqqqqqqqqqqqqqqqqqqqqqqqqqqqqqq\x82\xA0", 1,
     33},
};

TEST(SaaScan, ShiftJisRows) {
  QX_REQUIRE_CP932();
  for (const ScanRow& row : kShiftJisRows)
    ExpectRow<AnsiForm>(row);
}

}  // namespace
