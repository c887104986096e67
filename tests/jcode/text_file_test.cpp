// The text file reader, A and W forms, against a plain reader of the same
// file held in memory; its failures; natively, a read that fails mid-file.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include "platform/fault.h"
#endif
#include "support/qxtest.h"

namespace qxtest {
namespace {

// Reads a file held in memory call by call as the exports do: CR, LF and
// the pairs CR LF and LF CR end lines; a 0x1A ends the file after what is
// left of its 1024-character block; a zero character closes the file.
// Returns the line, or "" with the error code the call must leave.
struct Plain {
  const std::u16string* file;
  std::size_t at = 0, end = std::u16string::npos;
  char16_t previous = 0;
  bool closed = false;

  std::u16string Read(QXDWORD size, QXDWORD& error) {
    const Plain start = *this;
    std::u16string line;
    error = closed ? QXERR_UNAVAILABLE : size == 0 ? QXERR_BADPARAM : QXERR_NONE;
    while (error == QXERR_NONE && at < std::min(end, file->size())) {
      const char16_t c = (*file)[at++], was = previous;
      previous = c;
      closed = c == 0;
      if (c == 0x1A) end = std::min(end, (at + 1023) / 1024 * 1024);
      if (c == 0 || c == 0x1A) break;
      if (c == '\r' || c == '\n') {
        if (was != (c == '\r' ? '\n' : '\r')) return line;
        previous = 0;  // a pair's second half
      } else if (line.size() + 1 == size) {
        *this = start;
        error = QXERR_TOOLONG;
      } else {
        line += c;
      }
    }
    if (error == QXERR_NONE) error = closed ? QXERR_BADDATA : line.empty() ? QXERR_ENDOFFILE : 0;
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
      bytes += sizeof(Ch) == 1 ? std::string{char(u)} : std::string{char(u), char(u >> 8)};
    dir_.Write("t.txt", odd && sizeof(Ch) == 2 ? bytes + "z" : bytes);
    return Form<Ch>::OpenTextFile(Arg<Ch>(dir_.A("t.txt")));
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
    std::u16string units = round == 0
                               ? std::u16string(1023, 'a') + u"\r\n" + std::u16string(15358, 'b')
                           : round == 1 && sizeof(Ch) == 2 ? u"\uFEFF"
                                                           : u"";
    for (int i = random() % 60; i > 0; --i) {
      const unsigned kind = random() % 40;
      units += kind == 0                     ? std::u16string(random() % 20000, 'L')
               : kind == 1 && round % 8 == 7 ? std::u16string(1, 0)
                                             : pieces[kind % (sizeof(Ch) == 1 ? 7 : 9)];
    }
    Plain plain{&units};
    const QXHTEXTFILE file = this->Open(units, round % 2 == 1);
    ASSERT_NE(file, nullptr);
    for (int call = 0; call < 200; ++call) {
      QXDWORD error, size = 0xFFFFFFFF;
      const auto next = QXDWORD(Plain(plain).Read(size, error).size());
      const QXDWORD sizes[] = {0, 1, 2, 3, 1025, 1 << 17, next, next + 1};
      size = random() % 3 == 0 ? size : sizes[random() % 8];
      const std::u16string line = plain.Read(size, error);
      std::vector<Ch> buffer(std::clamp<std::size_t>(size, 1, units.size() + 1));
      SCOPED_TRACE("round " + std::to_string(round) + " call " + std::to_string(call));
      if (error != QXERR_NONE) {
        EXPECT_QXFAIL(Form<Ch>::ReadTextFile(file, buffer.data(), size), 0, error);
        continue;
      }
      EXPECT_QXOK(Form<Ch>::ReadTextFile(file, buffer.data(), size), 1);
      ASSERT_EQ(Str<Ch>(buffer.data()), Str<Ch>(line.begin(), line.end()));
    }
    EXPECT_QXOK(qxCloseTextFile(file), 1);
  }
}

TYPED_TEST(TextFile, Failures) {
  using Ch = TypeParam;
  for (Arg<Ch> path : {Arg<Ch>(this->dir_.A("missing")), Arg<Ch>(nullptr), Arg<Ch>(""),
                       Arg<Ch>(this->dir_.A(std::string(32767, 'a')))})
    EXPECT_QXFAIL(Form<Ch>::OpenTextFile(path), nullptr, QXERR_OPEN);
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
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text += "line " + std::to_string(i) + "\r\n";
  const QXHTEXTFILE file = this->Open(S<char16_t>(text));
  qx::platform::FailNthIo(qx::platform::IoOp::kRead, 3);
  Ch line[16];
  int lines = 0;
  while (lines < 20000 && Form<Ch>::ReadTextFile(file, line, 16) != 0)
    ASSERT_EQ(Str<Ch>(line), S<Ch>("line " + std::to_string(lines++)));
  qx::platform::ResetIoFaults();
  EXPECT_TRUE(lines > 0 && qxGetErrCode() == QXERR_READ) << lines;
  EXPECT_QXFAIL(Form<Ch>::ReadTextFile(file, line, 16), 0, QXERR_UNAVAILABLE);
  EXPECT_QXOK(qxCloseTextFile(file), 1);
}
#endif

}  // namespace
}  // namespace qxtest
