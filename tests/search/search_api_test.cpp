// Converter lifetime, handle checks and the library error code around each
// call; qxGrepExA/W; long repetitions.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "search/search_forms.h"

namespace {

using qxtest::AnsiForm;
using qxtest::PrimeErrCode;
using qxtest::WideForm;

template <class Form>
class SaaApi : public ::testing::Test {};

using Forms = ::testing::Types<AnsiForm, WideForm>;
TYPED_TEST_SUITE(SaaApi, Forms);

TYPED_TEST(SaaApi, CreateFailuresAndSuccessLeaveTheRightCode) {
  using Form = TypeParam;
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(Form::Create(Form::Make("").c_str(), 0), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(Form::Create(Form::Make("^").c_str(), QXSAA_PATTERN), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(Form::Create(nullptr, 0), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);

  // Success leaves the code alone; only the low two flag bits count.
  PrimeErrCode(QXERR_BADPARAM);
  const QXHCVT cvt = Form::Create(Form::Make("^").c_str(), 0xFFFFFFF0u);
  ASSERT_NE(cvt, nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  auto text = Form::Make("a^b");
  EXPECT_EQ(Form::Scan(cvt, text.c_str()), text.c_str() + 1);
  EXPECT_EQ(qxGetErrCode(), QXERR_NONE);
  PrimeErrCode(QXERR_BADPARAM);
  EXPECT_EQ(qxSaaGetMatchLength(cvt), 1u);
  EXPECT_EQ(qxSaaCloseCvt(cvt), 1);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
}

TYPED_TEST(SaaApi, BadHandlesAreRefused) {
  using Form = TypeParam;
  auto text = Form::Make("abc");
  // A record without the signature, as after its first node was overwritten.
  alignas(8) std::uint32_t forged[32] = {0x12345678};
  const auto fake = reinterpret_cast<QXHCVT>(forged);
  for (QXHCVT bad : {QXHCVT{nullptr}, fake}) {
    PrimeErrCode(QXERR_NONE);
    EXPECT_EQ(Form::Scan(bad, text.c_str()), nullptr);
    EXPECT_EQ(qxGetErrCode(), QXERR_BADHANDLE);
    PrimeErrCode(QXERR_NONE);
    EXPECT_EQ(qxSaaGetMatchLength(bad), 0xFFFFFFFFu);
    EXPECT_EQ(qxGetErrCode(), QXERR_BADHANDLE);
    PrimeErrCode(QXERR_NONE);
    EXPECT_EQ(qxSaaCloseCvt(bad), 0);
    EXPECT_EQ(qxGetErrCode(), QXERR_BADHANDLE);
  }
}

TYPED_TEST(SaaApi, NullTextIsABadParameter) {
  using Form = TypeParam;
  const QXHCVT cvt = Form::Create(Form::Make("a").c_str(), 0);
  ASSERT_NE(cvt, nullptr);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(Form::Scan(cvt, nullptr), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  EXPECT_EQ(qxSaaCloseCvt(cvt), 1);
}

TYPED_TEST(SaaApi, MatchLengthFollowsTheLastScan) {
  using Form = TypeParam;
  const QXHCVT cvt = Form::Create(Form::Make("b+").c_str(), QXSAA_PATTERN);
  ASSERT_NE(cvt, nullptr);
  auto hit = Form::Make("abbc");
  auto miss = Form::Make("xyz");
  EXPECT_EQ(Form::Scan(cvt, hit.c_str()), hit.c_str() + 1);
  EXPECT_EQ(qxSaaGetMatchLength(cvt), 2u);
  EXPECT_EQ(Form::Scan(cvt, miss.c_str()), nullptr);
  EXPECT_EQ(qxSaaGetMatchLength(cvt), 0u);
  EXPECT_EQ(qxSaaCloseCvt(cvt), 1);
}

// Ten million repeated characters: the repetition loop runs without
// growing the stack, and the results are those of a short text.
TYPED_TEST(SaaApi, LongRepetitionsKeepTheirResults) {
  using Form = TypeParam;
  constexpr std::size_t kCount = 10'000'000;
  struct Case {
    const char* pattern;
    char repeated;
    const char* tail;
    unsigned long expectedLength;
  };
  const Case cases[] = {
      {"x*", 'x', "", kCount},
      {"x*y", 'x', "y", kCount + 1},
      {"a+b", 'a', "b", kCount + 1},
      {"[0-9]*", '7', "z", kCount},
  };
  for (const Case& c : cases) {
    using Ch = typename Form::Ch;
    auto text = std::basic_string<Ch>(kCount, static_cast<Ch>(c.repeated)) + Form::Make(c.tail);
    QXDWORD length = 0;
    EXPECT_EQ(Form::GrepEx(text.c_str(), Form::Make(c.pattern).c_str(), 0, &length), text.c_str())
        << c.pattern;
    EXPECT_EQ(length, c.expectedLength) << c.pattern;
  }
}

TYPED_TEST(SaaApi, GrepExReportsLikeTheConverter) {
  using Form = TypeParam;
  auto text = Form::Make("abbbc");
  QXDWORD length = 0xDEADBEEF;
  PrimeErrCode(QXERR_BADPARAM);
  EXPECT_EQ(Form::GrepEx(text.c_str(), Form::Make("b+").c_str(), 0, &length), text.c_str() + 1);
  EXPECT_EQ(length, 3u);
  EXPECT_EQ(qxGetErrCode(), QXERR_NONE);

  auto upper = Form::Make("xabc");
  EXPECT_EQ(Form::GrepEx(upper.c_str(), Form::Make("ABC").c_str(), 1, &length), upper.c_str() + 1);
  EXPECT_EQ(length, 3u);
  EXPECT_EQ(Form::GrepEx(upper.c_str(), Form::Make("ABC").c_str(), 0, &length), nullptr);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(Form::GrepEx(upper.c_str(), Form::Make("x").c_str(), 0, nullptr), upper.c_str());

  // A failed compile leaves the length unwritten and keeps its own code.
  length = 0xDEADBEEF;
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(Form::GrepEx(text.c_str(), Form::Make("").c_str(), 0, &length), nullptr);
  EXPECT_EQ(length, 0xDEADBEEFu);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(Form::GrepEx(nullptr, Form::Make("a").c_str(), 0, &length), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
}

// A converter is scanned only by the form that built it.
TEST(SaaApiForms, OtherFormScanIsABadHandle) {
  const QXHCVT ansi = qxSaaCreateCvtA("ab", 0);
  const QXHCVT wide = qxSaaCreateCvtW(qxtest::Widen("ab").c_str(), 0);
  ASSERT_NE(ansi, nullptr);
  ASSERT_NE(wide, nullptr);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(qxSaaScanStringW(ansi, qxtest::Widen("ab").c_str()), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADHANDLE);
  PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(qxSaaScanStringA(wide, "ab"), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADHANDLE);
  EXPECT_EQ(qxSaaCloseCvt(ansi), 1);
  EXPECT_EQ(qxSaaCloseCvt(wide), 1);
}

}  // namespace
