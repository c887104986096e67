// Number formatting. The platform formatter with an explicit NUMBERFMT
// (the real one under Wine) sets the grouping rules; the exports are then
// checked against the user's separator and group size as the system
// reports them, so no row depends on which locale the machine has.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include "platform/win32_api.h"
#endif

#include "qxdll32.h"
#include "support/test_support.h"

namespace {

using qxtest::PrimeErrCode;
using qxtest::Widen;

// GetNumberFormatA with the format the library hands it.
int Format(const char* value, const char* sep, unsigned group, char* out, int size) {
  std::string separator = sep;
  NUMBERFMTA format{};
  format.LeadingZero = 1;
  format.Grouping = group;
  format.lpDecimalSep = separator.data();
  format.lpThousandSep = separator.data();
  return GetNumberFormatA(LOCALE_USER_DEFAULT, 0, value, &format, out, size);
}

TEST(NumberFormatter, GroupsByTheGivenSizeAndSeparator) {
  const struct {
    const char* value;
    const char* sep;
    unsigned group;
    const char* expected;
  } rows[] = {
      {"1234567", ",", 3, "1,234,567"},
      {"1234567", ".", 4, "123.4567"},
      {"1234567", ",", 0, "1234567"},
      {"123456789", ", ", 2, "1, 23, 45, 67, 89"},
      {"0", ",", 3, "0"},
      {"999", ",", 3, "999"},
      {"1000", ",", 3, "1,000"},
      {"-1234", ",", 3, "(1,234)"},
      {"-5", ",", 3, "(5)"},
      {"000123", ",", 3, "123"},
      {"12.5", ",", 3, "13"},  // the fraction is rounded away
      {"12.49", ",", 3, "12"},
      {"18446744073709551615", ",", 3, "18,446,744,073,709,551,615"},
  };
  for (const auto& row : rows) {
    char out[64] = {};
    const int needed = static_cast<int>(std::string(row.expected).size()) + 1;
    EXPECT_EQ(Format(row.value, row.sep, row.group, out, sizeof out), needed) << row.value;
    EXPECT_STREQ(out, row.expected);
  }
}

TEST(NumberFormatter, RefusesWhatIsNotANumberOrDoesNotFit) {
  char out[16];
  for (const char* value : {"+5", "1.2.3", "12a", " 12", "0x10"}) {
    SetLastError(0);
    EXPECT_EQ(Format(value, ",", 3, out, sizeof out), 0) << '"' << value << '"';
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << value;
  }
  std::vector<char> exact(6, 0x7F);
  EXPECT_EQ(Format("1234", ",", 3, exact.data(), 6), 6);
  EXPECT_STREQ(exact.data(), "1,234");
  std::vector<char> small(5, 0x7F);
  SetLastError(0);
  EXPECT_EQ(Format("1234", ",", 3, small.data(), 5), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

// The user's separator and first group size, read as the library reads them.
struct UserGrouping {
  std::string separator;
  unsigned size = 0;
};

UserGrouping ReadUserGrouping() {
  char separator[8] = {};
  char grouping[8] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, grouping, 8);
  UserGrouping user;
  user.separator = separator;
  user.size = grouping[0] >= '0' && grouping[0] <= '9' ? grouping[0] - '0' : 0;
  return user;
}

// An independent grouping of a digit string, for the expected texts.
std::string Grouped(const std::string& digits) {
  const UserGrouping user = ReadUserGrouping();
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const std::size_t left = digits.size() - i;
    if (i > 0 && user.size != 0 && left % user.size == 0) out += user.separator;
    out += digits[i];
  }
  return out;
}

struct AForm {
  using Ch = char;
  static std::string Text(const std::string& s) { return s; }
  static Ch* Str(const Ch* n, Ch* o, int s, QXDWORD f) { return qxFigureSepStrA(n, o, s, f); }
  static Ch* Int32(int v, Ch* o, int s, QXDWORD f) { return qxFigureSepInt32A(v, o, s, f); }
  static Ch* Int64(long long v, Ch* o, int s, QXDWORD f) { return qxFigureSepInt64A(v, o, s, f); }
};

struct WForm {
  using Ch = QXWCHAR;
  static qxtest::WString Text(const std::string& s) { return Widen(s); }
  static Ch* Str(const Ch* n, Ch* o, int s, QXDWORD f) { return qxFigureSepStrW(n, o, s, f); }
  static Ch* Int32(int v, Ch* o, int s, QXDWORD f) { return qxFigureSepInt32W(v, o, s, f); }
  static Ch* Int64(long long v, Ch* o, int s, QXDWORD f) { return qxFigureSepInt64W(v, o, s, f); }
};

template <class Form>
class FigureSep : public ::testing::Test {};
using Forms = ::testing::Types<AForm, WForm>;
TYPED_TEST_SUITE(FigureSep, Forms);

// One call: `expected` null means the call must fail. Checks the exact
// text, that nothing past it was written, and that the error code stayed.
template <class Form, class Call>
void Expect(Call call, const char* expected, const std::string& what) {
  using Ch = typename Form::Ch;
  std::vector<Ch> out(128, Ch(0x7F));
  PrimeErrCode(QXERR_BADPARAM);
  Ch* result = call(out.data(), 128);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << what;
  if (expected == nullptr) {
    EXPECT_EQ(result, nullptr) << what;
    return;
  }
  ASSERT_EQ(result, out.data()) << what;
  const auto text = Form::Text(expected);
  EXPECT_EQ(std::basic_string<Ch>(out.data()), text) << what;
  EXPECT_EQ(out[text.size() + 1], Ch(0x7F)) << what;
}

TYPED_TEST(FigureSep, IntegersByWidthAndFlags) {
  const std::string neg = "(" + Grouped("1234") + ")";
  const std::string min32 = "(" + Grouped("2147483648") + ")";
  const std::string max64 = Grouped("18446744073709551615");
  const std::string min64 = "(" + Grouped("9223372036854775808") + ")";
  const std::string plus = "+" + Grouped("1234");
  const struct {
    long long value;
    QXDWORD flags;
    std::string expected32;
    std::string expected64;
  } rows[] = {
      {1234567, 0, Grouped("1234567"), Grouped("1234567")},
      {0, 0, "0", "0"},
      {999, 0, "999", "999"},
      {1000, 0, Grouped("1000"), Grouped("1000")},
      {-1, 0, Grouped("4294967295"), max64},
      {-1234, 1, neg, neg},
      {INT_MIN, 1, min32, "(" + Grouped("2147483648") + ")"},
      {LLONG_MIN, 1, "0", min64},  // the 32-bit form sees the low half, 0
      {LLONG_MAX, 1, "(1)", Grouped("9223372036854775807")},
      {1234, 3, plus, plus},
      {0, 3, "+0", "+0"},
      {-1234, 3, neg, neg},
      {1234, 2, Grouped("1234"), Grouped("1234")},  // 0x2 alone: no sign
  };
  for (const auto& row : rows) {
    const std::string what = std::to_string(row.value) + " flags " + std::to_string(row.flags);
    Expect<TypeParam>(
        [&](auto* out, int size) {
          return TypeParam::Int32(static_cast<int>(row.value), out, size, row.flags);
        },
        row.expected32.c_str(), what + " (32)");
    Expect<TypeParam>(
        [&](auto* out, int size) { return TypeParam::Int64(row.value, out, size, row.flags); },
        row.expected64.c_str(), what + " (64)");
  }
}

TYPED_TEST(FigureSep, StringsIgnoreTheFlags) {
  for (const QXDWORD flags : {0u, 1u, 3u}) {
    const auto number = TypeParam::Text("1234567");
    Expect<TypeParam>(
        [&](auto* out, int size) { return TypeParam::Str(number.c_str(), out, size, flags); },
        Grouped("1234567").c_str(), "flags " + std::to_string(flags));
  }
  const auto negative = TypeParam::Text("-1234");
  const std::string parenthesised = "(" + Grouped("1234") + ")";
  Expect<TypeParam>(
      [&](auto* out, int size) { return TypeParam::Str(negative.c_str(), out, size, 0); },
      parenthesised.c_str(), "-1234");
  const auto junk = TypeParam::Text("12x");
  Expect<TypeParam>([&](auto* out, int size) { return TypeParam::Str(junk.c_str(), out, size, 0); },
                    nullptr, "12x");
  Expect<TypeParam>([&](auto* out, int size) { return TypeParam::Str(nullptr, out, size, 0); },
                    nullptr, "null");
}

TYPED_TEST(FigureSep, CapacityMustHoldTextAndTerminator) {
  using Ch = typename TypeParam::Ch;
  for (const QXDWORD flags : {0u, 3u}) {
    const std::string text = (flags == 3 ? "+" : "") + Grouped("1234567");
    const int needed = static_cast<int>(text.size()) + 1;
    for (const int size : {needed, needed - 1, 1, 0, -1}) {
      std::vector<Ch> out(needed + 4, Ch(0x7F));
      const Ch* result = TypeParam::Int32(1234567, out.data(), size, flags);
      if (size == needed) {
        ASSERT_EQ(result, out.data());
        EXPECT_EQ(std::basic_string<Ch>(out.data()), TypeParam::Text(text));
        EXPECT_EQ(out[needed], Ch(0x7F));
      } else {
        EXPECT_EQ(result, nullptr) << "size " << size << " flags " << flags;
      }
    }
  }
  EXPECT_EQ(TypeParam::Int64(5, nullptr, 8, 0), nullptr);
}

}  // namespace
