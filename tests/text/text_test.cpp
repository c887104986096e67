// Path and URL names and number formatting, each row through the A and the W
// form. Shift_JIS rows (0x95 0x5C is one character whose trail byte looks
// like a backslash; 0x81 before the terminator is a cut character) run in
// the code page 932 run.
#include <climits>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include "platform/win32_api.h"
#endif

#include "support/qxtest.h"

namespace qxtest {
namespace {

enum class Op { kFileName, kExtName, kPath, kUrl };

// A scan row expects the rest of the input from the result on (kNull: a null
// result); a rewrite row expects the rewritten text.
struct NameRow {
  Op op;
  Both input;
  Both output;
  bool cp932 = false;
};
constexpr Both kNull{"<null>"};

constexpr NameRow kNameRows[] = {
    {Op::kFileName, {"C:file.txt"}, kNull},
    {Op::kFileName, {"C:\\dir\\"}, {""}},
    {Op::kFileName, {"a/b\\c"}, {"c"}},
    {Op::kFileName, {"\x95\\abc", u"\u8868abc"}, kNull, true},
    {Op::kFileName, {"dir\\\x95\\abc", u"dir\\\u8868abc"}, {"\x95\\abc", u"\u8868abc"}, true},
    {Op::kFileName, {"\x95\\\\x", u"\u8868\\x"}, {"x"}, true},
    {Op::kFileName, {"ab\\\x81"}, {"\x81"}, true},
    {Op::kFileName, {"\x81"}, kNull, true},
    {Op::kExtName, {"file."}, {""}},
    {Op::kExtName, {"dir.d\\file"}, kNull},
    {Op::kExtName, {"a.b/c.d"}, {"d"}},
    {Op::kExtName, {"archive.tar.gz"}, {"gz"}},
    {Op::kExtName, {"C:x.y\\z/"}, kNull},
    {Op::kExtName, {"a.\x95\\b", u"a.\u8868b"}, {"\x95\\b", u"\u8868b"}, true},
    {Op::kExtName, {"a.b\\\x95\\", u"a.b\\\u8868"}, kNull, true},
    {Op::kExtName, {"a.b\x81"}, {"b\x81"}, true},
    {Op::kPath, {"C:\\\\dir//sub\\\\"}, {"C:\\dir/sub\\"}},
    {Op::kPath, {"\\\\\\server\\share"}, {"\\\\server\\share"}},
    {Op::kPath, {"\\\\server"}, {"\\\\server"}},
    {Op::kPath, {"/\\x"}, {"/\\x"}},
    {Op::kPath, {"a\\/\\/b"}, {"a\\b"}},
    {Op::kPath, {"http://host//x"}, {"http:/host/x"}},
    {Op::kPath, {"\x95\\\\\\x", u"\u8868\\\\x"}, {"\x95\\\\x", u"\u8868\\x"}, true},
    {Op::kPath, {"\\\x95\\", u"\\\u8868"}, {"\\\x95\\", u"\\\u8868"}, true},
    {Op::kPath, {"a\\\\\x81"}, {"a\\\x81"}, true},
    {Op::kUrl, {"proto://node//a///b"}, {"proto://node/a/b"}},
    {Op::kUrl, {"file:///C://x"}, {"file:///C://x"}},
    {Op::kUrl, {"//node/a"}, {"/node/a"}},
    {Op::kUrl, {"a:/\\/b//c"}, {"a:/\\/b/c"}},
    {Op::kUrl, {"c:\x95\\//x", u"c:\u8868//x"}, {"c:\x95\\/x", u"c:\u8868/x"}, true},
    {Op::kUrl, {"a:\x81"}, {"a:\x81"}, true},
};

template <class Ch>
class Text : public ::testing::Test {};
TYPED_TEST_SUITE(Text, Forms, FormName);

TYPED_TEST(Text, PathAndUrlNames) {
  using F = Form<TypeParam>;
  for (const NameRow& row : kNameRows) {
    if (row.cp932 && sizeof(TypeParam) == 1 && !Cp932()) continue;
    const Str<TypeParam> input = S<TypeParam>(row.input);
    SCOPED_TRACE(std::string(row.input.a));
    auto text = ExactCopy(input);  // the sanitizers see any step past the terminator
    TypeParam* const p = text.get();
    switch (row.op) {
      case Op::kFileName:
      case Op::kExtName: {
        // Only the extension scan clears the error code.
        PrimeErrCode(QXERR_BADPARAM);
        TypeParam* got = row.op == Op::kFileName ? F::ScanFileName(p) : F::ScanExtName(p);
        const Str<TypeParam> tail = S<TypeParam>(row.output);
        EXPECT_EQ(got, row.output.a == kNull.a ? nullptr : p + input.size() - tail.size());
        EXPECT_EQ(qxGetErrCode(), row.op == Op::kFileName ? QXERR_BADPARAM : QXERR_NONE);
        break;
      }
      case Op::kPath:
      case Op::kUrl:
        EXPECT_QXOK(row.op == Op::kPath ? F::ControlRightPath(p) : F::ControlRightUrl(p), 1);
        EXPECT_EQ(Str<TypeParam>(p), S<TypeParam>(row.output));
        break;
    }
  }
  TypeParam* const none = nullptr;
  EXPECT_QXFAIL(F::ScanFileName(none), nullptr, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::ScanExtName(none), nullptr, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::ControlRightPath(none), 0, QXERR_BADPARAM);
  EXPECT_QXFAIL(F::ControlRightUrl(none), 0, QXERR_BADPARAM);
}

// The digits grouped as the user's locale says, by a plain walk, and marked
// with a sign ('(' wraps them, '+' leads), so no row depends on the locale.
std::string Grouped(const std::string& digits, char sign = 0) {
  char separator[8] = {};
  char grouping[8] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, grouping, 8);
  const std::size_t size = grouping[0] > '0' && grouping[0] <= '9' ? grouping[0] - '0' : 0;
  std::string out(sign == 0 ? "" : std::string(1, sign));
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && size != 0 && (digits.size() - i) % size == 0) out += separator;
    out += digits[i];
  }
  return sign == '(' ? out.append(")") : out;
}

