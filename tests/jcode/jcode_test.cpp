// Encoding detection and conversion as tables: labelled detection rows, each
// read up to a terminator right before an unreadable page behind ASCII
// prefixes of every length; conversions against texts given in all three
// encodings, one-way rows and every Shift_JIS pair; natively also against
// glibc iconv on Japanese prose and every code.
#include <climits>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#if !defined(_WIN32)
#include <iconv.h>
#endif

#include "support/qxtest.h"

namespace qxtest {
namespace {

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

using namespace std::string_literals;

// Whole-buffer detection rows by result, each text also behind a pad of 1
// to 200 pad units (none where the pad is empty) so that it straddles the
// 64-byte steps, and put right before an unreadable page.
const struct {
  int code;
  std::string pad;
  std::vector<std::string> texts;
} kTextRows[] = {
    {QXJCODE_ASCII, "k", {"", "text\r\n\t\f\v\x1A~", "a\x1B[1m\x1B", "a\x01" K40 K40 K40}},
    {QXJCODE_JIS, "k", {"\x1B$B$\"\x1B(B", "a\x1B(J", "cut \x1B$"}},
    // Half-width katakana first, kana rows that EUC-JP reads as broken.
    {QXJCODE_SJIS, "k", {"\xB1\x82\xA0\x82\xA2", "\x83\x80\x83\x40", "\x8A\xBF\x8E\x9A\x82\xCC"}},
    {QXJCODE_EUC, "k", {"\xA4\xA2\xA4\xA4", "\xB4\xC1\xBB\xFA\xA4\xCE", "\x8E\xB1\xA4\xA2"}},
    {QXJCODE_UTF8,
     "k",
     {"\xE3\x81\x82", "\xC3\xA9t\xC3\xA9", "\xF0\x9F\x98\x80\xE3\x81\x82",
      "\xE0\xA4\xB9\xE3\x81\x82", "\xE1\x84\x80\xE3\x81\x82"}},
    {QXJCODE_UTF8, "", {"\xEF\xBB\xBF", "\xEF\xBB\xBF\x61\x82"}},
    {QXJCODE_UTF16LE, "k\0"s, {"a\0"s, "\x42\x30\x02\x30", "=\xD8\0\xDE"s}},
    {QXJCODE_UTF16LE, "", {"\xFF\xFE", "\xFF\xFE\x02"}},
    {QXJCODE_UTF16BE, "\0k"s, {"\0a"s, "\x30\x42\x30\x02"}},
    {QXJCODE_UTF16BE, "", {"\xFE\xFF", "\xFE\xFF\xD8\x3D"}},
    {QXJCODE_NOTTEXT, "k", {"a\0\0\0b"s, "\x82\xA0\0\0\0"s}},
    {QXJCODE_NOTTEXT,
     "",
     {"\xFE\xFF\0\0"s, "\x01\x02\x03\x04", "\xE3\x81\x82\x01\x01\x01\x01\x01\x01",
      "\x9B\xF3\x3D\xC7\xB4\x5E\x0E\xA8\x91\xE5\xFD\x8C"}},
};

// 日本語のテキストです。 in each encoding, judged whole and cut short by
// one to three bytes.
const std::pair<int, std::string> kSentences[] = {
    {QXJCODE_SJIS, "\x93\xFA\x96{\x8C\xEA\x82\xCC\x83\x65\x83L\x83X\x83g\x82\xC5\x82\xB7\x81\x42"},
    {QXJCODE_EUC,
     "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8\xA4\xC7\xA4\xB9\xA1\xA3"},
    {QXJCODE_JIS, "\x1B$BF|K\x5C\x38l$N%F%-%9%H$G$9!#\x1B(B"},
    {QXJCODE_UTF8,
     "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83"
     "\x88\xE3\x81\xA7\xE3\x81\x99\xE3\x80\x82"},
    {QXJCODE_UTF16LE, "\xE5\x65,g\x9E\x8An0\xC6\x30\xAD\x30\xB9\x30\xC8\x30g0Y0\x02\x30"},
    {QXJCODE_UTF16BE, "e\xE5g,\x8A\x9E\x30n0\xC6\x30\xAD\x30\xB9\x30\xC8\x30g0Y0\x02"},
};

int JudgeAtPageEnd(const std::string& text) {
  char* const at = PageEnd() + 1 - text.size();
  std::memcpy(at, text.data(), text.size());
  return qxJudgeTextCode(at, static_cast<QXDWORD>(text.size()));
}

TEST(Jcode, TextDetectionRows) {
  PrimeErrCode(QXERR_BADPARAM);
  for (const auto& row : kTextRows) {
    for (const std::string& text : row.texts) {
      for (std::size_t pads : {0, 1, 63, 64, 65, 200}) {
        std::string all = text;
        for (std::size_t i = 0; i < pads && !row.pad.empty(); ++i)
          all.insert(0, row.pad);
        EXPECT_EQ(JudgeAtPageEnd(all), row.code) << pads << " + " << text;
      }
    }
  }
  for (const auto& [code, text] : kSentences) {
    for (std::size_t cut = 0; cut < 4; ++cut)
      EXPECT_EQ(JudgeAtPageEnd(text.substr(0, text.size() - cut)), code) << cut << " " << text;
  }
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "detection leaves the error code alone";
  EXPECT_QXOK(qxJudgeTextCode(nullptr, 0), QXJCODE_ASCII);
  EXPECT_QXFAIL(qxJudgeTextCode(nullptr, 1), QXJCODE_NOTTEXT, QXERR_BADPARAM);
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

#define KANJI "\x1B$B"
#define ROMAN "\x1B(J"
constexpr int kS = QXJCODE_SJIS, kJ = QXJCODE_JIS, kE = QXJCODE_EUC, kCodes[] = {kS, kJ, kE};

// One text in Shift_JIS, JIS and EUC-JP, converted in every direction and
// copied; CR LF and a lone CR come out as LF.
const std::string kTriples[][3] = {
    {"a\x88\x9F\x62\x82\xA0\x82\xA2\r\n\x81\x42\rz\n\r",
     "a" KANJI "\x30\x21" ROMAN "b" KANJI "\x24\x22\x24\x24" ROMAN "\r\n" KANJI "\x21\x23" ROMAN
     "\rz\n\r",
     "a\xB0\xA1\x62\xA4\xA2\xA4\xA4\r\n\xA1\xA3\rz\n\r"},
};

const struct {
  const char* src;
  int from, to;
  const char* dst;
} kOneWayRows[] = {
    {"a\r\nb", 7, 7, "a\nb"},                   // equal codes copy
    {"\x88\r\n", kS, kE, "\xAF\xA1\n"},         // a lead byte pairs with any byte
    {"a\x82", kS, kJ, "a" KANJI ROMAN "\x82"},  // a lone lead byte last
    {"\x88\x9F\x82", kS, kJ, KANJI "\x30\x21" ROMAN "\x82"},
    {"a\x82", kS, kE, "a\x82"},
    {"\xF0\x40\xFC\xFC", kS, kJ, KANJI "\x21\x21\x22\x7E" ROMAN},  // no JIS row
    {"\xB1\xDF", kS, kE, "\xB1\xDF"},                              // half-width kana unchanged
    {"\xB1", kS, kJ, "\xB1"},
    {"\x8E\xB1", kE, kJ, "\x8E" KANJI "\x31" ROMAN},
    {"\xA4\xA2\xA4", kE, kJ, KANJI "\x24\x22\x24" ROMAN},
    {KANJI "\x30\x21\x1B(B", kJ, kS, "\x88\x9F"},
    {"\x1BK\x30\x21\x1BHx", kJ, kS, "\x88\x9Fx"},
    {"\x1B$@\x30\x21\x1B(Ix", kJ, kE, "\xB0\xA1x"},  // the third byte is not read
    {"a\x1BNb\x1B\x1B$B\x30\x21", kJ, kS, "a\x1BNb\x1B\x88\x9F"},
    {KANJI "\x30\r", kJ, kS, "\x88\x40"},    // any two bytes pair
    {KANJI "\xB0\xA1", kJ, kS, "\x40\x40"},  // high bytes take the filler
    {KANJI "\xB0\xA1", kJ, kE, "\xB0\xA1"},
    {"ab\x1B$", kJ, kE, "ab"},  // an escape cut short
};

std::string Lf(std::string text) {
  for (std::size_t at; (at = text.find('\r')) != text.npos;)
    text.replace(at, text[at + 1] == '\n' ? 2 : 1, "\n");
  return text;
}

TEST(Jcode, ConversionRows) {
  for (const auto& triple : kTriples) {
    for (int from : kCodes) {
      for (int to : kCodes)
        EXPECT_EQ(Convert(triple[from], from, to), Lf(triple[to])) << from << " -> " << to;
    }
  }
  for (const auto& row : kOneWayRows)
    EXPECT_EQ(Convert(row.src, row.from, row.to), row.dst) << row.src;
  // Every Shift_JIS lead byte with every second byte: valid pairs come back
  // from EUC-JP and JIS; the others take the filler row 0x21 (0x22 from
  // 0x9F on) or cell 0x21.
  for (unsigned s1 = 0x81; s1 <= 0xFC; s1 += s1 == 0x9F ? 0x41 : 1) {
    for (unsigned s2 = 1; s2 <= 0xFF; ++s2) {
      const std::string sjis{char(s1), char(s2)}, euc = Convert(sjis, kS, kE);
      const bool valid = s2 >= 0x40 && s2 <= 0xFC && s2 != 0x7F, kept = valid && s1 < 0xF0;
      const std::string at = std::to_string(s1) + " " + std::to_string(s2);
      ASSERT_EQ(euc.size(), 2u) << at;
      ASSERT_TRUE(!kept || Convert(euc, kE, kS) == sjis) << at;
      ASSERT_TRUE(!kept || Convert(Convert(sjis, kS, kJ), kJ, kS) == sjis) << at;
      ASSERT_TRUE(s1 < 0xF0 || (euc[0] & 0x7F) == (s2 >= 0x9F ? 0x22 : 0x21)) << at;
      ASSERT_TRUE(valid || (euc[1] & 0x7F) == 0x21) << at;
    }
  }
  // The documented sizes hold for the worst inputs, long ones included.
  for (std::string unit : {"\x88", "\x88\x9F\x61", "\xA1\x61", "\xB1\r\n", KANJI "0!"}) {
    for (int to : kCodes) {
      const int from = unit[0] == '\x1B' ? kJ : unit[0] == '\xA1' ? kE : kS;
      for (std::string src = unit; src.size() < 8192; src += src)
        Convert(src, from, to);
    }
  }
}

// Refused codes, and a null source, leave an empty string and nothing else;
// a null output is answered.
TEST(Jcode, ConversionRefusals) {
  const std::tuple<int, int, const char*> rows[] = {
      {0, 3, "abc"},  {3, 0, "abc"},           {-1, -1, "abc"}, {-1, 0, "abc"},
      {2, -1, "abc"}, {INT_MIN, INT_MAX, "a"}, {0, 2, nullptr}, {1, 1, nullptr}};
  for (auto [from, to, src] : rows) {
    char dst[4] = "xyz";
    EXPECT_QXOK(qxConvertJpnCode(dst, to, src, from), 0);
    EXPECT_EQ(std::string(dst, 4), std::string("\0yz\0", 4)) << from << " " << to;
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
  const bool ok = iconv(cd, &in, &inLeft, &put, &outLeft) != std::size_t(-1) &&
                  iconv(cd, nullptr, nullptr, &put, &outLeft) != std::size_t(-1);
  iconv_close(cd);
  return ok ? out.substr(0, put - out.data()) : "";
}

// JIS X 0208 (j1, j2) in Shift_JIS, by rows and cells.
std::string SjisOf(unsigned j1, unsigned j2) {
  const unsigned row = j1 - 0x20, cell = j2 - 0x20;
  const unsigned s1 = (row + 1) / 2 + (row <= 62 ? 0x80 : 0xC0);
  return {char(s1), char(row % 2 == 1 ? cell + 0x3F + (cell >= 64) : cell + 0x9E)};
}

// Every code that both iconv tables map, in lines behind ASCII with CR LF
// ends. Shift_JIS to EUC-JP must equal iconv byte for byte, JIS output must
// decode through iconv to the same text, and iconv's own JIS (which returns
// with ESC ( B) and EUC-JP must convert back.
TEST(Jcode, ConversionsAgreeWithIconv) {
  std::string crlf;
  for (unsigned j = 0x2121, n = 0; j <= 0x7E7E; j += (j & 0xFF) == 0x7E ? 0xA3 : 1) {
    const std::string code = SjisOf(j >> 8, j & 0xFF), text = Iconv(code, "SHIFT_JIS", "UTF-8");
    if (!text.empty() && text == Iconv({char(j >> 8 | 0x80), char(j | 0x80)}, "EUC-JP", "UTF-8"))
      crlf += code + (++n % 40 == 0 ? "\r\ncode " + std::to_string(j) + ": " : "");
  }
  crlf += "\r\nend\r\n";
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
