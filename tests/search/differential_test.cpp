// Native only: the library's scan against the plain reference, which reads
// the compiled nodes, on random patterns and texts in every mode. Each text
// ends right before an unreadable page, so the block searches that read
// ahead of the unit they test must stop inside the text's page; there the
// word-at-a-time search of builds without SSE2 must agree with the scan's.
#include <sys/mman.h>

#include <cstring>
#include <random>
#include <sstream>

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
  std::vector<Str<Ch>> syntax, prose = {S<Ch>("\n")};
  for (auto [pieces, into] :
       {std::pair{"a b x . * + ? [ ] ^ - $ \\ \\x \\n A ab [a-c] [^b]", &syntax},
        std::pair{"a b x A B - ab xa ]", &prose}}) {
    std::istringstream in(pieces);
    for (std::string piece; in >> piece;)
      into->push_back(S<Ch>(piece));
  }
  if (!std::is_same_v<Ch, char> || Cp932()) {
    for (Both both : {Both{"\x95\x5C", u"表"}, Both{"\x83\x5B", u"ゼ"}, Both{"\x82\xA0", u"あ"},
                      Both{"\x83\x41", u"ア"}, Both{"\x83\x83", u"ャ"}, Both{"\x88", u"Α"}}) {
      syntax.push_back(S<Ch>(both));
      prose.push_back(S<Ch>(both.a == "\x88" ? Both{"\x83", u"α"} : both));
    }
  }
  constexpr std::size_t kPage = 4096;
  auto* map = static_cast<char*>(
      ::mmap(nullptr, 2 * kPage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  ASSERT_EQ(::mprotect(map + kPage, kPage, PROT_NONE), 0);
  std::mt19937 random(1);
  auto pick = [&](const std::vector<Str<Ch>>& pieces, std::size_t count) {
    Str<Ch> out;
    while (count-- > 0)
      out += pieces[random() % pieces.size()];
    return out;
  };
  // Units at the edges of what a word tests: あ is 0x3042, its low byte 'B';
  // a range reaching the lanes' high bit filters nothing.
  const std::uint32_t high = sizeof(Ch) == 1 ? 0x80 : 0x8000;
  const qx::search::UnitPair<Ch> pair{'b', sizeof(Ch) == 1 ? 0x83u : 0x3042u};
  const qx::search::UnitRange<Ch> ranges[] = {{'a', 1}, {high, high - 1}, {0x7A, 6}};
  for (int i = 0; i < 6000; ++i) {
    const Str<Ch> pattern = pick(syntax, 1 + random() % 10);
    const QXHCVT cvt = Form<Ch>::SaaCreateCvt(pattern.c_str(), random() % 4);
    if (cvt == nullptr) continue;  // empty, or only '^'
    auto& root = *reinterpret_cast<qx::search::SaaNode*>(cvt);
    for (int j = 0; j < 24; ++j) {
      Str<Ch> text = pick(prose, random() % 48);
      if (j % 6 == 0) text = Str<Ch>(random() % 80, Ch('a')) + text;
      Ch* const at = reinterpret_cast<Ch*>(map + kPage) - j % 4 - text.size() - 1;
      std::memcpy(at, text.c_str(), (text.size() + 1) * sizeof(Ch));
      const Ch* expected = ReferenceScan<Ch>().Run(root, at);
      const QXDWORD expectedLength = root.matchLength;
      ASSERT_EQ(Form<Ch>::SaaScanString(cvt, at), expected) << "pattern #" << i << " text #" << j;
      ASSERT_EQ(qxSaaGetMatchLength(cvt), expectedLength) << "pattern #" << i << " text #" << j;
      ASSERT_EQ(FindUnitByWords(at, pair), FindUnit(at, pair));
      ASSERT_EQ(FindUnitByWords(at, ranges[j % 3]), FindUnit(at, ranges[j % 3]));
    }
    qxSaaCloseCvt(cvt);
  }
  ::munmap(map, 2 * kPage);
}

}  // namespace
}  // namespace qxtest
