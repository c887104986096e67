// The search exports as tables, each row through the A and the W form:
// converter scans (pattern rows also through qxGrepEx), the small matcher,
// and the failures. A rows with bytes from 0x80 up are Shift_JIS and run
// only on code page 932.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/qxtest.h"

namespace qxtest {
namespace {

// A row's text: ASCII for both forms, or A bytes and W text apart (Jp). In
// a searched text '{' and '}' mark the expected match (none without them;
// the small matcher reports only where it starts).
struct Text {
  Text(const char* ascii) : Text(std::string(ascii)) {}                // NOLINT: rows are literals
  Text(const std::string& ascii) : Text(ascii, S<char16_t>(ascii)) {}  // NOLINT
  Text(std::string bytes, std::u16string text) : a(std::move(bytes)), w(std::move(text)) {}
  std::string a;
  std::u16string w;
};
using Jp = Text;
std::string Rep(const std::string& piece, std::size_t n) {  // by doubling
  return n < 2 ? (n == 1 ? piece : "") : Rep(piece + piece, n / 2) + Rep(piece, n % 2);
}

// The text in the form's units without its marks, in a block of its size;
// `open` and `close` say where the marks stood (npos when absent).
template <class Ch>
std::unique_ptr<Ch[]> Unmark(const Text& text, std::size_t& open, std::size_t& close) {
  Str<Ch> s = S<Ch>(Both{text.a, text.w});
  for (std::size_t* at : {&open, &close}) {
    *at = s.find(Ch(at == &open ? '{' : '}'));
    if (*at != s.npos) s.erase(*at, 1);
  }
  return ExactCopy(s);
}

constexpr unsigned kLit = 0, kFold = QXSAA_NOCASE, kPat = QXSAA_PATTERN, kPatFold = 3;
constexpr unsigned kSmall = 4;  // the small matcher (qxGrepA/W)

// One search string, compiled once, and the texts it searches in turn.
struct Row {
  Text pattern;
  unsigned flags;
  std::vector<Text> texts;
};

#define Q31 "qqqqqqqqqqqqqqqqqqqqqqqqqqqqqqq"
const Row kRows[] = {
    {"abc", kLit, {"xx{abc}abc", "ab"}},
    {"AB^.*[\\", kFold, {"x{ab^.*[\\}", "ab^.*["}},
    {Rep("q", 33), kLit, {Rep("q", 32) + "x{" + Rep("q", 33) + "}", Rep("q", 32)}},
    {Rep("a", 32767), kFold, {"bbbbbbb{" + Rep("A", 32767) + "}b"}},
    // A leading optional element anchors the match.
    {"a*b", kPat, {"{b}", "zb"}},
    {"ax*", kPat, {"{axx}", "{a}"}},
    {"abc$", kPat, {"x{abc}", "abcxabc"}},
    {"ab$cd", kPat, {"x{ab}", "abx"}},
    {".*c", kPat, {"{abc}abc"}},
    {".+", kPat, {"{ab}", ""}},
    {"ABC", kPatFold, {"x{abc}"}},
    {"a**", kPat, {"{aa*}*"}},
    // Repetitions are greedy and give nothing back; they take no stack.
    {"a*ab", kPat, {"aab"}},
    {"a+b", kPat, {"{" + Rep("a", 1'000'000) + "b}"}},
    {"a\\n*b", kPat, {"x{a\n\nb}", "annb"}},
    {"\\x4g\\.\\a\\b\\t\\v\\f\\r\\z\\e\\101\\x4f\\", kPat, {"{\x04g.\a\b\t\v\f\r\x1A\x1B\x41O}"}},
    {"[c-a]", kPat, {"{b}"}},
    {"[^]", kPat, {"{a}bc"}},
    {"[a-]", kPat, {"x{-}"}},
    {"[ab", kPat, {"x{b}"}},
    {"[\\x41-\\x43\\n]+", kPat, {"a{BC\n}d"}},
    {"[^A-C]", kPatFold, {"bc{d}"}},
    // The most nodes a converter may have.
    {Rep("a?", 1024), kPat, {"{}b"}},
    {"\\777", kPat, {Jp("a{\xFF}", u"a\u00FF{\u01FF}")}},
    {Jp("\x83\xBF\x62", u"αb"), kFold, {Jp("x\x83\x9F\x42", u"x{ΑB}")}},
    {Jp("\x82\x81", u"ａ"), kFold, {Jp("\x82\x60", u"Ａ")}},
    // Shift_JIS: a match may begin on a trail byte but never ends inside a
    // character; a trail byte is never a metacharacter, nor folded.
    {"A", kLit, {Jp("\x83{A}", u"ア")}},
    {Jp("\x83", u"\u0083"), kLit, {Jp("\x83\x41", u"ア")}},
    {Jp("\x95\x5Cn", u"表n"), kPat, {Jp("\x95\x5C\n{\x95\x5Cn}", u"表\n{表n}")}},
    {Jp("\x95\x5C*x", u"表*x"), kPat, {Jp("{\x95\x5C\x95\x5Cx}", u"{表表x}")}},
    {Jp("\x83\x61", u"ヂ"), kFold, {Jp("\x83\x41", u"ア")}},
    {Jp("[\x83]]", u"[ゾ]"), kPat, {Jp("]{\x83]}", u"]{ゾ}")}},
    {Jp("[\x82\xA0-\x82\xF1]+", u"[あ-ん]+"), kPat, {Jp("a{\x82\xA0\x82\xA2}c", u"a{あい}c")}},
    {Jp("a[\x82\xA0-\x82\xA2x]", u"a[あ-いx]"), kPat, {Jp("aa{a\x82\xA1}", u"aa{aぃ}"), "aX"}},
    // '.?' takes exactly one character; a skipped one is the one before.
    {Jp(".?\x82\xA2", u".?い"), kPat, {Jp("{\x82\xA0\x82\xA2}", u"{あい}")}},
    {".a", kPat, {Jp("\x82\xA0{xa}", u"あ{xa}")}},
    // Skipping ahead to a rare unit keeps the character alignment.
    {Jp("\x83\x41", u"ア"),
     kLit,
     {Jp("\x83\x83{\x83\x41}", u"ャ{ア}"), Jp("\x83{\x83\x41}", u"ャA")}},
    {Jp(Q31 "\x82\xA0", u"" Q31 "あ"), kLit, {Jp("q{" Q31 "\x82\xA0}", u"q{" Q31 "あ}")}},
    // A pair of units skipped to: across block edges (the texts start on
    // one), the rare one last before the terminator, a first unit that is
    // a trail byte's value, folded case.
    {"zq8", kLit, {Rep("x", 14) + "{zq8}", Rep("x", 15) + "{zq8}z", Rep("x", 16) + "zq"}},
    {"kQ7", kFold, {Rep("x", 6) + "{Kq7}", Rep("x", 7) + "{KQ7}", "kQ", "kq"}},
    {Jp("A\x82\xA0", u"Aあ"), kLit, {Jp("\x83{A\x82\xA0}", u"アあ"), Jp("a\x82\xA0", u"aあ")}},
    // The small matcher.
    {"", kSmall, {"{abc", ""}},
    {"^", kSmall, {"{", "{abc"}},
    {"a?*a", kSmall, {"{aba"}},
    {"a?+y", kSmall, {"x{aby", "ay"}},
    {"b$", kSmall, {"abc{b"}},
    {"x[^a]", kSmall, {"x"}},
    {"x[^a]*", kSmall, {"{x"}},
    {"[^x]", kSmall, {"x{yz"}},
    {"[^]]", kSmall, {"{x]"}},
    {"[a-]", kSmall, {"x{-"}},
    {"[b-d]", kSmall, {"a{b", "{d", "e"}},
    {"[a-", kSmall, {"abc"}},
    {"\\*", kSmall, {"a{*"}},
    {"b\\", kSmall, {"ab\\"}},
    {"ab+c", kSmall, {"{abbbc", "ac"}},
    {Rep("?", 32774), kSmall, {"{" + Rep("a", 32774)}},
    {Rep("?*", 16383) + "b$", kSmall, {Rep("a", 32774)}},
    // A orders range ends as signed bytes, W as unsigned units; A compares
    // bytes, so a trail byte matches on its own.
    {Jp("[a-\xE0]", u"[a-\u00E0]"), kSmall, {Jp("b", u"{b")}},
    {Jp("[\x80-a]", u"[\u0080-a]"), kSmall, {Jp("{a", u"a"), Jp("{\xE0", u"\u00E0")}},
    {"A", kSmall, {Jp("\x83{A", u"ア")}},
    {"\\\\n", kSmall, {Jp("\x95{\x5Cn", u"表{\\n")}},
};

template <class Ch>
class Search : public ::testing::Test {};
TYPED_TEST_SUITE(Search, Forms, FormName);

TYPED_TEST(Search, Rows) {
  using Ch = TypeParam;
  for (const Row& row : kRows) {
    std::string a = row.pattern.a;
    for (const Text& text : row.texts)
      a += text.a;
    if (sizeof(Ch) == 1 && !Cp932() &&
        std::any_of(a.begin(), a.end(), [](char c) { return c & 0x80; }))
      continue;  // Shift_JIS bytes
    std::size_t open, close;
    const auto pattern = Unmark<Ch>(row.pattern, open, close);
    const QXHCVT cvt =
        row.flags == kSmall ? nullptr : Form<Ch>::SaaCreateCvt(pattern.get(), row.flags);
    ASSERT_TRUE(cvt != nullptr || row.flags == kSmall) << row.pattern.a;
    for (const Text& marked : row.texts) {
      const auto text = Unmark<Ch>(marked, open, close);
      Ch* const match = open == Str<Ch>::npos ? nullptr : text.get() + open;
      const QXDWORD length = match == nullptr ? 0 : static_cast<QXDWORD>(close - open);
      SCOPED_TRACE(row.pattern.a.substr(0, 40) + " in " + marked.a.substr(0, 40));
      if (row.flags == kSmall) {
        EXPECT_QXOK(Form<Ch>::Grep(text.get(), pattern.get()), match);
        continue;
      }
      EXPECT_QXFAIL(Form<Ch>::SaaScanString(cvt, text.get()), match, QXERR_NONE);
      EXPECT_QXOK(qxSaaGetMatchLength(cvt), length);
      if ((row.flags & kPat) == 0) continue;
      QXDWORD grepLength = 0xDEADBEEF;  // any nonzero argument folds case
      const auto fold = (row.flags & kFold) * 5;
      EXPECT_EQ(Form<Ch>::GrepEx(text.get(), pattern.get(), fold, &grepLength), match);
      EXPECT_EQ(grepLength, length);
    }
    if (cvt != nullptr) EXPECT_QXOK(qxSaaCloseCvt(cvt), 1);
  }
}

TYPED_TEST(Search, Failures) {
  using Ch = TypeParam;
  using F = Form<Ch>;
  const Str<Ch> text = S<Ch>("a^b");
  QXDWORD length = 5;
  PrimeErrCode(QXERR_BADPARAM);
  const QXHCVT cvt = F::SaaCreateCvt(Arg<Ch>("^"), 0xFFFFFFF0u);  // only the low bits count
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "success leaves the code alone";
  EXPECT_QXFAIL(F::SaaScanString(cvt, text.c_str()), text.c_str() + 1, QXERR_NONE);
  EXPECT_QXFAIL(F::SaaScanString(cvt, nullptr), nullptr, QXERR_BADPARAM);
  EXPECT_QXOK(qxSaaCloseCvt(cvt), 1);
  EXPECT_QXFAIL(F::SaaCreateCvt(nullptr, 0), nullptr, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::SaaCreateCvt(Arg<Ch>(""), 0xFFFFFFFFu), nullptr, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::SaaCreateCvt(Arg<Ch>("^"), QXSAA_PATTERN), nullptr, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::SaaCreateCvt(Arg<Ch>(Rep("a?", 1025)), kPat), nullptr, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::SaaCreateCvt(Arg<Ch>(Rep("a", 65537)), 0), nullptr, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::GrepEx(nullptr, Arg<Ch>("a"), 0, &length), nullptr, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::GrepEx(text.c_str(), nullptr, 1, &length), nullptr, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::GrepEx(text.c_str(), Arg<Ch>(""), 0, &length), nullptr, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::GrepEx(text.c_str(), Arg<Ch>("^"), 0, &length), nullptr, QXERR_BADPARAM);
  EXPECT_EQ(length, 5u) << "a failed compile writes no length";
  EXPECT_QXFAIL(F::GrepEx(text.c_str(), Arg<Ch>("b"), 0, nullptr), text.c_str() + 2, QXERR_NONE);
  EXPECT_QXFAIL(F::Grep(nullptr, Arg<Ch>("a")), nullptr, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::Grep(text.c_str(), nullptr), nullptr, QXERR_BADPARAM);
}

}  // namespace
}  // namespace qxtest
