// The block searches of W text against a unit-by-unit loop, from every
// unit alignment within a block, by words and, where there is SSE2,
// by vectors; and W scans of texts that end right before an unmapped page,
// where a block read past the terminator must stay inside the page.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "qxdll32.h"
#include "search/unit_find.h"

namespace {

using qx::search::unit_find::Unit;
using WidePair = qx::search::UnitPair<QXWCHAR>;
using WideRange = qx::search::UnitRange<QXWCHAR>;
using ByteRange = qx::search::UnitRange<char>;

template <class Ch, class Target>
const Ch* Naive(const Ch* p, const Target& target) {
  while (!target.Hit(Unit(*p)))
    ++p;
  return p;
}

template <class Ch, class Target>
void ExpectAllFindersAgree(const Ch* text, const Target& target, const char* what) {
  const Ch* expected = Naive(text, target);
  EXPECT_EQ(qx::search::FindUnitByWords(text, target), expected) << what;
#if defined(__SSE2__)
  EXPECT_EQ(qx::search::FindUnitByVectors(text, target), expected) << what;
#endif
  EXPECT_EQ(qx::search::FindUnit(text, target), expected) << what;
}

// Random texts from `alphabet`, started at every unit offset within two
// blocks, against every target.
template <class Ch, class Target>
void ExpectAgreementOnRandomTexts(const std::vector<Ch>& alphabet,
                                  const std::vector<Target>& targets) {
  std::mt19937 random(7);
  std::vector<Ch> storage(512 / sizeof(Ch));
  for (int round = 0; round < 300; ++round) {
    const std::size_t length = random() % 90;
    std::vector<Ch> text(length + 1, 0);
    for (std::size_t i = 0; i < length; ++i)
      text[i] = alphabet[random() % alphabet.size()];
    for (std::size_t shift = 0; shift < 32 / sizeof(Ch); ++shift) {
      std::copy(text.begin(), text.end(), storage.begin() + static_cast<std::ptrdiff_t>(shift));
      for (const Target& target : targets)
        ExpectAllFindersAgree(storage.data() + shift, target, "target");
      if (::testing::Test::HasFailure()) FAIL() << "round " << round << " shift " << shift;
    }
  }
}

// Units near the targets' edges: '0' and '9' bound the digit range,
// 0x3042 is a Japanese unit whose low byte is 'B', 0x8030 has the high bit
// set, 0xFFFF is the largest.
const std::vector<QXWCHAR> kWideAlphabet = {u'a',   u'/',   u'0',   u'5', u'9',  u':',  0x3042,
                                            0x4200, 0x8030, 0xFFFF, u' ', u'\n', 0x0130};

TEST(UnitFind, WidePairsAgreeWithTheUnitLoop) {
  ExpectAgreementOnRandomTexts<QXWCHAR, WidePair>(
      kWideAlphabet, {{0x3042, 0x3042}, {u'a', 0x8030}, {0xFFFF, u'5'}, {0x0130, 0x4200}});
}

TEST(UnitFind, RangesAgreeWithTheUnitLoop) {
  // The last ranges reach the lanes' high bit, where words filter nothing.
  ExpectAgreementOnRandomTexts<QXWCHAR, WideRange>(
      kWideAlphabet, {{u'0', 9}, {u'a', 0}, {0, 0}, {0x3042, 0}, {0x7FF0, 0xF}, {0x8000, 0x7FFF}});
  const std::vector<char> bytes = {'a',    '/',    '0',    '5', '9',  ':', '\x82', '\xA0',
                                   '\xFF', '\x7F', '\x80', ' ', '\n', 'z', '{'};
  ExpectAgreementOnRandomTexts<char, ByteRange>(
      bytes, {{'0', 9}, {'a', 25}, {0, 0}, {0x7A, 5}, {0x7A, 6}, {0x80, 0x7F}});
}

// Two pages, the second made unreadable; texts are placed so that their
// terminator is the last unit of the first page, or the one before it.
class UnitFindPageEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    page_ = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    void* map =
        ::mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(map, MAP_FAILED);
    bytes_ = static_cast<unsigned char*>(map);
    ASSERT_EQ(::mprotect(bytes_ + page_, page_, PROT_NONE), 0);
  }
  void TearDown() override { ::munmap(bytes_, 2 * page_); }

  // Writes `text` and its terminator to end `gap` bytes before the page.
  template <class Ch>
  const Ch* Place(const std::basic_string<Ch>& text, std::size_t gap) {
    const std::size_t size = (text.size() + 1) * sizeof(Ch);
    unsigned char* at = bytes_ + page_ - gap - size;
    std::memcpy(at, text.c_str(), size);
    return reinterpret_cast<const Ch*>(at);
  }

  std::size_t page_ = 0;
  unsigned char* bytes_ = nullptr;
};

TEST_F(UnitFindPageEnd, FindersStopAtTheTerminator) {
  for (const std::size_t gap : {std::size_t{0}, sizeof(QXWCHAR)}) {
    for (std::size_t length = 0; length < 100; ++length) {
      const QXWCHAR* text = Place(std::u16string(length, u'\u3042'), gap);
      ExpectAllFindersAgree(text, WidePair{u'x', u'y'}, "pair");
      ExpectAllFindersAgree(text, WideRange{u'0', 9}, "range");
    }
  }
  for (std::size_t gap = 0; gap < 4; ++gap) {
    for (std::size_t length = 0; length < 100; ++length)
      ExpectAllFindersAgree(Place(std::string(length, 'a'), gap), ByteRange{'0', 9}, "bytes");
  }
}

TEST_F(UnitFindPageEnd, ScansStopAtTheTerminator) {
  // A literal skips to its rare unit; a digit pattern to its class.
  const QXHCVT literal = qxSaaCreateCvtW(u"\u6f22\u5b57", 0);
  const QXHCVT digits = qxSaaCreateCvtW(u"[0-9][0-9]+Z", QXSAA_PATTERN);
  ASSERT_NE(literal, nullptr);
  ASSERT_NE(digits, nullptr);
  for (const std::size_t gap : {std::size_t{0}, sizeof(QXWCHAR)}) {
    for (std::size_t length = 0; length < 100; ++length) {
      const std::u16string filler(length, u'\u3042');
      EXPECT_EQ(qxSaaScanStringW(literal, Place(filler, gap)), nullptr) << length;
      EXPECT_EQ(qxSaaScanStringW(digits, Place(filler + u"12", gap)), nullptr) << length;
      const QXWCHAR* text = Place(filler + u"\u6f22\u5b57", gap);
      EXPECT_EQ(qxSaaScanStringW(literal, text), text + length) << length;
      text = Place(filler + u"12Z", gap);
      EXPECT_EQ(qxSaaScanStringW(digits, text), text + length) << length;
    }
  }
  qxSaaCloseCvt(literal);
  qxSaaCloseCvt(digits);
  // A skips to a class through the same blocks, from any byte address.
  const QXHCVT narrow = qxSaaCreateCvtA("[0-9][0-9]+Z", QXSAA_PATTERN);
  ASSERT_NE(narrow, nullptr);
  for (std::size_t gap = 0; gap < 4; ++gap) {
    for (std::size_t length = 0; length < 100; ++length) {
      const std::string filler(length, 'a');
      EXPECT_EQ(qxSaaScanStringA(narrow, Place(filler + "12", gap)), nullptr) << length;
      const char* text = Place(filler + "12Z", gap);
      EXPECT_EQ(qxSaaScanStringA(narrow, text), text + length) << length;
    }
  }
  qxSaaCloseCvt(narrow);
}

}  // namespace