// One call of a formatting export ('s' string, 'i' 32-bit, 'l' 64-bit) into
// a poisoned buffer of `size` units: its text, or "null" when it failed.
// Nothing past the terminator is written, and the error code is left alone.
template <class Ch>
std::string Format(char kind, long long value, const std::string& number, QXDWORD flags, int size) {
  std::vector<Ch> out(140, Ch(0x7F));
  Ch* const o = out.data() + 4;
  const Str<Ch> digits = S<Ch>(number);
  PrimeErrCode(QXERR_BADPARAM);
  const Ch* result = kind == 's'   ? Form<Ch>::FigureSepStr(digits.c_str(), o, size, flags)
                     : kind == 'i' ? Form<Ch>::FigureSepInt32(int(value), o, size, flags)
                                   : Form<Ch>::FigureSepInt64(value, o, size, flags);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  if (result == nullptr) {
    EXPECT_TRUE(size > 0 || o[0] == Ch(0x7F)) << "wrote into a buffer of size " << size;
    return "null";
  }
  EXPECT_EQ(result, o);
  std::string text;
  for (const Ch* p = o; *p != 0; ++p)
    text += static_cast<char>(*p);
  EXPECT_EQ(o[text.size() + 1], Ch(0x7F));
  return text;
}

TYPED_TEST(Text, NumbersByWidthFlagsAndCapacity) {
  const struct {
    char kind;
    long long value;
    std::string number;
    QXDWORD flags;
    std::string text;
  } rows[] = {
      {'i', 1234567, "", 0, Grouped("1234567")},
      {'l', 0, "", 0, "0"},
      {'l', 1000, "", 0, Grouped("1000")},
      {'i', -1, "", 0, Grouped("4294967295")},
      {'l', -1, "", 0, Grouped("18446744073709551615")},
      {'i', -1234, "", 1, Grouped("1234", '(')},
      {'l', -1234, "", 3, Grouped("1234", '(')},
      {'i', INT_MIN, "", 1, Grouped("2147483648", '(')},
      {'i', LLONG_MIN, "", 1, "0"},  // only the low half reaches the 32-bit form
      {'l', LLONG_MIN, "", 1, Grouped("9223372036854775808", '(')},
      {'i', LLONG_MAX, "", 1, "(1)"},
      {'l', LLONG_MAX, "", 1, Grouped("9223372036854775807")},
      {'i', 1234, "", 3, Grouped("1234", '+')},
      {'l', 1234, "", 2, Grouped("1234")},         // 0x2 alone shows no sign
      {'s', 0, "1234567", 3, Grouped("1234567")},  // strings ignore the flags
      {'s', 0, "-1234", 0, Grouped("1234", '(')},
      {'s', 0, "12x", 0, "null"},
      // Number strings past 127 characters are refused before the
      // platform's formatter reads them.
      {'s', 0, std::string(128, '9'), 0, "null"},
      {'s', 0, std::string(32767, '9'), 0, "null"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.kind << row.value << row.number.substr(0, 9));
    EXPECT_EQ(Format<TypeParam>(row.kind, row.value, row.number, row.flags, 128), row.text);
    // The capacity must hold the text and its terminator.
    const int needed = static_cast<int>(row.text.size()) + 1;
    for (int size : {needed - 1, 0, -1})
      EXPECT_EQ(Format<TypeParam>(row.kind, row.value, row.number, row.flags, size), "null");
  }
  using F = Form<TypeParam>;
  TypeParam out[8];
  EXPECT_EQ(F::FigureSepStr(static_cast<const TypeParam*>(nullptr), out, 8, 0), nullptr);
  EXPECT_EQ(F::FigureSepInt32(5, static_cast<TypeParam*>(nullptr), 8, 0), nullptr);
}

}  // namespace
}  // namespace qxtest
