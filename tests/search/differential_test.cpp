// Native only: the library's scan against the plain reference, which reads
// the compiled nodes, on random patterns and texts in every mode. Each text
// ends right before an unreadable page, so the block searches that read
// ahead of the unit they test must stop inside the text's page; there the
// word-at-a-time search of builds without SSE2 must agree with the scan's.
#include <algorithm>
#include <random>

#include "search/reference_scan.h"
#include "search/unit_find.h"
#include "support/qxtest.h"

namespace qxtest {
namespace {

template <class Ch>
class SearchNative : public ::testing::Test {};
TYPED_TEST_SUITE(SearchNative, Forms, FormName);

// The pieces favour metacharacters, double-byte characters whose trail
// byte is a backslash or a bracket, and (behind long runs) skipping ahead.
TYPED_TEST(SearchNative, ScansAgreeWithThePlainReference) {
  using Ch = TypeParam;
  std::vector<Str<Ch>> syntax, prose;
  auto add = [](std::vector<Str<Ch>>& to, std::string pieces) {  // split at spaces
    for (std::size_t at; (at = pieces.find(' ')) != pieces.npos; pieces.erase(0, at + 1))
      to.push_back(S<Ch>(pieces.substr(0, at)));
  };
  add(syntax, "a b x . * + ? [ ] ^ - $ \\ \\x \\n A ab [a-c] [^b] ");
  add(prose, "a b x A B - ab xa ] \n ");
  if (sizeof(Ch) == 2 || Cp932()) {
    for (Both both : {Both{"\x95\x5C", u"表"}, Both{"\x83\x5B", u"ゼ"}, Both{"\x82\xA0", u"あ"},
                      Both{"\x83\x41", u"ア"}, Both{"\x83\x83", u"ャ"}, Both{"\x88", u"Α"}}) {
      syntax.push_back(S<Ch>(both));
      prose.push_back(S<Ch>(both.a == "\x88" ? Both{"\x83", u"α"} : both));
    }
  }
  std::mt19937 random(1);
  auto pick = [&](const std::vector<Str<Ch>>& pieces, std::size_t count, Str<Ch> out = {}) {
    while (count-- > 0)
      out += pieces[random() % pieces.size()];
    return out;
  };
  // Units at the edges of what a word tests: あ is 0x3042, its low byte 'B';
  // a range reaching the lanes' high bit filters nothing.
  const std::uint32_t high = sizeof(Ch) == 1 ? 0x80 : 0x8000;
  const qx::search::UnitPair<Ch> pair{'b', sizeof(Ch) == 1 ? 0x83u : 0x3042u}, check{'a', 'x'};
  const qx::search::UnitRange<Ch> ranges[] = {{'a', 1}, {high, high - 1}, {0x7A, 6}};
  for (int i = 0; i < 6000; ++i) {
    const QXHCVT cvt =
        Form<Ch>::SaaCreateCvt(pick(syntax, 1 + random() % 10).c_str(), random() % 4);
    if (cvt == nullptr) continue;  // empty, or only '^'
    auto& root = *reinterpret_cast<qx::search::SaaNode*>(cvt);
    for (int j = 0; j < 24; ++j) {
      const Str<Ch> text = pick(prose, random() % 48, Str<Ch>(j % 6 == 0 ? random() % 80 : 0, 'a'));
      Ch* const at = reinterpret_cast<Ch*>(PageEnd() + 1) - j % 4 - text.size() - 1;
      std::copy(text.c_str(), text.c_str() + text.size() + 1, at);
      const Ch* expected = ReferenceScan<Ch>().Run(root, at);
      const QXDWORD length = root.matchLength;  // the library's scan sets it too
      ASSERT_EQ(Form<Ch>::SaaScanString(cvt, at), expected) << "pattern #" << i << " text #" << j;
      ASSERT_EQ(qxSaaGetMatchLength(cvt), length) << "pattern #" << i << " text #" << j;
      ASSERT_EQ(FindUnitByWords(at, pair), FindUnit(at, pair));
      ASSERT_EQ(FindUnitByWords(at, ranges[j % 3]), FindUnit(at, ranges[j % 3]));
      const std::ptrdiff_t distance = j % 3 + 1;  // the text before the pair
      ASSERT_TRUE(static_cast<std::ptrdiff_t>(text.size()) <= distance ||
                  FindPairByWords(at + distance, distance, pair, check) ==
                      FindPair(at + distance, distance, pair, check));
    }
    qxSaaCloseCvt(cvt);
  }
}

}  // namespace
}  // namespace qxtest
