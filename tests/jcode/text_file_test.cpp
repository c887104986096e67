// The text file reader through its exports, on real files: every row runs
// through the A form and the W form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jcode/text_file_support.h"

namespace {

using qxtest::AReader;
using qxtest::ReadLines;
using qxtest::ScratchDir;
using qxtest::Texts;
using qxtest::WReader;

template <class Form>
class TextFileTest : public ::testing::Test {
 protected:
  QXHTEXTFILE OpenWith(const std::string& text) {
    return Form::Open(dir_.Write("file.txt", Form::Bytes(text)));
  }
  // All lines of `text` read with a buffer of `size`; expects the end of
  // the file after them.
  std::vector<typename Form::Line> Lines(const std::string& text, QXDWORD size = 256) {
    QXHTEXTFILE file = OpenWith(text);
    EXPECT_NE(file, nullptr);
    QXDWORD error = 0;
    auto lines = ReadLines<Form>(file, size, error);
    EXPECT_EQ(error, QXERR_ENDOFFILE);
    typename Form::Ch buffer[4];
    EXPECT_EQ(Form::Read(file, buffer, 4), 0) << "the end stays the end";
    EXPECT_EQ(qxGetErrCode(), QXERR_ENDOFFILE);
    EXPECT_EQ(qxCloseTextFile(file), 1);
    return lines;
  }
  ScratchDir dir_;
};

using Forms = ::testing::Types<AReader, WReader>;
TYPED_TEST_SUITE(TextFileTest, Forms);

TYPED_TEST(TextFileTest, LineEnds) {
  const struct {
    std::string text;
    std::vector<std::string> lines;
  } rows[] = {
      {"", {}},
      {"abc", {"abc"}},
      {"abc\r\ndef\r\n", {"abc", "def"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\n\rb\r", {"a", "b"}},
      {"a\r\n\nb\n", {"a", "", "b"}},
      {"\r\n\r\n", {"", ""}},
      {"ab\x1A", {"ab"}},
      {"ab\x1A\r\nzz", {"ab", "", "zz"}},  // the rest of the block stays readable
  };
  for (const auto& row : rows)
    EXPECT_EQ(this->Lines(row.text), Texts<TypeParam>(row.lines)) << row.text;
}

// CR LF split across the 1024-character block and across larger chunks,
// and lines far longer than a block.
TYPED_TEST(TextFileTest, LinesAcrossBlocks) {
  std::vector<std::string> lines = {std::string(1023, 'a'), std::string(15358, 'b')};
  for (int i = 0; i < 400; ++i)
    lines.push_back(std::string(static_cast<std::size_t>(i * 37 % 301), char('c' + i % 20)));
  lines.push_back(std::string(40000, 'z'));
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i)
    text += lines[i] + (i % 3 == 2 ? "\n" : "\r\n");
  ASSERT_EQ(text[1023], '\r');
  ASSERT_EQ(text[16383], '\r');
  EXPECT_EQ(this->Lines(text, 40001), Texts<TypeParam>(lines));
}

// A 0x1A ends the file; what follows it in its 1024-character block is
// still read by later calls, nothing after that block.
TYPED_TEST(TextFileTest, EofCharacterEndsTheFileAtItsBlock) {
  const std::string text = std::string(10, 'a') + "\x1A" + "bc\n" + std::string(2000, 'd');
  EXPECT_EQ(this->Lines(text, 2048),
            Texts<TypeParam>({std::string(10, 'a'), "bc", std::string(1024 - 14, 'd')}));
}

// A line that does not fit leaves the reader as it was: retried with a
// larger buffer, the same line comes back whole.
TYPED_TEST(TextFileTest, TooLongLineCanBeRetried) {
  using Ch = typename TypeParam::Ch;
  const std::string first(3000, 'f');
  const std::string middle(20000, 'm');
  QXHTEXTFILE file = this->OpenWith(first + "\r\nab\r\n" + middle + "\r\nend");
  ASSERT_NE(file, nullptr);
  std::vector<Ch> line(30000);
  qxtest::PrimeErrCode(QXERR_NONE);
  EXPECT_EQ(TypeParam::Read(file, line.data(), 3000), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_TOOLONG);
  EXPECT_EQ(TypeParam::Read(file, line.data(), 1), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_TOOLONG);
  qxtest::PrimeErrCode(QXERR_NONE);
  ASSERT_EQ(TypeParam::Read(file, line.data(), 3001), 1) << "exactly size - 1 characters fit";
  EXPECT_EQ(typename TypeParam::Line(line.data()), TypeParam::Text(first));
  EXPECT_EQ(qxGetErrCode(), QXERR_NONE) << "success leaves the code alone";
  ASSERT_EQ(TypeParam::Read(file, line.data(), 3), 1);
  EXPECT_EQ(typename TypeParam::Line(line.data()), TypeParam::Text("ab"));
  for (QXDWORD size : {QXDWORD{10}, QXDWORD{17000}, QXDWORD{20000}}) {
    EXPECT_EQ(TypeParam::Read(file, line.data(), size), 0) << size;
    EXPECT_EQ(qxGetErrCode(), QXERR_TOOLONG);
  }
  ASSERT_EQ(TypeParam::Read(file, line.data(), 20001), 1);
  EXPECT_EQ(typename TypeParam::Line(line.data()), TypeParam::Text(middle));
  ASSERT_EQ(TypeParam::Read(file, line.data(), 4), 1);
  EXPECT_EQ(typename TypeParam::Line(line.data()), TypeParam::Text("end"));
  EXPECT_EQ(qxCloseTextFile(file), 1);
}

TYPED_TEST(TextFileTest, ZeroCharacterClosesTheFile) {
  QXHTEXTFILE file = this->OpenWith(std::string("ab\ncd\0ef\ngh", 11));
  ASSERT_NE(file, nullptr);
  typename TypeParam::Ch line[16];
  EXPECT_EQ(TypeParam::Read(file, line, 16), 1);
  EXPECT_EQ(TypeParam::Read(file, line, 16), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADDATA);
  EXPECT_EQ(TypeParam::Read(file, line, 16), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_UNAVAILABLE);
  EXPECT_EQ(TypeParam::Read(file, nullptr, 16), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_UNAVAILABLE) << "the closed file is checked before the buffer";
  EXPECT_EQ(qxCloseTextFile(file), 1);
}

TYPED_TEST(TextFileTest, ArgumentAndHandleChecks) {
  typename TypeParam::Ch line[8];
  EXPECT_EQ(TypeParam::Open(this->dir_.Write("x", "") + ".missing"), nullptr);
  EXPECT_EQ(qxGetErrCode(), QXERR_OPEN);
  EXPECT_EQ(TypeParam::Read(nullptr, line, 8), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADHANDLE);
  std::uint32_t notAHandle[8] = {0x41537871};  // a converter's signature
  EXPECT_EQ(TypeParam::Read(reinterpret_cast<QXHTEXTFILE>(notAHandle), line, 8), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADHANDLE);
  EXPECT_EQ(qxCloseTextFile(reinterpret_cast<QXHTEXTFILE>(notAHandle)), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADHANDLE);
  EXPECT_EQ(qxCloseTextFile(nullptr), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADHANDLE);

  QXHTEXTFILE file = this->OpenWith("text\n");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(TypeParam::Read(file, nullptr, 8), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  EXPECT_EQ(TypeParam::Read(file, line, 0), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADPARAM);
  // The other form's reader refuses the handle.
  char narrow[8];
  QXWCHAR wide[8];
  const bool isA = sizeof(typename TypeParam::Ch) == 1;
  EXPECT_EQ(isA ? qxReadTextFileW(file, wide, 8) : qxReadTextFileA(file, narrow, 8), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_BADHANDLE);
  ASSERT_EQ(TypeParam::Read(file, line, 8), 1) << "nothing was consumed by the refusals";
  EXPECT_EQ(typename TypeParam::Line(line), TypeParam::Text("text"));
  EXPECT_EQ(qxCloseTextFile(file), 1);
}

TEST(TextFileW, ByteOrderMarkAndOddLength) {
  ScratchDir dir;
  const std::string file = dir.Write("bom.txt", std::string("\xFF\xFE"
                                                            "a\0\n\0b\0",
                                                            8));
  QXHTEXTFILE text = qxOpenTextFileW(qxtest::Widen(file).c_str());
  ASSERT_NE(text, nullptr);
  QXDWORD error = 0;
  EXPECT_EQ(ReadLines<WReader>(text, 8, error),
            (std::vector<qxtest::WString>{{0xFEFF, 'a'}, {'b'}}));
  qxCloseTextFile(text);

  // The unpaired last byte is dropped.
  text = qxOpenTextFileW(qxtest::Widen(dir.Write("odd.txt", std::string("a\0b\0c", 5))).c_str());
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(ReadLines<WReader>(text, 8, error), (std::vector<qxtest::WString>{{'a', 'b'}}));
  EXPECT_EQ(error, QXERR_ENDOFFILE);
  qxCloseTextFile(text);
}

}  // namespace
