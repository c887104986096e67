// Encoding detection: a labelled corpus of short texts, each deciding on a
// particular byte, and long texts whose deciding byte sits at every
// alignment behind a run of ASCII.
#include <gtest/gtest.h>

#include <string>

#include "qxdll32.h"
#include "support/test_support.h"

namespace {

struct JudgeRow {
  const char* text;
  int code;
  const char* why;
};

const JudgeRow kRows[] = {
    {"", QXJCODE_SJIS, "empty"},
    {"plain ASCII, tabs\tand\r\nline ends\f\v", QXJCODE_SJIS, "nothing decides"},
    {"abc\x1A", QXJCODE_SJIS, "0x1A is text"},
    {"abc\x1B$B", QXJCODE_JIS, "escape after ASCII"},
    {"\x1B", QXJCODE_JIS, "escape first"},
    {"\xE0\xA1\x1B", QXJCODE_JIS, "escape inside 8-bit text, before a decision"},
    {"x\x83", QXJCODE_SJIS, "Shift_JIS-only lead byte"},
    {"x\xA0", QXJCODE_SJIS, "0xA0"},
    {"\x82\xA0\x82\xA2", QXJCODE_SJIS, "hiragana in Shift_JIS"},
    {"x\xFD", QXJCODE_EUC, "EUC-only byte"},
    {"x\xFE\xFE", QXJCODE_EUC, "EUC-only byte"},
    {"\xA4\xA2\xA4\xA4", QXJCODE_EUC, "hiragana in EUC-JP, first byte 0xA1-0xDF"},
    {"\xB1", QXJCODE_EUC, "half-width katakana first: EUC-JP whatever follows"},
    {"\xDF\x83", QXJCODE_EUC, "first byte 0xDF"},
    {"a\xA4\xA2", QXJCODE_SJIS, "valid in both: nothing decides"},
    {"\xE0\xA1\xE0\xA1", QXJCODE_SJIS, "pairs valid in both"},
    {"\xE0\x40", QXJCODE_SJIS, "not an EUC pair"},
    {"\xE0\xFD", QXJCODE_EUC, "not a Shift_JIS pair (0xFD checked as next byte)"},
    {"\xE0\x0D", QXJCODE_EUC, "not a Shift_JIS pair"},
    {"\xE0", QXJCODE_EUC, "lead byte last"},
    {"a\x8E", QXJCODE_EUC, "0x8E last"},
    {"a\xB1", QXJCODE_SJIS, "0xA1-0xDF last, after the first position"},
    {"\xE0\xA1\xB1", QXJCODE_SJIS, "0xB1 opens an EUC pair that the terminator breaks"},
    {"\xE0\xA1\x83", QXJCODE_SJIS, "0x83 after a pair"},
    {"a\x01", QXJCODE_NOTTEXT, "control byte"},
    {"\x7F", QXJCODE_NOTTEXT, "DEL"},
    {"ab\x80", QXJCODE_NOTTEXT, "0x80"},
    {"\xFF", QXJCODE_NOTTEXT, "0xFF"},
    {"\xE0\xA1\x01\x1B", QXJCODE_NOTTEXT, "control before the escape"},
    {"\x1B\x01", QXJCODE_JIS, "escape before the control"},
};

TEST(JudgeJpnCodeType, LabelledCorpus) {
  qxtest::PrimeErrCode(QXERR_BADPARAM);
  for (const JudgeRow& row : kRows)
    EXPECT_EQ(qxJudgeJpnCodeType(row.text), row.code) << row.why;
  EXPECT_EQ(qxJudgeJpnCodeType(nullptr), QXJCODE_NOTTEXT);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM) << "detection leaves the error code alone";
}

// The deciding byte behind every length of ASCII prefix, so that each
// alignment of the word-at-a-time skip meets it (and the terminator).
TEST(JudgeJpnCodeType, DecidingByteAfterAnyPrefix) {
  const struct {
    const char* tail;
    int code;
  } tails[] = {{"", QXJCODE_SJIS},
               {"\x1B", QXJCODE_JIS},
               {"\x83", QXJCODE_SJIS},
               {"\xFE", QXJCODE_EUC},
               {"\x7F", QXJCODE_NOTTEXT},
               {"\x01", QXJCODE_NOTTEXT},
               {"\xE0", QXJCODE_EUC},
               {"\xA4\xA2", QXJCODE_SJIS},
               {"\t\r\n\x1A~", QXJCODE_SJIS},
               {"\xE0\xA1\x80", QXJCODE_NOTTEXT}};
  for (std::size_t prefix = 1; prefix < 40; ++prefix) {
    for (const auto& tail : tails) {
      // A fresh heap block of exactly the text's size per case.
      const std::string text = std::string(prefix, 'k') + tail.tail;
      auto* block = new char[text.size() + 1];
      text.copy(block, text.size());
      block[text.size()] = '\0';
      EXPECT_EQ(qxJudgeJpnCodeType(block), tail.code) << prefix << " + " << tail.tail;
      delete[] block;
    }
  }
}

}  // namespace
