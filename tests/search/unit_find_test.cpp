// The block searches of W text against a unit-by-unit loop, from every
// unit alignment within a block, by words and, where there is SSE2,
// by vectors; and W scans of texts that end right before an unmapped page,
// where a block read past the terminator must stay inside the page.
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "qxdll32.h"
#include "search/unit_find.h"

namespace {

using qx::search::UnitPair;
using qx::search::UnitRange;

template <class Target>
const WCHAR* Naive(const WCHAR* p, const Target& target) {
  while (!target.Hit(*p))
    ++p;
  return p;
}

template <class Target>
void ExpectAllFindersAgree(const WCHAR* text, const Target& target, const char* what) {
  const WCHAR* expected = Naive(text, target);
  EXPECT_EQ(qx::search::FindUnitByWords(text, target), expected) << what;
#if defined(__SSE2__)
  EXPECT_EQ(qx::search::FindUnitByVectors(text, target), expected) << what;
#endif
  EXPECT_EQ(qx::search::FindUnit(text, target), expected) << what;
}

TEST(UnitFind, AgreesWithTheUnitLoopFromEveryAlignment) {
  // Units near the targets' edges: '0' and '9' bound the digit range,
  // 0x3042 is a Japanese unit whose low byte is 'B', 0x8030 is a unit
  // with the high bit set, 0xFFFF the largest.
  const std::vector<WCHAR> alphabet = {u'a',   u'/',   u'0',   u'5', u'9',  u':',  0x3042,
                                       0x4200, 0x8030, 0xFFFF, u' ', u'\n', 0x0130};
  const UnitPair pairs[] = {{0x3042, 0x3042}, {u'a', 0x8030}, {0xFFFF, u'5'}, {0x0130, 0x4200}};
  const UnitRange ranges[] = {{u'0', 9}, {u'a', 0}, {0, 0}, {0x3042, 0}, {0x8000, 0x7FFF}};
  std::mt19937 random(7);
  // Room for a start at any unit offset within two blocks.
  std::vector<WCHAR> storage(256);
  for (int round = 0; round < 400; ++round) {
    const std::size_t length = random() % 90;
    for (std::size_t shift = 0; shift < 2 * 16; shift += sizeof(WCHAR)) {
      auto* bytes = reinterpret_cast<unsigned char*>(storage.data()) + shift;
      std::vector<WCHAR> text(length + 1, 0);
      for (std::size_t i = 0; i < length; ++i)
        text[i] = alphabet[random() % alphabet.size()];
      std::memcpy(bytes, text.data(), text.size() * sizeof(WCHAR));
      const auto* start = reinterpret_cast<const WCHAR*>(bytes);
      for (const UnitPair& pair : pairs)
        ExpectAllFindersAgree(start, pair, "pair");
      for (const UnitRange& range : ranges)
        ExpectAllFindersAgree(start, range, "range");
      if (HasFailure()) FAIL() << "round " << round << " shift " << shift;
    }
  }
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
  const WCHAR* Place(const std::u16string& text, std::size_t gap) {
    const std::size_t size = (text.size() + 1) * sizeof(WCHAR);
    unsigned char* at = bytes_ + page_ - gap - size;
    std::memcpy(at, text.c_str(), size);
    return reinterpret_cast<const WCHAR*>(at);
  }

  std::size_t page_ = 0;
  unsigned char* bytes_ = nullptr;
};

TEST_F(UnitFindPageEnd, FindersStopAtTheTerminator) {
  for (const std::size_t gap : {std::size_t{0}, sizeof(WCHAR)}) {
    for (std::size_t length = 0; length < 100; ++length) {
      const WCHAR* text = Place(std::u16string(length, u'\u3042'), gap);
      ExpectAllFindersAgree(text, UnitPair{u'x', u'y'}, "pair");
      ExpectAllFindersAgree(text, UnitRange{u'0', 9}, "range");
    }
  }
}

TEST_F(UnitFindPageEnd, ScansStopAtTheTerminator) {
  // A literal skips to its rare unit; a digit pattern to its class.
  const QXHCVT literal = qxSaaCreateCvtW(u"\u6f22\u5b57", 0);
  const QXHCVT digits = qxSaaCreateCvtW(u"[0-9][0-9]+Z", QXSAA_PATTERN);
  ASSERT_NE(literal, nullptr);
  ASSERT_NE(digits, nullptr);
  for (const std::size_t gap : {std::size_t{0}, sizeof(WCHAR)}) {
    for (std::size_t length = 0; length < 100; ++length) {
      const std::u16string filler(length, u'\u3042');
      EXPECT_EQ(qxSaaScanStringW(literal, Place(filler, gap)), nullptr) << length;
      EXPECT_EQ(qxSaaScanStringW(digits, Place(filler + u"12", gap)), nullptr) << length;
      const WCHAR* text = Place(filler + u"\u6f22\u5b57", gap);
      EXPECT_EQ(qxSaaScanStringW(literal, text), text + length) << length;
      text = Place(filler + u"12Z", gap);
      EXPECT_EQ(qxSaaScanStringW(digits, text), text + length) << length;
    }
  }
  qxSaaCloseCvt(literal);
  qxSaaCloseCvt(digits);
}

}  // namespace
