// Reader paths that need the native platform layer: a read failure in the
// middle of a file through the fault switch, and files past 4 GiB (sparse,
// with the reader's position moved there directly).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "jcode/text_file.h"
#include "jcode/text_file_support.h"
#include "platform/fault.h"

namespace {

using qxtest::AReader;
using qxtest::ReadLines;
using qxtest::ScratchDir;
using qxtest::WReader;

template <class Form>
class TextFileNative : public ::testing::Test {
 protected:
  void TearDown() override { qx::platform::ResetIoFaults(); }
  ScratchDir dir_;
};

using Forms = ::testing::Types<AReader, WReader>;
TYPED_TEST_SUITE(TextFileNative, Forms);

TYPED_TEST(TextFileNative, ReadFailureMidFileClosesIt) {
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text += "line " + std::to_string(i) + "\r\n";
  QXHTEXTFILE file = TypeParam::Open(this->dir_.Write("big.txt", TypeParam::Bytes(text)));
  ASSERT_NE(file, nullptr);
  qx::platform::FailNthIo(qx::platform::IoOp::kRead, 3);
  QXDWORD error = 0;
  const auto lines = ReadLines<TypeParam>(file, 64, error);
  EXPECT_EQ(error, QXERR_READ);
  ASSERT_GT(lines.size(), 0u);
  ASSERT_LT(lines.size(), 20000u);
  EXPECT_EQ(lines.back(), TypeParam::Text("line " + std::to_string(lines.size() - 1)));
  typename TypeParam::Ch line[64];
  EXPECT_EQ(TypeParam::Read(file, line, 64), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_UNAVAILABLE);
  EXPECT_EQ(qxCloseTextFile(file), 1);
}

// Text placed just below 4 GiB of a sparse file, so that a line and a
// too-long retry straddle the 32-bit boundary (in characters for the A
// form, in bytes for the W form).
TYPED_TEST(TextFileNative, FilesPastFourGiB) {
  using Ch = typename TypeParam::Ch;
  constexpr std::uint64_t kFourGiB = std::uint64_t{1} << 32;
  const std::uint64_t start = kFourGiB / sizeof(Ch) - 7;
  const std::string text = "first\r\n" + std::string(40000, 'y') + "\r\nlast";
  const std::string path = this->dir_.Write("huge.txt", "");
  {
    std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    out.seekp(static_cast<std::streamoff>(start * sizeof(Ch)));
    const std::string bytes = TypeParam::Bytes(text);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "no room for a sparse file";
  }
  QXHTEXTFILE file = TypeParam::Open(path);
  ASSERT_NE(file, nullptr);
  reinterpret_cast<qx::jcode::TextFile<Ch>*>(file)->state.position = start;
  std::vector<Ch> line(40001);
  ASSERT_EQ(TypeParam::Read(file, line.data(), 8), 1);
  EXPECT_EQ(typename TypeParam::Line(line.data()), TypeParam::Text("first"));
  EXPECT_EQ(TypeParam::Read(file, line.data(), 39999), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_TOOLONG);
  ASSERT_EQ(TypeParam::Read(file, line.data(), 40001), 1);
  EXPECT_EQ(typename TypeParam::Line(line.data()), TypeParam::Text(std::string(40000, 'y')));
  ASSERT_EQ(TypeParam::Read(file, line.data(), 8), 1);
  EXPECT_EQ(typename TypeParam::Line(line.data()), TypeParam::Text("last"));
  EXPECT_EQ(TypeParam::Read(file, line.data(), 8), 0);
  EXPECT_EQ(qxGetErrCode(), QXERR_ENDOFFILE);
  EXPECT_EQ(qxCloseTextFile(file), 1);
}

}  // namespace
