// Number formatting, checked against the user's separator and group size as
// the system reports them, so no row depends on the machine's locale.
#include <gtest/gtest.h>

#include <climits>
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

// The digits grouped as the user's locale says, by a plain independent walk.
std::string Grouped(const std::string& digits) {
  char separator[8] = {};
  char grouping[8] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, grouping, 8);
  const std::size_t size = grouping[0] > '0' && grouping[0] <= '9' ? grouping[0] - '0' : 0;
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && size != 0 && (digits.size() - i) % size == 0) out += separator;
    out += digits[i];
  }
  return out;
}

// Appends rather than prepends: GCC 12 warns falsely on "(" + string.
std::string Wrap(const char* before, const std::string& text, const char* after) {
  return std::string(before).append(text).append(after);
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

// Runs `call` on a poisoned buffer of 128 characters and returns its text,
// or "null" when it failed; nothing may be written past the text, and the
// error code must stay as it was.
template <class Ch, class Call>
std::string Run(Call call) {
  std::vector<Ch> out(128, Ch(0x7F));
  PrimeErrCode(QXERR_BADPARAM);
  const Ch* result = call(out.data());
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  if (result == nullptr) return "null";
  EXPECT_EQ(result, out.data());
  std::string text;
  for (const Ch* p = out.data(); *p != 0; ++p)
    text += static_cast<char>(*p);
  EXPECT_EQ(out[text.size() + 1], Ch(0x7F));
  return text;
}

TYPED_TEST(FigureSep, IntegersByWidthAndFlags) {
  using Ch = typename TypeParam::Ch;
  const std::string neg = Wrap("(", Grouped("1234"), ")");
  const std::string plus = Wrap("+", Grouped("1234"), "");
  const struct {
    long long value;
    QXDWORD flags;
    std::string expected32, expected64;
  } rows[] = {
      {1234567, 0, Grouped("1234567"), Grouped("1234567")},
      {0, 0, "0", "0"},
      {999, 0, "999", "999"},
      {1000, 0, Grouped("1000"), Grouped("1000")},
      {-1, 0, Grouped("4294967295"), Grouped("18446744073709551615")},
      {-1234, 1, neg, neg},
      {INT_MIN, 1, Wrap("(", Grouped("2147483648"), ")"), Wrap("(", Grouped("2147483648"), ")")},
      {LLONG_MIN, 1, "0", Wrap("(", Grouped("9223372036854775808"), ")")},  // low half 0
      {LLONG_MAX, 1, "(1)", Grouped("9223372036854775807")},
      {1234, 3, plus, plus},
      {0, 3, "+0", "+0"},
      {-1234, 3, neg, neg},
      {1234, 2, Grouped("1234"), Grouped("1234")},  // 0x2 alone: no sign
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.value) + " flags " + std::to_string(row.flags));
    EXPECT_EQ(Run<Ch>([&](Ch* out) {
                return TypeParam::Int32(static_cast<int>(row.value), out, 128, row.flags);
              }),
              row.expected32);
    EXPECT_EQ(Run<Ch>([&](Ch* out) { return TypeParam::Int64(row.value, out, 128, row.flags); }),
              row.expected64);
  }
}

TYPED_TEST(FigureSep, StringsIgnoreTheFlags) {
  using Ch = typename TypeParam::Ch;
  const struct {
    const char* number;
    std::string expected;
  } rows[] = {
      {"1234567", Grouped("1234567")}, {"-1234", Wrap("(", Grouped("1234"), ")")}, {"12x", "null"}};
  for (const auto& row : rows) {
    const auto number = TypeParam::Text(row.number);
    for (const QXDWORD flags : {0u, 3u})
      EXPECT_EQ(Run<Ch>([&](Ch* out) { return TypeParam::Str(number.c_str(), out, 128, flags); }),
                row.expected);
  }
  EXPECT_EQ(Run<Ch>([](Ch* out) { return TypeParam::Str(nullptr, out, 128, 0); }), "null");
}

TYPED_TEST(FigureSep, CapacityMustHoldTextAndTerminator) {
  using Ch = typename TypeParam::Ch;
  for (const QXDWORD flags : {0u, 3u}) {
    const std::string text = Wrap(flags == 3 ? "+" : "", Grouped("1234567"), "");
    const int needed = static_cast<int>(text.size()) + 1;
    for (const int size : {needed, needed - 1, 1, 0, -1}) {
      EXPECT_EQ(Run<Ch>([&](Ch* out) { return TypeParam::Int32(1234567, out, size, flags); }),
                size == needed ? text : "null")
          << "size " << size << " flags " << flags;
    }
  }
  EXPECT_EQ(TypeParam::Int64(5, nullptr, 8, 0), nullptr);
}

}  // namespace
