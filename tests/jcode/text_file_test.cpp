// The text file reader, A and W forms, against a plain reader of the same
// file held in memory; its failures; natively, a read that fails mid-file
// and a file past 4 GiB.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <fstream>

#include "jcode/text_file.h"
#include "platform/fault.h"
#endif
#include "support/qxtest.h"

namespace qxtest {
namespace {

// Reads a file held in memory call by call as the exports do: CR, LF and
// the pairs CR LF and LF CR end lines; a 0x1A ends the file after what is
// left of its 1024-character block; a zero character closes the file.
// Returns the line, or "" with the error code the call must leave.
struct ReferenceReader {
  const std::u16string* file;
  std::size_t position = 0, end = std::u16string::npos;
  char16_t previous = 0;
  bool closed = false;

  std::u16string Read(QXDWORD size, QXDWORD& error) {
    const ReferenceReader start = *this;
    std::u16string line;
    error = closed ? QXERR_UNAVAILABLE : size == 0 ? QXERR_BADPARAM : QXERR_NONE;
    while (error == QXERR_NONE && position < std::min(end, file->size())) {
      const char16_t c = (*file)[position++];
      if (c == 0) {
        closed = true;
        error = QXERR_BADDATA;
      } else if (c == 0x1A) {
        previous = c;
        end = std::min(end, (position + 1023) / 1024 * 1024);
        break;
      } else if (c == '\r' || c == '\n') {
        const bool second = previous == (c == '\r' ? '\n' : '\r');
        previous = second ? 0 : c;
        if (!second) return line;
      } else if (line.size() + 1 == size) {
        *this = start;
        error = QXERR_TOOLONG;
      } else {
        line += c;
        previous = c;
      }
    }
    if (error == QXERR_NONE && line.empty()) error = QXERR_ENDOFFILE;
    return error == QXERR_NONE ? line : u"";
  }
};

template <class Ch>
class TextFile : public ::testing::Test {
 protected:
  // Writes `units` (A: as bytes; W: as little-endian units, and an unpaired
  // byte after them when `odd`) and opens the file.
  QXHTEXTFILE Open(const std::u16string& units, bool odd = false) {
    std::string bytes;
    for (char16_t u : units)
      bytes += std::is_same_v<Ch, char> ? std::string{char(u)} : std::string{char(u), char(u >> 8)};
    dir_.Write("t.txt", odd && !std::is_same_v<Ch, char> ? bytes + "z" : bytes);
    return Form<Ch>::OpenTextFile(dir_.P<Ch>("t.txt").c_str());
  }
  ScratchDir dir_;
};
TYPED_TEST_SUITE(TextFile, Forms, FormName);

// Random files of short pieces, line ends, 0x1A, long lines across blocks
// and read-ahead chunks (the first file: CR LF across both), now and then a
// zero character, in W a byte-order mark (one file starts with it), a unit
// 0x0A0D and an unpaired last byte; read with random sizes, the next line's
// length and one more among them.
TYPED_TEST(TextFile, ReadsAgreeWithThePlainReader) {
  using Ch = TypeParam;
  const std::u16string pieces[] = {u"a",    u"xyz",  u"\r",     u"\n",    u"\r\n",
                                   u"\n\r", u"\x1A", u"\uFEFF", u"\u0A0D"};
  std::mt19937 random(1);
  for (int round = 0; round < 60; ++round) {
    std::u16string units;
    if (round == 0) units = std::u16string(1023, 'a') + u"\r\n" + std::u16string(15358, 'b');
    if (round == 1 && !std::is_same_v<Ch, char>) units = u"\uFEFF";
    for (int i = random() % 60; i > 0; --i) {
      const unsigned kind = random() % 40;
      units += kind == 0                     ? std::u16string(random() % 20000, 'L')
               : kind == 1 && round % 8 == 7 ? std::u16string(1, 0)
                                             : pieces[kind % (std::is_same_v<Ch, char> ? 7 : 9)];
    }
    ReferenceReader plain{&units};
    const QXHTEXTFILE file = this->Open(units, round % 2 == 1);
    ASSERT_NE(file, nullptr);
    for (int call = 0; call < 200; ++call) {
      ReferenceReader peek = plain;
      QXDWORD error, size = 0xFFFFFFFF;
      const std::size_t next = peek.Read(size, error).size();
      const QXDWORD sizes[] = {0, 1, 2, 3, 1025, 1 << 17, QXDWORD(next), QXDWORD(next + 1)};
      size = random() % 3 == 0 ? size : sizes[random() % 8];
      const std::u16string line = plain.Read(size, error);
      std::vector<Ch> buffer(std::clamp<std::size_t>(size, 1, units.size() + 1));
      SCOPED_TRACE("round " + std::to_string(round) + " call " + std::to_string(call));
      if (error == QXERR_NONE) {
        EXPECT_QXOK(Form<Ch>::ReadTextFile(file, buffer.data(), size), 1);
        ASSERT_EQ(Str<Ch>(buffer.data()), Str<Ch>(line.begin(), line.end()));
      } else {
        EXPECT_QXFAIL(Form<Ch>::ReadTextFile(file, buffer.data(), size), 0, error);
      }
    }
    EXPECT_QXOK(qxCloseTextFile(file), 1);
  }
}

TYPED_TEST(TextFile, Failures) {
  using Ch = TypeParam;
  EXPECT_QXFAIL(Form<Ch>::OpenTextFile(this->dir_.template P<Ch>("missing").c_str()), nullptr,
                QXERR_OPEN);
  EXPECT_QXFAIL(Form<Ch>::OpenTextFile(nullptr), nullptr, QXERR_OPEN);
  EXPECT_QXFAIL(Form<Ch>::OpenTextFile(Arg<Ch>("")), nullptr, QXERR_OPEN);
  EXPECT_QXFAIL(Form<Ch>::OpenTextFile(Arg<Ch>(this->dir_.A(std::string(32767, 'a')))), nullptr,
                QXERR_OPEN);
  const QXHTEXTFILE file = this->Open(u"text\n");
  Ch line[16];
  EXPECT_QXFAIL(Form<Ch>::ReadTextFile(file, nullptr, 8), 0, QXERR_BADPARAM);
  EXPECT_QXOK(Form<Ch>::ReadTextFile(file, line, 16), 1);
  EXPECT_QXOK(qxCloseTextFile(file), 1);
}

#if !defined(_WIN32)
// A read failure mid-file closes it; the lines before it are whole.
TYPED_TEST(TextFile, ReadFailureMidFile) {
  using Ch = TypeParam;
  std::u16string text;
  for (int i = 0; i < 20000; ++i)
    text += u"line " + S<char16_t>(std::to_string(i)) + u"\r\n";
  const QXHTEXTFILE file = this->Open(text);
  qx::platform::FailNthIo(qx::platform::IoOp::kRead, 3);
  Ch line[16];
  int lines = 0;
  while (lines < 20000 && Form<Ch>::ReadTextFile(file, line, 16) != 0) {
    ASSERT_EQ(Str<Ch>(line), S<Ch>("line " + std::to_string(lines++)));
  }
  qx::platform::ResetIoFaults();
  EXPECT_GT(lines, 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_READ);
  EXPECT_QXFAIL(Form<Ch>::ReadTextFile(file, line, 16), 0, QXERR_UNAVAILABLE);
  EXPECT_QXOK(qxCloseTextFile(file), 1);
}

// Lines of a sparse file just below 4 GiB, a too-long retry among them,
// straddle the 32-bit boundary (characters in A, bytes in W). The reader is
// moved there directly: from the start it would meet a zero character.
TYPED_TEST(TextFile, PastFourGiB) {
  using Ch = TypeParam;
  const std::uint64_t start = (std::uint64_t{1} << 32) / sizeof(Ch) - 7;
  const Str<Ch> text = S<Ch>("first\r\n" + std::string(40000, 'y') + "\r\nlast");
  const QXHTEXTFILE file = this->Open(u"");
  std::ofstream(this->dir_.Fs("t.txt"), std::ios::binary)
      .seekp(static_cast<std::streamoff>(start * sizeof(Ch)))
      .write(reinterpret_cast<const char*>(text.c_str()), text.size() * sizeof(Ch));
  reinterpret_cast<qx::jcode::TextFile<Ch>*>(file)->state.position = start;
  std::vector<Ch> line(40001);
  EXPECT_QXOK(Form<Ch>::ReadTextFile(file, line.data(), 8), 1);
  EXPECT_QXFAIL(Form<Ch>::ReadTextFile(file, line.data(), 40000), 0, QXERR_TOOLONG);
  EXPECT_QXOK(Form<Ch>::ReadTextFile(file, line.data(), 40001), 1);
  EXPECT_EQ(Str<Ch>(line.data()), Str<Ch>(40000, Ch('y')));
  EXPECT_QXOK(Form<Ch>::ReadTextFile(file, line.data(), 8), 1);
  EXPECT_EQ(Str<Ch>(line.data()), S<Ch>("last"));
  EXPECT_QXFAIL(Form<Ch>::ReadTextFile(file, line.data(), 8), 0, QXERR_ENDOFFILE);
  EXPECT_QXOK(qxCloseTextFile(file), 1);
}
#endif

}  // namespace
}  // namespace qxtest
