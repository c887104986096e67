// The compiler as a table of search string -> node graph dump. A rows are
// code-page neutral unless marked for code page 932.
#include <gtest/gtest.h>

#include <string>

#include "qxdll32.h"
#include "search/node_dump.h"
#include "search/saa_node.h"
#include "support/test_support.h"

namespace {

using qx::search::SaaNode;

struct DumpRow {
  const char* text;
  unsigned flags;
  const char* dump;
};

template <class Ch>
std::string Dump(const std::basic_string<Ch>& text, unsigned flags) {
  QXHCVT cvt;
  if constexpr (sizeof(Ch) == 1) {
    cvt = qxSaaCreateCvtA(text.c_str(), flags);
  } else {
    cvt = qxSaaCreateCvtW(text.c_str(), flags);
  }
  if (cvt == nullptr) return "(failed)";
  std::string dump = qxtest::DumpConverter(reinterpret_cast<const SaaNode*>(cvt));
  EXPECT_EQ(qxSaaCloseCvt(cvt), 1);
  return dump;
}

// Rows whose dump is the same in both forms (ASCII text, no folding of
// letters outside ASCII).
const DumpRow kBothForms[] = {
    {"abc", 2, "#0 search a b c\n"},
    {"ab.d", 2, "#0 search a b next=#1\n#1 anchored skip=1 d\n"},
    {"x*y", 2, "#0 search next=#1\n#1 anchored optional x next=#1 alt=#2\n#2 anchored y\n"},
    {"xy+z", 2, "#0 search x y next=#1\n#1 anchored optional y next=#1 alt=#2\n#2 anchored z\n"},
    {".*abc$", 2, "#0 search fromstart endanchor a b c\n"},
    {"abc$xyz", 2, "#0 search endanchor a b c\n"},
    {".*", 2, "#0 search fromstart endanchor toend\n"},
    {".+$", 2, "#0 search fromstart endanchor toend skip=1\n"},
    {"a.*b", 2, "#0 search a next=#1\n#1 search fromstart b\n"},
    {".?x", 2, "#0 search skip=1 next=#1 alt=#1\n#1 search x\n"},
    {"^.?x", 2, "#0 anchored skip=1 next=#1 alt=#1\n#1 anchored x\n"},
    {"a.?", 2, "#0 search a next=#1\n#1 anchored skip=1 next=#2 alt=#2\n#2 anchored\n"},
    {"..$", 2, "#0 search endanchor skip=2\n"},
    // A postfix with nothing before it is an ordinary character; an
    // optional node's first character is its element, whatever it is.
    {"*a", 2, "#0 search * a\n"},
    {"+a", 2, "#0 search + a\n"},
    {"a**", 2, "#0 search next=#1\n#1 anchored optional a next=#1 alt=#2\n#2 anchored *\n"},
    {"??", 2, "#0 search next=#1\n#1 anchored optional ?\n"},
    {"??x", 2, "#0 search next=#1\n#1 anchored optional ? next=#2 alt=#2\n#2 anchored x\n"},
    {"++", 2, "#0 search + next=#1\n#1 anchored optional + next=#1\n"},
    {"a?+", 2, "#0 search next=#1\n#1 anchored optional a next=#2 alt=#2\n#2 anchored +\n"},
    {"ab+", 2, "#0 search a b next=#1\n#1 anchored optional b next=#1\n"},
    // Escapes: one element each; an escape of value 0 ends the pattern.
    {"\\n*", 2, "#0 search next=#1\n#1 anchored optional \\x0A next=#1\n"},
    {"\\x4g", 2, "#0 search \\x04 g\n"},
    {"a\\.b", 2, "#0 search a . b\n"},
    {"ab\\0cd", 2, "#0 search a b\n"},
    {"a\\", 2, "#0 search a\n"},
    // Classes.
    {"[a-c]x", 2, "#0 search [a-c] x\n"},
    {"[c-a]", 2, "#0 search [a-c]\n"},
    {"[a-]", 2, "#0 search [\\x2Da]\n"},
    {"[]", 2, "#0 search []\n"},
    {"[\\]]", 2, "#0 search [] \\x5D\n"},
    {"[ab", 2, "#0 search [ab]\n"},
    {"[\\x41-\\x43\\n]", 2, "#0 search [\\x0AA-C]\n"},
    {"[ab]+", 2, "#0 search [ab] next=#1\n#1 anchored optional [ab] next=#1\n"},
    {"[ab]?c", 2, "#0 search next=#1\n#1 anchored optional [ab] next=#2 alt=#2\n#2 anchored c\n"},
    // Literal mode: every character is itself.
    {"a.*[\\", 0, "#0 search a . * \\x5B \\x5C\n"},
    {"^", 0, "#0 search \\x5E\n"},
    {"ab", 1, "#0 search [Aa] [Bb]\n"},
    {"a1[", 3, "#0 search [Aa] 1 []\n"},
};

TEST(CompilerDump, RowsInBothForms) {
  for (const DumpRow& row : kBothForms) {
    EXPECT_EQ(Dump(std::string(row.text), row.flags), row.dump) << "A " << row.text;
    EXPECT_EQ(Dump(qxtest::Widen(row.text), row.flags), row.dump) << "W " << row.text;
  }
}

TEST(CompilerDump, LiteralSplitsEvery32Positions) {
  const std::string text(33, 'q');
  std::string first = "#0 search";
  for (int i = 0; i < 32; ++i)
    first += " q";
  EXPECT_EQ(Dump(text, 0), first + " next=#1\n#1 anchored q\n");
}

TEST(CompilerDump, NegatedClassAcceptsEverySingleByte) {
  EXPECT_EQ(Dump(std::string("[^]"), 2), "#0 search [^]\n");
  EXPECT_EQ(Dump(std::string("[^a-y]"), 2), "#0 search [^a-y]\n");
}

TEST(CompilerDump, WideEscapesAndFolding) {
  EXPECT_EQ(Dump(qxtest::Widen("\\777"), 2), "#0 search \\u01FF\n");
  EXPECT_EQ(Dump(std::string("\\777"), 2), "#0 search \\xFF\n");
  // Below 0x2000 W folds through CharUpperW/CharLowerW; full-width letters
  // (U+FF21 on) are left alone.
  EXPECT_EQ(Dump(std::u16string(u"\u03B1\uFF41"), 1), "#0 search [\\u0391\\u03B1] \\uFF41\n");
}

TEST(CompilerDump, DoubleByteRowsOnShiftJis) {
  QX_REQUIRE_CP932();
  // A double-byte character takes two positions; a node never splits one.
  EXPECT_EQ(Dump(std::string("a\x95\x5C"), 2), "#0 search a \\x95 \\x5C\n");
  std::string text(31, 'q');
  text += "\x82\xA0";
  std::string first = "#0 search";
  for (int i = 0; i < 31; ++i)
    first += " q";
  EXPECT_EQ(Dump(text, 0), first + " next=#1\n#1 anchored \\x82 \\xA0\n");
  // The trail byte is never folded, even with the value of a letter.
  EXPECT_EQ(Dump(std::string("\x83\x61"
                             "a"),
                 1),
            "#0 search \\x83 a [Aa]\n");
  // An escaped lead-byte value stands alone: the '*' is its postfix.
  EXPECT_EQ(Dump(std::string("\\x83*"), 2),
            "#0 search next=#1\n#1 anchored optional \\x83 next=#1\n");
  // A class holding a double-byte character is a node of its own.
  EXPECT_EQ(Dump(std::string("a[\x82\xA0-\x82\xA2x]"), 2),
            "#0 search a next=#1\n#1 anchored {7800 82A0-82A2}\n");
  EXPECT_EQ(Dump(std::string("[\x82\xA0]*b"), 2),
            "#0 search next=#1\n#1 anchored optional {82A0} next=#1 alt=#2\n#2 anchored b\n");
  EXPECT_EQ(Dump(std::string("[\x82\xA0]+"), 2),
            "#0 search {82A0} next=#1\n#1 anchored optional {82A0} next=#1\n");
  EXPECT_EQ(Dump(std::string("[x\x82\xA0]"), 3), "#0 search {5800 7800 82A0}\n");
  // A range from a single-byte character into double-byte codes.
  EXPECT_EQ(Dump(std::string("[\x7E-\x81\x41]"), 2), "#0 search {7E00 7F00 8000 8100-8141}\n");
}

TEST(CompilerDump, FailuresSetTheErrorCode) {
  qxtest::PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(qxSaaCreateCvtA("", 0), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  qxtest::PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(qxSaaCreateCvtA("^", 2), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
}

}  // namespace
