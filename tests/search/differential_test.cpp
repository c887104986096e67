// The library's scan against the plain reference on random patterns and
// texts in every mode and both forms. The alphabets favour metacharacters,
// double-byte characters whose trail byte is a backslash or a bracket, and
// long runs that exercise skipping ahead.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "qxdll32.h"
#include "search/reference_scan.h"
#include "search/saa_node.h"
#include "support/test_support.h"

namespace {

using qx::search::SaaNode;

template <class Ch>
std::basic_string<Ch> Pick(std::mt19937& random, const std::vector<std::basic_string<Ch>>& pieces,
                           std::size_t count) {
  std::basic_string<Ch> out;
  for (std::size_t i = 0; i < count; ++i)
    out += pieces[random() % pieces.size()];
  return out;
}

template <class Ch>
void Compare(std::uint32_t seed, int patterns, const std::vector<std::basic_string<Ch>>& syntax,
             const std::vector<std::basic_string<Ch>>& prose) {
  std::mt19937 random(seed);
  for (int i = 0; i < patterns; ++i) {
    const unsigned flags = random() % 4;
    const auto pattern = Pick(random, syntax, 1 + random() % 10);
    QXHCVT cvt;
    if constexpr (sizeof(Ch) == 1) {
      cvt = qxSaaCreateCvtA(pattern.c_str(), flags);
    } else {
      cvt = qxSaaCreateCvtW(pattern.c_str(), flags);
    }
    if (cvt == nullptr) continue;  // empty, or only '^'
    auto& root = *reinterpret_cast<SaaNode*>(cvt);
    for (int j = 0; j < 24; ++j) {
      std::basic_string<Ch> text = Pick(random, prose, random() % 48);
      if (j % 6 == 0) text = std::basic_string<Ch>(random() % 80, prose[0][0]) + text;
      const Ch* expected = qxtest::ReferenceScan<Ch>().Run(root, text.c_str());
      const QXDWORD expectedLength = root.matchLength;
      const Ch* found;
      if constexpr (sizeof(Ch) == 1) {
        found = qxSaaScanStringA(cvt, text.c_str());
      } else {
        found = qxSaaScanStringW(cvt, text.c_str());
      }
      ASSERT_EQ(found, expected) << "seed " << seed << " pattern #" << i << " text #" << j;
      ASSERT_EQ(qxSaaGetMatchLength(cvt), expectedLength) << "seed " << seed << " #" << i;
    }
    qxSaaCloseCvt(cvt);
  }
}

TEST(Differential, AnsiAgainstReference) {
  std::vector<std::string> syntax = {"a", "b", "x",  ".",   "*",   "+", "?",  "[",     "]",   "^",
                                     "-", "$", "\\", "\\x", "\\n", "A", "ab", "[a-c]", "[^b]"};
  std::vector<std::string> prose = {"a", "b", "x", "A", "B", "-", "\n", "ab", "xa", "]"};
  if (qxtest::ActiveCodePage() == 932) {
    for (const char* dbcs : {"\x95\x5C", "\x83\x5B", "\x82\xA0", "\x83\x41", "\x83\x83", "\x88"})
      syntax.push_back(dbcs);
    for (const char* dbcs : {"\x95\x5C", "\x83\x5B", "\x82\xA0", "\x83\x41", "\x83\x83", "\x83"})
      prose.push_back(dbcs);
  }
  Compare<char>(1, 4000, syntax, prose);
  Compare<char>(2, 4000, syntax, prose);
}

TEST(Differential, WideAgainstReference) {
  const std::vector<std::u16string> syntax = {u"a",  u"b",   u"x", u".",      u"*",     u"+",
                                              u"?",  u"[",   u"]", u"^",      u"-",     u"$",
                                              u"\\", u"\\x", u"A", u"\u3042", u"[a-c]", u"\u0391"};
  const std::vector<std::u16string> prose = {u"a", u"b",      u"x",      u"A",
                                             u"-", u"\u3042", u"\u03B1", u"ab"};
  Compare<QXWCHAR>(3, 1500, syntax, prose);
}

}  // namespace
