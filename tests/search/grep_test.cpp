// The small pattern matcher: rows of {text, pattern, offset} through both
// forms; byte-order and DBCS rows per form.
#include <gtest/gtest.h>

#include <string>

#include "search/search_forms.h"

namespace {

using qxtest::AnsiForm;
using qxtest::ExactCopy;
using qxtest::WideForm;

struct GrepRow {
  const char* text;
  const char* pattern;
  int offset;  // -1: no match
};

template <class Form>
void ExpectGrep(const GrepRow& row) {
  auto text = ExactCopy(Form::Make(row.text));
  auto pattern = ExactCopy(Form::Make(row.pattern));
  qxtest::PrimeErrCode(QXERR_BADPARAM);
  const auto* found = Form::Grep(text.get(), pattern.get());
  if (row.offset < 0) {
    EXPECT_EQ(found, nullptr) << Form::kName << " " << row.pattern << " / " << row.text;
  } else {
    EXPECT_EQ(found, text.get() + row.offset)
        << Form::kName << " " << row.pattern << " / " << row.text;
  }
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "the matcher leaves the error code alone";
}

const GrepRow kRows[] = {
    {"abc", "", 0},       {"", "", -1},
    {"", "^", 0},         {"abc", "^", 0},
    {"abc", "^b", -1},    {"abc", "bc", 1},
    {"aa", "a*a", -1},  // the '*' takes both and gives nothing back
    {"aba", "a?*a", 0},   {"xaby", "a?+y", 1},
    {"ay", "a?+y", -1},   {"abcb", "b$", 3},
    {"abc", "$", -1},     {"ab", "a?", 0},
    {"a", "a?", -1},      {"x", "x[^a]", -1},
    {"x", "x[^a]*", 0},   {"xyz", "[^x]", 1},
    {"q", "[a-z]", 0},    {"]", "[]]", -1},  // an empty set, then a literal ']'
    {"x]", "[^]]", 0},    {"x-", "[a-]", 1},
    {"abc", "[a-", -1},   {"a*", "\\*", 1},
    {"an", "\\n", 1},     {"ab\\", "b\\", -1},
    {"abbbc", "ab+c", 0}, {"ac", "ab+c", -1},
    {"ac", "ab*c", 0},    {"*a", "*a", 0},
    {"a+b", "a\\+b", 0},  {"xyz", "?$", 2},
    {"aXbXc", "X?*X", 1},
};

TEST(SmallMatcher, RowsInBothForms) {
  for (const GrepRow& row : kRows) {
    ExpectGrep<AnsiForm>(row);
    ExpectGrep<WideForm>(row);
  }
}

TEST(SmallMatcher, RangesOrderBytesAsSigned) {
  // A: bytes 0x80-0xFF order below 0x00-0x7F; W orders code units unsigned.
  ExpectGrep<AnsiForm>({"b", "[a-\xE0]", -1});
  ExpectGrep<AnsiForm>({"a", "[\x80-a]", 0});
  ExpectGrep<AnsiForm>({"\xE0", "[\x80-a]", 0});
  ExpectGrep<WideForm>({"b", "[a-\xE0]", 0});
}

TEST(SmallMatcher, BytesNotCharacters) {
  QX_REQUIRE_CP932();
  ExpectGrep<AnsiForm>({"\x83\x41", "A", 1});
  ExpectGrep<AnsiForm>(
      {"\x95\x5C"
       "n",
       "\\\\n", 1});
  ExpectGrep<AnsiForm>({"\x95\x5C", "\\\\", 1});
}

TEST(SmallMatcher, NullArguments) {
  qxtest::PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(qxGrepA(nullptr, "a"), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  qxtest::PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(qxGrepW(qxtest::Widen("a").c_str(), nullptr), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
}

}  // namespace
