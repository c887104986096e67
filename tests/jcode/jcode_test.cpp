// Encoding detection and conversion as tables: labelled detection rows, each
// read up to a terminator right before an unreadable page behind ASCII
// prefixes of every length; conversions against texts given in all three
// encodings, one-way rows, every JIS X 0208 code and every Shift_JIS pair;
// natively also against glibc iconv on Japanese prose and every code.
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>
#include <sys/mman.h>
#endif

#include "support/qxtest.h"

namespace qxtest {
namespace {

// The last byte of a readable page whose next page is unreadable.
char* PageEnd() {
  constexpr std::size_t kPage = 4096;
#if defined(_WIN32)
  static auto* map =
      static_cast<char*>(VirtualAlloc(nullptr, 2 * kPage, MEM_COMMIT, PAGE_READWRITE));
  static DWORD old = 0;
  static const bool guarded = VirtualProtect(map + kPage, kPage, PAGE_NOACCESS, &old);
#else
  static auto* map = static_cast<char*>(
      mmap(nullptr, 2 * kPage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  static const bool guarded = mprotect(map + kPage, kPage, PROT_NONE) == 0;
#endif
  EXPECT_TRUE(guarded);
  return map + kPage - 1;
}

#define K40 "kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk"

// Rows by result. A deciding byte followed by ASCII must be found inside a
// 32-byte block of ASCII as well, in either half of it.
const struct {
  int code;
  std::vector<std::string> texts;
} kJudgeRows[] = {
    {QXJCODE_SJIS, {"", "ASCII\t\r\n\f\v\x1A~ !" K40, "x\x83", "x\xA0" K40, "\x82\xA0\x82\xA2"}},
    {QXJCODE_SJIS, {"a\xA4\xA2", "\xE0\xA1\xE0\xA1", "\xE0\x40", "a\xB1", "\xE0\xA1\xB1"}},
    {QXJCODE_SJIS, {"\xE0\xA1\x83"}},
    {QXJCODE_JIS, {"abc\x1B$B", "\x1B", "\xE0\xA1\x1B", "\x1B\x01", "\x1B" K40}},
    {QXJCODE_EUC, {"x\xFD", "x\xFE\xFE", "\xE0\xFD", "\xE0\x0D", "\xE0", "a\x8E", "\xFE" K40}},
    // A first byte 0xA1-0xDF means EUC-JP, whatever follows.
    {QXJCODE_EUC, {"\xA4\xA2\xA4\xA4", "\xB1", "\xDF\x83"}},
    {QXJCODE_NOTTEXT, {"a\x01", "\x7F", "ab\x80", "\xFF", "\xE0\xA1\x01\x1B", "\xE0\xA1\x80"}},
    {QXJCODE_NOTTEXT, {"\x7F" K40, "\x1F" K40, "\x08" K40, "\x0E" K40, "\x80" K40, "\x19" K40}},
};

TEST(Jcode, DetectionRows) {
  PrimeErrCode(QXERR_BADPARAM);
  for (const auto& row : kJudgeRows) {
    for (const std::string& text : row.texts) {
      const auto first = static_cast<unsigned char>(text[0]);
      for (std::size_t prefix = 0; prefix < (first >= 0xA1 && first <= 0xDF ? 1 : 40); ++prefix) {
        const std::string all = std::string(prefix, 'k') + text;
        char* const at = PageEnd() - all.size() - (prefix & 16);  // both halves of a block
        std::memcpy(at, all.c_str(), all.size() + 1);
        EXPECT_EQ(qxJudgeJpnCodeType(at), row.code) << prefix << " + " << text;
      }
    }
  }
  EXPECT_EQ(qxJudgeJpnCodeType(nullptr), QXJCODE_NOTTEXT);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "detection leaves the error code alone";
}

// Converts through the export into a buffer of the documented size with
// guard bytes behind it: the result must be the length written, the rest
// untouched, and the library error code left alone.
std::string Convert(const std::string& src, int from, int to) {
  const std::size_t bound = to == QXJCODE_JIS ? 4 * src.size() + 4 : src.size() + 1;
  std::string out(bound + 16, '\xCC');
  PrimeErrCode(QXERR_BADPARAM);
  const int n = qxConvertJpnCode(out.data(), to, ExactCopy(src).get(), from);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  EXPECT_EQ(static_cast<std::size_t>(n), std::strlen(out.c_str()));
  EXPECT_LT(static_cast<std::size_t>(n), bound);
  EXPECT_EQ(out.find_first_not_of('\xCC', n + 1), std::string::npos) << "written past the end";
  return out.substr(0, n);
}

// JIS X 0208 (j1, j2) in Shift_JIS, by rows and cells.
std::string SjisOf(unsigned j1, unsigned j2) {
  const unsigned row = j1 - 0x20, cell = j2 - 0x20;
  const unsigned s1 = (row + 1) / 2 + (row <= 62 ? 0x80 : 0xC0);
  return {char(s1), char(row % 2 == 1 ? cell + 0x3F + (cell >= 64) : cell + 0x9E)};
}

#define KANJI "\x1B$B"
#define ROMAN "\x1B(J"
constexpr int kS = QXJCODE_SJIS, kJ = QXJCODE_JIS, kE = QXJCODE_EUC, kCodes[] = {kS, kJ, kE};

// One text in Shift_JIS, JIS and EUC-JP, converted in every direction.
const std::string kTriples[][3] = {
    {"", "", ""},
    {"a\x88\x9F\x62\x82\xA0\x82\xA2\n\x81\x42",
     "a" KANJI "\x30\x21" ROMAN "b" KANJI "\x24\x22\x24\x24" ROMAN "\n" KANJI "\x21\x23" ROMAN,
     "a\xB0\xA1\x62\xA4\xA2\xA4\xA4\n\xA1\xA3"},
};

const struct {
  const char* src;
  int from, to;
  const char* dst;
} kOneWayRows[] = {
    {"a\r\nb\rc\n\r", kS, kJ, "a\nb\nc\n\n"},
    {"a\r\nb\rc\n\r", kS, kE, "a\nb\nc\n\n"},
    {"\xA4\xA2\r\n\r", kE, kJ, KANJI "\x24\x22" ROMAN "\n\n"},
    {"\xA4\xA2\r\n", kE, kS, "\x82\xA0\n"},
    {KANJI "\x24\x22" ROMAN "\r\n", kJ, kE, "\xA4\xA2\n"},
    {"x\r\n" KANJI "\r", kJ, kJ, "x\n" KANJI "\n"},  // a copy keeps escapes
    {"a\r\nb", 7, 7, "a\nb"},                        // equal codes copy
    {"\x88\r\n", kS, kE, "\xAF\xA1\n"},              // a lead byte pairs with any byte
    {"a\x82", kS, kJ, "a" KANJI ROMAN "\x82"},       // a lone lead byte last
    {"\x88\x9F\x82", kS, kJ, KANJI "\x30\x21" ROMAN "\x82"},
    {"a\x82", kS, kE, "a\x82"},
    {"\xF0\x40\xFC\xFC", kS, kJ, KANJI "\x21\x21\x22\x7E" ROMAN},  // no JIS row
    {"\xB1\xDF", kS, kE, "\xB1\xDF"},                              // half-width kana unchanged
    {"\xB1", kS, kJ, "\xB1"},
    {"\xA4\x61\xA4", kE, kS, "\xA4\x61\xA4"},  // unpaired high bytes
    {"\x8E\xB1", kE, kS, "\x8E\xB1"},
    {"\x8E\xB1", kE, kJ, "\x8E" KANJI "\x31" ROMAN},
    {"\xA4\xA2\xA4", kE, kJ, KANJI "\x24\x22\x24" ROMAN},
    {KANJI "\x30\x21\x1B(B", kJ, kS, "\x88\x9F"},
    {"\x1BK\x30\x21\x1BHx", kJ, kS, "\x88\x9Fx"},
    {"\x1B$@\x30\x21\x1B(Ix", kJ, kE, "\xB0\xA1x"},  // the third byte is not read
    {"a\x1BNb\x1B\x1B$B\x30\x21", kJ, kS, "a\x1BNb\x1B\x88\x9F"},
    {KANJI "\x30\x21\x30", kJ, kS, "\x88\x9F"},  // a last single byte is dropped
    {KANJI "\x30\r", kJ, kS, "\x88\x40"},        // any two bytes pair
    {KANJI "\xB0\xA1", kJ, kS, "\x40\x40"},      // high bytes take the filler
    {KANJI "\xB0\xA1", kJ, kE, "\xB0\xA1"},
    {"ab\x1B", kJ, kS, "ab"},  // an escape cut short
    {"ab\x1B$", kJ, kE, "ab"},
    {"ab\x1B(", kJ, kS, "ab"},
};

TEST(Jcode, ConversionRows) {
  for (const auto& triple : kTriples) {
    for (int from : kCodes) {
      for (int to : kCodes)
        EXPECT_EQ(Convert(triple[from], from, to), triple[to]) << from << " -> " << to;
    }
  }
  for (const auto& row : kOneWayRows)
    EXPECT_EQ(Convert(row.src, row.from, row.to), row.dst) << row.src;
  // Every JIS X 0208 code alone, through every direction and the copies.
  for (unsigned j1 = 0x21; j1 <= 0x7E; ++j1) {
    for (unsigned j2 = 0x21; j2 <= 0x7E; ++j2) {
      const std::string t[3] = {SjisOf(j1, j2),
                                KANJI + std::string{char(j1), char(j2)} + ROMAN,
                                {char(j1 | 0x80), char(j2 | 0x80)}};
      for (int from : kCodes) {
        for (int to : kCodes)
          ASSERT_EQ(Convert(t[from], from, to), t[to]) << j1 << " " << j2;
      }
    }
  }
  // Every Shift_JIS lead byte with every second byte: valid pairs come back
  // from EUC-JP; the others take the filler row 0x21 (0x22 from 0x9F on)
  // or cell 0x21.
  for (unsigned s1 = 0x81; s1 <= 0xFC; s1 += s1 == 0x9F ? 0x41 : 1) {
    for (unsigned s2 = 1; s2 <= 0xFF; ++s2) {
      const std::string sjis{char(s1), char(s2)}, euc = Convert(sjis, kS, kE);
      const bool valid = s2 >= 0x40 && s2 <= 0xFC && s2 != 0x7F;
      const std::string at = std::to_string(s1) + " " + std::to_string(s2);
      ASSERT_EQ(euc.size(), 2u) << at;
      ASSERT_TRUE(s1 > 0xEF || !valid || Convert(euc, kE, kS) == sjis) << at;
      ASSERT_TRUE(s1 < 0xF0 || (euc[0] & 0x7F) == (s2 >= 0x9F ? 0x22 : 0x21)) << at;
      ASSERT_TRUE(valid || (euc[1] & 0x7F) == 0x21) << at;
    }
  }
  // The documented sizes hold for the worst inputs, long ones included.
  for (const auto& [unit, from] : std::vector<std::pair<std::string, int>>{{"\x88", kS},
                                                                           {"\x88\x9F\x61", kS},
                                                                           {"\xA1\x61", kE},
                                                                           {"\xB1\r\n", kS},
                                                                           {KANJI "0!", kJ}}) {
    std::string src = unit;
    while (src.size() < 4096)
      src += unit;
    for (int to : kCodes) {
      Convert(unit, from, to);
      Convert(src, from, to);
    }
  }
}

// Refused codes, and a null source, leave an empty string and nothing else;
// a null output is answered.
TEST(Jcode, ConversionRefusals) {
  const struct {
    int from, to;
    const char* src;
  } refused[] = {{0, 3, "abc"},  {3, 0, "abc"},           {-1, -1, "abc"}, {-1, 0, "abc"},
                 {2, -1, "abc"}, {INT_MIN, INT_MAX, "a"}, {0, 2, nullptr}, {1, 1, nullptr}};
  for (const auto& row : refused) {
    char dst[4] = "xyz";
    EXPECT_QXOK(qxConvertJpnCode(dst, row.to, row.src, row.from), 0);
    EXPECT_EQ(std::string(dst, 4), std::string("\0yz\0", 4)) << row.from << " " << row.to;
  }
  EXPECT_QXOK(qxConvertJpnCode(nullptr, kE, "abc", kS), 0);
}

#if !defined(_WIN32)
// The text converted by glibc iconv; empty when iconv refuses it.
std::string Iconv(std::string text, const char* from, const char* to) {
  const iconv_t cd = iconv_open(to, from);
  std::string out(text.size() * 4 + 16, '\0');
  char *in = text.data(), *put = out.data();
  std::size_t inLeft = text.size(), outLeft = out.size();
  const auto failed = static_cast<std::size_t>(-1);
  const bool ok = cd != reinterpret_cast<iconv_t>(-1) &&
                  iconv(cd, &in, &inLeft, &put, &outLeft) != failed &&
                  iconv(cd, nullptr, nullptr, &put, &outLeft) != failed;
  if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  return ok ? out.substr(0, put - out.data()) : std::string();
}

// Prose, then every code that both iconv tables map, in lines behind ASCII
// with CR LF ends. Shift_JIS to EUC-JP must equal iconv byte for byte, JIS
// output must decode through iconv to the same text, and iconv's own JIS
// (which returns with ESC ( B) and EUC-JP must convert back.
TEST(Jcode, ConversionsAgreeWithIconv) {
  std::string crlf = Iconv(
      "吾輩はここで始めて人間というものを見た。しかもあとで聞くとそれは書生という\r\n"
      "ファイルを開いて、行ごとに読み込み（ＣＲ　ＬＦ）、２０２４年１２月、１，２００円。\r\n",
      "UTF-8", "SHIFT_JIS");
  std::string line;
  for (unsigned j1 = 0x21; j1 <= 0x7E; ++j1) {
    for (unsigned j2 = 0x21; j2 <= 0x7E; ++j2) {
      const std::string code = SjisOf(j1, j2), text = Iconv(code, "SHIFT_JIS", "UTF-8");
      if (text.empty() || text != Iconv({char(j1 | 0x80), char(j2 | 0x80)}, "EUC-JP", "UTF-8"))
        continue;
      line += code;
      if (line.size() < 80) continue;
      crlf += "code " + std::to_string(j1) + ": " + line + "\r\n";
      line.clear();
    }
  }
  crlf += line + "\r\nend\r\n";
  std::string sjis = crlf;
  std::erase(sjis, '\r');
  ASSERT_GT(sjis.size(), 15000u) << "iconv mapped too few codes";
  const std::string euc = Iconv(sjis, "SHIFT_JIS", "EUC-JP");
  const std::string jis = Iconv(sjis, "SHIFT_JIS", "ISO-2022-JP");
  const std::string utf8 = Iconv(sjis, "SHIFT_JIS", "UTF-8");
  EXPECT_EQ(Convert(crlf, kS, kE), euc);
  EXPECT_EQ(Iconv(Convert(sjis, kS, kJ), "ISO-2022-JP", "UTF-8"), utf8);
  EXPECT_EQ(Iconv(Convert(euc, kE, kJ), "ISO-2022-JP", "UTF-8"), utf8);
  EXPECT_EQ(Convert(jis, kJ, kS), sjis);
  EXPECT_EQ(Convert(jis, kJ, kE), euc);
  EXPECT_EQ(Convert(euc, kE, kS), sjis);
}
#endif

}  // namespace
}  // namespace qxtest
